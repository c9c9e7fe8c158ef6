#include "compat/win32/system/notify/messagebox.h"

#include "compat/host/Host.h"
#include "compat/win32/system/notify/debug.h"

#include <deque>
#include <exception>
#include <cstdint>
#include <mutex>
#include <vector>

namespace {

std::mutex boxMutex;
std::deque<int> scriptedAnswers;
#ifdef QUARRY_TESTING
std::vector<compat::testing::ShownMessageBox> shownBoxes;
#endif

int defaultAnswer(UINT type)
{
    static const int buttons[][3] = {
        {IDOK, IDOK, IDOK},         // MB_OK
        {IDOK, IDCANCEL, IDCANCEL}, // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, IDNO},
        {IDRETRY, IDCANCEL, IDCANCEL},
    };
    UINT set = type & 0xF;
    UINT button = (type >> 8) & 0xF;
    if (set > 5)
        set = 0;
    if (button > 2)
        button = 0;
    return buttons[set][button];
}

// The box the desktop shows for a Win32 type: its buttons in order, Enter on the default one, Esc on
// Cancel (or on the only button), and none for yes/no and abort/retry/ignore, which must be answered.
compat::host::MessageBox describe(LPCSTR text, LPCSTR caption, UINT type)
{
    static const std::vector<std::vector<int>> sets = {
        {IDOK}, {IDOK, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL}, {IDYES, IDNO},
        {IDRETRY, IDCANCEL},
    };
    static const char* const names[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
    compat::host::MessageBox box;
    box.caption = caption != nullptr ? caption : "";
    box.text = text != nullptr ? text : "";
    switch (type & 0xF0) {
    case MB_ICONERROR: box.icon = compat::host::MessageBox::Icon::Error; break;
    case MB_ICONQUESTION: box.icon = compat::host::MessageBox::Icon::Question; break;
    case MB_ICONWARNING: box.icon = compat::host::MessageBox::Icon::Warning; break;
    case MB_ICONINFORMATION: box.icon = compat::host::MessageBox::Icon::Information; break;
    default: break;
    }
    UINT set = type & 0xF;
    if (set >= sets.size())
        set = 0;
    for (int id : sets[set]) {
        if (id == IDCANCEL || sets[set].size() == 1)
            box.escapeButton = static_cast<int>(box.buttons.size());
        box.buttons.push_back({id, names[id]});
    }
    const int wanted = static_cast<int>((type >> 8) & 0xF);
    box.defaultButton = wanted < static_cast<int>(box.buttons.size()) ? wanted : 0;
    return box;
}

// Asks the desktop; -1 when there is none (a headless host, or no host could start).
int askHost(const compat::host::MessageBox& box)
{
    try {
        return compat::host::current().showMessageBox(box);
    } catch (const std::exception&) {
        return -1;
    }
}

} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    {
        std::lock_guard<std::mutex> lock(boxMutex);
#ifdef QUARRY_TESTING
        shownBoxes.push_back({text != nullptr ? text : "", caption != nullptr ? caption : "", type});
#endif
        if (!scriptedAnswers.empty()) {
            const int answer = scriptedAnswers.front();
            scriptedAnswers.pop_front();
            return answer;
        }
    }
    // The box is modal for its caller only: other threads may show boxes of their own meanwhile.
    const int answer = askHost(describe(text, caption, type));
    if (answer < 0) {
        // Nobody saw the box (no desktop): its text goes to standard error instead, so it is not lost.
        const std::string line = std::string("Message box \"") + (caption != nullptr ? caption : "") + "\": " +
                                 (text != nullptr ? text : "") + "\n";
        OutputDebugStringA(line.c_str());
    }
    return answer >= 0 ? answer : defaultAnswer(type);
}

namespace {

std::string utf8(const wchar_t* text)
{
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        const auto c = static_cast<std::uint32_t>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)
{
    return MessageBoxA(owner, utf8(text).c_str(), utf8(caption).c_str(), type);
}

#ifdef QUARRY_TESTING
namespace compat::testing {

void scriptMessageBoxAnswers(const std::vector<int>& answers)
{
    std::lock_guard<std::mutex> lock(boxMutex);
    scriptedAnswers.assign(answers.begin(), answers.end());
}

std::vector<ShownMessageBox> takeShownMessageBoxes()
{
    std::lock_guard<std::mutex> lock(boxMutex);
    std::vector<ShownMessageBox> shown;
    shown.swap(shownBoxes);
    return shown;
}

} // namespace compat::testing
#endif

#include "compat/win32/messagebox.h"

#include "compat/win32/debug.h"

#include <deque>
#include <mutex>

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

} // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    std::string line = std::string("Message box \"") + (caption != nullptr ? caption : "") + "\": " +
                       (text != nullptr ? text : "") + "\n";
    OutputDebugStringA(line.c_str());
    std::lock_guard<std::mutex> lock(boxMutex);
#ifdef QUARRY_TESTING
    shownBoxes.push_back({text != nullptr ? text : "", caption != nullptr ? caption : "", type});
#endif
    if (scriptedAnswers.empty())
        return defaultAnswer(type);
    int answer = scriptedAnswers.front();
    scriptedAnswers.pop_front();
    return answer;
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

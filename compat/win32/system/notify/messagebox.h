// Message boxes. A box writes its caption and text to the debugger output, then the host shows it on
// the desktop and answers the button the player chose. A host without a desktop (headless), or a box
// closed without an answer, answers the default button: the first, or the one MB_DEFBUTTON2 or
// MB_DEFBUTTON3 names. Tests script answers, which come before any host.
#pragma once

#include "compat/win32/base.h"

#include <string>
#include <vector>

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The same box for wide texts, shown in UTF-8.
int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

namespace compat {
#ifdef QUARRY_TESTING
namespace testing {
struct ShownMessageBox {
    std::string text;
    std::string caption;
    UINT type;
};
// The next message boxes answer these, in order; once they are used up, boxes answer their default.
void scriptMessageBoxAnswers(const std::vector<int>& answers);
// Every box shown since the last call, oldest first; the record is emptied.
std::vector<ShownMessageBox> takeShownMessageBoxes();
} // namespace testing
#endif
} // namespace compat

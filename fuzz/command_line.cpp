// The command line as the portal shell passes it, and what the game reads from it: whoever starts the
// game decides these bytes. The input is taken both as the shell's one line of text and, cut at zero
// bytes, as the argument vector a process receives.
//
// Only what any splitting rule keeps is checked (where a blank or quote starts an argument is the rule's
// own business): at most 25 arguments, made only of characters the line holds, the same on every
// reading; a line of blanks gives none and a word without blanks or quotes gives itself. What the game
// reads from the arguments stays within its limits, and the shell's window, whatever number the line
// names, is only ever sent to when it is a window.
//
// The seeds (fuzz/corpus/command_line/) are written by hand: lines as the portal shell passes them
// (window, a word, the sign-in number, the quoted or plain user name), argument vectors of a process
// started by the shell or with "/update", quotes in odd places, more than 25 words, a name longer than
// the shell's field.
#include "frontend/app/CommandLine.h"
#include "frontend/app/EntryShellLink.h"

#include "compat/win32/window/window.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "command line: %s\n", what);
        std::abort();
    }
}

void checkShellArguments(const CommandLine& line)
{
    const std::vector<std::string>& arguments = line.getArguments();
    const ShellArguments shell = readShellArguments(line);
    check(shell.userName.size() <= ShellArguments::kMaxUserName, "the user name is longer than the shell's field");
    check(!shell.signedOut || shell.userName.empty(), "a name is kept for nobody signed in");
    check(arguments.size() >= 3 || shell.signedOut, "signed in without the sign-in argument");
    check(arguments.size() >= 1 || shell.shellWindow == 0, "a shell window without an argument");
    if (arguments.size() >= 4 && !shell.signedOut)
        check(arguments[3].size() < 2 || arguments[3].compare(1, shell.userName.size(), shell.userName) == 0,
              "the user name is not read from the fourth argument's second character");
    // The program entry greets the shell window and the game later posts to it through the link; a
    // number that names no window gets nothing, and nothing may break.
    SendMessageA(reinterpret_cast<HWND>(shell.shellWindow), 0x2B1C, 0, 0);
    EntryShellLink& link = EntryShellLink::instance();
    link.shellWindow = shell.shellWindow;
    link.signedOut = shell.signedOut;
    link.userName = shell.userName;
    check(link.hasShellWindow() == (shell.shellWindow != 0), "the link's shell window is not the line's");
    link.postToShell(0x2B1B, 0, 0);
    MSG message;
    check(!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE), "a message to no window came back to the game");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The message queue may ask the host for events: never a real display here.
    setenv("QUARRYTIDE_HOST", "headless", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    // The shell's line.
    const CommandLine line(text);
    const std::vector<std::string>& arguments = line.getArguments();
    check(arguments.size() <= static_cast<std::size_t>(CommandLine::kMaxArguments), "more than 25 arguments");
    check(CommandLine(text).getArguments() == arguments, "two readings of one line differ");
    std::array<std::size_t, 256> available{};
    for (unsigned char c : text)
        ++available[c];
    for (const std::string& argument : arguments)
        for (unsigned char c : argument)
            check(available[c]-- > 0, "an argument holds characters the line does not");
    const bool blanksOnly = text.find_first_not_of(' ') == std::string::npos;
    check(!blanksOnly || arguments.empty(), "a line of blanks gives arguments");
    // A plain word: printable, without blanks, quotes or backslashes, which any rule may treat specially.
    bool plainWord = !text.empty();
    for (unsigned char c : text)
        plainWord = plainWord && c > ' ' && c < 0x7F && c != '"' && c != '\\';
    if (plainWord)
        check(arguments.size() == 1 && arguments[0] == text, "a single word is not its own argument");
    checkShellArguments(line);

    // The same bytes as a process's argument vector (the program path first), cut at zero bytes.
    std::vector<std::string> argv;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        argv.push_back(text.substr(start, end - start));
    argv.push_back(text.substr(start));
    const CommandLine received = CommandLine::fromArguments(argv);
    const std::size_t kept = std::min<std::size_t>(argv.size() - 1, CommandLine::kMaxArguments);
    check(received.getArguments() == std::vector<std::string>(argv.begin() + 1, argv.begin() + 1 + kept),
          "the argument vector is not kept as it came, up to 25");
    checkShellArguments(received);
    return 0;
}

// The command line as the portal shell passes it, and what the game reads from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CommandLine {
public:
    static constexpr int kMaxArguments = 25;

    // Splits `text` in place of the shell's own rule: blanks separate arguments outside quotes; a quote
    // ends an open argument, or else opens one at the character after it, which is taken unexamined
    // (so a blank or quote right after an opening quote belongs to the argument). Any other character
    // outside an argument starts one, a blank inside quotes too: `a" b"` gives `a` and ` b`. At most 25
    // are kept.
    explicit CommandLine(const std::string& text);
    // The arguments a process received, without the program path (argv[0]); at most 25 are kept.
    static CommandLine fromArguments(const std::vector<std::string>& arguments);

    const std::vector<std::string>& getArguments() const { return arguments; }

private:
    CommandLine() = default;
    std::vector<std::string> arguments;
};

// What the shell says about the player: its window, whether nobody is signed in and the user's name.
// Each argument is read from its second character: argument 0 the window (decimal), argument 2 a number
// (0: signed out), argument 3 the name when signed in. A missing argument counts as no shell window
// and signed out; the name keeps at most 127 characters.
struct ShellArguments {
    static constexpr std::size_t kMaxUserName = 127;
    std::uintptr_t shellWindow = 0;
    bool signedOut = true;
    std::string userName;
};

ShellArguments readShellArguments(const CommandLine& commandLine);

// The shell's command line: the split rule, the limit of 25 arguments and what the game reads from it.
#include "frontend/app/CommandLine.h"
#include "frontend/app/EntryShellLink.h"
#include "frontend/app/GameFieldServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, SplitsByBlanksAndQuotes)
{
    struct Case {
        const char* text;
        Words expected;
    };
    const Case cases[] = {
        {"a \"b c\" d", {"a", "b c", "d"}},
        {"  one   two  ", {"one", "two"}},
        // A quote closes an open argument right where it stands.
        {"ab\"cd\"", {"ab", "cd"}},
        // The character after an opening quote is taken as it is, even a quote or a blank.
        {"\"\"x", {"\"x"}},
        {"\" x\"", {" x"}},
        // A quote at the very end opens nothing.
        {"a \"", {"a"}},
        {"", {}},
        // A blank inside quotes, outside an argument, starts one like any other character.
        {"a\" b\"", {"a", " b"}},
        {"a\"  b\"", {"a", "  b"}},
        {"\"x\" \"y\"", {"x", "y"}},
        {"a \"b c\" d", {"a", "b c", "d"}},
        {"/1\" /x\" /0", {"/1", " /x", "/0"}},
        {"a\" \"", {"a", " "}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandLine(c.text).getArguments(), c.expected) << c.text;
}

TEST(CommandLine, KeepsTheFirst25Arguments)
{
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "w" + std::to_string(i) + " ";
    const Words words = CommandLine(text).getArguments();
    ASSERT_EQ(words.size(), 25u);
    EXPECT_EQ(words.back(), "w24");

    Words argv{"quarrytide"};
    for (int i = 0; i < 30; ++i)
        argv.push_back("/" + std::to_string(i));
    const Words fromArgv = CommandLine::fromArguments(argv).getArguments();
    ASSERT_EQ(fromArgv.size(), 25u);
    EXPECT_EQ(fromArgv.front(), "/0");
}

TEST(CommandLine, ReadsTheShellsWindowSignInAndName)
{
    // The shell's arguments begin after the program path.
    ShellArguments shell = readShellArguments(CommandLine::fromArguments({"quarrytide", "/123", "/x", "/0"}));
    EXPECT_EQ(shell.shellWindow, 123u);
    EXPECT_TRUE(shell.signedOut);
    EXPECT_EQ(shell.userName, "");

    shell = readShellArguments(CommandLine("/77 /x /1 /Mara"));
    EXPECT_EQ(shell.shellWindow, 77u);
    EXPECT_FALSE(shell.signedOut);
    EXPECT_EQ(shell.userName, "Mara");

    // Started without the shell: no window, nobody signed in, and nothing read past the end.
    for (const Words& argv : {Words{"quarrytide"}, Words{"quarrytide", "/5"}, Words{"quarrytide", "/5", "/x", "/1"}}) {
        shell = readShellArguments(CommandLine::fromArguments(argv));
        EXPECT_EQ(shell.userName, "");
        EXPECT_EQ(shell.signedOut, argv.size() < 4);
    }

    // A name longer than the shell's field is cut to 127 characters.
    shell = readShellArguments(CommandLine("/1 /x /1 /" + std::string(300, 'n')));
    EXPECT_EQ(shell.userName, std::string(127, 'n'));
}

} // namespace

namespace {

// Without a signed-in user (and so always without the portal shell) the play field treats the player as a
// guest, whose score is not offered for sending.
TEST(CommandLine, NobodySignedInMakesThePlayerAGuest)
{
    EntryShellLink& link = EntryShellLink::instance();
    const bool before = link.signedOut;
    for (const bool signedOut : {true, false}) {
        link.signedOut = signedOut;
        EXPECT_EQ(GameFieldServices::instance().isGuest(), signedOut);
    }
    link.signedOut = before;
}

} // namespace

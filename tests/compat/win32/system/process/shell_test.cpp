#include "compat/win32/system/process/shell.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

namespace {

std::intptr_t code(HINSTANCE value)
{
    return reinterpret_cast<std::intptr_t>(value);
}

TEST(ShellExecute, OpensAnAddressAsOneArgumentWithoutAShell)
{
    compat::testing::recordShellOpens(true);
    const char* address = "https://example.invalid/scores?name=a%20b;rm -rf $HOME";
    EXPECT_GT(code(ShellExecuteA(nullptr, "open", address, nullptr, nullptr, 1)), 32);
    EXPECT_GT(code(ShellExecuteA(nullptr, nullptr, "file.txt", nullptr, nullptr, 1)), 32);
    EXPECT_LE(code(ShellExecuteA(nullptr, "print", "file.txt", nullptr, nullptr, 1)), 32);
    EXPECT_LE(code(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, 1)), 32);
    const auto& opened = compat::testing::recordedShellOpens();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], (std::vector<std::string>{"xdg-open", address}));
    compat::testing::recordShellOpens(false);
}

// A real start: a stand-in opener on the PATH writes its argument, which proves the vector arrives
// unchanged and that the program does not wait for the opener.
TEST(ShellExecute, StartsTheDesktopOpener)
{
    namespace fs = std::filesystem;
    fs::path folder = fs::temp_directory_path() / ("shell_test_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::path out = folder / "opened";
    {
        std::ofstream script(folder / "xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << out.string() << ".tmp' && mv '" << out.string()
               << ".tmp' '" << out.string() << "'\n";
    }
    fs::permissions(folder / "xdg-open", fs::perms::owner_all);
    std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder.string() + ":" + oldPath).c_str(), 1);
    EXPECT_GT(code(ShellExecuteA(nullptr, "open", "http://x.invalid/a b'c", nullptr, nullptr, 1)), 32);
    setenv("PATH", oldPath.c_str(), 1);
    for (int i = 0; i < 500 && !fs::exists(out); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "http://x.invalid/a b'c");
    fs::remove_all(folder);
}

} // namespace

#include "compat/win32/path.h"
#include "compat/win32/window/userdata.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Sets or clears an environment variable for the test's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name)
    {
        if (const char* old = std::getenv(name)) {
            previous = old;
            had = true;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (had)
            setenv(name, previous.c_str(), 1);
        else
            unsetenv(name);
    }

private:
    const char* name;
    std::string previous;
    bool had = false;
};

TEST(UserData, PlayerFilesLiveBelowTheDataHome)
{
    struct Case {
        const char* dataHome;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"/tmp/xdg", "/home/anna", "/tmp/xdg/quarrytide"},
        {"", "/home/anna", "/home/anna/.local/share/quarrytide"},
        {nullptr, "/home/anna", "/home/anna/.local/share/quarrytide"},
        {nullptr, nullptr, ".local/share/quarrytide"},
    };
    for (const Case& c : cases) {
        ScopedEnv data("XDG_DATA_HOME", c.dataHome);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(compat::userDataFolder(), c.folder);
        EXPECT_EQ(compat::hostPath(compat::userDataPath("data\\Anna.cfg")), std::string(c.folder) + "/data/Anna.cfg");
    }
}

} // namespace

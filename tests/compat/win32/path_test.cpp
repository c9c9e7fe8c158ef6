#include "compat/win32/path.h"

#include <gtest/gtest.h>

TEST(HostPath, TurnsBackslashesIntoSlashesOnly)
{
    EXPECT_EQ(compat::hostPath("properties\\default.uprop"), "properties/default.uprop");
    EXPECT_EQ(compat::hostPath("savegames\\a b_CLASSIC.sav.!"), "savegames/a b_CLASSIC.sav.!");
    EXPECT_EQ(compat::hostPath("plain/path"), "plain/path");
    EXPECT_EQ(compat::hostPath(static_cast<const char*>(nullptr)), "");
}

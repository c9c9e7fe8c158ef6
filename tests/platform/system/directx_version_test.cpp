#include "platform/system/DirectXVersion.h"

#include "compat/ole/dxdiag.h"
#include "compat/win32/system/machine/version.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>

namespace {

class DirectXVersionTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset()
    {
        compat::testing::setDxDiagAnswer(true, 9, 0, L'c');
        compat::testing::clearSystemFileVersions();
    }
};

TEST_F(DirectXVersionTest, DxDiagAnswersFirst)
{
    DWORD number = 77;
    char text[16] = "junk";
    EXPECT_EQ(S_OK, getDirectXVersionInfo(&number, text, sizeof text));
    EXPECT_EQ((9u << 16) + 3, number);
    EXPECT_STREQ("9.0c", text);
    EXPECT_EQ(0x900u, getDirectXVersion());

    char shortText[3];
    EXPECT_EQ(S_OK, getDirectXVersionInfo(nullptr, shortText, sizeof shortText));
    EXPECT_STREQ("9.", shortText);
    EXPECT_EQ(S_OK, getDirectXVersionInfo(nullptr, text, 0));

    compat::testing::setDxDiagAnswer(true, 9, 0, 0); // no letter
    EXPECT_EQ(S_OK, getDirectXVersionInfo(&number, text, sizeof text));
    EXPECT_EQ(9u << 16, number);
    EXPECT_STREQ("9.0", text);
}

TEST_F(DirectXVersionTest, FileVersionsAnswerWhenDxDiagCannot)
{
    compat::testing::setDxDiagAnswer(false, 0, 0, 0);
    DWORD number = 77;
    char text[16] = "junk";
    EXPECT_EQ(E_FAIL, getDirectXVersionInfo(&number, text, sizeof text));
    EXPECT_EQ(0u, number);
    EXPECT_STREQ("", text);
    EXPECT_EQ(0u, getDirectXVersion());

    compat::testing::setSystemFileVersion("ddraw.dll", makeVersion64(4, 6, 0, 318));
    EXPECT_EQ(S_OK, getDirectXVersionInfo(&number, text, sizeof text));
    EXPECT_STREQ("6.0", text);
    EXPECT_EQ(0x600u, getDirectXVersion());
}

TEST_F(DirectXVersionTest, ProbeTakesTheLastMatchingRow)
{
    using Files = std::initializer_list<std::pair<const char*, std::uint64_t>>;
    struct {
        const char* name;
        Files files;
        DWORD major, minor;
        char letter;
    } cases[] = {
        {"nothing", {}, 0, 0, ' '},
        {"too old", {{"ddraw.dll", makeVersion64(4, 2, 0, 94)}}, 0, 0, ' '},
        {"first release", {{"DDRAW.DLL", makeVersion64(4, 2, 0, 95)}}, 1, 0, ' '},
        {"6.1a", {{"ddraw.dll", makeVersion64(4, 6, 0, 436)}, {"dplayx.dll", makeVersion64(4, 6, 3, 518)}}, 6, 1, 'a'},
        {"8.0 in its second form", {{"ddraw.dll", makeVersion64(5, 1, 2258, 400)}}, 8, 0, ' '},
        {"8.1a", {{"ddraw.dll", makeVersion64(5, 1, 2600, 0)}, {"d3d8.dll", makeVersion64(5, 1, 2600, 901)}}, 8, 1, 'a'},
        // Major version 6 matches no two-form row, but every one-form row it passes.
        {"major 6", {{"ddraw.dll", makeVersion64(6, 0, 0, 0)}, {"d3d8.dll", makeVersion64(6, 0, 0, 0)}}, 7, 0, ' '},
        {"8.1b", {{"mpg2splt.ax", makeVersion64(6, 3, 1, 885)}}, 8, 1, 'b'},
        {"any d3d9", {{"d3d9.dll", 1}, {"ddraw.dll", makeVersion64(4, 7, 0, 700)}}, 9, 0, ' '},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        compat::testing::clearSystemFileVersions();
        for (const auto& [file, version] : c.files)
            compat::testing::setSystemFileVersion(file, version);
        DWORD major = 99, minor = 99;
        char letter = 'x';
        EXPECT_EQ(S_OK, probeFiles(&major, &minor, &letter));
        EXPECT_EQ(c.major, major);
        EXPECT_EQ(c.minor, minor);
        EXPECT_EQ(c.letter, letter);
    }
}

TEST_F(DirectXVersionTest, FileVersionHelpers)
{
    std::uint64_t version = 0;
    EXPECT_EQ(E_INVALIDARG, getFileVersion(nullptr, &version));
    EXPECT_EQ(E_INVALIDARG, getFileVersion("C:\\Windows\\system32\\ddraw.dll", nullptr));
    EXPECT_EQ(E_FAIL, getFileVersion("C:\\Windows\\system32\\ddraw.dll", &version));
    compat::testing::setSystemFileVersion("ddraw.dll", makeVersion64(4, 6, 0, 318));
    EXPECT_EQ(S_OK, getFileVersion("C:\\Windows\\system32\\ddraw.dll", &version));
    EXPECT_EQ(0x0004000600000000ull + 318, version);
    EXPECT_EQ(E_FAIL, getFileVersion("ddraw.dll", &version)) << "only system libraries have versions";

    EXPECT_EQ(0x0001000200030004ull, makeVersion64(1, 2, 3, 4));
    EXPECT_EQ(0xFFFF000000000000ull, makeVersion64(0x1FFFF, 0, 0, 0));
    EXPECT_EQ(1, compareVersion64(0x8000000000000000ull, 1));
    EXPECT_EQ(-1, compareVersion64(1, 2));
    EXPECT_EQ(0, compareVersion64(5, 5));
}

} // namespace

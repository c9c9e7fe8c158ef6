#include "resources/settings/RegistryValue.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RegistryValue : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::setRegistryFile(dir.file("registry"));
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Test", &key), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(key);
        compat::testing::setRegistryFile("");
    }

    testsupport::TempDir dir;
    HKEY key = nullptr;
};

TEST_F(RegistryValue, ReadsEachKindAndLeavesTheTargetAloneOtherwise)
{
    const std::string longText(70000, 'q');
    const unsigned char number[8] = {0x78, 0x56, 0x34, 0x12, 0xAA, 0xBB, 0xCC, 0xDD};
    struct Case {
        const char* what;
        DWORD type; // REG_NONE: nothing is stored
        const void* data;
        DWORD size;
        bool isDword;
        DWORD dword;
        bool isString;
        std::string text;
    };
    const Case cases[] = {
        {"missing", REG_NONE, nullptr, 0, false, 0, false, ""},
        {"a number", REG_DWORD, number, 4, true, 0x12345678, false, ""},
        {"a number's top bit", REG_DWORD, "\xFF\xFF\xFF\xFF", 4, true, 0xFFFFFFFF, false, ""},
        // The registry keeps four bytes of a longer number and refuses a shorter one.
        {"a number given eight bytes", REG_DWORD, number, 8, true, 0x12345678, false, ""},
        {"a number given two bytes", REG_DWORD, number, 2, false, 0, false, ""},
        {"a text", REG_SZ, "gold", 5, false, 0, true, "gold"},
        {"an empty text", REG_SZ, "", 1, false, 0, true, ""},
        {"a text of no bytes", REG_SZ, "", 0, false, 0, true, ""},
        {"a text without its zero", REG_SZ, "cart!", 4, false, 0, true, "cart"},
        {"a zero inside a text", REG_SZ, "ab\0cd", 6, false, 0, true, "ab"},
        {"a long text", REG_SZ, longText.c_str(), static_cast<DWORD>(longText.size() + 1), false, 0, true, longText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const char* name = c.what; // one value a case
        if (c.type != REG_NONE)
            RegSetValueExA(key, name, 0, c.type, static_cast<const BYTE*>(c.data), c.size);

        DWORD dword = 0xBEEF;
        EXPECT_EQ(readRegistryDword(key, name, dword), c.isDword);
        EXPECT_EQ(dword, c.isDword ? c.dword : 0xBEEF);

        std::string text = "kept";
        EXPECT_EQ(readRegistryString(key, name, text), c.isString);
        EXPECT_EQ(text, c.isString ? c.text : "kept");
    }
}

} // namespace

#include "compat/ole/control.h"

#include <gtest/gtest.h>

namespace {

TEST(ClassId, ReadsTheRegistryFormAndRefusesAnythingElse)
{
    const CLSID expected = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    for (const wchar_t* text : {L"{D27CDB6E-AE6D-11CF-96B8-444553540000}", L"{d27cdb6e-ae6d-11cf-96b8-444553540000}"}) {
        CLSID id{};
        EXPECT_EQ(CLSIDFromString(text, &id), S_OK);
        EXPECT_TRUE(id == expected);
    }
    struct Case {
        const char* what;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"a ProgID", L"ShockwaveFlash.ShockwaveFlash"},
        {"no braces", L"D27CDB6E-AE6D-11CF-96B8-444553540000"},
        {"a digit short", L"{D27CDB6E-AE6D-11CF-96B8-44455354000}"},
        {"a dash out of place", L"{D27CDB6EA-E6D-11CF-96B8-444553540000}"},
        {"not a digit", L"{D27CDB6G-AE6D-11CF-96B8-444553540000}"},
        {"a wide character", L"{D27CDB6\u0130-AE6D-11CF-96B8-444553540000}"},
        {"empty", L""},
    };
    for (const Case& c : cases) {
        CLSID id = expected;
        EXPECT_EQ(CLSIDFromString(c.text, &id), CO_E_CLASSSTRING) << c.what;
        EXPECT_TRUE(id == CLSID{}) << c.what << ": the class id is zeroed";
    }
    EXPECT_EQ(CLSIDFromString(nullptr, nullptr), E_INVALIDARG);
}

} // namespace

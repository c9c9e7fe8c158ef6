#include "resources/settings/RegistryInt.h"
#include "resources/settings/RegistryScript.h"
#include "resources/settings/RegistryString.h"

#include "compat/win32/system/process/module.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const char* const kScript =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "\"early\"=dword:00000001\r\n"
    "[HKEY_CURRENT_USER\\Software\\A]\r\n"
    "\"x\"=dword:0000001f\r\n"
    "\"path\"=\"C:\\\\Games\\\\Mine\"\r\n"
    "\"empty\"=\"\"\r\n"
    "\"binary\"=hex:01,02\r\n"
    "=\"no name\"\r\n"
    "[HKEY_FOO\\Software\\A]\r\n"
    "\"lost\"=dword:00000002\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\B]\r\n"
    "\"InstallDir\"=\"D:\\\\B\"\r\n";

// The same text as the registry editor saves it in UTF-16: FF FE, then every byte followed by 0.
std::string utf16(const std::string& text)
{
    std::string wide = "\xFF\xFE";
    for (char c : text) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

class RegistryScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::setRegistryFile(dir.file("registry"));
        compat::testing::setModuleFileName(dir.file("quarrytide").c_str());
    }
    void TearDown() override
    {
        compat::testing::setRegistryFile("");
        compat::testing::setModuleFileName("");
    }

    void apply(const std::string& script, int overwrite)
    {
        applyRegistryScript(reinterpret_cast<const unsigned char*>(script.data()), script.size(), overwrite);
    }
    DWORD number(const char* path, HKEY root = HKEY_CURRENT_USER)
    {
        return RegistryInt(path, 0xDEAD, 1, root).get();
    }
    std::string text(const char* path, HKEY root = HKEY_CURRENT_USER)
    {
        return RegistryString(path, "<absent>", 1, root).get();
    }
    void expectScriptApplied()
    {
        EXPECT_EQ(number("Software\\A\\x"), 31u);
        EXPECT_EQ(text("Software\\A\\path"), "C:\\\\Games\\\\Mine") << "no escape processing";
        EXPECT_EQ(text("Software\\A\\empty"), "");
        EXPECT_EQ(text("SOFTWARE\\B\\InstallDir", HKEY_LOCAL_MACHINE), "D:\\\\B");
        EXPECT_EQ(text("Software\\A\\binary"), "<absent>");
        EXPECT_EQ(number("early"), 0xDEADu) << "a value before any key line is ignored";
        EXPECT_EQ(number("Software\\A\\lost"), 0xDEADu) << "an unknown root opens no key";
    }

    testsupport::TempDir dir;
};

TEST_F(RegistryScript, EightBitScriptIsApplied)
{
    apply(kScript, 1);
    expectScriptApplied();
}

TEST_F(RegistryScript, Utf16ScriptAppliesLikeItsEightBitForm)
{
    apply(utf16(kScript), 1);
    expectScriptApplied();
}

TEST_F(RegistryScript, OverwriteDecidesWhetherExistingValuesChange)
{
    RegistryInt(std::string("Software\\A\\x"), 0, 1).set(5);
    apply(kScript, 0);
    EXPECT_EQ(number("Software\\A\\x"), 5u);
    EXPECT_EQ(text("Software\\A\\path"), "C:\\\\Games\\\\Mine") << "missing values are still written";
    apply(kScript, 1);
    EXPECT_EQ(number("Software\\A\\x"), 31u);
}

TEST_F(RegistryScript, ScriptIsFoundBesideTheProgram)
{
    testsupport::writeFile(dir.file("setup.reg"), utf16(kScript));
    importRegistryFile("setup.reg", 1);
    expectScriptApplied();

    importRegistryFile("missing.reg", 1);  // nothing happens, nothing fails
    compat::testing::setModuleFileName("quarrytide");
    importRegistryFile("setup.reg", 1);  // a module path without a directory ends the import
}

// An installed program keeps its data apart from its executable: without a script beside the
// program, the one in the working directory (the data directory) is applied.
TEST_F(RegistryScript, InstalledScriptIsFoundInTheDataDirectory)
{
    testsupport::TempDir data(true);
    std::filesystem::create_directories(dir.path() / "bin");
    compat::testing::setModuleFileName((dir.path() / "bin" / "quarrytide").c_str());
    testsupport::writeFile(data.file("setup.reg"), kScript);
    importRegistryFile("setup.reg", 1);
    expectScriptApplied();
}

TEST_F(RegistryScript, DamagedScriptsApplyWhatTheyCan)
{
    const std::string cases[] = {
        "",
        "\xFF",
        "\xFF\xFE",
        "\xFF\xFE[",
        "[HKEY_",
        "[HKEY_]\n\"v\"=dword:1\n",
        "[HKEY_CURRENT_USER]\n\"root\"=dword:2\n",
        "[HKEY_CURRENT_USER\\S]\n\"\n\"a\"=\n\"b\"=\"\n\"c\"=dword:\n\"d\"=dword:zz\n\"q\"\"=dword:3\n",
        "[HKEY_CURRENT_USER\\S]\n\"nul\"=\"a" + std::string(1, '\0') + "b\"\n",
    };
    for (const std::string& script : cases)
        apply(script, 1);
    EXPECT_EQ(number("root"), 2u);
    EXPECT_EQ(number("S\\c"), 0u);
    EXPECT_EQ(number("S\\d"), 0u);
    EXPECT_EQ(text("S\\b"), "");
    EXPECT_EQ(text("S\\nul"), "a");
    EXPECT_EQ(number("S\\q\""), 3u) << "the name runs up to the first quote-and-equals pair";
}

} // namespace

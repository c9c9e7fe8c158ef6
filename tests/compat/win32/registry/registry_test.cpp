#include "compat/win32/registry/registry.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override { compat::testing::setRegistryFile(file); }
    void TearDown() override { compat::testing::setRegistryFile(""); }

    // Creates the key and sets one value in it, as the game's settings writer does.
    void setDword(const char* key, const char* name, DWORD value)
    {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                  nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    void setString(const char* key, const char* name, const std::string& text, DWORD size)
    {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, key, &k), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()), size),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    // Reads a value back; false when the key or value is missing.
    bool query(const char* key, const char* name, DWORD& type, std::string& bytes)
    {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &k) != ERROR_SUCCESS)
            return false;
        DWORD size = 0;
        LONG result = RegQueryValueExA(k, name, nullptr, &type, nullptr, &size);
        if (result == ERROR_SUCCESS) {
            bytes.assign(size, '?');
            result = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
        }
        RegCloseKey(k);
        return result == ERROR_SUCCESS;
    }
    DWORD dword(const char* key, const char* name)
    {
        DWORD type = 0;
        std::string bytes;
        EXPECT_TRUE(query(key, name, type, bytes));
        EXPECT_EQ(type, REG_DWORD);
        DWORD value = 0;
        if (bytes.size() == 4)
            std::memcpy(&value, bytes.data(), 4);
        return value;
    }

    testsupport::TempDir dir;
    std::string file = dir.file("config/quarrytide/registry");
};

TEST_F(Registry, ValuesSurviveInTheFileAndNamesIgnoreCase)
{
    setDword("Software\\Vantrel\\Game", "MusicVolume", 200);
    setString("Software\\Vantrel\\Game", "language", "de", 3);

    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(dword("SOFTWARE\\vantrel\\GAME", "musicvolume"), 200u);

    // Setting under another spelling replaces the value instead of adding a second one.
    setDword("software\\VANTREL\\game", "MUSICVOLUME", 7);
    EXPECT_EQ(dword("Software\\Vantrel\\Game", "MusicVolume"), 7u);
    std::string text = testsupport::readFile(file);
    EXPECT_EQ(text.find("MUSICVOLUME"), std::string::npos) << "the first spelling is kept";
    EXPECT_NE(text.find("\"MusicVolume\"=dword:00000007"), std::string::npos) << text;
    EXPECT_NE(text.find("\"language\"=\"de\""), std::string::npos) << text;
}

TEST_F(Registry, StringsComeBackTerminatedWhateverSizeTheyWereWrittenWith)
{
    setString("Software\\A", "nul", "text", 5);    // length + 1, with its zero byte
    setString("Software\\A", "bare", "text", 4);   // length only, no zero byte
    setString("Software\\A", "cut", "te\0xt", 5);  // ends at the first zero byte

    for (const char* name : {"nul", "bare"}) {
        DWORD type = 0;
        std::string bytes;
        ASSERT_TRUE(query("Software\\A", name, type, bytes)) << name;
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(bytes, std::string("text", 5)) << name;
    }
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(query("Software\\A", "cut", type, bytes));
    EXPECT_EQ(bytes, std::string("te", 3));
}

TEST_F(Registry, TooSmallBufferGetsNothingAndTheSizeNeeded)
{
    setString("Software\\A", "s", "hello", 6);
    HKEY k = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A", 0, KEY_READ, &k), ERROR_SUCCESS);
    char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(k, "s", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::string(buffer, 5), "xxxxx");
    EXPECT_EQ(RegQueryValueExA(k, "s", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), nullptr),
              ERROR_INVALID_PARAMETER);
    RegCloseKey(k);
}

TEST_F(Registry, MissingKeysValuesAndBadArgumentsFail)
{
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Nothing", 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(file)) << "reading creates no file";

    setDword("Software\\A\\B", "x", 1);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\A", 0, KEY_READ, &k), ERROR_SUCCESS)
        << "keys above a created key exist";
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(k, "x", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    DWORD one = 1;
    EXPECT_EQ(RegSetValueExA(k, "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 2), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(k, "x", 0, 3 /* binary */, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(k), ERROR_INVALID_HANDLE) << "a closed handle is refused, not used";
    EXPECT_EQ(RegQueryValueExA(k, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\line\nbreak", &k), ERROR_INVALID_PARAMETER);
}

TEST_F(Registry, RootsAreSeparateAndSubKeysOpenBelowOpenKeys)
{
    setDword("Software\\A", "x", 1);
    HKEY machine = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\A", 0, KEY_READ, &machine), ERROR_FILE_NOT_FOUND);

    HKEY software = nullptr;
    HKEY a = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(software, "A", 0, nullptr, 0, KEY_WRITE, nullptr, &a, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExA(a, "X", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    RegCloseKey(a);
    RegCloseKey(software);
}

TEST_F(Registry, DamagedFileKeepsEveryReadableValue)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    testsupport::writeFile(file,
                           "garbage line\n"
                           "\"orphan\"=dword:1\n"
                           "[HKEY_CURRENT_USER\\Software\\A]\r\n"
                           "\"good\"=dword:0000002a\r\n"
                           "\"toolong\"=dword:123456789\n"
                           "\"badhex\"=dword:12g4\n"
                           "\"open\"=\"no end\n"
                           "\"badescape\"=\"a\\q\"\n"
                           "\"text\"=\"a\\\\b\\\"c\\x09d\"\n"
                           "[HKEY_NOWHERE\\X]\n"
                           "\"lost\"=dword:1\n"
                           "[HKEY_CURRENT_USER\\Software\\B\n"
                           "\"alsolost\"=dword:1\n"
                           "[HKEY_CURRENT_USER\\Software\\A]\n"
                           "\"later\"=\"\xC4\xE3\"\n");
    EXPECT_EQ(dword("Software\\A", "good"), 42u);
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(query("Software\\A", "text", type, bytes));
    EXPECT_EQ(bytes, std::string("a\\b\"c\td", 8));
    ASSERT_TRUE(query("Software\\A", "later", type, bytes));
    EXPECT_EQ(bytes, std::string("\xC4\xE3", 3)) << "bytes above 127 pass unchanged";
    for (const char* name : {"orphan", "toolong", "badhex", "open", "badescape", "lost", "alsolost"})
        EXPECT_FALSE(query("Software\\A", name, type, bytes)) << name;

    // The next change rewrites the file with the good values intact.
    setDword("Software\\A", "new", 5);
    EXPECT_EQ(dword("Software\\A", "good"), 42u);
    EXPECT_EQ(dword("Software\\A", "new"), 5u);
}

TEST_F(Registry, ControlBytesAndQuotesRoundTripThroughTheFile)
{
    std::string awkward = "line1\nline2\r\t\"quoted\" back\\slash ]";
    setString("Software\\A", "a\"b", awkward, static_cast<DWORD>(awkward.size()));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(query("Software\\A", "a\"b", type, bytes));
    EXPECT_EQ(bytes, awkward + '\0');
}

TEST_F(Registry, WritesGoThroughATemporaryFileAndFailuresAreReported)
{
    setDword("Software\\A", "x", 1);
    setDword("Software\\A", "y", 2);
    std::filesystem::path folder = std::filesystem::path(file).parent_path();
    auto isOurs = [](const std::filesystem::path& name) { return name == "registry" || name == "registry.lock"; };
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_TRUE(isOurs(entry.path().filename())) << entry.path() << ": no temporary file is left behind";

    // A registry file that cannot be replaced (here a folder stands in its place) makes the write
    // fail visibly, and the temporary file goes away.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    HKEY k = nullptr;
    EXPECT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\A", &k), ERROR_CANTWRITE);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "", 0, KEY_WRITE, &k), ERROR_SUCCESS);
    DWORD two = 2;
    EXPECT_EQ(RegSetValueExA(k, "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4), ERROR_CANTWRITE);
    RegCloseKey(k);
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_TRUE(isOurs(entry.path().filename())) << entry.path();
}

TEST_F(Registry, HandEditedFileIsReadAndWhatCannotBeReadIsReportedWhenItIsDropped)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    testsupport::writeFile(file,
                           "\xEF\xBB\xBF[HKEY_CURRENT_USER\\Software\\A]  \n"
                           "\"spaced\" = dword:0000002a  \n"
                           "  \"tabbed\"\t=\t\"text\"\t\r\n"
                           "\"broken\"=dword:xyz\n"
                           "\"kept\"=dword:1\n");
    EXPECT_EQ(dword("Software\\A", "spaced"), 42u);
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(query("Software\\A", "tabbed", type, bytes));
    EXPECT_EQ(bytes, std::string("text", 5));

    // Reading reports nothing; the write that drops the damaged line names it and its number.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(dword("Software\\A", "kept"), 1u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ::testing::internal::CaptureStderr();
    setDword("Software\\A", "new", 5);
    std::string log = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("line 4 cannot be read"), std::string::npos) << log;
    EXPECT_NE(log.find("\"broken\"=dword:xyz"), std::string::npos) << log;
    EXPECT_EQ(log.find("line 5"), std::string::npos) << log;
    EXPECT_EQ(dword("Software\\A", "spaced"), 42u);
    EXPECT_EQ(dword("Software\\A", "new"), 5u);
}

TEST_F(Registry, ConcurrentWritersFromSeveralProcessesLoseNothing)
{
    constexpr int processes = 24, valuesEach = 4;
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Each process opens its key afresh for every value, as separate settings writers do.
            for (int v = 0; v < valuesEach; ++v) {
                std::string name = "p" + std::to_string(p) + "v" + std::to_string(v);
                HKEY k = nullptr;
                DWORD number = static_cast<DWORD>(p * 100 + v);
                bool ok = RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Shared", &k) == ERROR_SUCCESS
                          && RegSetValueExA(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4)
                                 == ERROR_SUCCESS;
                RegCloseKey(k);
                if (!ok)
                    _exit(1);
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int p = 0; p < processes; ++p)
        for (int v = 0; v < valuesEach; ++v) {
            std::string name = "p" + std::to_string(p) + "v" + std::to_string(v);
            EXPECT_EQ(dword("Software\\Shared", name.c_str()), static_cast<DWORD>(p * 100 + v)) << name;
        }
}

// Every name RegEnumKeyExA gives for `key`, in index order, until it stops; `last` is what stopped it.
std::vector<std::string> enumerate(HKEY key, LONG& last)
{
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        char name[260];
        DWORD size = sizeof name;
        last = RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (last != ERROR_SUCCESS)
            return names;
        EXPECT_EQ(size, std::strlen(name)) << "the length comes back without the zero";
        names.push_back(name);
    }
}

TEST_F(Registry, EnumerationListsDirectSubKeysOnceInNameOrder)
{
    setDword("Software\\P\\b", "x", 1);
    setDword("Software\\P\\A", "x", 1);
    setDword("Software\\P\\c\\deep", "x", 1);
    setDword("Software\\P\\a", "x", 2);       // the same key as "A"
    setDword("Software\\Pz\\notmine", "x", 1); // a sibling whose name starts alike
    setDword("Software\\p12", "x", 1);

    HKEY p = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\p", 0, KEY_READ, &p), ERROR_SUCCESS);
    LONG last = ERROR_SUCCESS;
    EXPECT_EQ(enumerate(p, last), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(last, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(enumerate(HKEY_CURRENT_USER, last), std::vector<std::string>{"Software"});
    EXPECT_EQ(enumerate(HKEY_LOCAL_MACHINE, last), std::vector<std::string>{});
    EXPECT_EQ(last, ERROR_NO_MORE_ITEMS);

    // A buffer without room for the zero gets nothing and keeps its size; one with room gets the name,
    // an empty class and a zero time.
    setDword("Software\\Q\\four", "x", 1);
    HKEY q = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Q", 0, KEY_READ, &q), ERROR_SUCCESS);
    char name[5] = {'?', '?', '?', '?', '?'};
    DWORD size = 4;
    EXPECT_EQ(RegEnumKeyExA(q, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(std::string(name, 5), "?????");
    size = 5;
    char keyClass[4] = {'?', '?', '?', '?'};
    DWORD classSize = sizeof keyClass;
    FILETIME written{7, 7};
    EXPECT_EQ(RegEnumKeyExA(q, 0, name, &size, nullptr, keyClass, &classSize, &written), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name), "four");
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(keyClass[0], '\0');
    EXPECT_EQ(classSize, 0u);
    EXPECT_EQ(written.dwLowDateTime | written.dwHighDateTime, 0u);
    EXPECT_EQ(RegEnumKeyExA(q, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);

    // Deleting while enumerating: each call reads the registry as it is now.
    ASSERT_EQ(RegDeleteKeyA(q, "four"), ERROR_SUCCESS);
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(q, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Q"), ERROR_SUCCESS);
    EXPECT_EQ(RegEnumKeyExA(q, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND)
        << "a handle on a deleted key finds nothing";
    RegCloseKey(q);
    EXPECT_EQ(RegEnumKeyExA(q, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    RegCloseKey(p);
}

TEST_F(Registry, DeletingAKeyTakesItsValuesAndLeavesItsNeighbours)
{
    setDword("Software\\V\\parent\\child", "x", 1);
    setDword("Software\\V\\leaf", "gone", 1);
    setDword("Software\\V\\leafy", "kept", 2);
    setDword("Software\\V", "own", 3);

    struct Case {
        const char* subKey;
        LONG result;
    } cases[] = {
        {"Software\\V\\missing", ERROR_FILE_NOT_FOUND},
        {"Software\\V\\parent", ERROR_ACCESS_DENIED}, // it still has a sub-key
        {"", ERROR_ACCESS_DENIED},                     // the root itself
        {nullptr, ERROR_INVALID_PARAMETER},
        {"Software\\line\nbreak", ERROR_INVALID_PARAMETER},
        {"SOFTWARE\\v\\LEAF", ERROR_SUCCESS},
        {"Software\\V\\leaf", ERROR_FILE_NOT_FOUND}, // already gone
        {"Software\\V\\parent\\child\\", ERROR_SUCCESS},
        {"Software\\V\\parent", ERROR_SUCCESS}, // its last sub-key went before it
    };
    for (const Case& c : cases)
        EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, c.subKey), c.result) << (c.subKey ? c.subKey : "(null)");

    DWORD type = 0;
    std::string bytes;
    EXPECT_EQ(dword("Software\\V\\leafy", "kept"), 2u);
    EXPECT_EQ(dword("Software\\V", "own"), 3u);
    HKEY k = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\V\\leaf", 0, KEY_READ, &k), ERROR_FILE_NOT_FOUND);
    std::string text = testsupport::readFile(file);
    EXPECT_EQ(text.find("leaf]"), std::string::npos) << text;
    EXPECT_EQ(text.find("parent"), std::string::npos) << text;

    // A key made again after its deletion starts without the old values.
    setDword("Software\\V\\leaf", "new", 4);
    EXPECT_FALSE(query("Software\\V\\leaf", "gone", type, bytes));

    // Below an open key, and through a temporary file like every other change.
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\V", 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(k, "leaf"), ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_FALSE(query("Software\\V\\leaf", "new", type, bytes));
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(file).parent_path())) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "registry" || name == "registry.lock") << name;
    }
}

TEST(RegistryLocation, EnvironmentChoosesTheFile)
{
    struct Restore {
        std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
        ~Restore() { setenv("HOME", home.c_str(), 1); }
    } restore;
    setenv("QUARRYTIDE_REGISTRY", "/tmp/chosen-registry", 1);
    EXPECT_EQ(compat::registryFilePath(), "/tmp/chosen-registry");
    unsetenv("QUARRYTIDE_REGISTRY");
    setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(compat::registryFilePath(), "/tmp/xdg/quarrytide/registry");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/tmp/home", 1);
    EXPECT_EQ(compat::registryFilePath(), "/tmp/home/.config/quarrytide/registry");
}

} // namespace

#include "services/shell/ServiceShell.h"

#include "tests/services/LoopbackServer.h"

#include "compat/win32/system/process/module.h"
#include "compat/win32/registry/registry.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <vector>
#include <unistd.h>

namespace fs = std::filesystem;
using services::testing::LoopbackServer;

namespace {

std::string packageArchive(const fs::path& scratch)
{
    zipFile zip = zipOpen64(scratch.c_str(), APPEND_STATUS_CREATE);
    zipOpenNewFileInZip64(zip, "index.html", nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                          Z_DEFAULT_COMPRESSION, 0);
    zipWriteInFileInZip(zip, "<html/>", 7);
    zipCloseFileInZip(zip);
    zipClose(zip, nullptr);
    std::ifstream in(scratch, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MergeAdsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("quarry-merge-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "bin");
        compat::testing::setRegistryFile((root / "user.reg").string());
        compat::testing::setModuleFileName((root / "bin" / "quarrytide").c_str());
    }
    void TearDown() override
    {
        compat::testing::setModuleFileName("");
        compat::testing::setRegistryFile("");
        fs::remove_all(root);
    }
    fs::path root;
};

} // namespace

TEST_F(MergeAdsTest, InstallsOfferedPackagesAndDropsStaleOnes)
{
    std::string zip = packageArchive(root / "made.zip");
    LoopbackServer server("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(zip.size()) + "\r\n\r\n" + zip);
    services::ServiceShell shell;
    shell.limits.readTimeoutMs = 500;
    shell.loadServiceSettings(42);
    auto& table = shell.getSettings()->getAdTable();

    shell.mergeAds({});
    EXPECT_TRUE(table.empty());

    services::OfferedPackage seven{7, "3,4", server.url("/7.zip")};
    shell.mergeAds({seven});
    ASSERT_EQ(table.count(7), 1u);
    EXPECT_TRUE(fs::is_regular_file(root / "bin" / "ads" / "7" / "index.html"));
    EXPECT_FALSE(fs::exists(root / "bin" / "ads" / "7" / "tmparchive.zip"));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Vantrel\\games\\42\\zevuzuded\\ads\\7", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);

    // Offered again: kept without a download. Not offered any more: its files go.
    fs::create_directories(root / "bin" / "ads" / "9");
    table[9] = std::make_shared<services::AdUpdater>(9, (root / "bin" / "ads").string(), "unused");
    shell.mergeAds({seven});
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(table.count(9), 0u);
    EXPECT_FALSE(fs::exists(root / "bin" / "ads" / "9"));
    EXPECT_EQ(table.count(7), 1u);
}

TEST_F(MergeAdsTest, AFailedDownloadInstallsNothing)
{
    LoopbackServer server("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nnope");
    services::ServiceShell shell;
    shell.limits.readTimeoutMs = 500;
    shell.loadServiceSettings(42);
    shell.mergeAds({{8, "", server.url("/8.zip")}});
    EXPECT_TRUE(shell.getSettings()->getAdTable().empty());
    EXPECT_FALSE(fs::exists(root / "bin" / "ads" / "8" / "index.html"));
}

namespace {

const char* const kAdsKey = "Software\\Vantrel\\games\\42\\zevuzuded\\ads";

void putString(HKEY key, const char* name, const std::string& value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

// A package key below "ads" as an earlier run or a hand edit left it; a null value is left out.
void putPackageKey(const std::string& name, const char* url, const char* gameIds)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (std::string(kAdsKey) + "\\" + name).c_str(), &key), ERROR_SUCCESS);
    if (url != nullptr)
        putString(key, "filenameurl", url);
    if (gameIds != nullptr)
        putString(key, "gameids", gameIds);
    RegCloseKey(key);
}

bool keyExists(const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<int> idsOf(const std::map<int, std::shared_ptr<services::AdUpdater>>& table)
{
    std::vector<int> ids;
    for (const auto& entry : table)
        ids.push_back(entry.first);
    return ids;
}

} // namespace

TEST_F(MergeAdsTest, TheTableIsReadFromSubKeysNamedByAPlainDecimalId)
{
    struct Case {
        std::string name;
        const char* url;
        const char* gameIds;
    } cases[] = {
        {"12", "http://h.test/12.zip", "3,4"},
        {"2147483647", "u", ""},            // the largest id there is
        {"7", "http://h.test/7.zip", nullptr}, // one value missing
        {"0", "u", "g"},
        {"-3", "u", "g"},
        {"012", "u", "g"}, // would name package 12 a second way
        {"+5", "u", "g"},
        {"5x", "u", "g"},
        {"five", "u", "g"},
        {"2147483648", "u", "g"}, // too large for an id
        {std::string(300, '1'), "u", "g"}, // longer than the name buffer; the ones after it still count
    };
    for (const Case& c : cases)
        putPackageKey(c.name, c.url, c.gameIds);
    {
        // "gameids" present but not as a text.
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (std::string(kAdsKey) + "\\8").c_str(), &key), ERROR_SUCCESS);
        putString(key, "filenameurl", "u");
        DWORD number = 1;
        RegSetValueExA(key, "gameids", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
        RegCloseKey(key);
    }

    services::ServiceShell shell;
    shell.loadServiceSettings(42);
    auto& table = shell.getSettings()->getAdTable();
    EXPECT_EQ(idsOf(table), (std::vector<int>{12, 2147483647}));
    ASSERT_EQ(table.count(12), 1u);
    EXPECT_EQ(table[12]->getFileNameUrl(), "http://h.test/12.zip");
    EXPECT_EQ(table[12]->getGameIds(), "3,4");
    EXPECT_EQ(fs::path(table[12]->directory()), root / "bin" / "ads" / "12");

    // The check reads the packages again: a changed entry replaces the one in the table.
    putPackageKey("12", "http://h.test/12b.zip", "5");
    shell.getSettings()->isCheckDue();
    EXPECT_EQ(table[12]->getFileNameUrl(), "http://h.test/12b.zip");
    EXPECT_EQ(table[12]->getGameIds(), "5");
}

TEST_F(MergeAdsTest, WithdrawnPackagesLoseKeyFilesAndPlaceAndTheNextStartSeesTheSameTable)
{
    std::string zip = packageArchive(root / "made.zip");
    LoopbackServer server("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(zip.size()) + "\r\n\r\n" + zip);
    for (const char* id : {"12", "3"}) {
        putPackageKey(id, "http://h.test/old.zip", "1");
        fs::create_directories(root / "bin" / "ads" / id);
        std::ofstream(root / "bin" / "ads" / id / "index.html") << "<html/>";
    }
    putPackageKey("12\\added-by-hand", "x", "y");
    putPackageKey("012", "http://h.test/old.zip", "1"); // not a package name of ours: left alone

    services::ServiceShell shell;
    shell.limits.readTimeoutMs = 500;
    shell.loadServiceSettings(42);
    auto& table = shell.getSettings()->getAdTable();
    ASSERT_EQ(idsOf(table), (std::vector<int>{3, 12}));

    // 3 stays offered, 12 is withdrawn, 5 is new.
    shell.mergeAds({{3, "1", server.url("/3.zip")}, {5, "9", server.url("/5.zip")}});
    EXPECT_EQ(idsOf(table), (std::vector<int>{3, 5}));
    EXPECT_EQ(server.requests().size(), 1u) << "only the new package is downloaded";
    EXPECT_FALSE(keyExists(std::string(kAdsKey) + "\\12"));
    EXPECT_FALSE(fs::exists(root / "bin" / "ads" / "12"));
    EXPECT_TRUE(keyExists(std::string(kAdsKey) + "\\012"));
    EXPECT_TRUE(fs::is_regular_file(root / "bin" / "ads" / "5" / "index.html"));

    services::ServiceShell restarted;
    restarted.loadServiceSettings(42);
    auto& again = restarted.getSettings()->getAdTable();
    EXPECT_EQ(idsOf(again), (std::vector<int>{3, 5}));
    ASSERT_EQ(again.count(5), 1u);
    EXPECT_EQ(again[5]->getFileNameUrl(), server.url("/5.zip"));
    EXPECT_EQ(again[5]->getGameIds(), "9");

    // An offer of only a package that cannot be fetched withdraws every other: the ads key keeps only
    // the sub-key that is none of ours.
    restarted.limits.connectTimeoutMs = 500;
    restarted.mergeAds({{77, "", "http://127.0.0.1:1/77.zip"}});
    EXPECT_TRUE(again.empty());
    HKEY ads = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kAdsKey, 0, KEY_READ, &ads), ERROR_SUCCESS);
    char name[260];
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyExA(ads, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::string(name), "012");
    size = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(ads, 1, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(ads);
}

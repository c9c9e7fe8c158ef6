#include "services/shell/ServiceShell.h"

#include "tests/services/LoopbackServer.h"

#include "compat/win32/module.h"
#include "compat/win32/registry.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

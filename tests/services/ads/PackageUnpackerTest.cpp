#include "services/ads/PackageUnpacker.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

class PackageUnpackerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("quarry-ads-" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        package = root / "ads" / "12";
        archive = root / "tmparchive.zip";
    }
    void TearDown() override { fs::remove_all(root); }

    // Writes an archive of (name, content) entries; a name ending in "/" is a folder entry.
    void makeArchive(const std::vector<std::pair<std::string, std::string>>& entries)
    {
        zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
        ASSERT_NE(zip, nullptr);
        for (const auto& [name, content] : entries) {
            ASSERT_EQ(zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                            Z_DEFAULT_COMPRESSION, 0),
                      ZIP_OK);
            if (!content.empty())
                zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
            zipCloseFileInZip(zip);
        }
        zipClose(zip, nullptr);
    }
    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path root;
    fs::path package;
    fs::path archive;
};

} // namespace

TEST(PackageEntryNames, UnsafeNamesAreRefused)
{
    struct Case {
        const char* name;
        const char* path;
    } cases[] = {
        {"index.html", "index.html"},
        {"img\\a.png", "img/a.png"},
        {"img/", "img/"},
        {"../evil", ""},
        {"a/../../evil", ""},
        {"/etc/passwd", ""},
        {"\\evil", ""},
        {"C:evil", ""},
        {"a//b", ""},
        {"./a", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(services::safeEntryPath(c.name), c.path) << c.name;
}

TEST_F(PackageUnpackerTest, UnpacksFilesWhoseFoldersHaveNoEntries)
{
    makeArchive({{"index.html", "<html/>"}, {"img/deep/a.png", "png"}, {"css/", ""}, {"empty.txt", ""}});
    EXPECT_TRUE(services::unpackPackage(archive.string(), package.string()));
    EXPECT_EQ(read(package / "index.html"), "<html/>");
    EXPECT_EQ(read(package / "img" / "deep" / "a.png"), "png");
    EXPECT_TRUE(fs::is_directory(package / "css"));
    EXPECT_TRUE(fs::is_regular_file(package / "empty.txt"));
}

TEST_F(PackageUnpackerTest, HostileEntriesStayInsideThePackage)
{
    fs::create_directories(package);
    fs::create_directories(root / "outside");
    fs::create_symlink(root / "outside", package / "link");
    makeArchive({{"../escaped.txt", "x"},
                 {"/tmp/absolute.txt", "x"},
                 {"link/through.txt", "x"},
                 {"big.bin", std::string(2048, 'b')},
                 {"sub/page.html", "ok"}});
    services::UnpackLimits limits;
    limits.maxEntryBytes = 1024;
    EXPECT_FALSE(services::unpackPackage(archive.string(), package.string(), limits));
    EXPECT_FALSE(fs::exists(package.parent_path() / "escaped.txt"));
    EXPECT_TRUE(fs::is_empty(root / "outside"));
    EXPECT_FALSE(fs::exists(package / "big.bin"));
    EXPECT_EQ(read(package / "sub" / "page.html"), "ok");

    // Deleting the tree removes the link, not what it points at.
    fs::create_directories(root / "outside" / "keep");
    services::deleteDirectoryTree(package.string());
    EXPECT_FALSE(fs::exists(package));
    EXPECT_TRUE(fs::exists(root / "outside" / "keep"));
}

TEST_F(PackageUnpackerTest, BrokenArchiveUnpacksNothing)
{
    std::ofstream(archive, std::ios::binary) << "PK\x03\x04 not really a zip";
    EXPECT_FALSE(services::unpackPackage(archive.string(), package.string()));
    EXPECT_FALSE(services::unpackPackage((root / "missing.zip").string(), package.string()));
}

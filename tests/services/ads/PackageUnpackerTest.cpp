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

namespace {

// The raw deflate stream of text, as an archive entry carries it.
std::string deflated(const std::string& text)
{
    z_stream stream{};
    deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(compressBound(static_cast<uLong>(text.size())) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace

// An entry whose data ends before its declared size passes the archive's own checks (the checksum is
// tested only once the declared size was read); it is skipped, and the entries around it are unpacked.
TEST_F(PackageUnpackerTest, EntryShorterThanDeclaredIsSkipped)
{
    const std::string text = "hello";
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
    struct Case {
        const char* name;
        int method;
        std::string stored; // the entry's bytes as the archive holds them
    } cases[] = {
        {"deflated stream ends early", Z_DEFLATED, deflated(text)},
        {"stored data ends early", 0, text},
    };
    for (const Case& c : cases) {
        fs::remove_all(package);
        fs::remove(archive);
        zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
        ASSERT_NE(zip, nullptr);
        auto plain = [&](const char* name, const std::string& content) {
            ASSERT_EQ(zipOpenNewFileInZip64(zip, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                            Z_DEFAULT_COMPRESSION, 0),
                      ZIP_OK);
            zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
            zipCloseFileInZip(zip);
        };
        plain("index.html", "<html/>");
        ASSERT_EQ(zipOpenNewFileInZip2(zip, "short.txt", nullptr, nullptr, 0, nullptr, 0, nullptr, c.method,
                                       Z_DEFAULT_COMPRESSION, 1),
                  ZIP_OK);
        zipWriteInFileInZip(zip, c.stored.data(), static_cast<unsigned>(c.stored.size()));
        // Declared: ten bytes, though the data gives five.
        zipCloseFileInZipRaw64(zip, 10, crc);
        plain("after.txt", "still here");
        zipClose(zip, nullptr);

        EXPECT_TRUE(services::unpackPackage(archive.string(), package.string())) << c.name;
        EXPECT_FALSE(fs::exists(package / "short.txt")) << c.name;
        EXPECT_EQ(read(package / "after.txt"), "still here") << c.name;
    }
}

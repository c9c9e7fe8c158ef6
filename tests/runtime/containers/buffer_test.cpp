#include "runtime/GameException.h"
#include "runtime/containers/Buffer.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using testsupport::TempDir;
using testsupport::writeFile;

namespace {

std::string bytesOf(const Buffer& buffer)
{
    return std::string(reinterpret_cast<const char*>(buffer.data), buffer.size);
}

struct FakeArchive : Archive {
    bool holdsFile(const std::string& name) override
    {
        asked = name;
        return name == "data/held.bin";
    }
    bool openFile(const std::string& name) override { return opens; }
    bool readWhole(Buffer& buffer) override
    {
        if (!reads)
            return false;
        buffer.allocate(2);
        buffer.data[0] = 'o';
        buffer.data[1] = 'k';
        return true;
    }
    std::string asked;
    bool opens = true;
    bool reads = true;
};

} // namespace

TEST(Buffer, LoadFileReadsWholeFilesAndRefusesMissingOrEmptyOnes)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    writeFile(dir.file("sub/file.bin"), std::string("a\0b\xff", 4));
    writeFile(dir.file("empty.bin"), "");

    Buffer buffer;
    // The game builds paths with backslashes.
    ASSERT_TRUE(Buffer::loadFile(nullptr, dir.path().string() + "\\sub\\file.bin", buffer));
    EXPECT_EQ(bytesOf(buffer), std::string("a\0b\xff", 4));

    for (const std::string& refused : {dir.file("empty.bin"), dir.file("missing.bin"), dir.file("sub")}) {
        EXPECT_FALSE(Buffer::loadFile(nullptr, refused, buffer)) << refused;
        EXPECT_EQ(bytesOf(buffer), std::string("a\0b\xff", 4)) << refused;
    }
}

TEST(Buffer, ArchiveIsAskedWithForwardSlashesAndItsReadResultCounts)
{
    FakeArchive archive;
    Buffer buffer;
    EXPECT_TRUE(Buffer::loadFile(&archive, "data\\held.bin", buffer));
    EXPECT_EQ(archive.asked, "data/held.bin");
    EXPECT_EQ(bytesOf(buffer), "ok");

    // A failed archive read is reported, not passed off as success.
    archive.reads = false;
    EXPECT_FALSE(Buffer::loadFile(&archive, "data\\held.bin", buffer));
    archive.reads = true;
    archive.opens = false;
    EXPECT_FALSE(Buffer::loadFile(&archive, "data\\held.bin", buffer));

    // A name the archive does not hold comes from the disk.
    EXPECT_FALSE(Buffer::loadFile(&archive, "data\\absent.bin", buffer));
    EXPECT_EQ(archive.asked, "data/absent.bin");
}

TEST(Buffer, ByteAtChecksTheIndexAndAllocateReplacesTheBytes)
{
    Buffer buffer(3);
    buffer.data[2] = 7;
    EXPECT_EQ(buffer.byteAt(2), 7);
    try {
        buffer.byteAt(3);
        FAIL() << "no exception";
    } catch (const GameTextException& e) {
        EXPECT_STREQ(e.getText(), "Buffer index out of bounds\n");
        EXPECT_EQ(e.getCode(), 0);
    }
    buffer.allocate(5);
    EXPECT_EQ(buffer.size, 5u);
    buffer.free();
    EXPECT_EQ(buffer.size, 0u);
    EXPECT_EQ(buffer.data, nullptr);
    EXPECT_THROW(buffer.byteAt(0), GameTextException);
}

TEST(FileUtils, FileExistsAndSafeFileNames)
{
    TempDir dir;
    writeFile(dir.file("here.txt"), "x");
    EXPECT_TRUE(fileExists(dir.file("here.txt")));
    EXPECT_FALSE(fileExists(dir.file("gone.txt")));

    EXPECT_EQ(makeSafeFileName("a:b?c d", false), "a_b_c_d");
    EXPECT_EQ(makeSafeFileName("a:b?c d", true), "a_b_c d");
    EXPECT_EQ(makeSafeFileName("\"*/:<>?\\|", true), "_________");
    const std::string kept("\x01\xe9.-", 4);
    EXPECT_EQ(makeSafeFileName(kept, false), kept);
    EXPECT_EQ(makeSafeFileName(std::string("a\0b", 3), false), std::string("a\0b", 3));

    std::string path = "a\\b\\c";
    toForwardSlashes(path);
    EXPECT_EQ(path, "a/b/c");
}

#include "runtime/java/ByteArrayDataInput.h"
#include "runtime/java/Exception.h"
#include "runtime/java/PrintStream.h"
#include "runtime/java/String.h"
#include "runtime/java/URLEncoder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace java;

namespace {

std::vector<std::string> readAllLines(const std::string& bytes)
{
    ByteArrayDataInput input(bytes.data(), static_cast<int>(bytes.size()));
    std::vector<std::string> lines;
    try {
        for (;;) {
            String* line = input.readLine();
            lines.push_back(line->toString());
            releaseAndDelete(line);
        }
    } catch (const EOFException&) {
    }
    return lines;
}

} // namespace

TEST(JavaByteArrayDataInput, ReadLineSplitsAtEveryLineEnd)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(readAllLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(readAllLines("a\rb\n\nc\n"), (Lines{"a", "b", "", "c"}));
    EXPECT_EQ(readAllLines("\r\r\n"), (Lines{"", ""}));
    EXPECT_EQ(readAllLines(""), Lines{});
}

TEST(JavaByteArrayDataInput, BigEndianNumbersAndLittleEndianDouble)
{
    const unsigned char bytes[] = {0xFF, 0xFE, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
                                   0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F, 'x', 'y'};
    ByteArrayDataInput input(bytes, sizeof bytes);
    EXPECT_EQ(input.readUnsignedShort(), 65534);
    EXPECT_EQ(input.readByte(), -1);
    EXPECT_EQ(input.readInt(), 256);
    EXPECT_TRUE(input.readBoolean());
    EXPECT_FALSE(input.readBoolean());
    EXPECT_EQ(input.readLong(), static_cast<int64_t>(0x8000000000000002ULL));
    EXPECT_EQ(input.readDouble(), 1.0);
    char pair[2];
    input.readFully(pair, 2);
    EXPECT_EQ(std::string(pair, 2), "xy");
    EXPECT_EQ(input.getPosition(), static_cast<int>(sizeof bytes));
}

TEST(JavaByteArrayDataInput, ShortReadsThrowEofAndTakeNothing)
{
    const unsigned char bytes[] = {0x00, 0x01, 0x02};
    ByteArrayDataInput input(bytes, sizeof bytes);
    EXPECT_THROW(input.readInt(), EOFException);
    EXPECT_THROW(input.readLong(), EOFException);
    EXPECT_THROW(input.readDouble(), EOFException);
    char buffer[4];
    EXPECT_THROW(input.readFully(buffer, 4), EOFException);
    EXPECT_THROW(input.readFully(buffer, -1), EOFException);
    EXPECT_EQ(input.getPosition(), 0);
    EXPECT_EQ(input.readUnsignedShort(), 1);
    EXPECT_THROW(input.readUnsignedShort(), EOFException);
    EXPECT_EQ(input.readByte(), 2);
    EXPECT_THROW(input.readByte(), EOFException);
    EXPECT_THROW(input.readBoolean(), EOFException);
    EXPECT_THROW(ByteArrayDataInput(nullptr, 5).readByte(), EOFException);
}

TEST(JavaPrintStream, WritesToTheChosenStream)
{
    PrintStream out(false);
    PrintStream err(true);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    out.print("a");
    out.println("b");
    err.println("c");
    err.setEnabled(false);
    err.println("hidden");
    out.flush();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ab\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "c\n");
}

TEST(URLEncoder, EncodesLikeAnHtmlForm)
{
    EXPECT_EQ(URLEncoder::encode("a b&c=d"), "a+b%26c%3Dd");
    EXPECT_EQ(URLEncoder::encode("\xE9~/"), "%E9%7E%2F");
    EXPECT_EQ(URLEncoder::encode("AZaz09-_.*"), "AZaz09-_.*");
    EXPECT_EQ(URLEncoder::encode(std::string("x\0y", 3)), "x");
    EXPECT_EQ(URLEncoder::encode("\n\x01"), "%0A%01");
}

#include "runtime/java/Exception.h"
#include "runtime/java/Integer.h"
#include "runtime/java/String.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace java;

TEST(JavaString, AppendGrowsCapacityByDoublingPlusTwo)
{
    String text;
    std::vector<uint32_t> capacities{text.capacity()};
    for (int i = 0; i < 17; ++i) {
        text.append(static_cast<char>('a' + i));
        if (capacities.back() != text.capacity())
            capacities.push_back(text.capacity());
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{0, 2, 6, 14, 30}));
    EXPECT_STREQ(text.c_str(), "abcdefghijklmnopq");
    EXPECT_EQ(text.length(), 17u);
}

TEST(JavaString, ConcatenationAssignmentAndNumbers)
{
    String text("ab");
    text += text; // appending itself
    EXPECT_STREQ(text.c_str(), "abab");
    EXPECT_EQ(text.capacity(), 4u);
    text += -12;
    EXPECT_STREQ(text.c_str(), "abab-12");
    EXPECT_STREQ(String::valueOf(-2147483647 - 1).c_str(), "-2147483648");

    String shorter("xy");
    text = shorter; // reuses the bigger buffer
    EXPECT_STREQ(text.c_str(), "xy");
    EXPECT_EQ(text.length(), 2u);
    String& same = text;
    text = same;
    EXPECT_STREQ(text.c_str(), "xy");
    shorter = String("a longer text");
    EXPECT_STREQ(shorter.c_str(), "a longer text");
    EXPECT_EQ(shorter.capacity(), 13u);

    EXPECT_STREQ(String(nullptr).c_str(), "");
    std::ostringstream out;
    out << String("shown");
    EXPECT_EQ(out.str(), "shown");
}

TEST(JavaString, CountedConstructorReadsOnlyTheGivenBytes)
{
    // No terminator after the three bytes: only they may be read.
    const char bytes[3] = {'a', 'b', 'c'};
    String text(bytes, 3);
    EXPECT_STREQ(text.c_str(), "abc");
    EXPECT_EQ(text.length(), 3u);
}

TEST(JavaString, Comparisons)
{
    String text("Content-Length");
    EXPECT_TRUE(text.equals("Content-Length"));
    EXPECT_FALSE(text.equals("Content-Lengt"));
    EXPECT_TRUE(text.equalsIgnoreCase("content-LENGTH"));
    EXPECT_FALSE(text.equalsIgnoreCase("content-LENGTH2"));
    EXPECT_TRUE(text.equalsIgnoreCase(text));

    EXPECT_TRUE(text.startsWith("Content"));
    EXPECT_TRUE(text.startsWith(""));
    EXPECT_TRUE(text.startsWith("Length", 8));
    EXPECT_TRUE(text.startsWith("", 14));
    // A target longer than what is left after the offset, and one longer than the whole text.
    EXPECT_FALSE(text.startsWith("Lengths", 8));
    EXPECT_FALSE(String("ab").startsWith("abc", 0));
    EXPECT_FALSE(String("ab").startsWith("b", 0xFFFFFFFFu));
    EXPECT_TRUE(text.endsWith("Length"));
    EXPECT_FALSE(String("th").endsWith("Length"));
}

TEST(JavaString, Searches)
{
    struct Case {
        const char* text;
        const char* target;
        int index;
        int lastIndex;
    };
    for (const Case& c : {Case{"a=b=c", "=", 1, 3}, Case{"abc", "", 0, -1}, Case{"", "", -1, -1},
                          Case{"ab", "abc", -1, -1}, Case{"abab", "ab", 0, 2}, Case{"ab", "ab", 0, 0},
                          Case{"xyz", "q", -1, -1}}) {
        EXPECT_EQ(String(c.text).indexOf(c.target), c.index) << c.text << " / " << c.target;
        EXPECT_EQ(String(c.text).lastIndexOf(c.target), c.lastIndex) << c.text << " / " << c.target;
    }
    String text("a=b=c");
    EXPECT_EQ(text.indexOf("=", 2), 3);
    EXPECT_EQ(text.indexOf("=", 4), -1);
    EXPECT_EQ(text.indexOf("", 5), -1);
    EXPECT_EQ(text.lastIndexOf("=", 2), 1);
    EXPECT_EQ(text.lastIndexOf("=", 5), -1);
    // The first byte matches at the starting position but the target runs past the end.
    EXPECT_EQ(String("abc").lastIndexOf("cc", 2), -1);
}

TEST(JavaString, SlicesAndTransformations)
{
    String text("  Hello, World \r\n");
    EXPECT_STREQ(text.trim().c_str(), "Hello, World");
    EXPECT_STREQ(String(" \t\n").trim().c_str(), "");
    EXPECT_STREQ(String("").trim().c_str(), "");
    EXPECT_STREQ(text.toUpperCase().c_str(), "  HELLO, WORLD \r\n");
    EXPECT_STREQ(text.toLowerCase().c_str(), "  hello, world \r\n");

    String word("abcdefg");
    EXPECT_STREQ(word.substring(5, 2).c_str(), "cde");
    EXPECT_STREQ(word.substring(2, 5).c_str(), "cde");
    EXPECT_STREQ(word.substring(4).c_str(), "efg");
    EXPECT_STREQ(word.substring(7).c_str(), "");

    EXPECT_STREQ(String("a\r\nb\r\n").replace("\r\n", "").c_str(), "ab");
    EXPECT_STREQ(String("aaa").replace("aa", "b").c_str(), "ba");
    EXPECT_STREQ(String("x").replace("x", "xx").c_str(), "xx");
    EXPECT_STREQ(String("abc").replace("", "z").c_str(), "abc");
}

TEST(JavaString, BadIndexWritesTheLineAndThrows)
{
    String text("abc");
    testing::internal::CaptureStderr();
    EXPECT_THROW(text.substring(0, 4), IndexOutOfBoundsException);
    EXPECT_THROW(text.charAt(3), IndexOutOfBoundsException);
    EXPECT_THROW(text[7] = 'x', Exception);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Index Out Of Bounds Exception w/ substring(0,4]:\nabc\n"
              "Index Out Of Bounds Exception at [3] in:\nabc\n"
              "Index Out Of Bounds Exception at [7] in:\nabc\n");
    text[2] = 'x';
    EXPECT_EQ(text.charAt(2), 'x');
}

TEST(JavaInteger, ParseIntFollowsTheCLibrary)
{
    EXPECT_EQ(Integer::parseInt("12ab"), 12);
    EXPECT_EQ(Integer::parseInt("12ab", 16), 0x12AB);
    EXPECT_EQ(Integer::parseInt("  -42"), -42);
    EXPECT_EQ(Integer::parseInt("x1"), 0);
    EXPECT_EQ(Integer::parseInt("0x1F", 0), 31);
    EXPECT_EQ(Integer::parseInt("017", 0), 15);
}

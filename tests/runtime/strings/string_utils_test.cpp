#include "runtime/strings/StringUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& text, const std::string& delimiter, bool trim, bool keepEmpty)
{
    std::vector<std::string> out;
    splitString(text, out, delimiter, trim, keepEmpty);
    return out;
}

std::vector<std::string> splitChar(const std::string& text, bool trim, bool keepEmpty, bool quoteAware)
{
    auto* out = new OwningDynamicArray<std::string>(4, 0, true);
    out->addRef();
    splitAtChar(text, *out, ',', trim, keepEmpty, quoteAware);
    std::vector<std::string> pieces;
    for (unsigned i = 0; i < out->size(); ++i)
        pieces.push_back(*out->elementAt(i));
    out->release();
    return pieces;
}

using Pieces = std::vector<std::string>;

} // namespace

TEST(StringUtils, SplitStringKeepsOrDropsEmptyPiecesAndTrimsBlanks)
{
    EXPECT_EQ(split("a,,b", ",", false, true), (Pieces{"a", "", "b"}));
    EXPECT_EQ(split("a,,b", ",", false, false), (Pieces{"a", "b"}));
    EXPECT_EQ(split("no delimiter", ",", false, false), (Pieces{"no delimiter"}));
    EXPECT_EQ(split(" a , b ,", ",", true, false), (Pieces{"a", "b"}));
    // A blank-only piece is not empty before trimming, so it is kept as an empty string.
    EXPECT_EQ(split("a,  ,b", ",", true, false), (Pieces{"a", "", "b"}));
    // Each piece starts one character after the start of the match before it.
    EXPECT_EQ(split("a::b", "::", false, false), (Pieces{"a", ":b"}));
    EXPECT_EQ(split("abc", "", false, false), (Pieces{"abc"}));
}

TEST(StringUtils, SubstringClipsItsRange)
{
    const std::tuple<int, int, const char*> cases[] = {
        {1, 3, "bc"}, {-2, 2, "ab"}, {2, 99, "cd"}, {3, 1, ""}, {4, 5, ""}, {0, 4, "abcd"}};
    for (auto [begin, end, expected] : cases)
        EXPECT_EQ(substring("abcd", begin, end), expected) << begin << ".." << end;
}

TEST(StringUtils, SplitAtCharAlwaysAppendsTheRestAndCanRespectQuotes)
{
    EXPECT_EQ(splitChar("a,b,", false, true, false), (Pieces{"a", "b", ""}));
    EXPECT_EQ(splitChar("", false, true, false), (Pieces{""}));
    EXPECT_EQ(splitChar(",a", false, false, false), (Pieces{"a"}));
    EXPECT_EQ(splitChar(" a , b", true, false, false), (Pieces{"a", " b"}));
    EXPECT_EQ(splitChar("\"x,y\",z", false, true, true), (Pieces{"\"x,y\"", "z"}));
    EXPECT_EQ(splitChar("\"x,y\",z", false, true, false), (Pieces{"\"x", "y\"", "z"}));
}

TEST(StringUtils, TokenizerHandsBackDelimitersAsTokens)
{
    StringTokenizer tokens("a,b,,cd", ",");
    std::vector<std::string> seen;
    while (tokens.hasMoreTokens())
        seen.push_back(tokens.nextToken());
    EXPECT_EQ(seen, (Pieces{"a", ",", "b", ",", ",", "cd"}));
    EXPECT_EQ(tokens.nextToken(), "");
    EXPECT_TRUE(tokens.isDelimiter(","));
    EXPECT_FALSE(tokens.isDelimiter("a"));

    StringTokenizer words("one two", ",");
    EXPECT_EQ(words.nextToken(" "), "one");
    EXPECT_EQ(words.nextToken(" "), " ");
    EXPECT_EQ(words.nextToken(), "two");
}

TEST(StringUtils, TrimmingAndCharacterClasses)
{
    std::string text = "value;; ";
    trimRight(text, "; ");
    EXPECT_EQ(text, "value");
    std::string spaced = "x \t\r\n\v\f";
    trimWhitespaceRight(spaced);
    EXPECT_EQ(spaced, "x");

    EXPECT_TRUE(isWhitespace('\n'));
    EXPECT_FALSE(isWhitespace('\r'));
    EXPECT_TRUE(isIdentifier("_name1"));
    for (const char* bad : {"", "1abc", "a b", "a-b"})
        EXPECT_FALSE(isIdentifier(bad)) << bad;

    const std::pair<char, char> escapes[] = {{'a', 7}, {'b', 8}, {'f', 12}, {'n', 10}, {'t', 9},
                                             {'v', 11}, {'"', '"'}, {'\\', '\\'}, {'r', 'r'}};
    for (auto [letter, meaning] : escapes)
        EXPECT_EQ(escapeChar(letter), meaning) << letter;
}

TEST(StringUtils, NumberParsing)
{
    const std::pair<const char*, int> hex[] = {
        {"0xff", 255}, {"FF", 255}, {"0X1g", 1}, {"", 0}, {"zz", 0}, {"123456789", 0x23456789}, {"0xFFFFFFFF", -1}};
    for (auto [text, value] : hex)
        EXPECT_EQ(parseHex(text), value) << text;

    const std::pair<const char*, int> numbers[] = {
        {"0XFF", 0}, {"0x10", 16}, {"0x", 0}, {"12abc", 12}, {" -7", -7}, {"+3", 3}, {"abc", 0}};
    for (auto [text, value] : numbers)
        EXPECT_EQ(parseNumber(text), value) << text;

    EXPECT_EQ(intToString(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(intToString(42), "42");
}

TEST(StringUtils, AttributesAreFoundOnlyAtTheStartOfAnEntry)
{
    const std::string style = "size=3;fontsize=5; color = \"a;\\\"b\" ;name= plain value  ;";
    EXPECT_EQ(findKey(style, "size", ';'), 0);
    EXPECT_EQ(findKey(style, "fontsize", ';'), 7);
    EXPECT_EQ(findKey(style, "font", ';'), -1);
    EXPECT_EQ(findKey(style, "missing", ';'), -1);

    int size = 0;
    EXPECT_TRUE(readIntAttribute(style, "fontsize", size, '=', ';'));
    EXPECT_EQ(size, 5);
    std::string value = "old";
    EXPECT_TRUE(readQuotedAttribute(style, "color", value, '=', ';'));
    EXPECT_EQ(value, "a;\"b");
    EXPECT_TRUE(readQuotedAttribute(style, "name", value, '=', ';'));
    EXPECT_EQ(value, "plain value");
    value = "kept";
    EXPECT_FALSE(readQuotedAttribute(style, "missing", value, '=', ';'));
    EXPECT_EQ(value, "kept");

    int hex = 0;
    EXPECT_TRUE(readIntAttribute("c=0x1F", "c", hex, '=', ';'));
    EXPECT_EQ(hex, 31);
}

TEST(StringUtils, AttributeReadsStopAtTheEndOfTruncatedTexts)
{
    // A key with no separator, an unterminated quote and a trailing backslash end at the text's end.
    std::string value = "old";
    EXPECT_TRUE(readQuotedAttribute("key ", "key", value, '=', ';'));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(readQuotedAttribute("key=\"open", "key", value, '=', ';'));
    EXPECT_EQ(value, "open");
    EXPECT_TRUE(readQuotedAttribute("key=ab\\", "key", value, '=', ';'));
    EXPECT_EQ(value, "ab");
    EXPECT_EQ(findKey("x=1", "", ';'), -1);

    std::size_t position = 1;
    skipPast("ab", position, ';');
    EXPECT_EQ(position, 2u);
}

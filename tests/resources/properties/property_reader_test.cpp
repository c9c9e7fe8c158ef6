#include "resources/properties/PropertyManager.h"
#include "runtime/GameException.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string root(const std::string& language = "en", const std::string& country = "US",
                 const std::string& look = "NORMAL")
{
    return std::string("<Properties xsi:noNamespaceSchemaLocation=\"") + PropertyManager::kSchemaLocation +
           "\" version=\"1.0\" language=\"" + language + "\" country=\"" + country + "\" lookandfeel=\"" + look +
           "\">";
}

std::string document(const std::string& body)
{
    return "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n" + root() + "\n" + body + "\n</Properties>\n";
}

// The message of the GameTextException that parsing `text` throws, or "" when it throws none.
std::string parseError(PropertyManager& store, const std::string& text)
{
    try {
        store.parse(text.c_str());
    } catch (const GameTextException& e) {
        return e.getText();
    }
    return "";
}

TEST(PropertyReader, ValuesOfEveryKind)
{
    PropertyManager store(nullptr);
    ASSERT_EQ(store.parse(document(R"(
<!-- a comment between entries -->
<String id="MULTI">
    Line one\n
  line two\t\l\g\+\\ &amp;</String>
<String id="EMPTY"></String>
<String id="BLANK">   </String>
<String id='SINGLE'>quoted alike</String>
<Integer id="HEX">0x1F</Integer>
<Integer id="UPPERHEX">0X1F</Integer>
<Integer id="TRAILING">42abc</Integer>
<Integer id="NEGATIVE">-7</Integer>
<Integer id="HUGE">9999999999</Integer>
<Integer id="TINY">-9999999999</Integer>
<Long id="LONG">0x10</Long>
<Long id="LONGDEC">123456</Long>
<Double id="DOUBLE">2.5e1</Double>
<Boolean id="YES">true</Boolean>
<Boolean id="NO">false</Boolean>
<Color id="COLOR">FF102030</Color>
<Color id="HASH">#1020304</Color>
<Color id="STOPS">FFZZ0000</Color>
<Point id="POINT"><x>3</x><y>-4</y></Point>
<Rectangle id="RECT">
  <x>1</x> <y>2</y> <width>30</width> <height>40</height>
</Rectangle>
<Unknown id="SKIPPED">some text <b>bold</b></Unknown>
<!-- a comment with > inside -->
<ArrayString id="WORDS"><String>a\lb</String><String></String><String>c</String></ArrayString>
<ArrayString id="NOWORDS"></ArrayString>
<ArrayInteger id="NUMBERS"><Integer>5</Integer><Integer>0x10</Integer><Integer>-2</Integer></ArrayInteger>
)")
                              .c_str()),
              1);

    EXPECT_EQ(store.getString("MULTI"), "\n    Line one\n\n  line two\t<>&\\ &amp;");
    EXPECT_EQ(store.getString("EMPTY"), "");
    EXPECT_EQ(store.getString("BLANK"), "");
    EXPECT_EQ(store.getString("SINGLE"), "quoted alike");
    EXPECT_EQ(store.getInteger("HEX"), 31);
    EXPECT_EQ(store.getInteger("UPPERHEX"), 0);
    EXPECT_EQ(store.getInteger("TRAILING"), 42);
    EXPECT_EQ(store.getInteger("NEGATIVE"), -7);
    EXPECT_EQ(store.getInteger("HUGE"), 2147483647) << "saturates like the other decimal numbers";
    EXPECT_EQ(store.getInteger("TINY"), -2147483647 - 1);
    EXPECT_EQ(store.getLong("LONG"), 0);
    EXPECT_EQ(store.getLong("LONGDEC"), 123456);
    EXPECT_DOUBLE_EQ(store.getDouble("DOUBLE"), 25.0);
    EXPECT_EQ(store.getBoolean("YES"), 1);
    EXPECT_EQ(store.getBoolean("NO"), 0);

    const ColorValue& color = store.getColor("COLOR");
    EXPECT_EQ(color.alpha, 255);
    EXPECT_EQ(color.red, 16);
    EXPECT_EQ(color.green, 32);
    EXPECT_EQ(color.blue, 48);
    EXPECT_EQ(store.getColor("HASH").packed, 0u);
    EXPECT_EQ(store.getColor("STOPS").packed, 255u);

    EXPECT_EQ(store.getPoint("POINT").x, 3);
    EXPECT_EQ(store.getPoint("POINT").y, -4);
    const RectangleValue& rect = store.getRectangle("RECT");
    EXPECT_EQ(rect.x, 1);
    EXPECT_EQ(rect.y, 2);
    EXPECT_EQ(rect.width, 30);
    EXPECT_EQ(rect.height, 40);

    PropertyManager::StringArray* words = store.getArrayString("WORDS");
    ASSERT_EQ(words->size(), 3u);
    EXPECT_EQ(*words->elementAt(0), "a<b");
    EXPECT_EQ(*words->elementAt(1), "");
    EXPECT_EQ(*words->elementAt(2), "c");
    EXPECT_EQ(store.getArrayString("NOWORDS")->size(), 0u);
    PropertyManager::IntegerArray* numbers = store.getArrayInteger("NUMBERS");
    ASSERT_EQ(numbers->size(), 3u);
    EXPECT_EQ(numbers->elementAt(0), 5);
    EXPECT_EQ(numbers->elementAt(1), 0) << "no hexadecimal form in arrays";
    EXPECT_EQ(numbers->elementAt(2), -2);

    EXPECT_EQ(store.hasString("SKIPPED"), 0);
    EXPECT_EQ(store.getLanguage(), "en");
    EXPECT_EQ(store.getCountry(), "US");
    EXPECT_EQ(store.getLookAndFeel(), "NORMAL");
    EXPECT_EQ(store.hasAttribute("id"), 0) << "the closing root tag is current";
}

TEST(PropertyReader, HexReadsAtMostEightDigits)
{
    PropertyManager store(nullptr);
    struct Case {
        const char* text;
        unsigned value;
    };
    const Case cases[] = {{"FF00FF00", 0xFF00FF00u}, {"12", 0x12u}, {"FFZZ0000", 0xFFu},
                          {"#FF", 0u},             {"", 0u},        {"123456789", 0x12345678u}};
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<unsigned>(store.parseHex(c.text)), c.value) << c.text;
}

TEST(PropertyReader, EveryFormatErrorHasItsMessage)
{
    struct Case {
        const char* name;
        std::string text;
        std::string message;
    };
    const std::string head = "<?xml version=\"1.0\"?>";
    const Case cases[] = {
        {"no declaration", "<Properties>", "Input isn't valid xml"},
        {"text first", "hello <?xml?>", "Input isn't valid xml"},
        {"other root", head + "<Settings>", "Input isn't a properties file"},
        {"schema", head + "<Properties xsi:noNamespaceSchemaLocation=\"http://x/y.xsd\" version=\"1.0\">",
         "Invalid schema location: <Properties\n"},
        {"version", head + std::string("<Properties xsi:noNamespaceSchemaLocation='") +
                        PropertyManager::kSchemaLocation + "' version='2.0'>",
         "Invalid version: <Properties\n"},
        {"language case", head + root("EN"), "Invalid language: EN\n"},
        {"language length", head + root("eng"), "Invalid language: eng\n"},
        {"country case", head + root("en", "us"), "Invalid country: us\n"},
        {"look case", head + root("en", "US", "Normal"), "Invalid loolandfeel: Normal\n"},
        {"end between entries", head + root() + "<Integer id=\"A\">1</Integer>", "Bad end of file: \n"},
        {"no id", document("<String>x</String>"), "Invalid ID or no ID found: <String>\n"},
        {"other attribute", document("<Integer name=\"x\">1</Integer>"), "Invalid ID or no ID found: <Integer\n"},
        {"stray closing tag", document("</Integer>"), "Invalid ID or no ID found: </Integer>\n"},
        {"boolean case", document("<Boolean id=\"B\">True</Boolean>"), "Invalid boolean value: True\n"},
        {"boolean blank", document("<Boolean id=\"B\"> true</Boolean>"), "Invalid boolean value:  true\n"},
        {"color length", document("<Color id=\"C\">FF10203</Color>"), "Invalid color value: FF10203\n"},
        {"wrong close", document("<Integer id=\"I\">1</Double>"), "Invalid close tag: </Double>\n"},
        {"array close", document("<ArrayInteger id=\"A\"><Integer>1</Integer></ArrayString>"),
         "Invalid close tag: </ArrayString>\n"},
        {"point order", document("<Point id=\"P\"><y>1</y><x>2</x></Point>"), "Tag not found: x\n"},
        {"child unclosed", document("<Point id=\"P\"><x>1</y></Point>"), "Tag not closed: x\n"},
        {"empty child", document("<Point id=\"P\"><x></x><y>1</y></Point>"), "Tag not closed: x\n"},
        {"illegal escape", document("<String id=\"S\">a\\qb</String>"), "Illegal escape character: a\\qb\n"},
        {"missing escape", document("<String id=\"S\">ab\\</String>"), "Missing escape character: ab\\\n"},
        {"array escape", document("<ArrayString id=\"A\"><String>\\x</String></ArrayString>"),
         "Illegal escape character: \\x\n"},
        {"integer cut off", head + root() + "<Integer id=\"I\">12", "Invalid close tag: \n"},
        {"unterminated tag", head + root() + "<Integer id=\"I\"", "Bad end of file: \n"},
    };
    for (const Case& c : cases) {
        PropertyManager store(nullptr);
        EXPECT_EQ(parseError(store, c.text), c.message) << c.name;
    }
}

TEST(PropertyReader, AStringCutOffByTheEndMakesTheParseFail)
{
    PropertyManager store(nullptr);
    std::string text = "<?xml version=\"1.0\"?>" + root() + "<String id=\"A\">a</String><String id=\"B\">unfinished";
    EXPECT_EQ(store.parse(text.c_str()), 0);
    EXPECT_EQ(store.getString("A"), "a") << "values read before stay";
    EXPECT_EQ(store.hasString("B"), 0);
}

TEST(PropertyReader, LongTokensAndNamesAreReadWhole)
{
    PropertyManager store(nullptr);
    std::string text(5000, 'x');
    std::string name(600, 'N');
    ASSERT_EQ(store.parse(document("<String id=\"LONG\">" + text + "</String><" + name + " id=\"x\">y</" + name + ">")
                              .c_str()),
              1);
    EXPECT_EQ(store.getString("LONG"), text);
}

TEST(PropertyReader, LaterDefinitionsReplaceEarlierOnesAndGettersNeverInsert)
{
    PropertyManager store(nullptr);
    ASSERT_EQ(store.parse(document("<String id=\"S\">first</String><Integer id=\"S\">4</Integer>"
                                   "<ArrayInteger id=\"A\"><Integer>1</Integer></ArrayInteger>")
                              .c_str()),
              1);
    ASSERT_EQ(store.parse(document("<String id=\"S\">second</String>"
                                   "<ArrayInteger id=\"A\"><Integer>2</Integer><Integer>3</Integer></ArrayInteger>")
                              .c_str()),
              1);
    EXPECT_EQ(store.getString("S"), "second");
    EXPECT_EQ(store.getInteger("S"), 4) << "the same ID in another map is a separate value";
    EXPECT_EQ(store.getArrayInteger("A")->size(), 2u);

    try {
        store.getInteger("MISSING");
        FAIL() << "no exception";
    } catch (const GameTextException& e) {
        EXPECT_STREQ(e.getText(), "ID not found: MISSING\n");
    }
    EXPECT_THROW(store.getArrayString("S"), GameTextException);
    EXPECT_THROW(store.getColor("S"), GameTextException);
    EXPECT_EQ(store.hasString("MISSING"), 0);
}

TEST(PropertyReader, ResourceEntriesAreReadWithTheirSyntax)
{
    PropertyManager store(nullptr);
    EXPECT_EQ(store.parse(document(R"(
<Surface id="IMAGE_A" tag="2"><Image id="A" mem="video">images\a.png</Image><Mask>masks\a.png</Mask></Surface>
<Font id="FONT_A" baseline="10"><Surface>IMAGE_A</Surface><Characters>abc</Characters></Font>
<Mask id="MASK_A">m.png</Mask>
<Sound id="SOUND_A" tag="3">sounds\a.wav</Sound>
<Script id="SCRIPT_A"></Script>
<String id="AFTER">still read</String>)")
                              .c_str()),
              1);
    EXPECT_EQ(store.getString("AFTER"), "still read");

    struct Case {
        const char* name;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"surface with stray text", document("<Surface id=\"S\">text</Surface>"), "Invalid close tag: text\n"},
        {"font with other child", document("<Font id=\"F\"><Image>x</Image></Font>"), "Invalid close tag: <Image>\n"},
        {"sound unclosed", document("<Sound id=\"S\">a.wav</Mask>"), "Invalid close tag: </Mask>\n"},
        {"mask without id", document("<Mask>a.png</Mask>"), "Invalid ID or no ID found: <Mask>\n"},
    };
    for (const Case& c : cases) {
        PropertyManager failing(nullptr);
        EXPECT_EQ(parseError(failing, c.text), c.message) << c.name;
    }
}

} // namespace

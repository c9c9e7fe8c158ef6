#include "LayoutFixture.h"

#include "runtime/GameException.h"

#include <tinyxml.h>

#include <cstring>

using layouttest::LayoutTest;
using layouttest::messages;

namespace {

using LayoutDocuments = LayoutTest;

std::string attribute(const TiXmlElement* element, const char* name)
{
    const char* value = element ? element->Attribute(name) : nullptr;
    return value ? value : "<none>";
}

} // namespace

TEST_F(LayoutDocuments, TypedEntriesComeFromBothDocumentsAndTheLanguageWins)
{
    loadDocuments(R"(
        <String id="TD_TITLE">Base title</String>
        <String id="TD_ONLY_BASE">kept</String>
        <Integer id="TD_WIDTH">640</Integer>
        <Float id="TD_SPEED">1.5</Float>
        <Boolean id="TD_FLAG">yes</Boolean>
        <Point id="TD_POINT" x="3" y="-4"/>
        <Rectangle id="TD_RECT" x="1" y="2" width="#10" height="40"/>
        <StringVector id="TD_HINTS"><s>one</s><s>two</s><s>three</s></StringVector>
        <IntegerVector id="TD_COUNTS"><i>1</i><whatever>#ff</whatever><i/></IntegerVector>
        <Integer id="TD_SHARED">7</Integer>
        <sprite id="TD_SPRITE" x="5"/>
        <Integer id="TD_LANG_INT">0</Integer>
        <Float id="TD_LANG_FLOAT">0</Float>
        <Boolean id="TD_LANG_BOOL">0</Boolean>
        <Rectangle id="TD_LANG_RECT" x="1" y="1" width="1" height="1"/>
        <IntegerVector id="TD_LANG_VECTOR"><i>1</i><i>1</i></IntegerVector>
        <sprite id="TD_LANG_SPRITE" x="base"/>
    )",
                  R"(
        <String id="TD_TITLE">Language title</String>
        <String id="TD_SHARED">seven</String>
        <StringVector id="TD_HINTS"><s>only</s></StringVector>
        <Point id="TD_POINT" x="9"/>
        <Integer id="TD_LANG_INT">1</Integer>
        <Float id="TD_LANG_FLOAT">1</Float>
        <Boolean id="TD_LANG_BOOL">1</Boolean>
        <Rectangle id="TD_LANG_RECT" width="5"/>
        <IntegerVector id="TD_LANG_VECTOR"><i>2</i></IntegerVector>
        <sprite id="TD_LANG_SPRITE" x="language"/>
    )");

    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(getResourceString("TD_TITLE"), "Language title");
    EXPECT_EQ(getResourceString("TD_ONLY_BASE"), "kept");
    EXPECT_EQ(getResourceInt("TD_WIDTH"), 640);
    EXPECT_FLOAT_EQ(getResourceFloat("TD_SPEED"), 1.5f);
    EXPECT_TRUE(getResourceBool("TD_FLAG"));
    EXPECT_EQ(getResourcePoint("TD_POINT"), Point(9, 0)) << "the language's point replaces the whole entry";
    EXPECT_EQ(getResourceRect("TD_RECT"), Rect(1, 2, 16, 40));
    EXPECT_EQ(getResourceList("TD_HINTS"), LayoutStringList{"only"}) << "lists are replaced, not merged";
    EXPECT_EQ(getResourceVector("TD_COUNTS"), (LayoutIntegerList{1, 255, 0}));
    // One identifier may stand in several maps.
    EXPECT_EQ(getResourceInt("TD_SHARED"), 7);
    EXPECT_EQ(getResourceString("TD_SHARED"), "seven");
    EXPECT_EQ(attribute(findLayoutElement("TD_SPRITE"), "x"), "5");

    EXPECT_EQ(getResourceInt("TD_LANG_INT"), 1);
    EXPECT_EQ(getResourceFloat("TD_LANG_FLOAT"), 1.0f);
    EXPECT_TRUE(getResourceBool("TD_LANG_BOOL"));
    EXPECT_EQ(getResourceRect("TD_LANG_RECT"), Rect(0, 0, 5, 0));
    EXPECT_EQ(getResourceVector("TD_LANG_VECTOR"), LayoutIntegerList{2});
    EXPECT_EQ(attribute(findLayoutElement("TD_LANG_SPRITE"), "x"), "language");
}

TEST_F(LayoutDocuments, ValueTextsAreConvertedAsWritten)
{
    loadDocuments(R"(
        <String id="TC_ESC1">Fish \+ Chips</String>
        <String id="TC_ESC2">a\qb</String>
        <String id="TC_ESC3">ends in \</String>
        <String id="TC_ESC4">\\g \g\l\t|</String>
        <String id="TC_ESC5">line\nbreak\r</String>
        <String id="TC_EMPTY"></String>
        <Integer id="TC_HEX">#1F</Integer>
        <Integer id="TC_DEC">12</Integer>
        <Integer id="TC_LONE">#</Integer>
        <Integer id="TC_JUNK">abc</Integer>
        <Integer id="TC_NEG">-5</Integer>
        <Float id="TC_FJUNK">fast</Float>
        <Boolean id="TC_B_FALSE_CAP">False</Boolean>
        <Boolean id="TC_B_FALSE">false</Boolean>
        <Boolean id="TC_B_ZERO">0</Boolean>
        <Boolean id="TC_B_NO">no</Boolean>
        <Boolean id="TC_B_OFF">off</Boolean>
        <Boolean id="TC_B_ONE">1</Boolean>
    )",
                  "");

    EXPECT_EQ(getResourceString("TC_ESC1"), "Fish & Chips");
    EXPECT_EQ(getResourceString("TC_ESC2"), "ab");
    EXPECT_EQ(getResourceString("TC_ESC3"), "") << "a trailing backslash empties the text";
    EXPECT_EQ(getResourceString("TC_ESC4"), "\\g ><\t|") << "an inserted backslash starts no escape";
    EXPECT_EQ(getResourceString("TC_ESC5"), "line\nbreak\r");
    EXPECT_EQ(getResourceString("TC_EMPTY"), "");
    EXPECT_EQ(findLayoutElement("TC_EMPTY"), nullptr) << "a String never becomes a template";

    struct IntCase {
        const char* id;
        int value;
    } ints[] = {{"TC_HEX", 31}, {"TC_DEC", 12}, {"TC_LONE", 0}, {"TC_JUNK", 0}, {"TC_NEG", -5}};
    for (const IntCase& c : ints)
        EXPECT_EQ(getResourceInt(c.id), c.value) << c.id;
    EXPECT_EQ(getResourceFloat("TC_FJUNK"), 0.0f);

    struct BoolCase {
        const char* id;
        bool value;
    } bools[] = {{"TC_B_FALSE_CAP", true}, {"TC_B_FALSE", false}, {"TC_B_ZERO", false},
                 {"TC_B_NO", false},       {"TC_B_OFF", false},   {"TC_B_ONE", true}};
    for (const BoolCase& c : bools)
        EXPECT_EQ(getResourceBool(c.id), c.value) << c.id;
}

TEST_F(LayoutDocuments, ElementsWithoutTextOrOfOtherTagsBecomeTemplatesAndElementsWithoutIdAreSkipped)
{
    loadDocuments(R"(
        <Integer id="TT_NOTEXT" v="int"/>
        <Boolean id="TT_BOOL_NOTEXT" v="bool"/>
        <buttonblit id="TT_BUTTON" v="button">text is allowed</buttonblit>
        <Integer v="no id">5</Integer>
        <String>no id</String>
        <xmlsprite v="no id"/>
    )",
                  "");

    EXPECT_EQ(attribute(findLayoutElement("TT_NOTEXT"), "v"), "int");
    EXPECT_EQ(getResourceInt("TT_NOTEXT"), 0) << "stored as a template, not as an integer";
    EXPECT_EQ(attribute(findLayoutElement("TT_BOOL_NOTEXT"), "v"), "bool");
    EXPECT_EQ(attribute(findLayoutElement("TT_BUTTON"), "v"), "button");
    EXPECT_EQ(LayoutDocument::peekLayoutElement(""), nullptr);
    EXPECT_EQ(LayoutDocument::peekResourceString(""), nullptr);
}

TEST_F(LayoutDocuments, AnUndefinedIdentifierIsInsertedWithTheEmptyValue)
{
    ASSERT_EQ(LayoutDocument::peekResourceString("UD_STRING"), nullptr);
    EXPECT_EQ(getResourceString("UD_STRING"), "");
    EXPECT_NE(LayoutDocument::peekResourceString("UD_STRING"), nullptr) << "the lookup inserted it";
    EXPECT_EQ(&getResourceInt("UD_INT"), &getResourceInt("UD_INT"));
    EXPECT_EQ(getResourceInt("UD_INT"), 0);
    EXPECT_EQ(getResourceFloat("UD_FLOAT"), 0.0f);
    EXPECT_FALSE(getResourceBool("UD_BOOL"));
    EXPECT_EQ(getResourcePoint("UD_POINT"), Point());
    EXPECT_EQ(getResourceRect("UD_RECT"), Rect());
    EXPECT_TRUE(getResourceList("UD_LIST").empty());
    EXPECT_TRUE(getResourceVector("UD_VECTOR").empty());
    EXPECT_EQ(findLayoutElement("UD_ELEMENT"), nullptr);

    // A later document defines it: the inserted entry takes the value, at the same place.
    const int& inserted = getResourceInt("UD_LATER");
    loadDocuments("<Integer id=\"UD_LATER\">3</Integer>", "");
    EXPECT_EQ(inserted, 3);
}

TEST_F(LayoutDocuments, PointsAndRectanglesReadTheirCoordinatesThroughSetupInheritance)
{
    loadDocuments(R"(
        <Rectangle id="PR_BASE" x="10" y="20" width="#20" height="40"/>
        <Rectangle id="PR_DERIVED" setup="PR_BASE" x="11"/>
        <Point id="PR_P" setup="PR_BASE" y="0x10"/>
        <Rectangle id="PR_BAD" x="abc" y="7"/>
    )",
                  "");
    EXPECT_EQ(getResourceRect("PR_DERIVED"), Rect(11, 20, 32, 40));
    EXPECT_EQ(getResourcePoint("PR_P"), Point(10, 16));
    EXPECT_EQ(getResourceRect("PR_BAD"), Rect(0, 7, 0, 0));
}

TEST_F(LayoutDocuments, ADocumentThatCannotBeReadAddsNothingAndIsReported)
{
    struct Case {
        const char* name;
        const char* text; // null: no file at all
    } cases[] = {
        {"missing", nullptr},
        {"empty", ""},
        {"not XML", "just some words"},
        {"unclosed", "<Layout><Integer id=\"RD_BROKEN\">1</Integer><sprite id=\"RD_T\">"},
        {"no root", "<?xml version=\"1.0\"?>"},
        {"binary", "\x01\x02<\xff\xfe>"},
        {"deep", nullptr},
    };
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<a>";
    cases[6].text = deep.c_str();

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages().clear();
        properties();
        std::remove(dir.file("base.xml").c_str());
        if (c.text)
            write("base.xml", c.text);
        write("lang.xml", layouttest::layout("<Integer id=\"RD_LANG\">4</Integer>"));
        LayoutDocument::loadAll(true);

        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, "Error reading main XML file: " + dir.file("base.xml"));
        EXPECT_EQ(messages()[0].caption, "STRING_ERROR_READING_XML_HEADER");
        EXPECT_EQ(LayoutDocument::peekResourceString("RD_BROKEN"), nullptr);
        EXPECT_EQ(LayoutDocument::peekLayoutElement("RD_T"), nullptr);
        EXPECT_EQ(getResourceInt("RD_LANG"), 4) << "the other document still loads";
        ASSERT_NE(LayoutDocument::document(LayoutDocument::kBase), nullptr);
    }
}

TEST_F(LayoutDocuments, AFileNameTheStoreLacksFailsWithItsException)
{
    // No store at all, then a store without the identifier.
    LayoutDocument::setPropertyStore(nullptr);
    for (int pass = 0; pass < 2; ++pass) {
        try {
            LayoutDocument::load(LayoutDocument::kLanguage, "NO_SUCH_DOCUMENT");
            ADD_FAILURE() << "no exception";
        } catch (const GameTextException& error) {
            EXPECT_STREQ(error.getText(), "ID not found: NO_SUCH_DOCUMENT\n");
        }
        LayoutDocument::setPropertyStore(store);
    }
}

TEST_F(LayoutDocuments, LoadAllWithoutForceLoadsOnlyOnce)
{
    loadDocuments("<Integer id=\"LO_VALUE\">1</Integer>", "");
    write("base.xml", layouttest::layout("<Integer id=\"LO_VALUE\">2</Integer>"));
    LayoutDocument::loadAll(false);
    EXPECT_EQ(getResourceInt("LO_VALUE"), 1);
    LayoutDocument::loadAll(true);
    EXPECT_EQ(getResourceInt("LO_VALUE"), 2);
}

// A replaced or unloaded document must leave no template pointing into it: reading the element after a
// reload is what the address sanitizer watches here.
TEST_F(LayoutDocuments, ReloadingADocumentLeavesNoTemplatePointingIntoTheOldOne)
{
    loadDocuments(R"(
        <sprite id="RL_BASE_ONLY" v="base"/>
        <sprite id="RL_OVERRIDDEN" v="base"/>
        <sprite id="RL_BASE_GONE" v="base"/>
    )",
                  R"(
        <sprite id="RL_OVERRIDDEN" v="language"/>
        <sprite id="RL_LANG_ONLY" v="language"/>
    )");
    EXPECT_EQ(attribute(findLayoutElement("RL_OVERRIDDEN"), "v"), "language");

    // A new language document without the override: the base template comes back.
    write("lang.xml", layouttest::layout("<sprite id=\"RL_NEW\" v=\"new\"/>"));
    LayoutDocument::load(LayoutDocument::kLanguage, "LANG_XML_DOCUMENT");
    EXPECT_EQ(attribute(findLayoutElement("RL_OVERRIDDEN"), "v"), "base");
    EXPECT_EQ(findLayoutElement("RL_LANG_ONLY"), nullptr);
    EXPECT_EQ(attribute(findLayoutElement("RL_NEW"), "v"), "new");

    // A new base document without one of its templates.
    write("base.xml", layouttest::layout("<sprite id=\"RL_BASE_ONLY\" v=\"base2\"/>"));
    LayoutDocument::loadFile(LayoutDocument::kBase, dir.file("base.xml"));
    EXPECT_EQ(attribute(findLayoutElement("RL_BASE_ONLY"), "v"), "base2");
    EXPECT_EQ(findLayoutElement("RL_BASE_GONE"), nullptr);
    EXPECT_EQ(findLayoutElement("RL_OVERRIDDEN"), nullptr);

    // Even a failed reload replaces the document.
    std::remove(dir.file("lang.xml").c_str());
    LayoutDocument::load(LayoutDocument::kLanguage, "LANG_XML_DOCUMENT");
    EXPECT_EQ(findLayoutElement("RL_NEW"), nullptr);

    LayoutDocument::unloadAll();
    EXPECT_EQ(findLayoutElement("RL_BASE_ONLY"), nullptr);
    EXPECT_EQ(LayoutDocument::document(LayoutDocument::kBase), nullptr);
}

TEST_F(LayoutDocuments, ASlotOtherThanBaseOrLanguageIsIgnored)
{
    properties();
    write("base.xml", layouttest::layout("<Integer id=\"SL_VALUE\">1</Integer>"));
    LayoutDocument::load(2, "BASE_XML_DOCUMENT");
    EXPECT_FALSE(LayoutDocument::loadFile(-1, dir.file("base.xml")));
    EXPECT_EQ(LayoutDocument::document(7), nullptr);
    EXPECT_EQ(getResourceInt("SL_VALUE"), 0);
}

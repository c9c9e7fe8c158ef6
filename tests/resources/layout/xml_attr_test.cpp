#include "LayoutFixture.h"

#include "resources/layout/XmlAttr.h"

#include <tinyxml.h>

using layouttest::LayoutTest;

namespace {

// The first element anywhere below `node` whose "id" (or, for `byTag`, whose tag) is `name`.
const TiXmlElement* byId(const TiXmlNode* node, const std::string& name, bool byTag = false)
{
    for (const TiXmlElement* e = node->FirstChildElement(); e; e = e->NextSiblingElement()) {
        const char* id = e->Attribute("id");
        if (byTag ? e->ValueStr() == name : (id && name == id))
            return e;
        if (const TiXmlElement* found = byId(e, name, byTag))
            return found;
    }
    return nullptr;
}

// An in-memory document for the tests that need no layout entries.
class Tree {
public:
    explicit Tree(const std::string& body)
    {
        document.Parse(layouttest::layout(body).c_str());
        EXPECT_FALSE(document.Error()) << document.ErrorDesc();
    }
    const TiXmlElement* operator[](const std::string& id) const
    {
        const TiXmlElement* e = byId(&document, id);
        EXPECT_NE(e, nullptr) << id;
        return e;
    }

    TiXmlDocument document;
};

std::string idOf(const TiXmlElement* element)
{
    const char* id = element ? element->Attribute("id") : nullptr;
    return element ? (id ? id : element->ValueStr()) : "<null>";
}

int intOr(const TiXmlElement* element, const char* name, int fallback)
{
    XmlAttr::getInt(element, name, fallback);
    return fallback;
}

using XmlAttrLayout = LayoutTest;

} // namespace

TEST(XmlAttr, SetupChainsLendAttributesWhereTheElementHasNone)
{
    Tree tree(R"(
        <sprite id="A" x="5" y="6" z="1"/>
        <sprite id="B" setup="A" y="7"/>
        <sprite id="C" setup="B" z="2"/>
        <group id="G">
            <sprite id="D" setup="C"/>
            <sprite id="E" setup="NOWHERE" w="1"/>
        </group>
    )");
    struct Case {
        const char* id;
        const char* name;
        int value; // -1: not found
    } cases[] = {
        {"B", "x", 5}, {"B", "y", 7}, {"C", "x", 5},       {"C", "y", 7}, {"C", "z", 2},
        {"D", "x", 5}, {"D", "z", 2}, {"D", "missing", -1}, {"E", "x", -1}, {"E", "w", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(intOr(tree[c.id], c.name, -1), c.value) << c.id << "." << c.name;
    const auto* y = XmlAttr::find(tree["D"], "y");
    ASSERT_NE(y, nullptr) << "D.y through the chain";
    EXPECT_EQ(y->ValueStr(), "7");
    EXPECT_EQ(XmlAttr::find(nullptr, "x"), nullptr);
}

TEST(XmlAttr, FindChildLooksAtReferencesChildrenSetupThenEnclosingScopes)
{
    Tree tree(R"(
        <frame id="F1" v="outer"/>
        <panel id="P">
            <image/>
            <image id="NAMED_IMAGE" v="named"/>
            <label kind="x"/>
            <widget id="E" frame="F1">
                <frame/>
                <hitarea/>
            </widget>
            <widget id="S" setup="E"/>
            <widget id="W"/>
        </panel>
    )");
    struct Case {
        const char* from;
        const char* name;
        const char* expected; // id (or tag) of the element found
    } cases[] = {
        {"E", "frame", "F1"},                  // the reference attribute wins over the own child
        {"E", "hitarea", "hitarea"},           // an attribute-less child found by tag
        {"W", "image", "image"},               // found in the enclosing scope
        {"W", "NAMED_IMAGE", "NAMED_IMAGE"},   // found by id
        {"W", "label", "<null>"},              // a child with attributes is found by id only
        {"S", "hitarea", "hitarea"},           // through the setup element's scope
        {"W", "nothing", "<null>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(idOf(XmlAttr::findChild(tree[c.from], c.name)), c.expected) << c.from << " / " << c.name;
    EXPECT_EQ(XmlAttr::findChild(nullptr, "frame"), nullptr);
}

TEST(XmlAttr, IntegersAcceptHashHexadecimalAndCNotation)
{
    struct Case {
        const char* value;
        bool found;
        int result;
    } cases[] = {
        {"#ff", true, 255}, {"#FF00", true, 0xFF00}, {"0x10", true, 16}, {"010", true, 8},
        {"-3", true, -3},   {"42px", true, 42},      {"abc", false, 0},  {"#", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        TiXmlElement element("sprite");
        element.SetAttribute("x", c.value);
        int out = -99;
        EXPECT_EQ(XmlAttr::getInt(&element, "x", out), c.found) << c.value;
        EXPECT_EQ(out, c.found ? c.result : -99) << c.value;
    }
}

TEST(XmlAttr, MissingAttributesLeaveEveryOutValueAlone)
{
    TiXmlElement element("sprite");
    element.SetAttribute("f", "1.25");
    element.SetAttribute("bad", "fast");
    int i = 1;
    double d = 2;
    float f = 3;
    bool b = true;
    std::string s = "keep";
    EXPECT_FALSE(XmlAttr::getInt(&element, "none", i));
    EXPECT_FALSE(XmlAttr::getFloat(&element, "none", d));
    EXPECT_FALSE(XmlAttr::getFloat(&element, "bad", d));
    EXPECT_FALSE(XmlAttr::getFloatValue(&element, "none", f));
    EXPECT_FALSE(XmlAttr::getBool(&element, "none", b));
    EXPECT_FALSE(XmlAttr::getString(&element, "none", s));
    EXPECT_FALSE(XmlAttr::getText(&element, s));
    EXPECT_EQ(i, 1);
    EXPECT_EQ(d, 2);
    EXPECT_EQ(f, 3);
    EXPECT_TRUE(b);
    EXPECT_EQ(s, "keep");
    EXPECT_TRUE(XmlAttr::getFloatValue(&element, "f", f));
    EXPECT_EQ(f, 1.25f);
}

TEST(XmlAttr, BooleansAreFalseOnlyForTheFourWords)
{
    struct Case {
        const char* value;
        bool result;
    } cases[] = {{"0", false},    {"false", false}, {"no", false}, {"off", false},
                 {"False", true}, {"", true},       {"1", true},   {"yes", true}};
    for (const Case& c : cases) {
        TiXmlElement element("sprite");
        element.SetAttribute("b", c.value);
        bool out = !c.result;
        EXPECT_TRUE(XmlAttr::getBool(&element, "b", out)) << c.value;
        EXPECT_EQ(out, c.result) << '"' << c.value << '"';
    }
}

TEST_F(XmlAttrLayout, StringValuesAndTextsResolveThroughTheLayoutAndTheStore)
{
    properties("<String id=\"STRING_PROP\">from the store</String>");
    loadDocuments(R"(
        <String id="XA_TEXT">layout text</String>
        <label id="XA_TEMPLATE">template text</label>
        <label id="XA_TEMPLATE_ATTR" text="XA_TEXT"/>
        <label id="XA_EMPTY_TEMPLATE"/>
        <label id="XA_BOTH" text="attribute">child</label>
        <label id="XA_PROP">STRING_PROP</label>
        <widget id="XA_W" a="XA_TEXT" b="XA_TEMPLATE" c="plain" d="XA_TEMPLATE_ATTR" e="XA_EMPTY_TEMPLATE"
                f="XA_PROP" on="XA_FALSE" n="XA_TEMPLATE" n2="2.5"/>
        <String id="XA_FALSE">off</String>
    )",
                  "");
    const TiXmlElement* w = findLayoutElement("XA_W");
    ASSERT_NE(w, nullptr);
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"a", "layout text"},    // a String entry
        {"b", "template text"},  // a template's text
        {"c", "plain"},          // neither: the value itself
        {"d", "layout text"},    // a template whose "text" attribute names a String entry
        {"e", "XA_EMPTY_TEMPLATE"}, // a template without text falls back to the value
        {"f", "from the store"}, // a template whose text names a property String
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_TRUE(XmlAttr::getString(w, c.name, out)) << c.name;
        EXPECT_EQ(out, c.value) << c.name;
    }

    bool on = true;
    EXPECT_TRUE(XmlAttr::getBool(w, "on", on));
    EXPECT_FALSE(on) << "a boolean reads the resolved text";
    double number = 0;
    EXPECT_FALSE(XmlAttr::getFloat(w, "n", number)) << "a template's name is never a number";
    EXPECT_TRUE(XmlAttr::getFloat(w, "n2", number));
    EXPECT_EQ(number, 2.5);

    std::string text;
    EXPECT_EQ(XmlAttr::getRawText(findLayoutElement("XA_BOTH")), "child") << "the text child wins";
    EXPECT_EQ(XmlAttr::getRawText(findLayoutElement("XA_TEMPLATE_ATTR")), "layout text");
    EXPECT_EQ(XmlAttr::getRawText(findLayoutElement("XA_PROP")), "STRING_PROP");
    EXPECT_TRUE(XmlAttr::getText(findLayoutElement("XA_PROP"), text));
    EXPECT_EQ(text, "from the store");
    EXPECT_FALSE(XmlAttr::getText(findLayoutElement("XA_EMPTY_TEMPLATE"), text));
}

// Chains that come back to themselves end as "not found" rather than in endless recursion.
TEST_F(XmlAttrLayout, LoopingChainsEndAsNotFound)
{
    loadDocuments(R"(
        <sprite id="LP_A" setup="LP_B" a="1"/>
        <sprite id="LP_B" setup="LP_A" b="2"/>
        <sprite id="LP_SELF" setup="LP_SELF"/>
        <group id="LP_G" setup="LP_INNER">
            <sprite id="LP_INNER" setup="LP_G"/>
        </group>
        <label id="LP_T1" text="LP_T2"/>
        <label id="LP_T2" text="LP_T1"/>
        <label id="LP_TSELF" text="LP_TSELF"/>
        <widget id="LP_W" v="LP_T1"/>
    )",
                  "");
    const TiXmlElement* a = findLayoutElement("LP_A");
    int out = -1;
    EXPECT_TRUE(XmlAttr::getInt(a, "b", out));
    EXPECT_EQ(out, 2) << "a loop still lends what it holds";
    EXPECT_FALSE(XmlAttr::getInt(a, "missing", out));
    EXPECT_EQ(XmlAttr::findChild(a, "missing"), nullptr);
    EXPECT_EQ(XmlAttr::find(findLayoutElement("LP_SELF"), "x"), nullptr);
    EXPECT_EQ(XmlAttr::findChild(findLayoutElement("LP_SELF"), "x"), nullptr);
    EXPECT_EQ(XmlAttr::findChild(findLayoutElement("LP_INNER"), "x"), nullptr);
    EXPECT_EQ(XmlAttr::find(findLayoutElement("LP_INNER"), "x"), nullptr);

    // Texts that name each other end at a literal value.
    EXPECT_FALSE(XmlAttr::getRawText(findLayoutElement("LP_T1")).empty());
    EXPECT_EQ(XmlAttr::getRawText(findLayoutElement("LP_TSELF")), "LP_TSELF");
    std::string s;
    EXPECT_TRUE(XmlAttr::getString(findLayoutElement("LP_W"), "v", s));
}

TEST(XmlAttr, LongChainsResolveAndHostileDepthIsBounded)
{
    // A chain of 300 setups, each to the next sibling: the last one holds the value.
    std::string body;
    for (int i = 0; i < 300; ++i)
        body += "<s id=\"S" + std::to_string(i) + "\" setup=\"S" + std::to_string(i + 1) + "\"/>";
    body += "<s id=\"S300\" x=\"9\"/>";
    // Nested groups whose setup names resolve only through further setups of the enclosing scopes.
    std::string nested = "<n id=\"N0\" setup=\"M0\">";
    for (int i = 1; i < 200; ++i)
        nested += "<n id=\"N" + std::to_string(i) + "\" setup=\"M" + std::to_string(i) + "\">";
    nested += std::string(200 * 4, ' ');
    std::string closing;
    for (int i = 0; i < 200; ++i)
        closing += "</n>";
    Tree tree(body + nested + closing);
    EXPECT_EQ(intOr(tree["S0"], "x", -1), 9);
    EXPECT_EQ(intOr(tree["N199"], "x", -1), -1);
    EXPECT_EQ(XmlAttr::findChild(tree["N199"], "x"), nullptr);
}

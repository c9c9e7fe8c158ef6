#include "runtime/AdSdk.h"
#include "runtime/ClassRecord.h"
#include "runtime/DebugLog.h"
#include "runtime/ObjectFactory.h"
#include "runtime/strings/StringUtil.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

// What a creator saw: which creator ran and with which element.
struct Made {
    int creator;
    const TiXmlElement* element;
};

void* makeFirst(const TiXmlElement* element)
{
    return new Made{1, element};
}
void* makeSecond(const TiXmlElement* element)
{
    return new Made{2, element};
}

QUARRY_REGISTER_XML_CREATOR("factorytestwidget", makeFirst);
QUARRY_REGISTER_XML_CREATOR("factorytestwidget", makeSecond);

std::unique_ptr<Made> make(const TiXmlNode* node)
{
    return std::unique_ptr<Made>(static_cast<Made*>(createFromXml(node)));
}

} // namespace

TEST(ObjectFactory, StaticRegistrationKeepsTheFirstCreatorOfATag)
{
    TiXmlElement element("factorytestwidget");
    std::unique_ptr<Made> made = make(&element);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->creator, 1);
    EXPECT_EQ(made->element, &element);

    ObjectFactory::registerCreator(makeSecond, "factorytestwidget");
    EXPECT_EQ(ObjectFactory::findCreator("factorytestwidget"), &makeFirst);

    // The key list holds each tag once, sorted.
    ObjectFactory::registerCreator(makeSecond, "factorytestalpha");
    const std::vector<std::string> keys = ObjectFactory::registeredKeys();
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(1, std::count(keys.begin(), keys.end(), "factorytestwidget"));
    EXPECT_EQ(1, std::count(keys.begin(), keys.end(), "factorytestalpha"));
}

TEST(ObjectFactory, TagsAreTakenExactlyAndOtherNodesGetNull)
{
    ObjectFactory::registerCreator(makeSecond, "factorytestslider");

    TiXmlElement upper("FactoryTestSlider");
    std::size_t logged = DebugLog::instance().getText().size();
    EXPECT_EQ(createFromXml(&upper), nullptr) << "no case folding";
    EXPECT_NE(DebugLog::instance().getText().find("FactoryTestSlider", logged), std::string::npos);

    // A text node whose text is a registered key reaches that creator, with no element.
    TiXmlText text("factorytestslider");
    std::unique_ptr<Made> made = make(&text);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->creator, 2);
    EXPECT_EQ(made->element, nullptr);

    TiXmlElement unknown("nosuchtag");
    EXPECT_EQ(createFromXml(&unknown), nullptr);
    EXPECT_EQ(createFromXml(nullptr), nullptr);
}

TEST(ObjectFactory, DestroyEmptiesTheRegistryAndALaterRegistrationStartsAnew)
{
    ObjectFactory::registerCreator(makeFirst, "factorytestagain");
    ObjectFactory::destroy();
    TiXmlElement element("factorytestagain");
    EXPECT_EQ(createFromXml(&element), nullptr);
    ObjectFactory::destroy(); // a second destroy is harmless

    ObjectFactory::registerCreator(makeSecond, "factorytestagain");
    std::unique_ptr<Made> made = make(&element);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->creator, 2);
    // Restore what the static registrations put there for the other tests.
    ObjectFactory::registerCreator(makeFirst, "factorytestwidget");
}

namespace {
// A family whose records deliberately differ from a plain chain: "Container" names no parent.
constexpr ClassRecord rootRecord("Sprite", nullptr);
constexpr ClassRecord bitmapRecord("BitmapSprite", &rootRecord);
constexpr ClassRecord xmlRecord("XMLSprite", &bitmapRecord);
constexpr ClassRecord containerRecord("SpriteContainer", nullptr);
constexpr ClassRecord sameNameRecord("Sprite", nullptr);
} // namespace

TEST(ClassRecord, KindTestWalksTheParentRecordsByIdentity)
{
    struct Case {
        const ClassRecord* record;
        const ClassRecord* asked;
        bool kind;
    } cases[] = {
        {&xmlRecord, &xmlRecord, true},
        {&xmlRecord, &bitmapRecord, true},
        {&xmlRecord, &rootRecord, true},
        {&rootRecord, &rootRecord, true},
        {&bitmapRecord, &xmlRecord, false}, // a derived record is not a kind of its parent
        {&rootRecord, &xmlRecord, false},
        {&containerRecord, &rootRecord, false},
        {&xmlRecord, &sameNameRecord, false}, // names do not count
        {&xmlRecord, nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.record->isKindOf(c.asked), c.kind) << c.record->name << " of kind " << (c.asked ? c.asked->name : "null");
}

TEST(StringUtil, EqualsFoldsCaseOnlyWhenNotExact)
{
    struct Case {
        const char* text;
        const char* other;
        bool exact;
        bool equal;
    } cases[] = {
        {"Center", "center", false, true},  {"Center", "center", true, false}, {"center", "center", true, true},
        {"cent", "center", false, false},   {"center", "cent", false, false},  {"", "", true, true},
        {"TOP_LEFT", "top_left", false, true}, {"top-left", "top_left", false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringUtil::equals(c.text, c.other, c.exact), c.equal) << c.text << " / " << c.other << " exact " << c.exact;
    EXPECT_FALSE(StringUtil::equals("x", nullptr, false));
}

TEST(AdSdk, TheOneInstanceStartsWithItsTickCleared)
{
    EXPECT_EQ(&AdSdk::instance(), &AdSdk::instance());
    EXPECT_EQ(AdSdk::instance().tick, 0u);
}

TEST(ObjectFactory, AFamilyAskedForIsTheOnlyOneMade)
{
    ObjectFactory::registerCreator(makeSecond, "factorytestforeign", "factorytestfamily");
    TiXmlElement foreign("factorytestforeign");
    TiXmlElement own("factorytestwidget");

    // A caller that reads the result as a framework object never gets another family's object.
    EXPECT_EQ(ObjectFactory::createFromXml(&foreign, ObjectFactory::kRefObjects), nullptr);
    std::unique_ptr<Made> made(static_cast<Made*>(ObjectFactory::createFromXml(&foreign, "factorytestfamily")));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->creator, 2);
    // Registrations without a family are the framework's.
    made.reset(static_cast<Made*>(ObjectFactory::createFromXml(&own, ObjectFactory::kRefObjects)));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->creator, 1);
    EXPECT_EQ(ObjectFactory::createFromXml(&own, "factorytestfamily"), nullptr);
}

// Every identifier that the product code looks up by a literal is defined in the staged data set, in
// the store and of the kind the look-up reads. A look-up of a new identifier cannot land without
// its data.
#include "assets/DataSet.h"
#include "assets/IdentifierScan.h"

#include "runtime/GameException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

using namespace dataset;

namespace {

bool propertyDefined(PropertyManager& store, const std::string& kind, const std::string& id)
{
    try {
        if (kind == "String") return store.hasString(id) != 0;
        if (kind == "Integer") store.getInteger(id);
        else if (kind == "Double") store.getDouble(id);
        else if (kind == "Boolean") store.getBoolean(id);
        else if (kind == "Long") store.getLong(id);
        else if (kind == "Color") store.getColor(id);
        else if (kind == "Point") store.getPoint(id);
        else if (kind == "Rectangle") store.getRectangle(id);
        else if (kind == "ArrayInteger") store.getArrayInteger(id);
        else if (kind == "ArrayString") store.getArrayString(id);
        return true;
    } catch (const GameException&) {
        return false;
    }
}

bool layoutDefined(const LayoutEntries& layout, const std::string& kind, const std::string& id)
{
    if (kind == "String") return layout.strings.count(id) != 0;
    if (kind == "Integer") return layout.integers.count(id) != 0;
    if (kind == "Float") return layout.floats.count(id) != 0;
    if (kind == "Boolean") return layout.booleans.count(id) != 0;
    if (kind == "Point") return layout.points.count(id) != 0;
    if (kind == "Rectangle") return layout.rectangles.count(id) != 0;
    if (kind == "StringVector") return layout.stringLists.count(id) != 0;
    if (kind == "IntegerVector") return layout.integerLists.count(id) != 0;
    return layout.templates.count(id) != 0;
}

bool catalogueDefined(const std::vector<ResourceEntry>& entries, const std::string& kind, const std::string& id)
{
    return std::any_of(entries.begin(), entries.end(), [&](const ResourceEntry& entry) {
        if (kind == "any")
            return entry.id == id;
        if (kind == "Mask") // the mask map also holds the masks of pictures, under their mask id
            return (entry.kind == "Mask" && entry.id == id) || (entry.kind == "Surface" && entry.maskId == id);
        return entry.kind == kind && entry.id == id;
    });
}

const char* storeName(Store store)
{
    switch (store) {
    case Store::Property: return "property file entry";
    case Store::Layout: return "layout document entry";
    case Store::Catalogue: return "resource entry";
    }
    return "";
}

} // namespace

namespace dataset {
// Failure messages name a helper's looked-up argument readably.
void PrintTo(const ArgumentLookup& lookup, std::ostream* out)
{
    *out << "argument " << lookup.argument << ": " << lookup.kind << " " << storeName(lookup.store);
}
} // namespace dataset

namespace {

// The three stores a look-up is checked against.
struct Stores {
    PropertyManager& properties;
    const LayoutEntries& layout;
    const std::vector<ResourceEntry>& resources;
};

// One line for every look-up whose identifier the stores lack, naming where the code reads it.
std::set<std::string> missingIdentifiers(const Stores& stores, const std::vector<Lookup>& lookups)
{
    std::set<std::string> missing;
    for (const Lookup& lookup : lookups) {
        bool defined = false;
        switch (lookup.store) {
        case Store::Property: defined = propertyDefined(stores.properties, lookup.kind, lookup.id); break;
        case Store::Layout: defined = layoutDefined(stores.layout, lookup.kind, lookup.id); break;
        case Store::Catalogue: defined = catalogueDefined(stores.resources, lookup.kind, lookup.id); break;
        }
        if (!defined)
            missing.insert(lookup.id + ": no " + lookup.kind + " " + storeName(lookup.store) + " (" + lookup.function +
                           " at " + lookup.file + ":" + std::to_string(lookup.line) + ")");
    }
    return missing;
}

std::string report(const std::set<std::string>& missing)
{
    std::ostringstream out;
    for (const std::string& line : missing)
        out << "  " << line << "\n";
    return out.str();
}

} // namespace

TEST(IdentifierScan, FindsLiteralAndNamedLookupsOnly)
{
    const std::string source = R"src(
const char* const kRootId = "RES_REGISTRY_ROOT";
void f(PropertyManager* p) {
    p->getString(kRootId);
    p->getInteger( "INT_SCORE_INIT" );
    getResourceRect("RECT_" + mode + "_GAME");      // built at run time: not a literal
    playSound("SOUND_GAME_OVER", 255);
    cfg.getString("currentplayer");                 // lower case: a configuration key
    // getFont("FONT_COMMENTED_OUT");
    /* findLayoutElement("IN_A_BLOCK_COMMENT"); */
    log("see getImage(\"IN_A_TEXT\")");
    getImage("IMAGE_SKIPPED"); // not a data id
    holder->getImage();
    findLayoutElement("TOOLTIPS_DEFAULT");
}
)src";
    std::vector<Lookup> found = findLookups(source, "f.cpp", identifierConstants(source));
    std::vector<std::string> seen;
    for (const Lookup& lookup : found)
        seen.push_back(lookup.function + " " + lookup.id + " line " + std::to_string(lookup.line));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "getString RES_REGISTRY_ROOT line 4",
                        "getInteger INT_SCORE_INIT line 5",
                        "playSound SOUND_GAME_OVER line 7",
                        "findLayoutElement TOOLTIPS_DEFAULT line 14",
                    }));
}

// Helpers are recognised from their definitions, whatever their kind (free, template, member,
// constructor with initialisers, defined in another file), at the place of the parameter they pass on.
TEST(IdentifierScan, FindsLookupsThroughHelpersDefinedInTheSources)
{
    const std::string helpers = R"src(
namespace {
Sprite* layoutSprite(const char* id)
{
    const TiXmlElement* element = findLayoutElement(id);
    return element ? createSpriteFromXml(element) : nullptr;
}
template <class T> T* layoutSpriteAs(const std::string& id) { return dynamic_cast<T*>(layoutSprite(id)); }
}
Cart::Cart(const std::string& cartId, const std::string& goldId, int stages) : Sprite(0, 0), stages{stages}
{
    cart = ResourceManager::getImage(cartId);
    gold = heldImage(goldId);
}
PixelFontLabel* Dialog::addLabel(const std::string& text, const std::string& elementId) const
{
    return createLabel(text, findLayoutElement(elementId));
}
Surface* starMap(const std::string& image)
{
    Surface* map = getMask(image);
    return map ? map : getImage(image)->getMask();
}
void Dialog::setCaption(const std::string& caption) { label->setText(caption); }
)src";
    const std::string otherFile = R"src(
SurfaceHolder* heldImage(const std::string& id) { return ResourceManager::getImage(id); }
)src";
    const std::string uses = R"src(
void f() {
    background = layoutSprite("SPRITE_BACKGROUND");
    auto* tips = layoutSpriteAs<TooltipManagerSprite>("TOOLTIPS_DEFAULT");
    addLabel(layoutString("STRING_HELLO"), "LABEL_TEXT");
    new Cart("IMAGE_CART",
             "IMAGE_GOLD", 5);
    layoutSprite("BUTTON_" + mode);            // built at run time
    starMap("IMAGE_STAR");                     // a picture or a mask: no single meaning
    setCaption("STRING_CAPTION");              // passed on to no look-up
    log("layoutSprite(\"IN_A_TEXT\")");
    layoutSprite("SPRITE_EXAMPLE"); // not a data id
}
)src";
    const LookupHelpers found = findLookupHelpers({helpers, otherFile, uses});
    const LookupHelpers expected = {
        {"Cart", {{0, Store::Catalogue, "Surface"}, {1, Store::Catalogue, "Surface"}}},
        {"addLabel", {{1, Store::Layout, "template"}}},
        {"heldImage", {{0, Store::Catalogue, "Surface"}}},
        {"layoutSprite", {{0, Store::Layout, "template"}}},
        {"layoutSpriteAs", {{0, Store::Layout, "template"}}},
    };
    EXPECT_EQ(found, expected);

    std::vector<std::string> seen;
    for (const Lookup& lookup : findLookups(uses, "f.cpp", {}, found))
        seen.push_back(lookup.function + " " + lookup.id + " " + lookup.kind + " line " + std::to_string(lookup.line));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "layoutSprite SPRITE_BACKGROUND template line 3",
                        "layoutSpriteAs TOOLTIPS_DEFAULT template line 4",
                        "addLabel LABEL_TEXT template line 5",
                        "Cart IMAGE_CART Surface line 6",
                        "Cart IMAGE_GOLD Surface line 6",
                    }));
}

TEST(IdentifierScan, OnlyConstantNamesResolveAcrossFiles)
{
    const std::pair<const char*, bool> cases[] = {
        {"kWriteErrorId", true}, {"SPARKLE_MASK", true}, {"id", false}, {"key", false}, {"k", false},
        {"kind", false},         {"Id", false},
    };
    for (const auto& [name, shared] : cases)
        EXPECT_EQ(sharedConstantName(name), shared) << name;
}

TEST(IdentifierCheck, EveryIdentifierTheCodeLooksUpIsInTheDataSet)
{
    LoadedDataSet& data = loaded();
    ASSERT_EQ(data.errors(), "");
    std::vector<Lookup> lookups = scanProductSources();
    // The property store reads its registry root by a literal, so an empty scan means a broken scan.
    ASSERT_TRUE(std::any_of(lookups.begin(), lookups.end(),
                            [](const Lookup& lookup) { return lookup.id == "RES_REGISTRY_ROOT"; }));

    const std::set<std::string> missing =
        missingIdentifiers(Stores{data.properties(), data.layout(), data.resources()}, lookups);
    EXPECT_TRUE(missing.empty()) << "The data set in assets/ lacks identifiers the code looks up:\n" << report(missing);
}

TEST(IdentifierScan, EveryLookupFunctionIsFoundWithItsStoreAndKind)
{
    struct Case {
        const char* function;
        Store store;
        const char* kind;
    };
    const Case cases[] = {
        {"getString", Store::Property, "String"},
        {"getInteger", Store::Property, "Integer"},
        {"getDouble", Store::Property, "Double"},
        {"getBoolean", Store::Property, "Boolean"},
        {"getLong", Store::Property, "Long"},
        {"getColor", Store::Property, "Color"},
        {"getPoint", Store::Property, "Point"},
        {"getRectangle", Store::Property, "Rectangle"},
        {"getArrayInteger", Store::Property, "ArrayInteger"},
        {"getArrayString", Store::Property, "ArrayString"},
        {"getResourceString", Store::Layout, "String"},
        {"peekResourceString", Store::Layout, "String"},
        {"getResourceInt", Store::Layout, "Integer"},
        {"getResourceFloat", Store::Layout, "Float"},
        {"getResourceBool", Store::Layout, "Boolean"},
        {"getResourcePoint", Store::Layout, "Point"},
        {"getResourceRect", Store::Layout, "Rectangle"},
        {"getResourceList", Store::Layout, "StringVector"},
        {"getResourceVector", Store::Layout, "IntegerVector"},
        {"findLayoutElement", Store::Layout, "template"},
        {"getImage", Store::Catalogue, "Surface"},
        {"getMask", Store::Catalogue, "Mask"},
        {"getFont", Store::Catalogue, "Font"},
        {"getSound", Store::Catalogue, "Sound"},
        {"playSound", Store::Catalogue, "Sound"},
        {"loopSound", Store::Catalogue, "Sound"},
        {"loadById", Store::Catalogue, "any"},
    };
    std::set<std::string> known, tabled;
    for (const auto& entry : lookupFunctions())
        known.insert(entry.first);
    for (const Case& c : cases)
        tabled.insert(c.function);
    EXPECT_EQ(tabled, known) << "every look-up function the check knows has a row here";

    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        const std::string source = std::string("x->") + c.function + "(\"ID_ONE\", 1);\n";
        const std::vector<Lookup> found = findLookups(source, "f.cpp", {});
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].function, c.function);
        EXPECT_EQ(found[0].id, "ID_ONE");
        EXPECT_EQ(found[0].store, c.store);
        EXPECT_EQ(found[0].kind, c.kind);
    }
}

// Against stores that lack them, every kind of identifier the code reads is reported missing, under
// the store it belongs to: the check cannot pass by failing to look.
TEST(IdentifierCheck, IdentifiersMissingFromEachStoreAreReported)
{
    LoadedDataSet& data = loaded();
    ASSERT_EQ(data.errors(), "");
    // One look-up the code really makes for every store and kind it reads.
    std::map<std::pair<Store, std::string>, Lookup> sample;
    for (const Lookup& lookup : scanProductSources())
        sample.emplace(std::make_pair(lookup.store, lookup.kind), lookup);
    for (Store store : {Store::Property, Store::Layout, Store::Catalogue})
        ASSERT_TRUE(std::any_of(sample.begin(), sample.end(), [&](const auto& s) { return s.first.first == store; }))
            << "the code reads no " << storeName(store);

    PropertyManager* emptyProperties = new PropertyManager(nullptr);
    emptyProperties->addRef();
    const LayoutEntries emptyLayout;
    const std::vector<ResourceEntry> emptyResources;
    const Stores full{data.properties(), data.layout(), data.resources()};
    for (const auto& [key, lookup] : sample) {
        SCOPED_TRACE(lookup.function + " " + lookup.id);
        const Stores lacking{lookup.store == Store::Property ? *emptyProperties : data.properties(),
                             lookup.store == Store::Layout ? emptyLayout : data.layout(),
                             lookup.store == Store::Catalogue ? emptyResources : data.resources()};
        EXPECT_EQ(missingIdentifiers(full, {lookup}), std::set<std::string>{});
        const std::set<std::string> missing = missingIdentifiers(lacking, {lookup});
        EXPECT_EQ(missing, (std::set<std::string>{lookup.id + ": no " + lookup.kind + " " + storeName(lookup.store) +
                                                  " (" + lookup.function + " at " + lookup.file + ":" +
                                                  std::to_string(lookup.line) + ")"}));
    }
    emptyProperties->release();
}

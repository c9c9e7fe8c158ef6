// Every identifier that the product code looks up by a literal is defined in the staged data set, in
// the store and of the kind the look-up reads. A look-up of a new identifier cannot land without
// its data.
#include "assets/DataSet.h"
#include "assets/IdentifierScan.h"

#include "runtime/GameException.h"

#include <gtest/gtest.h>

#include <algorithm>
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

    std::set<std::string> missing;
    for (const Lookup& lookup : lookups) {
        bool defined = false;
        switch (lookup.store) {
        case Store::Property: defined = propertyDefined(data.properties(), lookup.kind, lookup.id); break;
        case Store::Layout: defined = layoutDefined(data.layout(), lookup.kind, lookup.id); break;
        case Store::Catalogue: defined = catalogueDefined(data.resources(), lookup.kind, lookup.id); break;
        }
        if (!defined)
            missing.insert(lookup.id + ": no " + lookup.kind + " " + storeName(lookup.store) + " (" + lookup.function +
                           " at " + lookup.file + ":" + std::to_string(lookup.line) + ")");
    }
    std::ostringstream report;
    for (const std::string& line : missing)
        report << "  " << line << "\n";
    EXPECT_TRUE(missing.empty()) << "The data set in assets/ lacks identifiers the code looks up:\n" << report.str();
}

// Rules the data must keep because the code relies on them without checking: the service texts'
// count and numbers, format texts whose placeholders match what the code passes, plain ASCII text,
// a registry root and a registry script the start-up can use, and the sizes of lists the game
// indexes.
#include "assets/DataSet.h"

#include "runtime/GameException.h"

#include <tinyxml.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <regex>
#include <set>
#include <vector>

using namespace dataset;

namespace {

// The kinds of the printf placeholders of a text, in order: 'd' for integers and characters, 'f' for
// floating point, 's' for texts; '?' for a placeholder no caller could fill safely. "%%" is no
// placeholder.
std::string placeholders(const std::string& text)
{
    std::string kinds;
    static const std::regex placeholder(R"re(%([-+ #0]*)(\d*)(?:\.(\d*))?(hh|h|ll|l|L)?(.?))re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder); it != std::sregex_iterator(); ++it) {
        char conversion = (*it)[5].str().empty() ? '\0' : (*it)[5].str()[0];
        if (conversion == '%' && (*it)[0].length() == 2)
            continue;
        if (std::strchr("diuxXoc", conversion) != nullptr && conversion != '\0')
            kinds += 'd';
        else if (std::strchr("feEgG", conversion) != nullptr && conversion != '\0')
            kinds += 'f';
        else if (conversion == 's')
            kinds += 's';
        else
            kinds += '?';
    }
    return kinds;
}

std::string propertyText(const std::string& id)
{
    PropertyManager& store = loaded().properties();
    return store.hasString(id) ? store.getString(id) : std::string();
}

// The identifiers that stand on more than one entry of a property file. Only the file's own entries
// count (elements at its top level): a Mask inside a Surface names the surface's mask, not an entry.
// A repeated entry is a slip: the store keeps the later one and the earlier is dead text.
std::vector<std::string> repeatedEntryIds(const std::string& propertyText)
{
    std::string text = std::regex_replace(propertyText, std::regex("<!--[\\s\\S]*?-->"), "");
    static const std::regex tag(R"re(<(/?)([A-Za-z_][\w.-]*)([^>]*?)(/?)>)re");
    static const std::regex id(R"re(\bid\s*=\s*["']([^"']*)["'])re");
    std::map<std::string, int> seen;
    std::vector<std::string> repeated;
    int depth = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator(); ++it) {
        const std::smatch& match = *it;
        if (match[1].length() > 0) {
            depth = std::max(0, depth - 1);
            continue;
        }
        std::smatch idMatch;
        const std::string attributes = match[3].str();
        if (depth == 0 && std::regex_search(attributes, idMatch, id) && ++seen[idMatch[1].str()] == 2)
            repeated.push_back(idMatch[1].str());
        if (match[4].length() == 0)
            ++depth;
    }
    return repeated;
}

} // namespace

TEST(DataRules, PlaceholderKinds)
{
    const std::pair<const char*, const char*> cases[] = {
        {"plain text", ""},          {"100%% sure", ""},   {"%s and %d", "sd"},
        {"%5.1f m deep", "f"},       {"%-3ld%c", "dd"},    {"%x%%%s", "ds"},
        {"%n", "?"},                 {"trailing %", "?"},  {"%lf", "f"},
    };
    for (const auto& [text, kinds] : cases)
        EXPECT_EQ(placeholders(text), kinds) << text;
}

TEST(DataRules, ServiceTextsAreThirtyFiveWithTwoNumbers)
{
    PropertyManager::StringArray* texts = nullptr;
    try {
        texts = loaded().properties().getArrayString("RES_ZEVUZUDED_SETTINGS");
    } catch (const GameException&) {
    }
    ASSERT_NE(texts, nullptr);
    ASSERT_EQ(texts->size(), 35u);
    for (int index : {33, 34}) {
        const std::string& number = *texts->elementAt(index);
        EXPECT_TRUE(!number.empty() && std::all_of(number.begin(), number.end(), ::isdigit) && std::stoi(number) > 0)
            << "entry " << index << " must be a positive decimal number, is \"" << number << "\"";
    }
}

// Texts the code formats with arguments, with the placeholders those arguments need; every other
// text must hold no placeholder, since a text used as a format with none of its arguments would read
// past them.
TEST(DataRules, FormatTextsTakeTheArgumentsTheCodePasses)
{
    // The configuration's write error names the file it could not write.
    std::map<std::string, std::string> propertyFormats = {{"STRING_ERROR_WRITING_CONFIG_TEXT", "s"}};
    std::map<unsigned, std::string> serviceFormats = {{2, "s"}, {5, "ss"}, {22, "d"}};
    std::map<std::string, std::string> layoutFormats = {
        {"ABOUT_VERSION", "s"},
        {"STRING_GAMEOVER_DEPTH_FORMAT", "f"},
        {"STRING_DEPTH_LABEL_TEMPLATE", "f"},
        {"STRING_SINGLE_PLAYER", "s"},
        {"STRING_TOOLTIP_WELCOME", "s"},
        {"STRING_REMOVE_NAME_TEXT", "s"},
        {"STRING_TREASURE_N_MORE_TO_GO", "d"},
        {"STRING_START_SAVEGAME_DESCRIPTION_CLASSIC", "sf"},
        {"STRING_START_SAVEGAME_DESCRIPTION_ENDLESS", "sf"},
        {"STRING_ERROR_READING_SAVEGAME_TEXT", "s"},
        {"STRING_ERROR_WRITING_SAVEGAME_TEXT", "s"},
    };

    // Property texts: the file is scanned for String entries, since the store cannot list its ids.
    std::regex entry(R"re(<String\s+id\s*=\s*["']([^"']+)["'])re");
    std::set<std::string> ids;
    for (const auto& path : propertyFiles()) {
        std::string text = readFile(path);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), entry); it != std::sregex_iterator(); ++it)
            ids.insert((*it)[1].str());
    }
    for (const std::string& id : ids) {
        auto expected = propertyFormats.find(id);
        EXPECT_EQ(placeholders(propertyText(id)), expected != propertyFormats.end() ? expected->second : "")
            << "property " << id;
    }
    PropertyManager::StringArray* service = loaded().properties().getArrayString("RES_ZEVUZUDED_SETTINGS");
    for (unsigned i = 0; i < service->size(); ++i) {
        auto expected = serviceFormats.find(i);
        EXPECT_EQ(placeholders(*service->elementAt(i)), expected != serviceFormats.end() ? expected->second : "")
            << "RES_ZEVUZUDED_SETTINGS entry " << i;
    }
    for (const auto& [id, text] : loaded().layout().strings) {
        auto expected = layoutFormats.find(id);
        EXPECT_EQ(placeholders(text), expected != layoutFormats.end() ? expected->second : "") << "layout " << id;
    }
    for (const auto& [id, items] : loaded().layout().stringLists)
        for (const std::string& item : items)
            EXPECT_EQ(placeholders(item), "") << "layout list " << id << ": " << item;
}

// The message dialogs' callers read these texts from the layout documents; a text that sits only in
// the property file shows as an empty dialog.
TEST(DataRules, DialogTextsAreLayoutStrings)
{
    for (const char* id : {"STRING_EXITGAME_QUESTION", "STRING_REMOVE_NAME_TEXT", "STRING_TREASURE_NEW_BONUS",
                           "STRING_UPDATE_QUESTION", "STRING_SINGLE_PLAYER", "STRING_SINGLE_PLAYER_AD",
                           "STRING_WAITING", "STRING_UPDATE_SUCCESS", "STRING_UPDATE_FAIL"}) {
        auto text = loaded().layout().strings.find(id);
        EXPECT_TRUE(text != loaded().layout().strings.end() && !text->second.empty()) << "no layout String " << id;
    }
}

TEST(DataRules, NoEntryIdentifierRepeatsWithinAPropertyFile)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"<Int id=\"A\">1</Int><Int id=\"B\">2</Int>", {}},
        {"<Sound id=\"S\">a.wav</Sound>\n<Sound id=\"S\">b.wav</Sound>", {"S"}},
        {"<Int id=\"A\">1</Int><String id=\"A\">x</String>", {"A"}},
        {"<Surface id=\"M\"><Image>m.png</Image><Mask id=\"M\">m_mask.png</Mask></Surface>", {}},
        {"<!-- <Int id=\"C\">1</Int> --><Int id=\"C\">2</Int>", {}},
        {"<Flag id=\"F\"/><Flag id=\"F\"/>", {"F"}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(repeatedEntryIds(text), expected) << text;

    for (const auto& path : propertyFiles())
        for (const std::string& id : repeatedEntryIds(readFile(path)))
            ADD_FAILURE() << path << ": more than one entry is named " << id;
}

TEST(DataRules, TextFilesArePlainAscii)
{
    std::vector<std::filesystem::path> files = propertyFiles();
    for (const auto& entry : std::filesystem::directory_iterator(runDir() / "layout"))
        files.push_back(entry.path());
    files.push_back(runDir() / "setup.reg");
    for (const auto& path : files) {
        std::string text = readFile(path);
        for (size_t i = 0; i < text.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 0x80 || (c < 0x20 && c != '\n' && c != '\r' && c != '\t')) {
                ADD_FAILURE() << path << ": byte " << static_cast<int>(c) << " at offset " << i;
                break;
            }
        }
    }
}

TEST(DataRules, RegistryRootIsAKeyPathEndingInABackslash)
{
    std::string root = propertyText("RES_REGISTRY_ROOT");
    ASSERT_FALSE(root.empty());
    EXPECT_EQ(root.back(), '\\') << root;
    EXPECT_NE(root.front(), '\\') << root;
    EXPECT_EQ(root.find("HKEY_"), std::string::npos) << "the root lies below HKEY_CURRENT_USER: " << root;
}

// The registry script is applied with overwrite at every start: a player's option or anything the
// game records there would be reset each time. Its service key is the game's own.
TEST(DataRules, RegistryScriptHoldsInstallationDataOnly)
{
    const std::set<std::string> playerValues = {"fullscreen", "fullscreenwarning", "musicvolume", "sfxvolume",
                                                "shutdowncorrect", "language", "country", "lookandfeel",
                                                "lastcheckdate"};
    int gameId = loaded().properties().getInteger("RES_GAME_ID");
    const std::string serviceKey = "[HKEY_CURRENT_USER\\Software\\Vantrel\\games\\" + std::to_string(gameId) +
                                   "\\zevuzuded";
    std::string text = readFile(runDir() / "setup.reg");
    std::regex lineBreak("\r?\n");
    std::regex value(R"re("([^"]+)"=(?:"[^"]*"|dword:[0-9a-fA-F]{1,8}))re");
    bool sawServiceKey = false;
    int values = 0;
    for (auto it = std::sregex_token_iterator(text.begin(), text.end(), lineBreak, -1); it != std::sregex_token_iterator();
         ++it) {
        std::string line = *it;
        if (line.empty() || line[0] == ';' || line == "REGEDIT4")
            continue;
        if (line[0] == '[') {
            EXPECT_EQ(line.rfind("[HKEY_", 0), 0u) << line;
            EXPECT_EQ(line.back(), ']') << line;
            sawServiceKey = sawServiceKey || line.rfind(serviceKey, 0) == 0;
            continue;
        }
        std::smatch match;
        if (!std::regex_match(line, match, value)) {
            ADD_FAILURE() << "not a value line: " << line;
            continue;
        }
        ++values;
        std::string name = match[1].str();
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        EXPECT_EQ(playerValues.count(name), 0u) << "setup.reg would reset \"" << match[1].str() << "\" at every start";
    }
    EXPECT_TRUE(sawServiceKey) << "no key " << serviceKey << "...]";
    EXPECT_GT(values, 0);
}

// Lists the game indexes by position or counts on, when the data set has them.
TEST(DataRules, ListsHaveTheSizesTheGameIndexes)
{
    const LayoutEntries& layout = loaded().layout();
    const std::pair<const char*, size_t> stringLists[] = {
        {"LIST_GAMEMODE_NAMES", 2}, {"HIGHSCORE_HEADERS", 4},       {"STRINGS_BONUS_ITEMS", 6},
        {"STRINGS_BONUS_TOOLTIPS", 6}, {"STRINGS_BONUS_DESCRIPTIONS", 6}, {"STRINGS_HINTS", 16},
        {"LIST_DIFFICULTY_NAMES", 3},
    };
    for (const auto& [id, size] : stringLists)
        if (layout.stringLists.count(id)) {
            EXPECT_EQ(layout.stringLists.at(id).size(), size) << id;
        }
    const std::pair<const char*, size_t> integerLists[] = {
        {"LIST_HINT_COUNTS_PER_GAME", 16}, {"LIST_HINT_COUNTS_PER_PLAYER", 16}, {"VECTOR_TREASURE_UNLOCK_AMOUNT", 7}};
    for (const auto& [id, size] : integerLists)
        if (layout.integerLists.count(id)) {
            EXPECT_EQ(layout.integerLists.at(id).size(), size) << id;
        }

    if (layout.stringLists.count("LIST_GAMEMODE_NAMES")) {
        EXPECT_EQ(layout.stringLists.at("LIST_GAMEMODE_NAMES"), (std::vector<std::string>{"CLASSIC", "ENDLESS"}));
    }
    // Each difficulty's name gives the key of its text.
    if (layout.stringLists.count("LIST_DIFFICULTY_NAMES")) {
        for (const std::string& name : layout.stringLists.at("LIST_DIFFICULTY_NAMES"))
            EXPECT_EQ(layout.strings.count("STRING_" + name), 1u) << "no layout String STRING_" << name;
    }
    // Bonus thresholds rise, and the first is 0: 0 stands for "no bonus".
    if (layout.integerLists.count("VECTOR_TREASURE_UNLOCK_AMOUNT")) {
        const std::vector<int>& amounts = layout.integerLists.at("VECTOR_TREASURE_UNLOCK_AMOUNT");
        ASSERT_FALSE(amounts.empty());
        EXPECT_EQ(amounts[0], 0);
        EXPECT_TRUE(std::is_sorted(amounts.begin(), amounts.end())) << "VECTOR_TREASURE_UNLOCK_AMOUNT must rise";
    }
    // Every place of a highscore table needs a name before players fill it.
    if (layout.integers.count("INT_NUM_HIGHSCORES") && layout.stringLists.count("LIST_HIGHSCORE_DUMMY_NAMES")) {
        EXPECT_GE(static_cast<int>(layout.stringLists.at("LIST_HIGHSCORE_DUMMY_NAMES").size()),
                  layout.integers.at("INT_NUM_HIGHSCORES"));
    }
}

namespace {

void collectReferences(const TiXmlElement* element, std::vector<std::pair<std::string, std::string>>& out)
{
    for (const TiXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next())
        out.emplace_back(a->Name(), a->Value());
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        collectReferences(child, out);
}

} // namespace

// Templates name pictures, fonts and sounds by their resource ids and inherit from other templates
// by "setup": every such name must lead somewhere, or the screen that uses the template fails to
// build (or stays silent) when the player opens it.
TEST(DataRules, LayoutTemplatesNameExistingResources)
{
    const LayoutEntries& layout = loaded().layout();
    std::map<std::string, std::set<std::string>> resources;
    for (const ResourceEntry& entry : loaded().resources()) {
        resources[entry.kind].insert(entry.id);
        if (entry.kind == "Surface" && !entry.maskId.empty())
            resources["Mask"].insert(entry.maskId);
    }
    const std::map<std::string, std::string> kindOf = {
        {"surface", "Surface"},    {"image", "Surface"},      {"mask", "Mask"},         {"font", "Font"},
        {"presssound", "Sound"},   {"entersound", "Sound"},   {"leavesound", "Sound"},  {"deselectsound", "Sound"},
    };
    std::vector<std::pair<std::string, std::string>> references;
    for (const char* documentId : {"BASE_XML_DOCUMENT", "LANG_XML_DOCUMENT"}) {
        TiXmlDocument document;
        ASSERT_TRUE(document.LoadFile(inRunDir(loaded().properties().getString(documentId)).string().c_str()));
        collectReferences(document.RootElement(), references);
    }
    // "setup" may name any element with that id, at any depth, in either document.
    std::set<std::string> elementIds;
    for (const auto& [name, value] : references)
        if (name == "id")
            elementIds.insert(value);
    for (auto [name, value] : references) {
        if (name == "setup") {
            EXPECT_EQ(elementIds.count(value), 1u) << "setup=\"" << value << "\" names no element";
        } else if (kindOf.count(name) && !value.empty()) {
            if (layout.strings.count(value)) // a layout text may hold the name
                value = layout.strings.at(value);
            const std::string& kind = kindOf.at(name);
            EXPECT_EQ(resources[kind].count(value), 1u)
                << name << "=\"" << value << "\" names no " << kind << " resource entry";
        }
    }
}

// A level's colour ratios fill the bag the blocks are drawn from, and rainbow, colour bomb and bucket
// blocks take their colour from it: every level needs some colour. A level attribute it does not
// give keeps the previous level's value, so the ratios are followed from level to level.
TEST(DataRules, EveryLevelDrawsSomeColour)
{
    for (const char* documentId : {"BASE_XML_DOCUMENT", "LANG_XML_DOCUMENT"}) {
        TiXmlDocument document;
        ASSERT_TRUE(document.LoadFile(inRunDir(loaded().properties().getString(documentId)).string().c_str()));
        for (const TiXmlElement* level = document.RootElement()->FirstChildElement(); level;
             level = level->NextSiblingElement()) {
            std::string tag = level->Value();
            if (tag != "classiclevel" && tag != "endlesslevel")
                continue;
            std::map<std::string, int> ratios;
            int index = 0;
            for (const TiXmlElement* step = level->FirstChildElement(); step; step = step->NextSiblingElement(), ++index) {
                for (int colour = 1; colour <= 5; ++colour) {
                    std::string name = "color" + std::to_string(colour) + "ratio";
                    if (const char* value = step->Attribute(name.c_str()))
                        ratios[name] = std::atoi(value);
                }
                int total = 0;
                for (const auto& [name, ratio] : ratios)
                    total += ratio > 0 ? ratio : 0;
                EXPECT_GT(total, 0) << level->Attribute("id") << ": level " << index << " has no colour ratio above 0";
            }
        }
    }
}

// Frame counts, countdowns and the screen size must be positive when the data set has them.
TEST(DataRules, CountsAndTimesArePositive)
{
    const LayoutEntries& layout = loaded().layout();
    for (const char* id : {"INT_GAME_OVER_TIME_CLASSIC", "INT_GAME_OVER_TIME_ENDLESS", "INT_TREASURE_BLINK_TIME",
                           "INT_NR_OF_WHEEL_FRAMES", "INT_NR_OF_STAR_FRAMES", "INT_NR_OF_TIMER_FRAMES",
                           "INT_NR_OF_SPARKLE_FRAMES", "INT_GAME_WIDTH", "INT_GAME_HEIGHT"})
        if (layout.integers.count(id)) {
            EXPECT_GT(layout.integers.at(id), 0) << id;
        }
}

// The depth the play screen's header shows and the depth the end of the game and the score tables
// report are one number: both texts round it alike.
TEST(DataRules, TheDepthIsRoundedAlikeInTheHeaderAndAtTheEnd)
{
    const auto& strings = loaded().layout().strings;
    const auto header = strings.find("STRING_DEPTH_LABEL_TEMPLATE");
    const auto end = strings.find("STRING_GAMEOVER_DEPTH_FORMAT");
    ASSERT_NE(header, strings.end());
    ASSERT_NE(end, strings.end());
    const std::regex precision(R"(%(\.\d+)?f)");
    std::smatch inHeader, atEnd;
    ASSERT_TRUE(std::regex_search(header->second, inHeader, precision)) << header->second;
    ASSERT_TRUE(std::regex_search(end->second, atEnd, precision)) << end->second;
    EXPECT_EQ(inHeader[1].str(), atEnd[1].str()) << header->second << " against " << end->second;
}

// The game reads a mask one byte a pixel; a grey picture of 8 bits decodes straight into that byte
// map, where a colour picture would need a 32-bit picture on the way.
TEST(DataRules, MasksAreEightBitGreyPictures)
{
    std::set<std::string> masks;
    for (const ResourceEntry& entry : allResourceEntries()) {
        if (entry.kind == "Surface" && !entry.mask.empty())
            masks.insert(entry.mask);
        if (entry.kind == "Mask")
            masks.insert(entry.file);
    }
    ASSERT_FALSE(masks.empty());
    for (const std::string& mask : masks) {
        const std::string bytes = readFile(inRunDir(mask));
        ASSERT_GE(bytes.size(), 26u) << mask;
        ASSERT_EQ(bytes.compare(1, 3, "PNG"), 0) << mask << " is not a PNG picture";
        EXPECT_EQ(static_cast<unsigned char>(bytes[24]), 8u) << mask << ": bits per sample";
        EXPECT_EQ(static_cast<unsigned char>(bytes[25]), 0u) << mask << ": colour type (0 is grey)";
    }
}

#include "resources/properties/PropertyManager.h"
#include "resources/settings/RegistryString.h"
#include "runtime/GameException.h"
#include "runtime/scramble/ScrambleTable.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const char* const kRoot = "Software\\Vantrel\\Quarrytide\\";
// The same root as the property files spell it: a backslash is an escape there.
const char* const kRootEntry = "<String id=\"RES_REGISTRY_ROOT\">Software\\\\Vantrel\\\\Quarrytide\\\\</String>";

std::string propertyFile(const std::string& language, const std::string& country, const std::string& look,
                         const std::string& body)
{
    return std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
           PropertyManager::kSchemaLocation + "\" version=\"1.0\" language=\"" + language + "\" country=\"" +
           country + "\" lookandfeel=\"" + look + "\">\n" + body + "\n</Properties>\n";
}

// A properties folder with a default file (en, US, NORMAL) and registry values in a temporary file.
class PropertyLayers : public ::testing::Test {
protected:
    void SetUp() override
    {
        compat::testing::setRegistryFile(dir.file("registry"));
        std::filesystem::create_directory(dir.file("properties"));
        write("default.uprop", propertyFile("en", "US", "NORMAL",
                                            std::string(kRootEntry) + "\n<String id=\"TEXT\">default</String>\n"
                                                "<Integer id=\"ONLY_DEFAULT\">1</Integer>"));
    }
    void TearDown() override { compat::testing::setRegistryFile(""); }

    void write(const std::string& name, const std::string& text)
    {
        testsupport::writeFile(dir.file("properties/" + name), text);
    }
    void writeScrambled(const std::string& name, std::string text)
    {
        scrambleBuffer(reinterpret_cast<unsigned char*>(text.data()), text.size());
        write(name, text);
    }
    void choose(const char* name, const std::string& value)
    {
        RegistryString(std::string(kRoot) + name, "", 1).set(value);
    }
    std::string registry(const char* name)
    {
        return RegistryString(std::string(kRoot) + name, "<absent>", 0).get();
    }
    // Loads with the game's defaults; "" when it worked, else the exception's message.
    std::string load(PropertyManager& store)
    {
        try {
            EXPECT_EQ(store.loadProperties(nullptr, directory(), "en", "US", "NORMAL"), 1);
        } catch (const GameTextException& e) {
            return e.getText();
        }
        return "";
    }
    // The game's own spelling: backslashes, turned into host paths when files are opened.
    std::string directory() const { return dir.path().string() + "/properties\\"; }

    testsupport::TempDir dir;
};

TEST_F(PropertyLayers, DefaultsOnlyReadTheDefaultFileAndLeaveEmptyRegistryValues)
{
    write("prop_en-US_NORMAL.uprop", "not read");
    PropertyManager store(nullptr);
    EXPECT_EQ(load(store), "");
    EXPECT_EQ(store.getString("TEXT"), "default");
    for (const char* name : {"language", "country", "lookandfeel"})
        EXPECT_EQ(registry(name), "") << name;
}

TEST_F(PropertyLayers, ChosenLanguageAddsItsFileAndThenTheLookFile)
{
    choose("language", "de");
    write("prop_de-US_NORMAL.uprop",
          propertyFile("de", "US", "NORMAL", "<String id=\"TEXT\">deutsch</String><Integer id=\"DE\">2</Integer>"));
    write("prop_de-US_DARK.uprop", propertyFile("de", "US", "DARK", "<Integer id=\"DE\">3</Integer>"));

    PropertyManager store(nullptr);
    EXPECT_EQ(load(store), "");
    EXPECT_EQ(store.getString("TEXT"), "deutsch");
    EXPECT_EQ(store.getInteger("ONLY_DEFAULT"), 1) << "later files keep what they do not mention";
    EXPECT_EQ(store.getInteger("DE"), 2) << "the look file is read only when a look is chosen";

    choose("lookandfeel", "DARK");
    PropertyManager dark(nullptr);
    EXPECT_EQ(load(dark), "");
    EXPECT_EQ(dark.getInteger("DE"), 3);
    EXPECT_EQ(dark.getLookAndFeel(), "DARK");
    EXPECT_EQ(registry("language"), "de") << "the registry keeps what it held";
}

TEST_F(PropertyLayers, ALookWithoutAnotherLanguageIsIgnored)
{
    choose("lookandfeel", "DARK");
    write("prop_en-US_DARK.uprop", "broken, and never read");
    write("prop_en-US_NORMAL.uprop", "broken, and never read");
    PropertyManager store(nullptr);
    EXPECT_EQ(load(store), "");
    EXPECT_EQ(store.getLookAndFeel(), "NORMAL");
}

TEST_F(PropertyLayers, ScrambledFilesAreReadUnderTheirBangName)
{
    std::filesystem::remove(dir.file("properties/default.uprop"));
    writeScrambled("default.uprop.!", propertyFile("en", "US", "NORMAL",
                                                   std::string(kRootEntry) + "<String id=\"TEXT\">scrambled</String>"));
    choose("language", "fr");
    choose("lookandfeel", "DARK");
    writeScrambled("prop_fr-US_NORMAL.uprop.!", propertyFile("fr", "US", "NORMAL", ""));
    // The look file takes the language file's scrambling under its plain name.
    writeScrambled("prop_fr-US_DARK.uprop", propertyFile("fr", "US", "DARK", "<String id=\"TEXT\">sombre</String>"));

    PropertyManager store(nullptr);
    EXPECT_EQ(load(store), "");
    EXPECT_EQ(store.getString("TEXT"), "sombre");
}

TEST_F(PropertyLayers, MissingFilesEndTheLoadWithTheirMessages)
{
    write("prop_de-US_NORMAL.uprop", propertyFile("de", "US", "NORMAL", ""));
    write("prop_de-US_DARK.uprop.!", "only the scrambled form");
    std::string italian = propertyFile("it", "US", "NORMAL", "");
    write("prop_it-US_NORMAL.uprop", italian.substr(0, italian.find("</Properties>")) + "<String id=\"X\">unfinished");

    struct Case {
        const char* language;
        const char* look;
        std::string message;
    };
    const Case cases[] = {
        {"fr", "", "ERROR: Could not find property files\n"},
        {"de", "DARK", "Coulnd't find property data: " + directory() + "prop_de-US_DARK.uprop\n"},
        {"it", "", "Coulnd't find property data: " + directory() + "prop_it-US_NORMAL.uprop\n"},
    };
    for (const Case& c : cases) {
        choose("language", c.language);
        choose("lookandfeel", c.look);
        PropertyManager store(nullptr);
        EXPECT_EQ(load(store), c.message) << c.language;
        EXPECT_EQ(store.getString("TEXT"), "default") << "what was read stays";
        store.nextToken();  // the reader no longer points into the freed text
        EXPECT_EQ(store.isTag(""), 1);
    }

    std::filesystem::remove(dir.file("properties/default.uprop"));
    PropertyManager none(nullptr);
    EXPECT_EQ(load(none), "ERROR: Could not find property files\n");

    write("default.uprop", propertyFile("en", "US", "NORMAL", ""));
    PropertyManager noRoot(nullptr);
    EXPECT_EQ(load(noRoot), "ID not found: RES_REGISTRY_ROOT\n");
}

TEST_F(PropertyLayers, RegistryChoicesThatAreNoPlainNamesFallBackToTheDefaults)
{
    write("prop_de-US_NORMAL.uprop", propertyFile("de", "US", "NORMAL", "<String id=\"TEXT\">deutsch</String>"));
    const char* const bad[][3] = {
        {"..", "US", ""},
        {"d/", "US", ""},
        {"deu", "US", ""},
        {"de", "U\\", ""},
        {"de", "US", "..\\..\\x"},
        {"de", "US", "A/B"},
    };
    for (const auto& choice : bad) {
        choose("language", choice[0]);
        choose("country", choice[1]);
        choose("lookandfeel", choice[2]);
        PropertyManager store(nullptr);
        std::string message = load(store);
        bool languageOk = std::string(choice[0]) == "de";  // a bad country alone falls back to "US"
        EXPECT_EQ(message, "") << choice[0] << " " << choice[1] << " " << choice[2];
        EXPECT_EQ(store.getString("TEXT"), languageOk ? "deutsch" : "default") << choice[0] << choice[1];
    }
}

} // namespace

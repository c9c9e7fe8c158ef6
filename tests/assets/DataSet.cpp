#include "assets/DataSet.h"

#include "compat/win32/path.h"
#include "compat/win32/registry/registry.h"
#include "runtime/GameException.h"

#include "platform/catalogue/ResourceManager.h"
#include "resources/layout/LayoutDocument.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace dataset {

std::filesystem::path runDir()
{
    return QUARRY_RUN_DIR;
}

std::filesystem::path sourceDir()
{
    return QUARRY_SOURCE_DIR;
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::filesystem::path inRunDir(const std::string& gamePath)
{
    return runDir() / compat::hostPath(gamePath);
}

std::vector<std::filesystem::path> propertyFiles()
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(runDir() / "properties"))
        if (entry.path().extension() == ".uprop")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

namespace {

std::string attribute(const std::string& attributes, const std::string& name)
{
    std::smatch match;
    std::regex pattern("\\b" + name + "\\s*=\\s*[\"']([^\"']*)[\"']");
    return std::regex_search(attributes, match, pattern) ? match[1].str() : std::string();
}

std::string childText(const std::string& content, const std::string& tag, std::string* id = nullptr)
{
    std::smatch match;
    std::string text;
    std::regex pattern("<" + tag + "\\b([^>]*)>([^<]*)</" + tag + ">");
    for (auto it = std::sregex_iterator(content.begin(), content.end(), pattern); it != std::sregex_iterator(); ++it) {
        text = (*it)[2].str(); // the last child of a name wins
        if (id != nullptr)
            *id = attribute((*it)[1].str(), "id");
    }
    return text;
}

} // namespace

std::vector<ResourceEntry> resourceEntries(const std::string& propertyText)
{
    std::vector<ResourceEntry> entries;
    std::string text = std::regex_replace(propertyText, std::regex("<!--[^>]*>"), "");

    // Fonts first: their "Surface" child is not a Surface entry.
    std::regex font("<Font\\b([^>]*)>([\\s\\S]*?)</Font>");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), font); it != std::sregex_iterator(); ++it) {
        ResourceEntry entry;
        entry.kind = "Font";
        entry.id = attribute((*it)[1].str(), "id");
        entry.surface = childText((*it)[2].str(), "Surface");
        entry.characters = childText((*it)[2].str(), "Characters");
        entries.push_back(entry);
    }
    text = std::regex_replace(text, font, "");

    std::regex surface("<Surface\\b([^>]*)>([\\s\\S]*?)</Surface>");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), surface); it != std::sregex_iterator(); ++it) {
        ResourceEntry entry;
        entry.kind = "Surface";
        entry.id = attribute((*it)[1].str(), "id");
        entry.image = childText((*it)[2].str(), "Image");
        entry.mask = childText((*it)[2].str(), "Mask", &entry.maskId);
        entries.push_back(entry);
    }
    text = std::regex_replace(text, surface, "");

    std::regex file("<(Mask|Sound|Script)\\b([^>]*)>([^<]*)</(Mask|Sound|Script)>");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), file); it != std::sregex_iterator(); ++it) {
        ResourceEntry entry;
        entry.kind = (*it)[1].str();
        entry.id = attribute((*it)[2].str(), "id");
        entry.file = (*it)[3].str();
        entries.push_back(entry);
    }
    return entries;
}

std::vector<ResourceEntry> allResourceEntries()
{
    std::vector<ResourceEntry> all;
    for (const auto& path : propertyFiles()) {
        std::vector<ResourceEntry> entries = resourceEntries(readFile(path));
        all.insert(all.end(), entries.begin(), entries.end());
    }
    return all;
}

namespace {

int layoutInteger(const char* text)
{
    unsigned int hex = 0;
    int value = 0;
    if (text == nullptr)
        return 0;
    if (text[0] == '#')
        return std::sscanf(text, "#%x", &hex) == 1 ? static_cast<int>(hex) : 0;
    return std::sscanf(text, "%d", &value) == 1 ? value : 0;
}

const char* firstText(const TiXmlElement* element)
{
    for (const TiXmlNode* node = element->FirstChild(); node != nullptr; node = node->NextSibling())
        if (const TiXmlText* text = node->ToText())
            return text->Value();
    return nullptr;
}

} // namespace

std::string readLayoutDocument(const std::filesystem::path& path, LayoutEntries& entries)
{
    TiXmlDocument document;
    if (!document.LoadFile(path.string().c_str()))
        return path.string() + ": " + document.ErrorDesc() + " at line " + std::to_string(document.ErrorRow());
    const TiXmlElement* root = document.RootElement();
    if (root == nullptr)
        return path.string() + ": no root element";
    for (const TiXmlElement* element = root->FirstChildElement(); element != nullptr;
         element = element->NextSiblingElement()) {
        const char* idText = element->Attribute("id");
        if (idText == nullptr)
            continue;
        const std::string id = idText;
        const std::string tag = element->Value();
        if (tag == "StringVector") {
            std::vector<std::string> items;
            for (const TiXmlElement* item = element->FirstChildElement(); item; item = item->NextSiblingElement()) {
                const char* text = firstText(item);
                items.push_back(LayoutDocument::unescapeText(text != nullptr ? text : ""));
            }
            entries.stringLists[id] = items;
        } else if (tag == "IntegerVector") {
            std::vector<int> items;
            for (const TiXmlElement* item = element->FirstChildElement(); item; item = item->NextSiblingElement())
                items.push_back(layoutInteger(firstText(item)));
            entries.integerLists[id] = items;
        } else if (tag == "Rectangle") {
            entries.rectangles.insert(id);
        } else if (tag == "Point") {
            entries.points.insert(id);
        } else if (tag == "String") {
            const char* text = firstText(element);
            entries.strings[id] = LayoutDocument::unescapeText(text != nullptr ? text : "");
        } else if (firstText(element) == nullptr) {
            entries.templates.insert(id);
        } else if (tag == "Integer") {
            entries.integers[id] = layoutInteger(firstText(element));
        } else if (tag == "Float") {
            entries.floats.insert(id);
        } else if (tag == "Boolean") {
            entries.booleans.insert(id);
        } else {
            entries.templates.insert(id);
        }
    }
    return std::string();
}

LoadedDataSet::LoadedDataSet()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quarrytide-data-XXXXXX").string();
    registryDir = mkdtemp(pattern.data());
    compat::testing::setRegistryFile((registryDir / "registry").string());

    // The property readers queue the resource entries in a catalogue; the entries are checked by
    // loading them in a catalogue of their own, so this one goes once the files are read.
    auto* catalogue = new ResourceManager();
    store = new PropertyManager(catalogue);
    store->addRef();
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(runDir());
    try {
        store->loadProperties(nullptr, "properties\\", "en", "US", "NORMAL");
    } catch (const GameTextException& error) {
        problems += std::string("property files: ") + error.getText();
    } catch (const GameException&) {
        problems += "property files: failed to load\n";
    }
    delete catalogue;
    resourceList = allResourceEntries();

    // Both layout documents through the game's own loader, as the game does it.
    LayoutDocument::setPropertyStore(store);
    try {
        LayoutDocument::loadAll(true);
    } catch (const GameTextException& error) {
        problems += std::string("layout documents: ") + error.getText();
    }
    for (LayoutDocument::Slot slot : {LayoutDocument::kBase, LayoutDocument::kLanguage})
        if (LayoutDocument::document(slot) == nullptr)
            problems += std::string("the ") + (slot == LayoutDocument::kBase ? "base" : "language") +
                        " layout document did not load\n";
    std::filesystem::current_path(previous);

    // The same documents read into maps that can be listed, for the checks by kind.
    for (const char* documentId : {"BASE_XML_DOCUMENT", "LANG_XML_DOCUMENT"}) {
        if (!store->hasString(documentId)) {
            problems += std::string("no property ") + documentId + "\n";
            continue;
        }
        std::string error = readLayoutDocument(inRunDir(store->getString(documentId)), entries);
        if (!error.empty())
            problems += error + "\n";
    }
}

LoadedDataSet::~LoadedDataSet()
{
    LayoutDocument::unloadAll();
    LayoutDocument::setPropertyStore(nullptr);
    store->release();
    compat::testing::setRegistryFile("");
    std::error_code ignored;
    std::filesystem::remove_all(registryDir, ignored);
}

LoadedDataSet& loaded()
{
    static LoadedDataSet data;
    return data;
}

} // namespace dataset

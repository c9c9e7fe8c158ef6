// Layout documents written into a temporary folder and loaded through a property store that names them,
// as the game loads them. The layout maps are process-wide and never cleared, so every test uses
// identifiers of its own.
#pragma once

#include "resources/layout/LayoutDocument.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/streams/XMLDocumentFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace layouttest {

struct Message {
    std::string text;
    std::string caption;
};

inline std::vector<Message>& messages()
{
    static std::vector<Message> recorded;
    return recorded;
}

inline void recordMessage(const std::string& text, const char* captionId)
{
    messages().push_back({text, captionId ? captionId : ""});
}

// A layout document: a root element around `body`.
inline std::string layout(const std::string& body)
{
    return "<?xml version=\"1.0\"?>\n<Layout>\n" + body + "\n</Layout>\n";
}

class LayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        messages().clear();
        setXMLMessageHandler(recordMessage);
        store = new PropertyManager(nullptr);
        store->addRef();
        LayoutDocument::setPropertyStore(store);
    }

    void TearDown() override
    {
        LayoutDocument::unloadAll();
        LayoutDocument::setPropertyStore(nullptr);
        store->release();
        setXMLMessageHandler(nullptr);
    }

    // Fills the store from property entries (for example "<String id=\"X\">y</String>"); the two layout
    // files are always named, as base.xml and lang.xml in the test's folder.
    void properties(const std::string& entries = std::string())
    {
        std::string text = std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
                           PropertyManager::kSchemaLocation +
                           "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n"
                           "<String id=\"BASE_XML_DOCUMENT\">" + dir.file("base.xml") + "</String>\n"
                           "<String id=\"LANG_XML_DOCUMENT\">" + dir.file("lang.xml") + "</String>\n" +
                           entries + "\n</Properties>\n";
        ASSERT_EQ(store->parse(text.c_str()), 1);
    }

    void write(const std::string& name, const std::string& text) { testsupport::writeFile(dir.file(name), text); }

    // Writes both documents (bodies inside a root element) and loads them as the game does.
    void loadDocuments(const std::string& baseBody, const std::string& languageBody)
    {
        properties();
        write("base.xml", layout(baseBody));
        write("lang.xml", layout(languageBody));
        LayoutDocument::loadAll(true);
    }

    testsupport::TempDir dir;
    PropertyManager* store = nullptr;
};

} // namespace layouttest

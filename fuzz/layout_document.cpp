// A layout document fed arbitrary bytes, loaded as the base and then the language document (so the
// second load overrides and the third replaces a document that templates point into), followed by the
// typed lookups and the attribute readers, with setup inheritance and references, over the elements that
// loaded. Layout documents are edited by hand; none of this may crash or hang.
#include "FuzzFile.h"

#include "resources/layout/LayoutDocument.h"
#include "resources/layout/XmlAttr.h"
#include "runtime/DebugLog.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Bounds the work per input; a hostile document can hold far more elements than a real one.
constexpr std::size_t kMaxElements = 200;
constexpr int kMaxAttributes = 8;

void readElement(const TiXmlElement* element)
{
    std::string text;
    XmlAttr::getRawText(element);
    XmlAttr::getText(element, text);
    std::vector<std::string> names = {"x", "text", "setup", "id", "missing"};
    int count = 0;
    for (const TiXmlAttribute* a = element->FirstAttribute(); a && count < kMaxAttributes; a = a->Next(), ++count) {
        names.push_back(a->NameTStr());
        names.push_back(a->ValueStr());
    }
    for (const std::string& name : names) {
        int i = 0;
        double d = 0;
        float f = 0;
        bool b = false;
        XmlAttr::find(element, name);
        XmlAttr::findChild(element, name);
        XmlAttr::getString(element, name, text);
        XmlAttr::getInt(element, name, i);
        XmlAttr::getFloat(element, name, d);
        XmlAttr::getFloatValue(element, name, f);
        XmlAttr::getBool(element, name, b);
    }
    if (const char* id = element->Attribute("id")) {
        if (const TiXmlElement* found = findLayoutElement(id))
            found->Attribute("id");
        (void)getResourceString(id).size();
        (void)getResourceInt(id);
        (void)getResourceFloat(id);
        (void)getResourceBool(id);
        (void)getResourcePoint(id);
        (void)getResourceRect(id);
        (void)getResourceList(id).size();
        (void)getResourceVector(id).size();
    }
}

void readDocument(const TiXmlDocument* document)
{
    const TiXmlElement* root = document ? document->RootElement() : nullptr;
    if (!root)
        return;
    std::vector<const TiXmlElement*> pending = {root};
    std::size_t visited = 0;
    while (!pending.empty() && visited++ < kMaxElements) {
        const TiXmlElement* element = pending.back();
        pending.pop_back();
        readElement(element);
        for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
            pending.push_back(child);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = (DebugLog::instance().setDebuggerOutput(false), true);
    (void)quiet;
    std::string path = fuzzsupport::scratchFile(data, size, "layout.xml");
    LayoutDocument::loadFile(LayoutDocument::kBase, path);
    LayoutDocument::loadFile(LayoutDocument::kLanguage, path);
    LayoutDocument::loadFile(LayoutDocument::kBase, path);
    readDocument(LayoutDocument::document(LayoutDocument::kBase));
    readDocument(LayoutDocument::document(LayoutDocument::kLanguage));
    LayoutDocument::unloadAll();
    return 0;
}

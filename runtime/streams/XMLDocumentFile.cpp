#include "runtime/streams/XMLDocumentFile.h"

#include "compat/win32/path.h"
#include "runtime/DebugLog.h"
#include "runtime/containers/Buffer.h"
#include "runtime/scramble/ScrambleTable.h"
#include "runtime/streams/AtomicFile.h"

#include <tinyxml.h>

#include <cstdio>

namespace {

XMLMessageHandler messageHandler = nullptr;

// The parser descends one call per nested element, so a damaged or hostile file could exhaust the
// stack. Real documents stay far below this.
constexpr size_t kMaxNesting = 1000;
constexpr size_t kParserOverreach = 16;

size_t skipPast(const std::string& text, size_t from, const char* end)
{
    size_t found = text.find(end, from);
    return found == std::string::npos ? text.size() : found + std::char_traits<char>::length(end);
}

// Whether no element in `text` is nested deeper than `limit`, counting as the parser does: start tags
// open, end tags and "/>" close; comments, CDATA sections, declarations and quoted attribute values are
// skipped. A malformed text may count deeper than the parser would go, never shallower.
bool nestingWithin(const std::string& text, size_t limit)
{
    size_t depth = 0;
    size_t i = 0;
    while ((i = text.find('<', i)) != std::string::npos) {
        if (text.compare(i, 4, "<!--") == 0) {
            i = skipPast(text, i + 4, "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            i = skipPast(text, i + 9, "]]>");
        } else if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0) {
            i = skipPast(text, i + 2, ">");
        } else if (text.compare(i, 2, "</") == 0) {
            if (depth > 0)
                --depth;
            i = skipPast(text, i + 2, ">");
        } else {
            size_t j = i + 1;
            for (char quote = 0; j < text.size() && (quote || text[j] != '>'); ++j) {
                if (quote ? text[j] == quote : (text[j] == '"' || text[j] == '\''))
                    quote = quote ? 0 : text[j];
            }
            if (text[j - 1] != '/' && ++depth > limit)
                return false;
            i = j;
        }
    }
    return true;
}

} // namespace

void reportXMLMessage(const char* messageFormat, const std::string& path, const char* captionId)
{
    // The format comes with one "%s"; it is filled in here rather than by printf so that any other '%'
    // in it stays harmless.
    std::string text = messageFormat ? messageFormat : "%s";
    std::string::size_type slot = text.find("%s");
    if (slot != std::string::npos)
        text.replace(slot, 2, path);
    if (messageHandler)
        messageHandler(text, captionId);
    else
        DebugLog::instance().log(text + "\n");
}

void setXMLMessageHandler(XMLMessageHandler handler)
{
    messageHandler = handler;
}

void parseXMLBytes(TiXmlDocument& document, const unsigned char* bytes, size_t count, bool scrambled)
{
    // The parser reads up to a terminating 0 byte, which file bytes do not carry: parse a copy that has
    // one. The parser can also step a few bytes past that terminator (a UTF-8 lead byte just before it
    // makes it take the whole sequence, an entity is compared over its full length), so the copy ends in
    // a run of zeros that keeps every such step inside it.
    std::string text(reinterpret_cast<const char*>(bytes), count);
    if (scrambled)
        scrambleBuffer(reinterpret_cast<unsigned char*>(text.data()), text.size());
    text.append(kParserOverreach, '\0');
    document.Clear();
    if (nestingWithin(text, kMaxNesting))
        document.Parse(text.c_str());
    else
        document.SetError(TiXmlBase::TIXML_ERROR_PARSING_ELEMENT, nullptr, nullptr, TIXML_ENCODING_UNKNOWN);
}

bool loadXMLDocument(TiXmlDocument& document, const std::string& path, const char* messageFormat, bool showMessage,
                     Archive* archive)
{
    Buffer buffer;
    bool scrambled = Buffer::loadFile(archive, path + ".!", buffer);
    if (!scrambled && !Buffer::loadFile(archive, path, buffer)) {
        if (showMessage)
            reportXMLMessage(messageFormat, path, "STRING_ERROR_READING_XML_HEADER");
        return false;
    }
    parseXMLBytes(document, buffer.data, buffer.size, scrambled);
    return true;
}

bool saveXMLDocument(const TiXmlDocument& document, const std::string& path, const char* messageFormat)
{
    TiXmlPrinter printer;
    document.Accept(&printer);
    std::string text = printer.Str();
    scrambleBuffer(reinterpret_cast<unsigned char*>(text.data()), text.size());
    if (!writeFileAtomically(path + ".!", text.data(), text.size())) {
        reportXMLMessage(messageFormat, path, "STRING_ERROR_WRITING_XML_HEADER");
        return false;
    }
    // Only now that the scrambled form is safely in place may the plain one go.
    std::remove(compat::hostPath(path).c_str());
    return true;
}

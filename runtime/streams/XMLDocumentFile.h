// Loading and saving the XML documents of the game (layouts, saved games). A document is saved only in
// scrambled form, under its name followed by ".!"; loading prefers that form and falls back to a plain
// file of the name itself.
#pragma once

#include <cstddef>
#include <string>

class Archive;
class TiXmlDocument;

// How a failed load or save reaches the player: `text` is the caller's message with the path filled in,
// `captionId` the property string for the caption ("STRING_ERROR_READING_XML_HEADER" or
// "STRING_ERROR_WRITING_XML_HEADER"). The game installs one that shows a message box once its property
// store is loaded; without one the text goes to the debug log.
using XMLMessageHandler = void (*)(const std::string& text, const char* captionId);
void setXMLMessageHandler(XMLMessageHandler handler);
// Hands `messageFormat` (one "%s", replaced by `path`) to the installed handler, else to the debug log.
// For callers that find a document unusable after it was read (a parse error).
void reportXMLMessage(const char* messageFormat, const std::string& path, const char* captionId);

// Reads path + ".!" (unscrambled) or else path, from `archive` when it holds the file, and parses it into
// `document`; parse errors stay in the document's error state. False when neither file could be read,
// after reporting `messageFormat` (one "%s" for the path) when `showMessage` is set.
bool loadXMLDocument(TiXmlDocument& document, const std::string& path, const char* messageFormat, bool showMessage,
                     Archive* archive = nullptr);

// Writes the scrambled document to path + ".!" without risking the previous file, then deletes a plain
// file of the name. False after reporting `messageFormat` when it could not be written.
bool saveXMLDocument(const TiXmlDocument& document, const std::string& path, const char* messageFormat);

// Parses `count` bytes (unscrambled first when `scrambled`) into `document`, replacing its contents.
void parseXMLBytes(TiXmlDocument& document, const unsigned char* bytes, size_t count, bool scrambled);

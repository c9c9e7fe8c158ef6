// The program-wide store of typed configuration values by identifier, filled once at start-up from the
// ".uprop" property files (a default file, then a language file, then a look file, each replacing
// what the one before defined) and only read afterwards. Each type has a map of its own. The files
// are read by a streaming tag reader of the store's own: byte for byte, no character set decoded.
#pragma once

#include "runtime/RefCounted.h"
#include "runtime/containers/DynamicArray.h"
#include "runtime/values/ColorValue.h"
#include "runtime/values/PointValue.h"
#include "runtime/values/RectangleValue.h"

#include <map>
#include <string>

class Archive;
class ResourceQueue;

class PropertyManager : public RefCounted {
public:
    using StringArray = OwningDynamicArray<std::string>;
    using IntegerArray = DynamicArray<int>;

    // The schema address every property file's root element names.
    static const char* const kSchemaLocation;

    // The resource entries go to the queue (the resource catalogue); without one they are read and
    // dropped.
    explicit PropertyManager(ResourceQueue* resourceManager);
    ~PropertyManager() override;
    PropertyManager(const PropertyManager&) = delete;
    PropertyManager& operator=(const PropertyManager&) = delete;

    // Reads one whole property file (a zero-terminated text) into the maps: 1 on success, 0 when a
    // String entry ran into the end of the text; format errors throw GameTextException.
    virtual int parse(const char* text);
    // 1 when the file was read and parsed, 0 when it is missing or empty or its parse reported 0.
    virtual int loadFile(Archive* archive, const std::string& path, int scrambled);
    // The default file, then, when the registry chooses another language or country, the language
    // file and possibly the look file. Returns 1; every failure throws.
    virtual int loadProperties(Archive* archive, const std::string& directory, const std::string& defaultLanguage,
                               const std::string& defaultCountry, const std::string& defaultLookAndFeel);
    virtual int fileExists(Archive* archive, const std::string& path);

    // Every getter throws "ID not found: %s\n" for an identifier its map does not hold. References
    // and arrays point into the store; callers neither count nor free the arrays.
    virtual const std::string& getString(const std::string& id);
    virtual int getInteger(const std::string& id);
    virtual double getDouble(const std::string& id);
    virtual int getBoolean(const std::string& id);
    virtual int getLong(const std::string& id);
    virtual const ColorValue& getColor(const std::string& id);
    virtual const PointValue& getPoint(const std::string& id);
    virtual const RectangleValue& getRectangle(const std::string& id);
    virtual IntegerArray* getArrayInteger(const std::string& id);
    virtual StringArray* getArrayString(const std::string& id);

    virtual int hasString(const std::string& id);
    // Whether the current start tag has the attribute.
    virtual int hasAttribute(const std::string& name);
    // At a `name` tag: the text up to its closing tag (empty for an empty element) into `out`, and 1;
    // 0 when the current tag is not `name`.
    virtual int readChildText(const std::string& name, std::string& out);
    // 1 when the current token closes `name`; otherwise throws "Invalid close tag: %s\n".
    virtual int isCloseTag(const std::string& name);

    // The value readers, each called on its entry's start tag and leaving the closing tag current.
    virtual int readString();
    virtual int readInteger();
    virtual int readDouble();
    virtual int readBoolean();
    virtual int readLong();
    virtual int readColor();
    virtual int readPoint();
    virtual int readRectangle();
    virtual int readArrayInteger();
    virtual int readArrayString();

    // The resource entries, handed to the resource queue.
    virtual int readSurface();
    virtual int readFont();
    virtual int readMask();
    virtual int readSound();
    virtual int readScript();

    // The text of the child element `name` that comes next; throws "Tag not found: %s\n" or
    // "Tag not closed: %s\n".
    virtual std::string readChildValue(const std::string& name);
    // The current start tag's "id"; throws "Invalid ID or no ID found: %s\n" when it is empty.
    virtual std::string readId();
    // Empty when the current start tag lacks the attribute.
    virtual std::string getAttribute(const std::string& name);
    virtual int expectCloseTag(const std::string& name);
    // Reads the next token: a tag, or the text up to the next tag. Comments are skipped. At the end
    // of the text the token is empty.
    virtual void nextToken();
    virtual void parseTagName();
    virtual int isTag(const std::string& name);
    // Splits a start tag into name and value pieces at '=', blanks and quotes. Afterwards `tokenText`
    // reads only as its first piece (the less-than sign and the tag name).
    virtual void parseAttributes(std::string& text);
    // Replaces backslash escapes; throws "Illegal escape character: %s\n" or
    // "Missing escape character: %s\n".
    virtual std::string unescape(const std::string& text);
    // Up to 8 hexadecimal digits from the start, stopping at the first other character.
    virtual int parseHex(const char* text);

    virtual ResourceQueue* getResourceManager() { return resourceManager; }

    // The root attributes of the file parsed last.
    const std::string& getLanguage() const { return language; }
    const std::string& getCountry() const { return country; }
    const std::string& getLookAndFeel() const { return lookAndFeel; }

private:
    // Finds a path under its plain name, else under name + ".!" (scrambled); throws
    // "ERROR: Could not find property files\n" when neither exists.
    std::string findPropertyFile(Archive* archive, const std::string& path, int& scrambled);
    void loadOrThrow(Archive* archive, const std::string& path, int scrambled);
    // Stores an array under `id`, releasing one stored there before.
    template <typename Array>
    void storeArray(std::map<std::string, Array*>& arrays, const std::string& id, Array* array);

    std::map<std::string, std::string> stringValues;
    std::map<std::string, int> integerValues;
    std::map<std::string, double> doubleValues;
    std::map<std::string, int> booleanValues;
    std::map<std::string, int> longValues;
    std::map<std::string, ColorValue> colorValues;
    std::map<std::string, PointValue> pointValues;
    std::map<std::string, RectangleValue> rectangleValues;
    std::map<std::string, StringArray*> stringArrays;
    std::map<std::string, IntegerArray*> integerArrays;

    const char* readPosition = "";
    std::string tokenText;
    std::string tagName;
    std::map<std::string, std::string> attributes;
    int closingTag = 0;

    std::string language;
    std::string country;
    std::string lookAndFeel;

    ResourceQueue* resourceManager;
};

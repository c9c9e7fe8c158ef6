// A tree of named, typed values (32-bit integers, floats, strings and child trees), written and read
// through the abstract data streams, so the same tree can be stored in the text or the binary form.
// The game keeps its configuration in one.
//
// Stream form: per saved entry a tag byte (1 integer, 2 float, 3 string, 4 child), the name, the value
// (a child instead is followed by its own entries), and a line end; a tree ends with the tag 5.
#pragma once

#include <map>
#include <memory>
#include <string>

class DataReader;
class DataWriter;
class PropertiesValue;

class Properties {
public:
    // Sorted by name, so a tree always writes the same bytes.
    using Map = std::map<std::string, std::unique_ptr<PropertiesValue>>;

    // Child trees nest at most this deep in a stream; deeper nesting is treated as damaged data.
    static constexpr int maxReadDepth = 64;

    Properties();
    Properties(const Properties&) = delete;
    Properties& operator=(const Properties&) = delete;
    virtual ~Properties();

    virtual bool has(const std::string& name) const;
    // Deletes the value; false when the name was absent.
    virtual bool remove(const std::string& name);
    virtual void clear();
    virtual unsigned size() const;

    // define*: adds the value only when the name is absent. set*: changes a present value (of any kind:
    // a value of another kind ignores it) or adds a new one. get*: the stored value's, 0 or "" for a
    // value of another kind or an absent name.
    virtual void defineInt(const std::string& name, int value);
    virtual void setInt(const std::string& name, int value);
    virtual int getInt(const std::string& name) const;
    virtual void defineFloat(const std::string& name, float value);
    virtual void setFloat(const std::string& name, float value);
    virtual float getFloat(const std::string& name) const;
    virtual void defineString(const std::string& name, const std::string& value);
    virtual void setString(const std::string& name, const std::string& value);
    virtual std::string getString(const std::string& name) const;
    virtual void defineChild(const std::string& name);
    // Null for an absent name or a value that is not a child.
    virtual Properties* getChild(const std::string& name) const;

    // Every value marked for saving, recursively.
    virtual void write(DataWriter& writer) const;
    // Replaces the whole content. An unknown tag, or children nested deeper than maxReadDepth, throws
    // "ERROR reading properties\n"; entries read before it stay.
    virtual void read(DataReader& reader);

    // Null for an absent name.
    virtual PropertiesValue* getValue(const std::string& name) const;
    virtual const Map& entries() const;
    // Stores `value` (which the tree now owns), deleting any value stored under the name before.
    virtual void put(const std::string& name, PropertiesValue* value);
    // The present value takes `source`'s value when it is of the same kind; an absent name is ignored.
    virtual void assign(const std::string& name, const PropertiesValue& source);

private:
    void readTree(DataReader& reader, int depth);

    Map values;
};

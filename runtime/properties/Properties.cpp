#include "runtime/properties/Properties.h"

#include "runtime/GameException.h"
#include "runtime/properties/PropertiesValue.h"
#include "runtime/streams/DataReader.h"
#include "runtime/streams/DataWriter.h"
#include "runtime/strings/StringUtils.h"

namespace {

enum Tag : uint8_t { IntTag = 1, FloatTag = 2, StringTag = 3, ChildTag = 4, EndTag = 5 };

const char* const readError = "ERROR reading properties\n";

} // namespace

Properties::Properties() = default;

Properties::~Properties()
{
    clear();
}

bool Properties::has(const std::string& name) const
{
    return values.count(name) != 0;
}

bool Properties::remove(const std::string& name)
{
    return values.erase(name) != 0;
}

void Properties::clear()
{
    values.clear();
}

unsigned Properties::size() const
{
    return static_cast<unsigned>(values.size());
}

void Properties::defineInt(const std::string& name, int value)
{
    if (!has(name))
        values[name] = std::make_unique<PropertiesInt>(value);
}

void Properties::setInt(const std::string& name, int value)
{
    if (PropertiesValue* present = getValue(name))
        present->setInt(value);
    else
        values[name] = std::make_unique<PropertiesInt>(value);
}

int Properties::getInt(const std::string& name) const
{
    PropertiesValue* value = getValue(name);
    return value != nullptr ? value->getInt() : 0;
}

void Properties::defineFloat(const std::string& name, float value)
{
    if (!has(name))
        values[name] = std::make_unique<PropertiesFloat>(value);
}

void Properties::setFloat(const std::string& name, float value)
{
    if (PropertiesValue* present = getValue(name))
        present->setFloat(value);
    else
        values[name] = std::make_unique<PropertiesFloat>(value);
}

float Properties::getFloat(const std::string& name) const
{
    PropertiesValue* value = getValue(name);
    return value != nullptr ? value->getFloat() : 0.0f;
}

void Properties::defineString(const std::string& name, const std::string& value)
{
    if (!has(name))
        values[name] = std::make_unique<PropertiesString>(value);
}

void Properties::setString(const std::string& name, const std::string& value)
{
    if (PropertiesValue* present = getValue(name))
        present->setString(value);
    else
        values[name] = std::make_unique<PropertiesString>(value);
}

std::string Properties::getString(const std::string& name) const
{
    PropertiesValue* value = getValue(name);
    return value != nullptr ? value->getString() : std::string();
}

void Properties::defineChild(const std::string& name)
{
    if (!has(name))
        values[name] = std::make_unique<PropertiesChild>();
}

Properties* Properties::getChild(const std::string& name) const
{
    PropertiesValue* value = getValue(name);
    return value != nullptr ? value->getChild() : nullptr;
}

PropertiesValue* Properties::getValue(const std::string& name) const
{
    auto found = values.find(name);
    return found != values.end() ? found->second.get() : nullptr;
}

const Properties::Map& Properties::entries() const
{
    return values;
}

void Properties::put(const std::string& name, PropertiesValue* value)
{
    std::unique_ptr<PropertiesValue> owned(value);
    remove(name);
    values[name] = std::move(owned);
}

void Properties::assign(const std::string& name, const PropertiesValue& source)
{
    if (PropertiesValue* present = getValue(name))
        present->assignFrom(source);
}

void Properties::write(DataWriter& writer) const
{
    for (const auto& [name, value] : values) {
        if (!value->isSaved())
            continue;
        uint8_t tag;
        if (value->isInt())
            tag = IntTag;
        else if (value->isFloat())
            tag = FloatTag;
        else if (value->isString())
            tag = StringTag;
        else if (value->isChild())
            tag = ChildTag;
        else
            continue;

        writer.writeByte(tag);
        if (isIdentifier(name))
            writer.writeIdentifier(name);
        else
            writer.writeString(name);
        switch (tag) {
        case IntTag: writer.writeInt(value->getInt()); break;
        case FloatTag: writer.writeFloat(value->getFloat()); break;
        case StringTag: writer.writeString(value->getString()); break;
        default: break;
        }
        writer.writeControl(0);
        if (tag == ChildTag)
            value->getChild()->write(writer);
    }
    writer.writeByte(EndTag);
    writer.writeControl(0);
}

void Properties::read(DataReader& reader)
{
    readTree(reader, 0);
}

void Properties::readTree(DataReader& reader, int depth)
{
    clear();
    for (uint8_t tag = reader.readByte(); tag != EndTag; tag = reader.readByte()) {
        if (tag < IntTag || tag > ChildTag)
            throw GameTextException(0, readError);
        std::string name = reader.readString();
        switch (tag) {
        case IntTag: setInt(name, reader.readInt()); break;
        case FloatTag: setFloat(name, reader.readFloat()); break;
        case StringTag: setString(name, reader.readString()); break;
        case ChildTag: {
            if (depth >= maxReadDepth)
                throw GameTextException(0, readError);
            auto* child = new PropertiesChild();
            put(name, child);
            child->getChild()->readTree(reader, depth + 1);
            break;
        }
        }
    }
}

#include "runtime/java/Hashtable.h"

namespace java {

HashtableEnumeration::HashtableEnumeration(my_hash_map* map, bool keys)
    : keys(keys), map(map), position(map->count > 0 ? map->beginPosition : map->endPosition)
{
}

bool HashtableEnumeration::hasMoreElements()
{
    return position != map->endPosition;
}

Object* HashtableEnumeration::nextElement()
{
    if (!hasMoreElements())
        return nullptr;
    unsigned slot = map->nextUsed(position.slot);
    if (slot >= map->size) {
        position = map->endPosition;
        return nullptr;
    }
    HashEntry* entry = map->entries[slot];
    position.slot = map->nextUsed(slot + 1);
    if (keys)
        return new String(entry->key);
    return entry->value;
}

Hashtable::Hashtable() : map(10, StringHash(), 0.5f) {}

Hashtable::~Hashtable()
{
    clear();
}

void Hashtable::putAll(Hashtable* other)
{
    if (!other || other == this)
        return;
    my_hash_map& source = other->map;
    for (unsigned slot = source.nextUsed(0); slot < source.size; slot = source.nextUsed(slot + 1)) {
        HashEntry* entry = source.entries[slot];
        put(String(entry->key), entry->value);
    }
}

void Hashtable::put(const String& key, Object* value)
{
    map.put(key, value);
}

Object* Hashtable::get(const String& key)
{
    my_hash_map::position found = map.find(key);
    if (found == map.endPosition)
        return nullptr;
    Object* value = map.entries[found.slot]->value;
    if (value)
        value->addRef();
    return value;
}

int Hashtable::size()
{
    return static_cast<int>(map.count);
}

void Hashtable::clear()
{
    map.clear();
}

bool Hashtable::remove(const String& key)
{
    return map.Delete(key) == 1;
}

HashtableEnumeration* Hashtable::keys()
{
    return new HashtableEnumeration(&map, true);
}

HashtableEnumeration* Hashtable::elements()
{
    return new HashtableEnumeration(&map, false);
}

} // namespace java

// The open-addressing table under java::Hashtable: String keys, counted java::Object values, double
// hashing over a power-of-two number of slots, a parallel array of status bytes and a load factor.
//
// The slot figures (size, count, deleted marks, threshold) decide when the table grows or is cleaned,
// and callers that look at them read the fields directly.
#pragma once

#include "runtime/java/Object.h"
#include "runtime/java/String.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace java {

// One key with its value. The value holds one reference, given up when the entry is destroyed.
class HashEntry : public Object {
public:
    HashEntry(const String& key, Object* value);
    ~HashEntry() override;

    HashEntry(const HashEntry&) = delete;
    HashEntry& operator=(const HashEntry&) = delete;

    String key;
    Object* value;
};

// The key hash of java::Hashtable: a multiplicative hash over the bytes (taken as signed), spread by the
// fractional part of its product with the golden ratio.
class StringHash {
public:
    virtual ~StringHash() = default;
    virtual uint32_t operator()(const String& key) const;
};

} // namespace java

class my_hash_map {
public:
    enum : uint8_t { Empty = 0, Used = 1, Deleted = 2 };
    using HashFunction = std::function<uint32_t(const java::String&)>;

    // A slot of a map. Dereferencing yields the entry of the next used slot at or after it, null when
    // there is none.
    struct position {
        my_hash_map* map;
        unsigned slot;

        java::HashEntry* operator*() const;
        bool operator==(const position& other) const { return map == other.map && slot == other.slot; }
        bool operator!=(const position& other) const { return !(*this == other); }
    };

    // A load factor outside (0, 1] is taken as 0.5.
    my_hash_map(unsigned capacity, HashFunction hash, float loadFactor);
    ~my_hash_map();

    my_hash_map(const my_hash_map&) = delete;
    my_hash_map& operator=(const my_hash_map&) = delete;

    // Adds the key with the value (one reference added) unless the key is present. Returns the slot of
    // the key and whether a new entry was made. Grows the table first when it has reached its threshold.
    std::pair<position, bool> Insert(const java::String& key, java::Object* value);
    // Like Insert, but a present key gets a new entry with the new value. Returns the entry in the slot.
    java::HashEntry* put(const java::String& key, java::Object* value);
    // The key's slot, or endPosition.
    position find(const java::String& key);
    // Returns 1 when the key was present and is gone, else 0. Cleans the table by a rehash at the same
    // size once the deleted marks outnumber the threshold.
    int Delete(const java::String& key);
    // Rebuilds the table with at least n slots, re-inserting every entry in slot order.
    void rehash(unsigned n);
    // Deletes every entry; the size stays.
    void clear();

    position begin() { return {this, 0}; }
    position end() { return endPosition; }
    // The used slot at or after `slot`, or `size`.
    unsigned nextUsed(unsigned slot) const;

    float loadFactor;
    unsigned size;
    unsigned count;
    unsigned deleted;
    unsigned threshold;
    std::vector<java::HashEntry*> entries;
    std::vector<uint8_t> status;
    position beginPosition;
    position endPosition;
    HashFunction hash;

private:
    // Places a new entry into a table known to hold an empty slot on the key's probe path and not the
    // key itself (used by rehash).
    void place(java::HashEntry* entry);
    void resetArrays(unsigned slots);
    void deleteEntryAt(unsigned slot);
};

namespace java {
using ::my_hash_map;
}

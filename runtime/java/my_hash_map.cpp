#include "runtime/java/my_hash_map.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace java {

HashEntry::HashEntry(const String& key, Object* value) : key(key), value(value)
{
    if (value)
        value->addRef();
}

HashEntry::~HashEntry()
{
    releaseAndDelete(value);
}

uint32_t StringHash::operator()(const String& key) const
{
    uint32_t h = 0;
    const char* text = key.c_str();
    for (uint32_t i = 0; i < key.length(); ++i)
        h = h * 5 + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(text[i])));
    double x = static_cast<double>(static_cast<int32_t>(h)) * 0.6180339887;
    double fraction = x - std::trunc(x);
    // |fraction| < 1, so the product fits a 32-bit int.
    return static_cast<uint32_t>(static_cast<int32_t>(fraction * 1234567.0));
}

} // namespace java

using java::HashEntry;
using java::String;

namespace {

unsigned powerOfTwoAtLeast(unsigned n)
{
    unsigned size = 1;
    while (size < n && size < 0x80000000u)
        size <<= 1;
    return size;
}

[[noreturn]] void corrupted(const char* text)
{
    std::fputs(text, stderr);
    std::fflush(stderr);
    std::abort();
}

bool keysMatch(const HashEntry* entry, const String& key)
{
    return std::strcmp(entry->key.c_str(), key.c_str()) == 0;
}

} // namespace

HashEntry* my_hash_map::position::operator*() const
{
    unsigned used = map->nextUsed(slot);
    return used < map->size ? map->entries[used] : nullptr;
}

my_hash_map::my_hash_map(unsigned capacity, HashFunction hash, float loadFactor)
    : loadFactor(loadFactor > 0.0f && loadFactor <= 1.0f ? loadFactor : 0.5f),
      size(0),
      count(0),
      deleted(0),
      threshold(0),
      beginPosition{this, 0},
      endPosition{this, 0},
      hash(std::move(hash))
{
    resetArrays(powerOfTwoAtLeast(capacity));
}

my_hash_map::~my_hash_map()
{
    clear();
}

void my_hash_map::resetArrays(unsigned slots)
{
    size = slots;
    entries.assign(size, nullptr);
    status.assign(size, Empty);
    count = 0;
    deleted = 0;
    threshold = static_cast<unsigned>(static_cast<float>(size) * loadFactor);
    endPosition = {this, size};
}

unsigned my_hash_map::nextUsed(unsigned slot) const
{
    while (slot < size && status[slot] != Used)
        ++slot;
    return slot;
}

void my_hash_map::deleteEntryAt(unsigned slot)
{
    HashEntry* entry = entries[slot];
    entries[slot] = nullptr;
    releaseAndDelete(entry);
}

std::pair<my_hash_map::position, bool> my_hash_map::Insert(const String& key, java::Object* value)
{
    if (count >= threshold)
        rehash(static_cast<unsigned>(static_cast<float>(size) / loadFactor));

    const uint32_t h = hash(key);
    const uint32_t step = 2 * h + 1;
    const unsigned mask = size - 1;
    unsigned slot = h & mask;
    bool haveDeleted = false;
    unsigned firstDeleted = 0;

    auto store = [&](unsigned at) {
        entries[at] = new HashEntry(key, value);
        status[at] = Used;
        ++count;
        return std::make_pair(position{this, at}, true);
    };

    switch (status[slot]) {
    case Empty:
        return store(slot);
    case Used:
        if (keysMatch(entries[slot], key))
            return {position{this, slot}, false};
        break;
    case Deleted:
        haveDeleted = true;
        firstDeleted = slot;
        break;
    default:
        corrupted("Wrong Status in my_hash_map::insert(...)\n");
    }

    // The step is odd and the size a power of two, so these probes visit every slot.
    for (unsigned probe = 0; probe <= size; ++probe) {
        slot = (slot + step) & mask;
        switch (status[slot]) {
        case Empty:
            return store(haveDeleted ? firstDeleted : slot);
        case Used:
            if (keysMatch(entries[slot], key))
                return {position{this, slot}, false};
            break;
        case Deleted:
            if (!haveDeleted) {
                haveDeleted = true;
                firstDeleted = slot;
            }
            break;
        default:
            corrupted("Wrong Status in my_hash_map::Insert\n");
        }
    }

    // Every slot is used or deleted; the threshold check above leaves at least one deleted slot.
    if (!haveDeleted) {
        rehash(size * 2);
        return Insert(key, value);
    }
    if (deleted > 0)
        --deleted;
    return store(firstDeleted);
}

HashEntry* my_hash_map::put(const String& key, java::Object* value)
{
    std::pair<position, bool> result = Insert(key, value);
    unsigned slot = result.first.slot;
    if (!result.second) {
        // The new entry takes its reference before the old one gives its own up, so putting the value
        // already stored keeps it alive.
        HashEntry* replacement = new HashEntry(key, value);
        deleteEntryAt(slot);
        entries[slot] = replacement;
    }
    return entries[slot];
}

my_hash_map::position my_hash_map::find(const String& key)
{
    const uint32_t h = hash(key);
    const uint32_t step = 2 * h + 1;
    const unsigned mask = size - 1;
    unsigned slot = h & mask;
    // A table whose slots are all used or deleted has no empty slot to end the search: one full cycle
    // of probes is enough.
    for (unsigned probe = 0; probe < size; ++probe, slot = (slot + step) & mask) {
        if (status[slot] == Empty)
            break;
        if (status[slot] == Used && keysMatch(entries[slot], key))
            return {this, slot};
    }
    return endPosition;
}

int my_hash_map::Delete(const String& key)
{
    const uint32_t h = hash(key);
    const uint32_t step = 2 * h + 1;
    const unsigned mask = size - 1;
    unsigned slot = h & mask;
    for (unsigned probe = 0; probe < size; ++probe, slot = (slot + step) & mask) {
        switch (status[slot]) {
        case Empty:
            return 0;
        case Used:
            if (keysMatch(entries[slot], key)) {
                status[slot] = Deleted;
                deleteEntryAt(slot);
                --count;
                ++deleted;
                if (deleted > threshold)
                    rehash(size);
                return 1;
            }
            break;
        case Deleted:
            break;
        default:
            corrupted("Wrong type in my_hash_map::Delete\n");
        }
    }
    return 0;
}

void my_hash_map::place(HashEntry* entry)
{
    const uint32_t h = hash(entry->key);
    const uint32_t step = 2 * h + 1;
    const unsigned mask = size - 1;
    unsigned slot = h & mask;
    while (status[slot] != Empty)
        slot = (slot + step) & mask;
    entries[slot] = entry;
    status[slot] = Used;
    ++count;
}

void my_hash_map::rehash(unsigned n)
{
    std::vector<HashEntry*> oldEntries;
    std::vector<uint8_t> oldStatus;
    oldEntries.swap(entries);
    oldStatus.swap(status);
    const unsigned oldSize = size;

    // The new table always keeps an empty slot, so every probe path below ends.
    resetArrays(powerOfTwoAtLeast(n > count ? n : count + 1));
    // A new table at least as large as the entries: every entry moves over in old slot order, each
    // with a fresh entry that holds its own reference to the value.
    for (unsigned slot = 0; slot < oldSize; ++slot) {
        if (oldStatus[slot] != Used)
            continue;
        HashEntry* old = oldEntries[slot];
        place(new HashEntry(old->key, old->value));
        releaseAndDelete(old);
    }
}

void my_hash_map::clear()
{
    for (unsigned slot = 0; slot < size; ++slot) {
        if (status[slot] == Used)
            deleteEntryAt(slot);
        entries[slot] = nullptr;
        status[slot] = Empty;
    }
    count = 0;
    deleted = 0;
}

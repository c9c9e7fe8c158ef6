#include "runtime/java/Hashtable.h"

#include "runtime/java/TrackedObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>

using namespace java;
using java_test::countOf;
using java_test::Tracked;

namespace {

// A hash chosen per key, so a test can place keys in the slots it needs.
my_hash_map::HashFunction chosenHash(std::map<std::string, uint32_t> hashes)
{
    return [hashes](const String& key) {
        auto found = hashes.find(key.c_str());
        return found == hashes.end() ? 0u : found->second;
    };
}

std::string key(int i)
{
    return "key" + std::to_string(i);
}

} // namespace

TEST(JavaStringHash, KnownValues)
{
    const struct {
        const char* key;
        uint32_t hash;
    } cases[] = {
        {"", 0u},
        {"a", 1171970u},
        {"ab", 387426u},
        {"\xff", static_cast<uint32_t>(-763004)}, // bytes are signed, so the product is negative
        {"version", 785745u},
        {"updateurl", 766477u},
    };
    StringHash hash;
    for (const auto& c : cases)
        EXPECT_EQ(hash(String(c.key)), c.hash) << c.key;
}

TEST(JavaHashtable, NinthKeyDoublesTheTableBeforeItIsInserted)
{
    Tracked values[9];
    Hashtable table;
    EXPECT_EQ(table.map.size, 16u);
    EXPECT_EQ(table.map.threshold, 8u);
    for (int i = 0; i < 8; ++i)
        table.put(key(i).c_str(), &values[i]);
    EXPECT_EQ(table.map.size, 16u);

    table.put("key8", &values[8]);
    EXPECT_EQ(table.map.size, 32u);
    EXPECT_EQ(table.map.threshold, 16u);
    EXPECT_EQ(table.size(), 9);
    for (int i = 0; i < 9; ++i) {
        Object* value = table.get(key(i).c_str());
        EXPECT_EQ(value, &values[i]) << key(i);
        releaseAndDelete(value);
        // The rehash gave each value a new entry: still one table reference, plus the creator's.
        EXPECT_EQ(countOf(&values[i]), 2) << key(i);
    }
    table.clear();
    EXPECT_EQ(table.size(), 0);
    EXPECT_EQ(table.map.size, 32u);
    EXPECT_EQ(countOf(&values[0]), 1);
}

TEST(JavaHashtable, PutReplacesAndGivesUpTheOldValue)
{
    bool oldDestroyed = false;
    auto* oldValue = new Tracked(&oldDestroyed);
    auto* newValue = new Tracked();
    Hashtable table;
    table.put("k", oldValue);
    EXPECT_EQ(oldValue->release(), 1); // only the table holds it now
    table.put("k", newValue);
    EXPECT_TRUE(oldDestroyed);
    EXPECT_EQ(table.size(), 1);

    table.put("k", newValue); // the same value again stays alive
    Object* got = table.get("k");
    EXPECT_EQ(got, newValue);
    EXPECT_EQ(countOf(newValue), 3); // creator, table, caller of get
    got->release();

    EXPECT_EQ(table.get("missing"), nullptr);
    EXPECT_FALSE(table.remove("missing"));
    EXPECT_TRUE(table.remove("k"));
    EXPECT_EQ(table.get("k"), nullptr);
    EXPECT_EQ(newValue->release(), 0);
    delete newValue;
}

TEST(JavaHashtable, DeletedMarksBeyondTheThresholdCleanTheTableAtItsSize)
{
    Tracked value;
    Hashtable table;
    for (int i = 0; i < 9; ++i) {
        table.put(key(i).c_str(), &value);
        ASSERT_TRUE(table.remove(key(i).c_str()));
        if (i < 8) {
            EXPECT_EQ(table.map.deleted, static_cast<unsigned>(i + 1));
        }
    }
    EXPECT_EQ(table.map.deleted, 0u);
    EXPECT_EQ(table.map.size, 16u);
    EXPECT_EQ(std::count(table.map.status.begin(), table.map.status.end(), my_hash_map::Deleted), 0);
}

TEST(JavaHashtable, InsertReusesTheFirstDeletedSlotOnItsPath)
{
    // Hash 0 and an odd step of 1: the keys line up in slots 0, 1, 2.
    Tracked value;
    my_hash_map map(16, chosenHash({}), 0.5f);
    for (const char* k : {"a", "b", "c"})
        map.put(k, &value);
    ASSERT_EQ(map.find("c").slot, 2u);

    map.Delete("b");
    EXPECT_TRUE(map.Insert("b", &value).second);
    EXPECT_EQ(map.find("b").slot, 1u);

    map.Delete("a");
    map.Delete("b");
    std::pair<my_hash_map::position, bool> reinserted = map.Insert("b", &value);
    EXPECT_TRUE(reinserted.second);
    EXPECT_EQ(reinserted.first.slot, 0u);
    EXPECT_FALSE(map.Insert("c", &value).second);
    EXPECT_EQ(map.count, 2u);
}

TEST(JavaHashtable, LookupsEndInATableWithoutEmptySlots)
{
    // Eight keys in slots 0-7 are deleted (eight marks do not exceed the threshold of 8), then eight
    // keys go straight into the empty slots 8-15: every slot is used or deleted.
    std::map<std::string, uint32_t> hashes;
    for (uint32_t i = 0; i < 16; ++i)
        hashes[key(static_cast<int>(i))] = i;
    Tracked value;
    my_hash_map map(16, chosenHash(hashes), 0.5f);
    for (int i = 0; i < 8; ++i)
        map.put(key(i).c_str(), &value);
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(map.Delete(key(i).c_str()), 1);
    for (int i = 8; i < 16; ++i)
        map.put(key(i).c_str(), &value);
    ASSERT_EQ(map.size, 16u);
    ASSERT_EQ(std::count(map.status.begin(), map.status.end(), my_hash_map::Empty), 0);

    EXPECT_EQ(map.find("absent"), map.endPosition);
    EXPECT_EQ(map.Delete("absent"), 0);
    EXPECT_EQ(map.find("key15").slot, 15u);
}

TEST(JavaHashtable, EnumerationsWalkTheSlotsInOrder)
{
    Hashtable empty;
    HashtableEnumeration* none = empty.keys();
    EXPECT_FALSE(none->hasMoreElements());
    EXPECT_EQ(none->nextElement(), nullptr);
    delete none;

    Tracked one, two, three;
    Hashtable table;
    // Slots (16 slots): "version" 1, "a" 2, "updateurl" 13.
    table.put("updateurl", &three);
    table.put("a", &two);
    table.put("version", &one);

    HashtableEnumeration* keys = table.keys();
    std::vector<std::string> names;
    while (keys->hasMoreElements()) {
        Object* name = keys->nextElement();
        names.push_back(name->toString());
        EXPECT_EQ(name->release(), 0); // a new String for the caller
        delete name;
    }
    delete keys;
    EXPECT_EQ(names, (std::vector<std::string>{"version", "a", "updateurl"}));

    HashtableEnumeration* values = table.elements();
    std::vector<Object*> seen;
    while (values->hasMoreElements())
        seen.push_back(values->nextElement());
    delete values;
    EXPECT_EQ(seen, (std::vector<Object*>{&one, &two, &three}));
    EXPECT_EQ(countOf(&one), 2); // no reference was added for the walk

    Hashtable copy;
    copy.putAll(&table);
    EXPECT_EQ(copy.size(), 3);
    EXPECT_EQ(countOf(&one), 3);
}

TEST(JavaHashtableDeathTest, DamagedStatusByteEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Hash 0, step 1: "a" sits in slot 0, and a damaged slot 1 is met by the probes after it.
    const struct {
        const char* name;
        unsigned damagedSlot;
        std::function<void(my_hash_map&)> call;
        const char* message;
    } cases[] = {
        {"insert, first slot", 0, [](my_hash_map& map) { map.Insert("b", nullptr); }, "Wrong Status in my_hash_map::insert"},
        {"insert, later probe", 1, [](my_hash_map& map) { map.Insert("b", nullptr); }, "Wrong Status in my_hash_map::Insert"},
        {"delete", 1, [](my_hash_map& map) { map.Delete("b"); }, "Wrong type in my_hash_map::Delete"},
    };
    for (const auto& c : cases) {
        EXPECT_DEATH(
            {
                my_hash_map map(16, chosenHash({}), 0.5f);
                map.put("a", nullptr);
                map.status[c.damagedSlot] = 7;
                c.call(map);
            },
            c.message)
            << c.name;
    }
}

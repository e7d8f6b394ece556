// GHashtable against std::unordered_multimap across rehashes, with keys whose
// addresses differ only above bit 32.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <unordered_map>

#include "tessaly/containers.h"

namespace {

// Keys and values are opaque addresses that the table never dereferences.
GObj* Fake(std::uintptr_t address)
{
    return reinterpret_cast<GObj*>(address);
}

long AddressHash(const GObj* key)
{
    return static_cast<long>(reinterpret_cast<std::uintptr_t>(key));
}

// Hashes only the low 32 bits: keys 2^32 apart always share a chain, so only
// a full comparison keeps them apart.
long LowBitsHash(const GObj* key)
{
    return static_cast<long>(reinterpret_cast<std::uintptr_t>(key) & 0xFFFFFFFFu);
}

int SameAddress(const GObj* a, const GObj* b)
{
    return a == b ? 0 : (std::less<const GObj*>()(a, b) ? -1 : 1);
}

std::uintptr_t KeyAddress(std::mt19937_64& rng)
{
    // A few low patterns, each at several multiples of 2^32.
    std::uintptr_t low = (rng() % 64) * 16 + 0x1000;
    std::uintptr_t high = (rng() % 4) << 32;
    return high | low;
}

} // namespace

TEST(GHashtable, MultimapOperationsMatchUnorderedMultimap)
{
    for (auto hash : {&AddressHash, &LowBitsHash}) {
        std::mt19937_64 rng(99);
        GHashtable table(0, hash, &SameAddress, &SameAddress);
        std::unordered_multimap<std::uintptr_t, std::uintptr_t> model;
        auto count = [&](std::uintptr_t k, std::uintptr_t v) {
            auto range = model.equal_range(k);
            int n = 0;
            for (auto it = range.first; it != range.second; ++it)
                n += it->second == v;
            return n;
        };
        int rehashes = 0;
        for (int step = 0; step < 5000; ++step) {
            std::uintptr_t k = KeyAddress(rng);
            std::uintptr_t v = (rng() % 5 + 1) * 8;
            int sizeBefore = table.GetTableSize();
            switch (rng() % 4) {
            case 0: { // PutValue: replaces an equal (key, value) or adds one
                GObj* previous = table.PutValue(Fake(k), Fake(v));
                if (count(k, v) > 0)
                    ASSERT_EQ(previous, Fake(v));
                else {
                    ASSERT_EQ(previous, nullptr);
                    model.emplace(k, v);
                }
                break;
            }
            case 1: { // RemoveValue
                GObj* removed = table.RemoveValue(Fake(k), Fake(v));
                ASSERT_EQ(removed != nullptr, count(k, v) > 0);
                if (removed) {
                    auto range = model.equal_range(k);
                    for (auto it = range.first; it != range.second; ++it)
                        if (it->second == v) {
                            model.erase(it);
                            break;
                        }
                }
                break;
            }
            case 2: ASSERT_EQ(table.GetValue(Fake(k), Fake(v)) != nullptr, count(k, v) > 0); break;
            case 3: ASSERT_EQ(table.Get(Fake(k)) != nullptr, model.count(k) > 0); break;
            }
            rehashes += table.GetTableSize() != sizeBefore;
            ASSERT_EQ(table.GetSize(), static_cast<int>(model.size()));
            ASSERT_LE(table.GetSize(), table.GetThreshold() + 1);
        }
        EXPECT_GE(rehashes, 4);

        // The iterator visits every entry exactly once.
        std::unordered_multimap<std::uintptr_t, std::uintptr_t> seen;
        GHashtableIterator it(&table);
        while (it.hasNext()) {
            auto* e = static_cast<GHashtableEntry*>(it.next());
            seen.emplace(reinterpret_cast<std::uintptr_t>(e->key), reinterpret_cast<std::uintptr_t>(e->value));
        }
        ASSERT_EQ(seen.size(), model.size());
        for (auto& [k, v] : model)
            EXPECT_EQ(seen.count(k), model.count(k)) << k << " " << v;
    }
}

TEST(GHashtable, PutReplacesWithoutGrowing)
{
    GHashtable table(11, &AddressHash, &SameAddress, nullptr);
    GObj* key = Fake(0x100000010);
    EXPECT_EQ(table.Put(key, Fake(8)), nullptr);
    EXPECT_EQ(table.Put(key, Fake(16)), Fake(8));
    EXPECT_EQ(table.GetSize(), 1);
    EXPECT_EQ(table.Get(key), Fake(16));
    // A key 2^32 away is a different key.
    EXPECT_EQ(table.Get(Fake(0x10)), nullptr);
    EXPECT_EQ(table.Put(Fake(0x10), Fake(24)), nullptr);
    EXPECT_EQ(table.GetSize(), 2);
    EXPECT_EQ(table.Remove(key), Fake(16));
    EXPECT_EQ(table.Remove(key), nullptr);
    EXPECT_EQ(table.Get(Fake(0x10)), Fake(24));
}

TEST(GHashtable, PutValueOfAKnownKeyWithAnotherValueAddsAnEntry)
{
    GHashtable table(5, &AddressHash, &SameAddress, &SameAddress);
    GObj* key = Fake(0x40);
    table.PutValue(key, Fake(8));
    EXPECT_EQ(table.PutValue(key, Fake(16)), nullptr);
    EXPECT_EQ(table.GetSize(), 2);
    EXPECT_EQ(table.PutValue(key, Fake(16)), Fake(16));
    EXPECT_EQ(table.GetSize(), 2);
}

TEST(GHashtable, ZeroCapacityStartsWithOneBucketAndRehashesAtOnce)
{
    GHashtable table(0, &AddressHash, &SameAddress, nullptr);
    EXPECT_EQ(table.GetTableSize(), 1);
    EXPECT_EQ(table.GetThreshold(), 0);
    table.Put(Fake(8), Fake(8));
    EXPECT_EQ(table.GetTableSize(), 3);
    EXPECT_EQ(table.GetThreshold(), 2);
    table.Put(Fake(16), Fake(8));
    EXPECT_EQ(table.GetTableSize(), 3);
    table.Put(Fake(24), Fake(8));
    EXPECT_EQ(table.GetTableSize(), 7);
}

TEST(GHashtable, NegativeHashesUseTheirClearedSignBit)
{
    GHashtable table(
        7, [](const GObj*) { return LONG_MIN + 5; }, &SameAddress, nullptr);
    table.Put(Fake(8), Fake(1 << 4));
    EXPECT_EQ(table.Get(Fake(8)), Fake(1 << 4));
    EXPECT_NE(table.GetHashEntryTable()[5], nullptr);
}

TEST(GHashtable, RemovingTheReturnedEntryDuringIteration)
{
    GHashtable table(3, &AddressHash, &SameAddress, nullptr);
    for (std::uintptr_t k = 1; k <= 50; ++k)
        table.Put(Fake(k * 8), Fake(k * 8));
    GHashtableIterator it(&table);
    int visited = 0;
    while (it.hasNext()) {
        auto* e = static_cast<GHashtableEntry*>(it.next());
        ++visited;
        GObj* key = e->key;
        EXPECT_EQ(table.Remove(key), key); // e is gone from here on
    }
    EXPECT_EQ(visited, 50);
    EXPECT_TRUE(table.IsEmpty());
}

TEST(GHashtable, ClearWithValueDeletesValuesOnly)
{
    struct Tracked : GObj {
        explicit Tracked(int* deaths) : n(deaths) {}
        ~Tracked() override { ++*n; }
        int* n;
    };
    int deleted = 0;
    GObj key1, key2;
    GHashtable table(4, &AddressHash, &SameAddress, nullptr);
    table.Put(&key1, new Tracked(&deleted));
    table.Put(&key2, nullptr);
    table.ClearWithValue();
    EXPECT_EQ(deleted, 1);
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(table.Get(&key1), nullptr);
}

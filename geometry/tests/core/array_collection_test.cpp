// GArrayCollection against std::vector, its growth rules, removal while
// iterating and the stable sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tessaly/containers.h"

namespace {

std::vector<GObj*> Contents(GArrayCollection& c)
{
    return std::vector<GObj*>(c.toArray(), c.toArray() + c.size());
}

// Counts destructions, to tell clear(true) from clear().
struct Counted : GObj {
    explicit Counted(int* deathCounter) : counter(deathCounter) {}
    ~Counted() override { ++*counter; }
    int* counter;
};

} // namespace

TEST(GArrayCollection, RandomOperationsMatchVector)
{
    std::mt19937 rng(77);
    std::vector<GObj> pool(40);
    for (int growth : {0, 1, 3, 64}) {
        auto* c = new GArrayCollection(2, growth);
        std::vector<GObj*> model;
        for (int step = 0; step < 4000; ++step) {
            GObj* obj = &pool[rng() % pool.size()];
            switch (rng() % 8) {
            case 0:
            case 1:
                c->add(obj);
                model.push_back(obj);
                break;
            case 2: {
                ASSERT_EQ(c->add_i(obj), static_cast<int>(model.size()));
                model.push_back(obj);
                break;
            }
            case 3: {
                bool found = c->remove(obj);
                auto it = std::find(model.rbegin(), model.rend(), obj);
                ASSERT_EQ(found, it != model.rend());
                if (found) {
                    std::size_t i = static_cast<std::size_t>(model.rend() - it - 1);
                    model[i] = model.back();
                    model.pop_back();
                }
                break;
            }
            case 4:
                if (!model.empty()) {
                    int i = static_cast<int>(rng() % model.size());
                    c->RemoveWithShift(i);
                    model.erase(model.begin() + i);
                }
                break;
            case 5: {
                int i = static_cast<int>(rng() % (model.size() + 1));
                c->ShiftRight(i);
                c->put(i, obj);
                model.insert(model.begin() + i, obj);
                break;
            }
            case 6: {
                GObj* batch[3] = {obj, &pool[0], obj};
                ASSERT_EQ(c->add(3, batch), static_cast<int>(model.size()));
                model.insert(model.end(), batch, batch + 3);
                break;
            }
            case 7:
                ASSERT_EQ(c->index(obj), [&] {
                    auto it = std::find(model.rbegin(), model.rend(), obj);
                    return it == model.rend() ? -1 : static_cast<int>(model.rend() - it - 1);
                }());
                break;
            }
            ASSERT_EQ(Contents(*c), model);
            ASSERT_LE(c->size(), c->capacity());
        }
        c->ReallocByRealSize();
        EXPECT_EQ(c->capacity(), c->size());
        EXPECT_EQ(Contents(*c), model);
        delete c;
    }
}

TEST(GArrayCollection, GrowthRules)
{
    GArrayCollection empty(0, 8);
    EXPECT_EQ(empty.capacity(), 0);
    EXPECT_EQ(empty.toArray(), nullptr);
    GObj a;
    empty.add(&a);
    EXPECT_EQ(empty.capacity(), 8);

    GArrayCollection batch(4, 1024);
    batch.add(&a);
    GObj* three[3] = {&a, &a, &a};
    EXPECT_EQ(batch.add(3, three), 1);
    EXPECT_EQ(batch.capacity(), 1028);
    EXPECT_EQ(batch.add(0, three), 4);
    EXPECT_EQ(batch.add(2, nullptr), 4);
    EXPECT_EQ(batch.size(), 4);

    // A growth of 0 still grows by one slot at a time.
    GArrayCollection noGrowth(1, 0);
    for (int i = 0; i < 5; ++i)
        noGrowth.add(&a);
    EXPECT_EQ(noGrowth.size(), 5);
    EXPECT_EQ(noGrowth.capacity(), 5);

    GArrayCollection defaults;
    EXPECT_EQ(defaults.capacity(), 256);
    EXPECT_EQ(defaults.growth(), 1024);
}

TEST(GArrayCollection, DuplicatesAreFoundFromTheEnd)
{
    GObj a, b, c;
    GArrayCollection list(4, 4);
    for (GObj* o : {&a, &b, &a, &c})
        list.add(o);
    EXPECT_EQ(list.index(&a), 2);
    EXPECT_TRUE(list.remove(&a)); // the later a; c moves into its slot
    EXPECT_EQ(Contents(list), (std::vector<GObj*>{&a, &b, &c}));
    EXPECT_FALSE(list.remove(static_cast<GObj*>(nullptr)));
}

TEST(GArrayCollection, RotateReversesOrder)
{
    GObj a, b, c;
    GArrayCollection list(4, 4);
    list.add(&a);
    list.Rotate();
    EXPECT_EQ(Contents(list), (std::vector<GObj*>{&a}));
    list.add(&b);
    list.add(&c);
    list.Rotate();
    EXPECT_EQ(Contents(list), (std::vector<GObj*>{&c, &b, &a}));
}

TEST(GArrayCollection, OnlyClearTrueDeletesElements)
{
    int deleted = 0;
    {
        GArrayCollection list(4, 4);
        list.add(new Counted(&deleted));
        list.add(nullptr);
        list.add(new Counted(&deleted));
        GObj* keep[2] = {list.get(0), list.get(2)};
        list.clear();
        EXPECT_EQ(deleted, 0);
        list.add(2, keep);
        list.clear(true);
        EXPECT_EQ(deleted, 2);
        list.add(new Counted(&deleted));
        list.clear(true);
    }
    EXPECT_EQ(deleted, 3);
}

TEST(GArrayCollectionIterator, RemovingEveryElementVisitsAll)
{
    std::vector<GObj> objects(5);
    GArrayCollection list(2, 2);
    for (GObj& o : objects)
        list.add(&o);
    std::vector<GObj*> visited;
    GArrayCollectionIterator it(&list);
    while (it.hasNext()) {
        visited.push_back(it.next());
        it.remove();
    }
    EXPECT_TRUE(list.isEmpty());
    std::sort(visited.begin(), visited.end());
    std::vector<GObj*> expected;
    for (GObj& o : objects)
        expected.push_back(&o);
    EXPECT_EQ(visited, expected);
}

TEST(GArrayCollectionIterator, RemovingSomeKeepsTheRest)
{
    std::vector<GObj> objects(9);
    GArrayCollection list(2, 2);
    for (GObj& o : objects)
        list.add(&o);
    GArrayCollectionIterator it(&list);
    int visits = 0;
    while (it.hasNext()) {
        GObj* o = it.next();
        ++visits;
        if ((o - objects.data()) % 3 == 0)
            it.remove();
    }
    EXPECT_EQ(visits, 9);
    EXPECT_EQ(list.size(), 6);
    for (int i = 0; i < list.size(); ++i)
        EXPECT_NE((list.get(i) - objects.data()) % 3, 0);
}

TEST(GArrayCollectionIterator, RangesAndNullCollections)
{
    std::vector<GObj> objects(6);
    GArrayCollection list(8, 8);
    for (GObj& o : objects)
        list.add(&o);
    GArrayCollectionIterator range(&list, 2, 5);
    std::vector<GObj*> seen;
    while (range.hasNext())
        seen.push_back(range.next());
    EXPECT_EQ(seen, (std::vector<GObj*>{&objects[2], &objects[3], &objects[4]}));
    GArrayCollectionIterator none(nullptr);
    EXPECT_FALSE(none.hasNext());

    GObj* raw[3] = {&objects[0], &objects[1], &objects[2]};
    GObjArrayIterator array(3, raw);
    GArrayCollection copy(0, 4);
    copy.addIterator(&array);
    EXPECT_EQ(Contents(copy), (std::vector<GObj*>{raw[0], raw[1], raw[2]}));
    GObjArrayIterator unbound;
    EXPECT_FALSE(unbound.hasNext());
}

namespace {
struct Keyed : GObj {
    Keyed(int k, int o) : key(k), order(o) {}
    int key;
    int order;
};

int CompareKeys(const void* a, const void* b)
{
    const Keyed* x = *static_cast<Keyed* const*>(a);
    const Keyed* y = *static_cast<Keyed* const*>(b);
    return (x->key > y->key) - (x->key < y->key);
}

int CompareKeysDescending(const void* a, const void* b, void* context)
{
    ++*static_cast<int*>(context);
    return -CompareKeys(a, b);
}
} // namespace

TEST(GArrayCollection, SortIsStableAndMatchesStdStableSort)
{
    std::mt19937 rng(5);
    for (int n : {0, 1, 2, 15, 16, 17, 100, 1000}) {
        std::vector<Keyed> items;
        for (int i = 0; i < n; ++i)
            items.emplace_back(static_cast<int>(rng() % 10), i);
        GArrayCollection list(0, 64);
        std::vector<Keyed*> model;
        for (Keyed& k : items) {
            list.add(&k);
            model.push_back(&k);
        }
        list.qsort(&CompareKeys);
        std::stable_sort(model.begin(), model.end(), [](Keyed* a, Keyed* b) { return a->key < b->key; });
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(list.get(i), model[static_cast<std::size_t>(i)]) << "n=" << n << " i=" << i;

        int calls = 0;
        list.qsortex(&CompareKeysDescending, &calls);
        std::stable_sort(model.begin(), model.end(), [](Keyed* a, Keyed* b) { return a->key > b->key; });
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(list.get(i), model[static_cast<std::size_t>(i)]);
        EXPECT_EQ(calls > 0, n > 1);
    }
}

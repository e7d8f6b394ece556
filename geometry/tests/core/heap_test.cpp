// Pooled heaps: the block life cycle against a model, the routing of pooled
// classes, and concurrent use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "core/heap_item.h"
#include "pooled_test_types.h"
#include "tessaly/containers.h"

namespace {

// Checks every structural invariant of a heap against the set of live areas.
void ExpectConsistent(const GHeap& heap, const std::set<void*>& live)
{
    int used = 0;
    for (int i = 0; i < heap.GetAvailableBlockCount(); ++i) {
        GHeapItem* block = heap.GetAvailableBlock(i);
        ASSERT_EQ(block->GetListIndex(), i);
        ASSERT_GT(block->GetFreeCount(), 0);
        // A block whose slots are all free is deleted at once.
        ASSERT_LT(block->GetFreeCount(), heap.GetSlotsPerBlock());
        used += heap.GetSlotsPerBlock() - block->GetFreeCount();
    }
    for (int i = 0; i < heap.GetFullBlockCount(); ++i) {
        GHeapItem* block = heap.GetFullBlock(i);
        ASSERT_EQ(block->GetListIndex(), i);
        ASSERT_EQ(block->GetFreeCount(), 0);
        used += heap.GetSlotsPerBlock();
    }
    ASSERT_EQ(used, static_cast<int>(live.size()));
    for (void* p : live) {
        GHeapItem* owner = GHeapItem::OwnerOf(p);
        ASSERT_TRUE(owner->Contains(p));
    }
}

int LiveSlots(const GHeap& heap)
{
    int used = heap.GetFullBlockCount() * heap.GetSlotsPerBlock();
    for (int i = 0; i < heap.GetAvailableBlockCount(); ++i)
        used += heap.GetSlotsPerBlock() - heap.GetAvailableBlock(i)->GetFreeCount();
    return used;
}

bool IsZero(const void* p, int bytes)
{
    const unsigned char* c = static_cast<const unsigned char*>(p);
    return std::all_of(c, c + bytes, [](unsigned char b) { return b == 0; });
}

} // namespace

TEST(GHeap, SlotsPerBlockFollowsBlockBytesOverItemSize)
{
    GHeap heap("probe49", 49, 65536);
    EXPECT_EQ(heap.GetSlotsPerBlock(), 1338);
    GHeap defaultBlocks("probe16", 16);
    EXPECT_EQ(defaultBlocks.GetSlotsPerBlock(), 8192 / 16 + 1);
    GHeap empty("probe0", 0, 100);
    EXPECT_EQ(empty.GetSlotsPerBlock(), 100);
}

TEST(GHeap, BlockLifeCycleOfOneAndTwoBlocks)
{
    GHeap heap("cycle", 40, 160); // 5 slots per block
    const int slots = heap.GetSlotsPerBlock();
    ASSERT_EQ(slots, 5);
    EXPECT_EQ(heap.GetAvailableBlockCount() + heap.GetFullBlockCount(), 0);

    std::vector<void*> first;
    first.push_back(heap.Alloc());
    EXPECT_EQ(heap.GetAvailableBlockCount(), 1);
    for (int i = 1; i < slots; ++i)
        first.push_back(heap.Alloc());
    EXPECT_EQ(heap.GetAvailableBlockCount(), 0);
    EXPECT_EQ(heap.GetFullBlockCount(), 1);

    void* second = heap.Alloc();
    EXPECT_EQ(heap.GetAvailableBlockCount(), 1);
    EXPECT_EQ(heap.GetFullBlockCount(), 1);
    GHeapItem* secondBlock = GHeapItem::OwnerOf(second);
    GHeapItem* firstBlock = GHeapItem::OwnerOf(first[0]);
    EXPECT_NE(secondBlock, firstBlock);

    // Freeing one object of the full block moves it behind the second block
    // in the available list; the next Alloc is served from it.
    heap.Free(first[2]);
    ASSERT_EQ(heap.GetAvailableBlockCount(), 2);
    EXPECT_EQ(heap.GetAvailableBlock(1), firstBlock);
    EXPECT_EQ(firstBlock->GetListIndex(), 1);
    void* refill = heap.Alloc();
    EXPECT_EQ(GHeapItem::OwnerOf(refill), firstBlock);
    EXPECT_EQ(refill, first[2]);
    first[2] = refill;

    // Freeing the second block's only object deletes that block.
    heap.Free(second);
    EXPECT_EQ(heap.GetAvailableBlockCount(), 0);
    EXPECT_EQ(heap.GetFullBlockCount(), 1);
    for (void* p : first)
        heap.Free(p);
    EXPECT_EQ(heap.GetAvailableBlockCount() + heap.GetFullBlockCount(), 0);
}

TEST(GHeap, FreedBlocksNeighbourTakesItsIndex)
{
    GHeap heap("neighbour", 24, 48); // 3 slots per block
    std::vector<void*> a, b, c;
    for (int i = 0; i < 3; ++i)
        a.push_back(heap.Alloc());
    for (int i = 0; i < 3; ++i)
        b.push_back(heap.Alloc());
    c.push_back(heap.Alloc());
    heap.Free(a[0]);
    heap.Free(b[0]);
    // Available list: c's block, a's block, b's block.
    ASSERT_EQ(heap.GetAvailableBlockCount(), 3);
    GHeapItem* blockA = GHeapItem::OwnerOf(a[1]);
    GHeapItem* blockB = GHeapItem::OwnerOf(b[1]);
    ASSERT_EQ(blockA->GetListIndex(), 1);
    ASSERT_EQ(blockB->GetListIndex(), 2);
    heap.Free(a[1]);
    heap.Free(a[2]); // block A empty: deleted, block B moves to index 1
    ASSERT_EQ(heap.GetAvailableBlockCount(), 2);
    EXPECT_EQ(heap.GetAvailableBlock(1), blockB);
    EXPECT_EQ(blockB->GetListIndex(), 1);
    heap.Free(b[1]);
    heap.Free(b[2]);
    heap.Free(c[0]);
    EXPECT_EQ(heap.GetAvailableBlockCount(), 0);
}

TEST(GHeap, RandomAllocFreeMatchesModel)
{
    std::mt19937 rng(1234);
    for (int itemSize : {1, 8, 49, 100}) {
        GHeap heap("model", itemSize, 512);
        std::set<void*> live;
        std::vector<void*> order;
        for (int step = 0; step < 6000; ++step) {
            bool allocate = order.empty() || rng() % 100 < (step < 3000 ? 60 : 40);
            if (allocate) {
                void* p = heap.Alloc();
                ASSERT_TRUE(IsZero(p, itemSize)) << "slot not zero-filled";
                ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8, 0u);
                ASSERT_TRUE(live.insert(p).second) << "slot handed out twice";
                std::memset(p, 0xAB, static_cast<std::size_t>(itemSize));
                order.push_back(p);
            } else {
                std::size_t pick = rng() % order.size();
                void* p = order[pick];
                order[pick] = order.back();
                order.pop_back();
                live.erase(p);
                heap.Free(p);
            }
            if (step % 97 == 0)
                ExpectConsistent(heap, live);
        }
        ExpectConsistent(heap, live);
        for (void* p : order)
            heap.Free(p);
        EXPECT_EQ(heap.GetAvailableBlockCount() + heap.GetFullBlockCount(), 0);
    }
}

TEST(GHeap, SlotsAreHandedOutFromTheEndOfTheBufferAndReturnedLastInFirstOut)
{
    GHeap heap("order", 24, 96); // 5 slots of 32 bytes with their headers
    char* first = static_cast<char*>(heap.Alloc());
    char* second = static_cast<char*>(heap.Alloc());
    char* third = static_cast<char*>(heap.Alloc());
    EXPECT_EQ(first - second, 32);
    EXPECT_EQ(second - third, 32);
    heap.Free(first);
    heap.Free(third);
    EXPECT_EQ(heap.Alloc(), third);
    EXPECT_EQ(heap.Alloc(), first);
    EXPECT_EQ(static_cast<char*>(heap.Alloc()), third - 32);
}

TEST(GHeap, AnEmptiedBlockIsKeptAsideAndReused)
{
    GHeap heap("spare", 16, 32); // 3 slots
    void* a = heap.Alloc();
    GHeapItem* block = GHeapItem::OwnerOf(a);
    heap.Free(a);
    EXPECT_EQ(heap.GetAvailableBlockCount() + heap.GetFullBlockCount(), 0);
    EXPECT_TRUE(heap.HasSpareBlock());
    void* b = heap.Alloc();
    EXPECT_EQ(GHeapItem::OwnerOf(b), block);
    EXPECT_EQ(b, a); // a reused block starts over from its last slot
    EXPECT_FALSE(heap.HasSpareBlock());
    EXPECT_EQ(block->GetListIndex(), 0);

    // Two emptied blocks are both kept; the last emptied is reused first.
    std::vector<void*> six;
    for (int i = 0; i < 5; ++i)
        six.push_back(heap.Alloc());
    six.push_back(b);
    for (void* p : six)
        heap.Free(p);
    EXPECT_EQ(heap.GetSpareBlockCount(), 2);
    EXPECT_EQ(heap.GetAvailableBlockCount() + heap.GetFullBlockCount(), 0);
    EXPECT_EQ(GHeapItem::OwnerOf(heap.Alloc()), block);

    // The garbage collector gives back every kept block but one (LeakSanitizer
    // and ASan watch the blocks that go).
    heap.Free(heap.Alloc());
    GHeap other("spare, other", 16, 32);
    other.Free(other.Alloc());
    EXPECT_EQ(heap.GarbageCollector(), 0);
    EXPECT_EQ(heap.GetSpareBlockCount(), 1);
    EXPECT_TRUE(heap.HasSpareBlock());
    EXPECT_EQ(other.GetSpareBlockCount(), 1);
}

// A heap keeps at most a few megabytes of emptied blocks, at least one.
TEST(GHeap, TheBlocksKeptAsideAreBoundedByTheirBytes)
{
    struct Case {
        int itemSize, blockBytes, blocks, kept;
    };
    const Case cases[] = {
        {1000, 1 << 20, 10, 3}, // 1049 slots of 1008 bytes: a block of ~1 MiB
        {64, 1 << 16, 40, 40},  // 73.8 KB blocks: 56 fit in 4 MiB
        {64, 8 << 20, 3, 1},    // one block larger than the bound
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.itemSize * 1000 + c.blocks);
        GHeap heap("bounded", c.itemSize, c.blockBytes);
        std::vector<void*> live;
        for (int i = 0; i < c.blocks * heap.GetSlotsPerBlock(); ++i)
            live.push_back(heap.Alloc());
        ASSERT_EQ(heap.GetFullBlockCount(), c.blocks);
        for (void* p : live)
            heap.Free(p);
        EXPECT_EQ(heap.GetSpareBlockCount(), c.kept);
        EXPECT_EQ(heap.GetAvailableBlockCount() + heap.GetFullBlockCount(), 0);
    }
}

// A batch hands out exactly the slots that single allocations would, in
// the same order, across block boundaries, reused slots and a spare block.
TEST(GHeap, AllocBatchHandsOutTheSlotsOfSingleAllocationsInOrder)
{
    struct Case {
        const char* name;
        int freedBefore; // of 7 live slots, every k-th is freed first (0: none)
        int batch;
    };
    const Case cases[] = {
        {"fresh heap, within one block", 0, 3},
        {"fresh heap, across blocks", 0, 12},
        {"after frees, reused slots first", 2, 9},
        {"after every slot was freed", 1, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GHeap single("single", 24, 96), batched("batched", 24, 96); // 5 slots per block
        std::vector<void*> singleLive, batchedLive;
        auto prepare = [&c](GHeap& heap, std::vector<void*>& live) {
            for (int i = 0; i < 7; ++i)
                live.push_back(heap.Alloc());
            std::vector<void*> kept;
            for (int i = 0; i < 7; ++i) {
                if (c.freedBefore > 0 && i % c.freedBefore == 0)
                    heap.Free(live[static_cast<std::size_t>(i)]);
                else
                    kept.push_back(live[static_cast<std::size_t>(i)]);
            }
            live = kept;
        };
        prepare(single, singleLive);
        prepare(batched, batchedLive);
        std::vector<void*> out(static_cast<std::size_t>(c.batch)), expected;
        ASSERT_EQ(batched.AllocBatch(out.data(), c.batch), c.batch);
        for (int i = 0; i < c.batch; ++i)
            expected.push_back(single.Alloc());
        // The two heaps' blocks differ; the slots' blocks hold the same places
        // in the lists, and each slot is the same step from the one before.
        for (std::size_t i = 0; i < out.size(); ++i) {
            SCOPED_TRACE(i);
            GHeapItem* singleBlock = GHeapItem::OwnerOf(expected[i]);
            GHeapItem* batchBlock = GHeapItem::OwnerOf(out[i]);
            EXPECT_EQ(singleBlock->GetListIndex(), batchBlock->GetListIndex());
            EXPECT_EQ(singleBlock->GetFreeCount(), batchBlock->GetFreeCount());
            if (i == 0)
                continue;
            bool singleSameBlock = GHeapItem::OwnerOf(expected[i - 1]) == singleBlock;
            ASSERT_EQ(singleSameBlock, GHeapItem::OwnerOf(out[i - 1]) == batchBlock);
            if (singleSameBlock) {
                EXPECT_EQ(static_cast<char*>(expected[i]) - static_cast<char*>(expected[i - 1]),
                          static_cast<char*>(out[i]) - static_cast<char*>(out[i - 1]));
            }
        }
        singleLive.insert(singleLive.end(), expected.begin(), expected.end());
        batchedLive.insert(batchedLive.end(), out.begin(), out.end());
        EXPECT_EQ(single.GetAvailableBlockCount(), batched.GetAvailableBlockCount());
        EXPECT_EQ(single.GetFullBlockCount(), batched.GetFullBlockCount());
        ExpectConsistent(batched, std::set<void*>(batchedLive.begin(), batchedLive.end()));
        for (void* p : singleLive)
            single.Free(p);
        batched.FreeBatch(batchedLive.data(), static_cast<int>(batchedLive.size()));
        EXPECT_EQ(batched.GetAvailableBlockCount() + batched.GetFullBlockCount(), 0);
    }
}

TEST(GHeap, FreeOfNullIsIgnored)
{
    GHeap heap("null", 8, 64);
    heap.Free(nullptr);
    EXPECT_EQ(heap.GetAvailableBlockCount(), 0);
}

TEST(GHeap, RegistryKnowsEveryLiveHeap)
{
    int before = GHeap::GetHeapCount();
    {
        GHeap heap("registered-heap", 8);
        EXPECT_EQ(GHeap::GetHeapCount(), before + 1);
        EXPECT_EQ(GHeap::FindHeap("registered-heap"), &heap);
        GHeap::RunGarbageCollector();
    }
    EXPECT_EQ(GHeap::GetHeapCount(), before);
    EXPECT_EQ(GHeap::FindHeap("registered-heap"), nullptr);
}

bool IsBlockOf(const GHeap& heap, const GHeapItem* block)
{
    for (int i = 0; i < heap.GetAvailableBlockCount(); ++i)
        if (heap.GetAvailableBlock(i) == block)
            return true;
    for (int i = 0; i < heap.GetFullBlockCount(); ++i)
        if (heap.GetFullBlock(i) == block)
            return true;
    return false;
}

TEST(PooledClass, ServedFromItsHeapAndZeroFilled)
{
    GHeap* heap = PooledProbe::GetClassHeap();
    ASSERT_NE(heap, nullptr);
    EXPECT_EQ(heap, PooledProbe::m_PooledProbeHeap);
    EXPECT_EQ(heap->GetItemSize(), static_cast<int>(sizeof(PooledProbe)));
    EXPECT_EQ(GHeap::FindHeap("PooledProbe"), heap);
    EXPECT_EQ(GHeap::FindHeap("GArrayCollection"), GArrayCollection::m_GArrayCollectionHeap);

    std::vector<PooledProbe*> probes;
    for (int i = 0; i < 100; ++i) {
        auto* probe = new PooledProbe(7);
        EXPECT_EQ(probe->GetUserValue(), 7u);
        EXPECT_EQ(probe->payload[4], 0) << "recycled slot not zero-filled";
        probe->payload[4] = 99;
        ASSERT_TRUE(IsBlockOf(*heap, GHeapItem::OwnerOf(probe)));
        probes.push_back(probe);
        if (i % 3 == 0) {
            delete probes.back();
            probes.pop_back();
        }
    }
    for (PooledProbe* p : probes)
        delete p;
    // The thread's cached slots go back to their blocks on request.
    GHeap::RunGarbageCollector();
    EXPECT_EQ(LiveSlots(*heap), 0);
}

#if defined(__SANITIZE_ADDRESS__)
TEST(PooledClassDeathTest, UseOfADeletedPooledObjectIsReported)
{
    auto* probe = new PooledProbe(1);
    volatile long* payload = &probe->payload[0];
    delete probe;
    EXPECT_DEATH(*payload = 5, "use-after-poison");
}
#endif

TEST(PooledClass, LargerDerivedClassUsesTheGeneralHeap)
{
    GHeap* heap = PooledProbe::GetClassHeap();
    int blocksBefore = heap->GetAvailableBlockCount() + heap->GetFullBlockCount();
    std::vector<PooledProbe*> objects;
    // More objects than a block holds: with slot-sized allocation this would
    // overrun slots (ASan) and add blocks.
    for (int i = 0; i < heap->GetSlotsPerBlock() + 3; ++i) {
        auto* derived = new LargerThanPooledProbe;
        derived->extra[8] = 1.5;
        derived->payload[4] = i;
        objects.push_back(derived);
    }
    EXPECT_EQ(heap->GetAvailableBlockCount() + heap->GetFullBlockCount(), blocksBefore);
    for (PooledProbe* p : objects)
        delete p; // virtual destructor: the sized delete gets the derived size
}

TEST(PooledClass, ArenaPlacementBypassesThePool)
{
    GHeap* heap = PooledProbe::GetClassHeap();
    int blocksBefore = heap->GetAvailableBlockCount() + heap->GetFullBlockCount();
    GMemoryAllocator arena;
    PooledProbe* first = new (&arena) PooledProbe(1);
    PooledProbe* second = new (&arena) PooledProbe(2);
    EXPECT_EQ(reinterpret_cast<char*>(second) - reinterpret_cast<char*>(first),
              static_cast<std::ptrdiff_t>((sizeof(PooledProbe) + 7) / 8 * 8));
    EXPECT_EQ(second->GetUserValue(), 2u);
    EXPECT_EQ(heap->GetAvailableBlockCount() + heap->GetFullBlockCount(), blocksBefore);
    first->~PooledProbe();
    second->~PooledProbe();
}

TEST(PooledClass, ConcurrentAllocationAndReleaseKeepObjectsApart)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    auto worker = [](int tag, bool* ok) {
        std::mt19937 rng(static_cast<unsigned>(tag));
        std::vector<PooledProbe*> mine;
        for (int round = 0; round < kRounds; ++round) {
            int burst = 1 + static_cast<int>(rng() % 40);
            for (int i = 0; i < burst; ++i) {
                auto* p = new PooledProbe(static_cast<unsigned long>(tag));
                for (long& v : p->payload)
                    v = tag;
                mine.push_back(p);
            }
            while (mine.size() > 20) {
                PooledProbe* p = mine.back();
                mine.pop_back();
                for (long v : p->payload)
                    *ok = *ok && v == tag;
                *ok = *ok && p->GetUserValue() == static_cast<unsigned long>(tag);
                delete p;
            }
        }
        for (PooledProbe* p : mine)
            delete p;
    };
    bool ok[kThreads] = {true, true, true, true};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(worker, t + 1, &ok[t]);
    for (std::thread& t : threads)
        t.join();
    for (bool b : ok)
        EXPECT_TRUE(b) << "an object was overwritten by another thread";
    // Each thread's cached slots went back to the heap when it ended.
    GHeap::RunGarbageCollector();
    EXPECT_EQ(LiveSlots(*PooledProbe::GetClassHeap()), 0);
}

namespace {
// Deletes pooled objects from a static destructor, after the main thread's
// slot cache is gone (a crash or an ASan report at exit fails the test run).
struct DeletedAtExit {
    ~DeletedAtExit()
    {
        for (PooledProbe* p : objects)
            delete p;
    }
    std::vector<PooledProbe*> objects;
};
DeletedAtExit g_DeletedAtExit;
} // namespace

TEST(PooledClass, ObjectsCanBeDeletedByStaticDestructorsAtExit)
{
    for (int i = 0; i < 600; ++i)
        g_DeletedAtExit.objects.push_back(new PooledProbe(static_cast<unsigned long>(i)));
    // A thread that ends hands its cache back, and later deletions of its
    // objects from other threads still work.
    std::thread([] {
        for (int i = 0; i < 300; ++i)
            g_DeletedAtExit.objects.push_back(new PooledProbe(1));
    }).join();
    EXPECT_EQ(g_DeletedAtExit.objects.size(), 900u);
}

TEST(GSemaphor, IsRecursiveAndExcludesOtherThreads)
{
    GSemaphor lock;
    lock.Busy();
    lock.Busy(); // recursive: must not deadlock
    int counter = 0;
    std::thread other([&] {
        lock.Busy();
        ++counter;
        lock.Free();
    });
    // The other thread cannot pass while this one holds the lock twice.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(counter, 0);
    lock.Free();
    lock.Free();
    other.join();
    EXPECT_EQ(counter, 1);
}

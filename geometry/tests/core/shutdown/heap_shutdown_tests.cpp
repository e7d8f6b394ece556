// GHeap::RemoveAllHeaps ends every pooled heap for the rest of the process;
// these tests therefore run in an executable of their own.
#include <gtest/gtest.h>

#include "../pooled_test_types.h"
#include "tessaly/containers.h"

TEST(RemoveAllHeaps, DeletesEveryHeapAndNullsTheClassSlots)
{
    // Heaps exist from load on, before any object of their class is made.
    ASSERT_NE(GArrayCollection::m_GArrayCollectionHeap, nullptr);
    ASSERT_NE(PooledProbe::m_PooledProbeHeap, nullptr);
    auto* hostHeap = new GHeap("host heap", 32);
    (void)hostHeap->Alloc();
    ASSERT_GE(GHeap::GetHeapCount(), 3);

    auto* stale = new PooledProbe(3);
    GHeap::RemoveAllHeaps(); // also deletes hostHeap and its block

    EXPECT_EQ(GHeap::GetHeapCount(), 0);
    EXPECT_EQ(GArrayCollection::m_GArrayCollectionHeap, nullptr);
    EXPECT_EQ(PooledProbe::m_PooledProbeHeap, nullptr);
    EXPECT_EQ(PooledProbe::GetClassHeap(), nullptr);

    // The slot of an object made before the removal went with its heap: its
    // pooled delete must not touch it (ASan would report a use after free).
    PooledProbe::operator delete(stale, sizeof(PooledProbe));

    // Objects made afterwards come from the general heap and are freed there
    // (LeakSanitizer checks that nothing is lost).
    auto* late = new PooledProbe(4);
    late->payload[4] = 9;
    auto* list = new GArrayCollection(4, 4);
    list->add(late);
    EXPECT_EQ(list->getFirst(), late);
    delete list;
    delete late;
    GHeap::RemoveAllHeaps(); // a second call finds nothing to do
    EXPECT_EQ(GHeap::GetHeapCount(), 0);
}

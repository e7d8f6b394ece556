// The roof and wall data provider: records follow the current pair onto new
// facets, copy with their facets, and read back as (0, none) without one.
#include <gtest/gtest.h>

#include <thread>

#include "tessaly/surface.h"
#include "tessaly/wall_data.h"

TEST(WallData, CurrentPairGoesOntoNewFacetsAndBack)
{
    G3WallDataProvider* p = G3WallDataProvider::Get();
    ASSERT_EQ(p, G3WallDataProvider::Get());
    G3Surface s;
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {0, 1, 0};
    G3Vertex* v[3] = {s.AddVertex(a), s.AddVertex(b), s.AddVertex(c)};
    p->SetCurrent(7, ROOF_FACET_LOWER);
    G3Facet* marked = s.AddFacet(3, v, 1, nullptr, nullptr);
    p->SetCurrent(0, ROOF_FACET_NONE);
    G3Facet* plain = s.AddFacet(3, v, 1, nullptr, nullptr);
    ASSERT_NE(marked, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(G3WallDataProvider::GetFacetIndex(marked), 7);
    EXPECT_EQ(G3WallDataProvider::GetFacetType(marked), ROOF_FACET_LOWER);
    EXPECT_EQ(G3WallDataProvider::GetFacetIndex(plain), 0);
    EXPECT_EQ(G3WallDataProvider::GetFacetType(plain), ROOF_FACET_NONE);
    EXPECT_EQ(G3WallDataProvider::GetFacetIndex(nullptr), 0);

    // A facet's record becomes the current pair; anything else resets it.
    p->SetExData(marked);
    EXPECT_EQ(p->GetCurrentSectionId(), 7);
    EXPECT_EQ(p->GetCurrentType(), ROOF_FACET_LOWER);
    p->SetExData(v[0]);
    EXPECT_EQ(p->GetCurrentSectionId(), 0);
    p->SetExData(marked);
    p->SetExData(plain);
    EXPECT_EQ(p->GetCurrentType(), ROOF_FACET_NONE);

    // Copies of records are independent (freed once each: the sanitizer
    // checks).
    p->CopyExData(plain, marked);
    EXPECT_EQ(G3WallDataProvider::GetFacetIndex(plain), 7);
    p->SetCurrent(0, ROOF_FACET_NONE);

    // The pair is the calling thread's own.
    p->SetCurrent(3, ROOF_FACET_EAVE);
    int seen = -1;
    std::thread([&] { seen = G3WallDataProvider::Get()->GetCurrentSectionId(); }).join();
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(p->GetCurrentSectionId(), 3);
    p->SetCurrent(0, ROOF_FACET_NONE);
}

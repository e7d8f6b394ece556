// The loop functions of G3Math fed by iterators over point objects.
#include <gtest/gtest.h>

#include <cmath>

#include "tessaly/elements.h"

namespace {
struct Square {
    Square()
    {
        double xyz[4][3] = {{0, 0, 2}, {1, 0, 2}, {1, 1, 2}, {0, 1, 2}};
        for (auto& p : xyz)
            list.add(new G3Vertex(p));
    }
    ~Square() { list.clear(true); }
    GArrayCollection list{4, 4};
};
} // namespace

TEST(PointLoops, PlaneAreaEnvelopeAndConvexityOfASquare)
{
    Square square;
    GArrayCollectionIterator it(&square.list);
    double plane[4];
    ASSERT_TRUE(G3Math::FormPlaneEquation(&it, plane));
    EXPECT_NEAR(plane[2], 1.0, 1e-12);
    EXPECT_NEAR(plane[3], -2.0, 1e-12);

    it.init(&square.list);
    EXPECT_NEAR(G3Math::CalcSquare(&it, nullptr), 1.0, 1e-12);
    it.init(&square.list);
    EXPECT_EQ(G3Math::ConvexTest(&it, 0, 1), 1);
    it.init(&square.list);
    GEnvelope box;
    ASSERT_TRUE(G3Math::FormEnvelope(&it, &box));
    EXPECT_DOUBLE_EQ(box.XSize(), 1.0);
    it.init(&square.list);
    int i = -1, j = -1;
    ASSERT_TRUE(G3Math::FormMaxPlaneCoo(&it, &i, &j, plane));
    EXPECT_EQ(i, 0);
    EXPECT_EQ(j, 1);

    auto* a = static_cast<G3Vertex*>(square.list.get(0));
    auto* c = static_cast<G3Vertex*>(square.list.get(3));
    EXPECT_NEAR(G3Math::CalcAngle(a, c, 0.0, 0, 1), M_PI / 2, 1e-12);
}

TEST(PointLoops, IteratorsOfOtherObjectsGiveEmptyResults)
{
    GObj notAPoint;
    GObj* items[3] = {&notAPoint, &notAPoint, &notAPoint};
    GObjArrayIterator it(3, items);
    double plane[4] = {9, 9, 9, 9};
    EXPECT_FALSE(G3Math::FormPlaneEquation(&it, plane));
    EXPECT_EQ(plane[0], 0.0);
    EXPECT_FALSE(G3Math::FormPlaneEquation(static_cast<GIterator*>(nullptr), plane));
    EXPECT_EQ(G3Math::CalcAngle(static_cast<G3Vertex*>(nullptr), nullptr, 0, 0, 1), 0.0);
}

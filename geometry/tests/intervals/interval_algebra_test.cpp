// Interval lists against an exact one-dimensional set model on random input.
//
// Every list lies on a line through a random origin with a direction made of
// the components 1, 0.5 and 0.25 (permuted, random signs); parameters are
// multiples of 1/4, so every coordinate is exact and two distinct positions
// on the main axis are at least 1/4 apart. The model knows nothing of
// pairing rules or merges: it holds sorted, disjoint closed pieces of
// positive length and unites or intersects them directly.
//
// For every result the test checks: the coverage equals the model's; the
// pieces are oriented, sorted and do not overlap; pieces that went through
// a union are longer than 1e-6; each end's owner is the owner of an input
// end at exactly that point; minimum and maximum are the first start and
// the last end.

#include "tessaly/intervals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

using Piece = std::pair<double, double>;
using Set = std::vector<Piece>;

// Sorted, disjoint pieces of positive length; touching pieces are joined.
Set Normalize(Set pieces)
{
    for (Piece& p : pieces)
        if (p.second < p.first)
            std::swap(p.first, p.second);
    std::sort(pieces.begin(), pieces.end());
    Set out;
    for (const Piece& p : pieces) {
        if (!(p.second > p.first))
            continue;
        if (!out.empty() && p.first <= out.back().second)
            out.back().second = std::max(out.back().second, p.second);
        else
            out.push_back(p);
    }
    return out;
}

Set Unite(const Set& a, const Set& b)
{
    Set all = a;
    all.insert(all.end(), b.begin(), b.end());
    return Normalize(all);
}

Set Common(const Set& a, const Set& b)
{
    Set out;
    for (const Piece& p : a)
        for (const Piece& q : b) {
            const double lo = std::max(p.first, q.first), hi = std::min(p.second, q.second);
            if (hi > lo)
                out.emplace_back(lo, hi);
        }
    return Normalize(out);
}

double Measure(const Set& s)
{
    double m = 0;
    for (const Piece& p : s)
        m += p.second - p.first;
    return m;
}

// One random line and the owners of every end made on it.
class Line {
public:
    explicit Line(std::mt19937& rng) : m_Rng(rng)
    {
        const double components[3] = {1.0, 0.5, 0.25};
        int order[3] = {0, 1, 2};
        std::shuffle(order, order + 3, m_Rng);
        for (int a = 0; a < 3; ++a) {
            m_Direction[order[a]] = components[a] * (Coin() ? 1 : -1);
            m_Origin[a] = std::uniform_int_distribution<int>(-40, 40)(m_Rng) * 0.25;
        }
        m_Main = order[0];
        m_A = m_Main == 0 ? 1 : 0;
        m_B = 3 - m_Main - m_A;
    }

    bool Coin() { return std::uniform_int_distribution<int>(0, 1)(m_Rng) == 1; }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_Rng); }

    // A point at a random parameter, and a fresh owner for it.
    std::vector<double> RandomPoint(int span)
    {
        const double t = Uniform(0, span * 4) * 0.25;
        return {m_Origin[0] + t * m_Direction[0], m_Origin[1] + t * m_Direction[1], m_Origin[2] + t * m_Direction[2]};
    }
    GObj* Owner(const std::vector<double>& p)
    {
        m_Owners.emplace_back();
        m_OwnerPoints[&m_Owners.back()] = p;
        return &m_Owners.back();
    }

    std::unique_ptr<G3IntervalList> NewList() const { return std::make_unique<G3IntervalList>(m_A, m_B, m_Main); }
    int Main() const { return m_Main; }
    const std::map<const GObj*, std::vector<double>>& OwnerPoints() const { return m_OwnerPoints; }

private:
    std::mt19937& m_Rng;
    double m_Origin[3] = {0, 0, 0};
    double m_Direction[3] = {0, 0, 0};
    int m_Main = 0, m_A = 1, m_B = 2;
    std::deque<GObj> m_Owners;
    std::map<const GObj*, std::vector<double>> m_OwnerPoints;
};

Set PiecesOf(const G3IntervalList& list)
{
    Set out;
    const int k = list.GetMainAxis();
    for (int i = 0; i < list.GetIntervalCount(); ++i)
        out.emplace_back(list.GetInterval(i)->GetXYZ1(k), list.GetInterval(i)->GetXYZ2(k));
    return out;
}

// The checks shared by every result; longer: every piece exceeds 1e-6.
void CheckBuilt(const G3IntervalList& list, const Line& line, bool longer)
{
    const int k = list.GetMainAxis();
    ASSERT_EQ(k, line.Main());
    EXPECT_EQ(list.GetPointList()->size(), 0);
    const Set pieces = PiecesOf(list);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_LE(pieces[i].first, pieces[i].second) << "oriented, piece " << i;
        if (longer) {
            EXPECT_GT(pieces[i].second - pieces[i].first, 1e-6) << "piece " << i;
        }
        if (i > 0) {
            EXPECT_LE(pieces[i - 1].first, pieces[i].first) << "sorted, piece " << i;
            EXPECT_LE(pieces[i - 1].second, pieces[i].first) << "disjoint, piece " << i;
        }
        G3Interval* piece = list.GetInterval(static_cast<int>(i));
        for (int end = 0; end < 2; ++end) {
            GObj* owner = end == 0 ? piece->GetOwner1() : piece->GetOwner2();
            const double* xyz = end == 0 ? piece->GetXYZ1() : piece->GetXYZ2();
            auto found = line.OwnerPoints().find(owner);
            ASSERT_NE(found, line.OwnerPoints().end()) << "owner of end " << end << " of piece " << i;
            EXPECT_EQ(std::vector<double>(xyz, xyz + 3), found->second) << "owner from the wrong end";
        }
    }
    EXPECT_EQ(list.GetMinimum(), pieces.empty() ? 0.0 : pieces.front().first);
    EXPECT_EQ(list.GetMaximum(), pieces.empty() ? 0.0 : pieces.back().second);
}

// A list filled at random: up to five old pieces (any order, overlapping,
// reversed) and up to nine loose points (odd counts included). model gets
// what the list must cover after BuildIntervals, freshPairs the point pairs
// as the model pairs them.
std::unique_ptr<G3IntervalList> RandomList(Line& line, Set* model, Set* freshPairs, int* oldCount)
{
    auto list = line.NewList();
    const int k = line.Main();
    Set old;
    std::vector<double> xs;
    *oldCount = line.Uniform(0, 1) ? line.Uniform(1, 5) : 0;
    const int points = line.Uniform(0, 9);
    // Pieces and points interleaved in the order they are added.
    int o = *oldCount, p = points;
    while (o > 0 || p > 0) {
        if (o > 0 && (p == 0 || line.Coin())) {
            auto a = line.RandomPoint(20), b = line.RandomPoint(20);
            list->AddInterval(a.data(), line.Owner(a), b.data(), line.Owner(b));
            old.emplace_back(a[k], b[k]);
            --o;
        } else {
            auto a = line.RandomPoint(20);
            list->AddPoint(a.data(), line.Owner(a));
            xs.push_back(a[k]);
            --p;
        }
    }
    std::sort(xs.begin(), xs.end());
    freshPairs->clear();
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
        freshPairs->emplace_back(xs[i], xs[i + 1]);
    *model = Unite(old, *freshPairs);
    return list;
}

} // namespace

TEST(IntervalAlgebra, BuildAgainstSetModel)
{
    std::mt19937 rng(20240611);
    for (int trial = 0; trial < 400; ++trial) {
        SCOPED_TRACE(trial);
        Line line(rng);
        Set model, pairs;
        int oldCount = 0;
        auto list = RandomList(line, &model, &pairs, &oldCount);
        list->BuildIntervals();
        CheckBuilt(*list, line, oldCount > 0);
        EXPECT_EQ(Normalize(PiecesOf(*list)), model);
        if (oldCount == 0) {
            EXPECT_EQ(PiecesOf(*list), pairs); // pairs kept as they are, short ones too
        }
        // Building again changes nothing.
        const Set before = PiecesOf(*list);
        list->BuildIntervals();
        EXPECT_EQ(Normalize(PiecesOf(*list)), Normalize(before));
    }
}

TEST(IntervalAlgebra, UnionIntersectionClipAgainstSetModel)
{
    std::mt19937 rng(777);
    for (int trial = 0; trial < 400; ++trial) {
        SCOPED_TRACE(trial);
        Line line(rng);
        Set modelA, modelB, pairs;
        int oldA = 0, oldB = 0;
        auto a = RandomList(line, &modelA, &pairs, &oldA);
        auto b = RandomList(line, &modelB, &pairs, &oldB);
        // Half of the operands go in unbuilt: the operations build them.
        if (line.Coin())
            a->BuildIntervals();
        if (line.Coin())
            b->BuildIntervals();

        std::unique_ptr<G3IntervalList> both(a->Union(b.get()));
        std::unique_ptr<G3IntervalList> common(a->Intersect(b.get()));
        CheckBuilt(*a, line, oldA > 0);
        CheckBuilt(*b, line, oldB > 0);
        const bool bothHold = a->GetIntervalCount() > 0 && b->GetIntervalCount() > 0;
        CheckBuilt(*both, line, bothHold);
        CheckBuilt(*common, line, true);
        EXPECT_EQ(Normalize(PiecesOf(*both)), Unite(modelA, modelB));
        EXPECT_EQ(Normalize(PiecesOf(*common)), Common(modelA, modelB));

        // Union and intersection are symmetric in coverage.
        std::unique_ptr<G3IntervalList> both2(b->Union(a.get()));
        std::unique_ptr<G3IntervalList> common2(b->Intersect(a.get()));
        EXPECT_EQ(Normalize(PiecesOf(*both2)), Normalize(PiecesOf(*both)));
        EXPECT_EQ(Normalize(PiecesOf(*common2)), Normalize(PiecesOf(*common)));

        // Clip a copy of the union to one random piece, given either way.
        auto c1 = line.RandomPoint(22), c2 = line.RandomPoint(22);
        G3Interval clip(c1.data(), line.Owner(c1), c2.data(), line.Owner(c2));
        std::unique_ptr<G3IntervalList> clipped(both->Duplicate());
        clipped->Intersect(&clip);
        CheckBuilt(*clipped, line, true);
        const int k = line.Main();
        EXPECT_EQ(Normalize(PiecesOf(*clipped)), Common(Normalize(PiecesOf(*both)), Normalize({{c1[k], c2[k]}})));
    }
}

// Positions on a grid of 3e-7, so that ends fall within the tolerance of
// each other: pieces of 1e-6 or less may vanish, but the results stay
// sorted, disjoint and longer than 1e-6, and differ from the model by no
// more than the vanished slivers.
TEST(IntervalAlgebra, NearCoincidentEndsStayOrdered)
{
    std::mt19937 rng(99);
    for (int trial = 0; trial < 300; ++trial) {
        SCOPED_TRACE(trial);
        G3IntervalList a(1, 2, 0), b(1, 2, 0);
        Set modelA, modelB;
        for (G3IntervalList* list : {&a, &b}) {
            Set& model = list == &a ? modelA : modelB;
            const int n = std::uniform_int_distribution<int>(1, 6)(rng);
            for (int i = 0; i < n; ++i) {
                const double x1 = std::uniform_int_distribution<int>(0, 40)(rng) * 3e-7;
                const double x2 = std::uniform_int_distribution<int>(0, 40)(rng) * 3e-7;
                const double p[3] = {x1, 0, 0}, q[3] = {x2, 0, 0};
                list->AddInterval(p, q);
                model.emplace_back(x1, x2);
            }
            list->BuildIntervals();
            model = Normalize(model);
        }
        std::unique_ptr<G3IntervalList> both(a.Union(&b)), common(a.Intersect(&b));
        for (G3IntervalList* list : {&a, &b, both.get(), common.get()}) {
            const Set pieces = PiecesOf(*list);
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                EXPECT_GT(pieces[i].second - pieces[i].first, 1e-6);
                if (i > 0) {
                    EXPECT_LE(pieces[i - 1].second, pieces[i].first);
                }
            }
        }
        auto close = [](const Set& got, const Set& want, std::size_t pieces) {
            const double difference = Measure(got) + Measure(want) - 2 * Measure(Common(got, want));
            return difference <= 2e-6 * static_cast<double>(pieces + 1) + 1e-12;
        };
        const std::size_t budget = modelA.size() + modelB.size();
        EXPECT_TRUE(close(Normalize(PiecesOf(*both)), Unite(modelA, modelB), budget));
        EXPECT_TRUE(close(Normalize(PiecesOf(*common)), Common(modelA, modelB), budget));
    }
}

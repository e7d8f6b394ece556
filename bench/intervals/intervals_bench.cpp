// The segment sweep against testing every pair, and the point hash against
// a sort-based merge. After the usual benchmark table a second table prints
// ratios of times: the sweep against the pairwise test at equal and at
// smaller sizes (how the costs grow), and the hash merge against the sort
// merge (below 1 means the first is faster).
//
// Segments: n segments of random direction and length up to 2 / sqrt(n)
// in the unit square, so that each meets about one other on average, as
// the edges of a large contour do. Points: 10^6 points, half of them
// copies of the other half moved by less than half the tolerance, in
// random order.
#include <benchmark/benchmark.h>

#include "../ratio_reporter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/tolerances.h"
#include "intervals/segment_pair.h"
#include "tessaly/hashes.h"
#include "tessaly/intervals.h"

namespace {

struct Segment {
    double p[3];
    double q[3];
};

const std::vector<Segment>& Segments(int n)
{
    static std::map<int, std::vector<Segment>> cache;
    auto found = cache.find(n);
    if (found != cache.end())
        return found->second;
    std::mt19937 rng(static_cast<unsigned>(n));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double most = 2.0 / std::sqrt(static_cast<double>(n));
    std::vector<Segment> segs(static_cast<std::size_t>(n));
    for (Segment& s : segs) {
        const double angle = unit(rng) * 6.283185307179586, length = unit(rng) * most;
        s.p[0] = unit(rng);
        s.p[1] = unit(rng);
        s.p[2] = unit(rng);
        s.q[0] = s.p[0] + length * std::cos(angle);
        s.q[1] = s.p[1] + length * std::sin(angle);
        s.q[2] = unit(rng);
    }
    return cache[n] = std::move(segs);
}

class Counter : public G3IntersectionPointLoader {
public:
    void LoadIntersection(const double*, void*, void*, double, double) override { ++count; }
    long count = 0;
};

void BM_Sweep(benchmark::State& state)
{
    const auto& segs = Segments(static_cast<int>(state.range(0)));
    long reports = 0;
    for (auto _ : state) {
        G3LineSegmentIntersector sweep(0, 1);
        for (std::size_t i = 0; i < segs.size(); ++i)
            sweep.AddSegment(segs[i].p, segs[i].q, G3IndexToUserData(static_cast<std::intptr_t>(i)));
        Counter counter;
        sweep.FindIntersections(&counter);
        reports = counter.count;
    }
    state.counters["reports"] = static_cast<double>(reports);
}

// Every pair through the same pair test, segments made in an arena.
void BM_AllPairs(benchmark::State& state)
{
    const auto& segs = Segments(static_cast<int>(state.range(0)));
    long reports = 0;
    for (auto _ : state) {
        GMemoryAllocator arena;
        std::vector<G3Segment*> made;
        made.reserve(segs.size());
        for (std::size_t i = 0; i < segs.size(); ++i)
            made.push_back(new (&arena) G3Segment(segs[i].p, segs[i].q, 0, 1, nullptr, static_cast<int>(i)));
        Counter counter;
        for (std::size_t i = 0; i < made.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                segment_pair::Test(*made[i], *made[j], &counter);
        reports = counter.count;
    }
    state.counters["reports"] = static_cast<double>(reports);
}

constexpr int kPoints = 1000000;
constexpr double kTolerance = tessaly::kLengthTolerance;
constexpr double kBox = 100.0;

// Pooled objects must be gone before the program's exit handlers run (the
// per-thread slot caches end first), so main releases them.
std::vector<std::unique_ptr<G3Point>>* g_Points = nullptr;

const std::vector<std::unique_ptr<G3Point>>& Points()
{
    if (!g_Points)
        g_Points = new std::vector<std::unique_ptr<G3Point>>;
    auto& points = *g_Points;
    if (!points.empty())
        return points;
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> coordinate(0.0, kBox);
    std::uniform_real_distribution<double> shift(-0.25 * kTolerance, 0.25 * kTolerance);
    for (int i = 0; i < kPoints / 2; ++i) {
        const double x = coordinate(rng), y = coordinate(rng), z = coordinate(rng);
        points.push_back(std::make_unique<G3Point>(x, y, z));
        points.push_back(std::make_unique<G3Point>(x + shift(rng), y + shift(rng), z + shift(rng)));
    }
    std::shuffle(points.begin(), points.end(), rng);
    return points;
}

// Each point is added; a point that finds an earlier equal one is merged.
void BM_PointHashMerge(benchmark::State& state)
{
    const auto& points = Points();
    const double lo[3] = {0, 0, 0}, hi[3] = {kBox, kBox, kBox};
    long merged = 0;
    for (auto _ : state) {
        G3PointHash hash(static_cast<int>(state.range(0)), lo, hi, kTolerance);
        merged = 0;
        for (const auto& p : points)
            merged += hash.Add(p.get()) != nullptr;
    }
    state.counters["merged"] = static_cast<double>(merged);
}

// The peer: sort by x (input order on ties), then look for an earlier equal
// point among the neighbours within the tolerance in x.
void BM_SortMerge(benchmark::State& state)
{
    const auto& points = Points();
    long merged = 0;
    for (auto _ : state) {
        std::vector<int> order(points.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&points](int a, int b) {
            const double xa = points[static_cast<std::size_t>(a)]->GetX();
            const double xb = points[static_cast<std::size_t>(b)]->GetX();
            return xa < xb || (xa == xb && a < b);
        });
        merged = 0;
        const int n = static_cast<int>(order.size());
        for (int k = 0; k < n; ++k) {
            const G3Point* p = points[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])].get();
            bool found = false;
            for (int step : {-1, 1})
                for (int m = k + step; !found && m >= 0 && m < n; m += step) {
                    const int other = order[static_cast<std::size_t>(m)];
                    const G3Point* q = points[static_cast<std::size_t>(other)].get();
                    if (std::fabs(q->GetX() - p->GetX()) >= kTolerance)
                        break;
                    found = other < order[static_cast<std::size_t>(k)] &&
                        G3Point::Equals(p->GetXYZ(), q->GetXYZ(), kTolerance);
                }
            merged += found;
        }
        benchmark::DoNotOptimize(merged);
    }
    state.counters["merged"] = static_cast<double>(merged);
}

BENCHMARK(BM_Sweep)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllPairs)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointHashMerge)->Arg(24)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortMerge)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatio of times (below 1 means the first is faster)\n");
    reporter.PrintRatio("BM_Sweep/1000", "BM_AllPairs/1000", 28);
    reporter.PrintRatio("BM_Sweep/10000", "BM_AllPairs/10000", 28);
    reporter.PrintRatio("BM_Sweep/10000", "BM_AllPairs/1000", 28);
    reporter.PrintRatio("BM_Sweep/100000", "BM_AllPairs/1000", 28);
    std::printf("Growth with ten times the segments\n");
    reporter.PrintRatio("BM_Sweep/10000", "BM_Sweep/1000", 28);
    reporter.PrintRatio("BM_Sweep/100000", "BM_Sweep/10000", 28);
    reporter.PrintRatio("BM_AllPairs/10000", "BM_AllPairs/1000", 28);
    std::printf("Merging 10^6 points\n");
    reporter.PrintRatio("BM_PointHashMerge/24", "BM_SortMerge", 28);
    reporter.PrintRatio("BM_PointHashMerge/100", "BM_SortMerge", 28);
    delete g_Points;
    g_Points = nullptr;
    benchmark::Shutdown();
    return 0;
}

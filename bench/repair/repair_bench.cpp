// Whole-body repair of a triangle soup of about 10^6 triangles: the surface
// of the unit cube, each face an n x n grid of squares split into two
// triangles, every triangle with three vertices of its own, each corner
// moved by a seeded jitter far below the length tolerance (so the copies of
// a point are not bit-equal but within the tolerance) and about one triangle
// in a thousand turned over.
//
// Measured against the floor of the same work, a plain sort-based weld of
// the soup's corner coordinates:
//   - Update(CHECK_LEVEL_1001), checked to give a closed body with the
//     6 n^2 + 2 points of the cube's grid;
//   - RemoveEqualsVertex() alone (its hash sized by the vertex count), and
//     the same two stages with the classic fixed grid of 24 cells an axis,
//     on the soup in grid order and with its triangles shuffled. In grid
//     order the copy a vertex meets sits near the head of its cell's chain,
//     which hides the cost of long chains; shuffled, it does not.
// Every case runs in a child process of its own that makes its input first;
// its time and its peak of resident memory above that input are read there,
// so one case's peak does not hide another's.
//
// Usage: tessaly_repair_bench [n] [repeats]   (default 289: 1 002 252
// triangles; each case the best of `repeats` runs, default 1)
#include "../child_run.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "brep/point_hash_size.h"
#include "core/tolerances.h"
#include "tessaly/hashes.h"
#include "tessaly/surface.h"

namespace {
using Clock = std::chrono::steady_clock;

const double kTolerance = tessaly::kLengthTolerance;
// Each coordinate of each corner moves by up to this either way: two copies
// of a point stay within 4e-7 * sqrt(3) < 1e-6 of each other.
const double kJitter = 2e-7;
const int kReverseOneIn = 1000;
const unsigned kSeed = 20261207;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// ---- The soup --------------------------------------------------------------

struct Soup {
    std::vector<double> corners; // 9 coordinates a triangle
    long reversed = 0;
    long Triangles() const { return static_cast<long>(corners.size() / 9); }
};

// The triangles row by row, face by face; shuffled, in a seeded random
// order.
Soup MakeSoup(int n, bool shuffled = false)
{
    // Each face: its origin and two axes u and v whose cross product points
    // out of the cube.
    static const int faces[6][3][3] = {
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}}, // x = 0
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, // x = 1
        {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, // y = 0
        {{0, 1, 0}, {0, 0, 1}, {1, 0, 0}}, // y = 1
        {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}, // z = 0
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}}, // z = 1
    };
    Soup soup;
    soup.corners.reserve(static_cast<std::size_t>(6) * 2 * n * n * 9);
    std::mt19937_64 rng(kSeed);
    std::uniform_real_distribution<double> jitter(-kJitter, kJitter);
    std::uniform_int_distribution<int> pick(0, kReverseOneIn - 1);
    for (const auto& face : faces) {
        auto corner = [&](int i, int j) {
            const double s = static_cast<double>(i) / n;
            const double t = static_cast<double>(j) / n;
            for (int a = 0; a < 3; ++a)
                soup.corners.push_back(face[0][a] + face[1][a] * s + face[2][a] * t + jitter(rng));
        };
        auto triangle = [&](int i0, int j0, int i1, int j1, int i2, int j2) {
            const bool reverse = pick(rng) == 0;
            corner(i0, j0);
            if (reverse) {
                corner(i2, j2);
                corner(i1, j1);
                ++soup.reversed;
            } else {
                corner(i1, j1);
                corner(i2, j2);
            }
        };
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                triangle(i, j, i + 1, j, i + 1, j + 1);
                triangle(i, j, i + 1, j + 1, i, j + 1);
            }
    }
    if (shuffled) {
        std::mt19937_64 order(kSeed + 1);
        auto at = [&soup](long k) { return soup.corners.begin() + 9 * k; };
        for (long k = soup.Triangles() - 1; k > 0; --k) {
            const long j = std::uniform_int_distribution<long>(0, k)(order);
            std::swap_ranges(at(k), at(k + 1), at(j));
        }
    }
    return soup;
}

G3Surface* BuildBody(const Soup& soup)
{
    const int triangles = static_cast<int>(soup.Triangles());
    auto* body = new G3Surface(3 * triangles, 0, triangles);
    const double* c = soup.corners.data();
    for (int k = 0; k < triangles; ++k, c += 9) {
        G3Vertex* v[3] = {body->AddVertex(c), body->AddVertex(c + 3), body->AddVertex(c + 6)};
        body->AddFacet(3, v, 1, nullptr, nullptr);
    }
    return body;
}

// ---- The floor: a sort-based weld ------------------------------------------

// Corners closer than tol (strictly) are one point, and so, transitively,
// are chains of them. The corners are sorted by a quantized cell key; each
// corner is compared with the later corners of its own cell and with the
// corners of the neighbour cells its tolerance box reaches. ids gets each
// corner's point number (in order of first appearance in the sorted
// array); the result is the number of points.
long SortWeld(const std::vector<double>& xyz, double tol, std::vector<int>& ids)
{
    const std::size_t count = xyz.size() / 3;
    double lo[3], hi[3];
    for (int a = 0; a < 3; ++a) {
        lo[a] = std::numeric_limits<double>::infinity();
        hi[a] = -lo[a];
    }
    for (std::size_t i = 0; i < count; ++i)
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], xyz[3 * i + a]);
            hi[a] = std::max(hi[a], xyz[3 * i + a]);
        }
    const double extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2], 0.0});
    // Cells many tolerances wide, so that few corners lie near a cell face;
    // at most 2^20 cells an axis, so that three indices pack into 63 bits.
    const double cell = std::max(16 * tol, extent / (1 << 20));
    const double reach = tol / cell * 1.001;

    struct Corner {
        std::uint64_t key;
        double p[3];
        int index;
    };
    std::vector<Corner> sorted(count);
    for (std::size_t i = 0; i < count; ++i) {
        Corner& c = sorted[i];
        c.key = 0;
        for (int a = 0; a < 3; ++a) {
            c.p[a] = xyz[3 * i + a];
            c.key = (c.key << 21) | static_cast<std::uint64_t>((c.p[a] - lo[a]) / cell);
        }
        c.index = static_cast<int>(i);
    }
    std::sort(sorted.begin(), sorted.end(), [](const Corner& a, const Corner& b) { return a.key < b.key; });

    std::vector<int> parent(count);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&parent](int i) {
        while (parent[static_cast<std::size_t>(i)] != i) {
            int& up = parent[static_cast<std::size_t>(i)];
            up = parent[static_cast<std::size_t>(up)];
            i = up;
        }
        return i;
    };
    auto unite = [&](int i, int j) {
        i = find(i);
        j = find(j);
        if (i != j)
            parent[static_cast<std::size_t>(std::max(i, j))] = std::min(i, j);
    };
    auto close = [tol](const Corner& a, const Corner& b) {
        const double dx = a.p[0] - b.p[0], dy = a.p[1] - b.p[1], dz = a.p[2] - b.p[2];
        return dx * dx + dy * dy + dz * dz < tol * tol;
    };
    const std::uint64_t mask = (std::uint64_t(1) << 21) - 1;

    for (std::size_t s = 0; s < count; ++s) {
        const Corner& c = sorted[s];
        for (std::size_t t = s + 1; t < count && sorted[t].key == c.key; ++t)
            if (close(c, sorted[t]))
                unite(static_cast<int>(s), static_cast<int>(t));
        // The neighbour cells the tolerance box reaches, on each axis.
        int from[3], to[3];
        std::int64_t index[3];
        bool near = false;
        for (int a = 0; a < 3; ++a) {
            index[a] = static_cast<std::int64_t>((c.key >> (21 * (2 - a))) & mask);
            const double f = (c.p[a] - lo[a]) / cell - static_cast<double>(index[a]);
            from[a] = f < reach && index[a] > 0 ? -1 : 0;
            to[a] = f > 1 - reach ? 1 : 0;
            near = near || from[a] != 0 || to[a] != 0;
        }
        if (!near)
            continue;
        for (int dx = from[0]; dx <= to[0]; ++dx)
            for (int dy = from[1]; dy <= to[1]; ++dy)
                for (int dz = from[2]; dz <= to[2]; ++dz) {
                    const std::uint64_t key = static_cast<std::uint64_t>(index[0] + dx) << 42 |
                        static_cast<std::uint64_t>(index[1] + dy) << 21 | static_cast<std::uint64_t>(index[2] + dz);
                    // A pair of neighbour cells is looked at from the
                    // smaller key only.
                    if (key <= c.key)
                        continue;
                    auto it = std::lower_bound(sorted.begin(), sorted.end(), key,
                                               [](const Corner& e, std::uint64_t k) { return e.key < k; });
                    for (; it != sorted.end() && it->key == key; ++it)
                        if (close(c, *it))
                            unite(static_cast<int>(s), static_cast<int>(it - sorted.begin()));
                }
    }

    // Number the points; a root is the first position of its point.
    ids.assign(count, -1);
    std::vector<int> number(count, -1);
    long points = 0;
    for (std::size_t s = 0; s < count; ++s) {
        const int root = find(static_cast<int>(s));
        if (root == static_cast<int>(s))
            number[s] = static_cast<int>(points++);
        ids[static_cast<std::size_t>(sorted[s].index)] = number[static_cast<std::size_t>(root)];
    }
    return points;
}

// ---- Measuring in a child process ------------------------------------------

struct Result {
    bool done = false;
    double build = 0;       // seconds to make the input
    double seconds = 0;     // seconds of the measured step
    double stages[2] = {0}; // the two stages of a weld through a caller's hash
    long inputKb = 0;       // resident memory the input added
    long peakKb = 0;        // peak of resident memory above the input
    long points = 0;        // points (vertices) after the step
    long facets = 0;
    bool closed = false;
};

// Start and Stop bracket the measured step of a child.
class Meter {
public:
    Meter() : m_Start(ReadStatusKb("VmRSS:")) {}
    void Start(Result& r)
    {
        ResetPeak();
        m_Base = ReadStatusKb("VmRSS:");
        r.inputKb = m_Base - m_Start;
        m_T0 = Clock::now();
    }
    void Stop(Result& r)
    {
        r.seconds = Seconds(m_T0);
        r.peakKb = ReadStatusKb("VmHWM:") - m_Base;
    }

private:
    long m_Start = 0;
    long m_Base = 0;
    Clock::time_point m_T0;
};

Result InChild(const std::function<void(Meter&, Result&)>& work)
{
    Result r;
    const ChildStatus status = RunInChild<Result>(
        [&work](Result& out) {
            Meter meter;
            work(meter, out);
            out.done = true;
        },
        0, &r);
    if (status != ChildStatus::Done)
        r.done = false;
    return r;
}

// The fastest of repeats runs; the peak is the largest seen.
Result Best(const std::function<void(Meter&, Result&)>& work, int repeats)
{
    Result best;
    for (int k = 0; k < repeats; ++k) {
        Result r = InChild(work);
        if (!r.done)
            return r;
        const long peak = std::max(best.peakKb, r.peakKb);
        if (k == 0 || r.seconds < best.seconds)
            best = r;
        best.peakKb = peak;
    }
    return best;
}

// A body built from the soup, whose corners are then given back.
G3Surface* TimedBody(int n, Result& r, bool shuffled = false)
{
    const auto t0 = Clock::now();
    G3Surface* body;
    {
        Soup soup = MakeSoup(n, shuffled);
        body = BuildBody(soup);
    }
    r.build = Seconds(t0);
    return body;
}

void Finish(G3Surface* body, Result& r)
{
    r.points = body->GetVertexCount();
    r.facets = body->GetFacetCount();
    r.closed = body->GetClosed();
}

// The two stages of RemoveEqualsVertex through a hash of grid cells an
// axis over the body's box, and the unused elements removed after them.
void WeldThroughHash(G3Surface* body, int grid, Result& r)
{
    const auto t0 = Clock::now();
    GEnvelope box;
    body->FormEnvelope(&box);
    G3PointHash hash(grid, box.GetMin(), box.GetMax(), kTolerance);
    body->RemoveEqualsVertex(&hash);
    r.stages[0] = Seconds(t0);
    const auto t1 = Clock::now();
    body->RemoveEqualsVertex2(&hash);
    body->RemoveUnused();
    r.stages[1] = Seconds(t1);
}

double Mib(long kb)
{
    return static_cast<double>(kb) / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 289;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    const long triangles = 12L * n * n;
    const long expected = 6L * n * n + 2;
    // The grid RemoveEqualsVertex() gives its hash for the soup's vertices.
    const int sized = G3PointHashSizeFor(static_cast<int>(3 * triangles));

    {
        // Made here only to be described; each case makes its own.
        const Soup probe = MakeSoup(n);
        std::printf("soup: %ld triangles (cube, %d x %d squares a face), %ld corners, %ld turned over;\n"
                    "      expected %ld points; tolerance %g, jitter +-%g; best of %d run(s) a case\n\n",
                    probe.Triangles(), n, n, 3 * probe.Triangles(), probe.reversed, expected, kTolerance, kJitter,
                    repeats);
    }

    Result update = Best(
        [n](Meter& meter, Result& r) {
            G3Surface* body = TimedBody(n, r);
            meter.Start(r);
            body->Update(CHECK_LEVEL_1001);
            meter.Stop(r);
            Finish(body, r);
        },
        repeats);
    Result floor = Best(
        [n](Meter& meter, Result& r) {
            const auto t0 = Clock::now();
            std::vector<double> xyz = MakeSoup(n).corners;
            r.build = Seconds(t0);
            std::vector<int> ids;
            meter.Start(r);
            r.points = SortWeld(xyz, kTolerance, ids);
            meter.Stop(r);
        },
        repeats);
    Result weld = Best(
        [n](Meter& meter, Result& r) {
            G3Surface* body = TimedBody(n, r);
            meter.Start(r);
            body->RemoveEqualsVertex();
            meter.Stop(r);
            Finish(body, r);
        },
        repeats);
    Result weldSized = Best(
        [n, sized](Meter& meter, Result& r) {
            G3Surface* body = TimedBody(n, r);
            meter.Start(r);
            WeldThroughHash(body, sized, r);
            meter.Stop(r);
            Finish(body, r);
        },
        repeats);
    Result weld24 = Best(
        [n](Meter& meter, Result& r) {
            G3Surface* body = TimedBody(n, r);
            meter.Start(r);
            WeldThroughHash(body, 24, r);
            meter.Stop(r);
            Finish(body, r);
        },
        repeats);
    Result shuffledSized = Best(
        [n, sized](Meter& meter, Result& r) {
            G3Surface* body = TimedBody(n, r, true);
            meter.Start(r);
            WeldThroughHash(body, sized, r);
            meter.Stop(r);
            Finish(body, r);
        },
        repeats);
    Result shuffled24 = Best(
        [n](Meter& meter, Result& r) {
            G3Surface* body = TimedBody(n, r, true);
            meter.Start(r);
            WeldThroughHash(body, 24, r);
            meter.Stop(r);
            Finish(body, r);
        },
        repeats);

    bool ok = true;
    auto row = [&](const char* name, const Result& r, bool checkClosed) {
        if (!r.done) {
            std::printf("%-44s  FAILED: the child process did not report\n", name);
            ok = false;
            return;
        }
        std::printf("%-44s %9.3f %10.1f %10ld %8s", name, r.seconds, Mib(r.peakKb), r.points,
                    checkClosed ? (r.closed ? "yes" : "no") : "-");
        const bool good = r.points == expected && (!checkClosed || r.closed);
        std::printf("%s\n", good ? "" : "   <-- FAILED");
        ok = ok && good;
    };
    auto stages = [](const Result& r) {
        if (r.done)
            std::printf("%-44s %9.3f\n%-44s %9.3f\n", "    stage 1: targets through the hash", r.stages[0],
                        "    stage 2: edges moved, unused removed", r.stages[1]);
    };

    std::printf("%-44s %9s %10s %10s %8s\n", "case", "seconds", "peak MiB", "points", "closed");
    std::printf("%-44s %9.3f %10.1f %10s %8s\n", "build the soup body (AddVertex, AddFacet)", update.build,
                Mib(update.inputKb), "-", "-");
    row("Update(CHECK_LEVEL_1001)", update, true);
    row("sort weld of the corners (floor)", floor, false);
    row("RemoveEqualsVertex()", weld, false);
    char name[64];
    std::snprintf(name, sizeof name, "RemoveEqualsVertex(hash %d^3), both stages", sized);
    row(name, weldSized, false);
    stages(weldSized);
    row("RemoveEqualsVertex(hash 24^3), both stages", weld24, false);
    stages(weld24);
    std::printf("triangles shuffled:\n");
    std::snprintf(name, sizeof name, "RemoveEqualsVertex(hash %d^3), both stages", sized);
    row(name, shuffledSized, false);
    stages(shuffledSized);
    row("RemoveEqualsVertex(hash 24^3), both stages", shuffled24, false);
    stages(shuffled24);
    std::printf("\nbuild row: seconds to build the body, MiB it occupies; other rows: the step's seconds and its\n"
                "peak of resident memory above its input (the body, or the corner array of %.1f MiB for the\n"
                "floor), each case in a process of its own. Update left %ld facets.\n\n",
                Mib(floor.inputKb), update.facets);

    auto ratio = [](const char* what, double ours, double peer) {
        std::printf("%-52s %8.2f\n", what, peer > 0 ? ours / peer : 0.0);
    };
    ratio("Update(1001) / sort weld, time", update.seconds, floor.seconds);
    ratio("Update(1001) / sort weld, peak memory", static_cast<double>(update.peakKb),
          static_cast<double>(floor.peakKb));
    ratio("RemoveEqualsVertex() / sort weld, time", weld.seconds, floor.seconds);
    ratio("RemoveEqualsVertex() / Update(1001), time", weld.seconds, update.seconds);
    ratio("hash 24^3 / hash sized by the count, time", weld24.seconds, weldSized.seconds);
    ratio("hash 24^3 / hash sized by the count, stage 1 time", weld24.stages[0], weldSized.stages[0]);
    ratio("the same, triangles shuffled, time", shuffled24.seconds, shuffledSized.seconds);
    ratio("the same, triangles shuffled, stage 1 time", shuffled24.stages[0], shuffledSized.stages[0]);

    if (!ok) {
        std::printf("\n*** FAILED: a case did not give %ld points (or Update did not close the body) ***\n", expected);
        return 1;
    }
    return 0;
}

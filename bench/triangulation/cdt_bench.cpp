// The constrained Delaunay engine against CGAL's
// Constrained_Delaunay_triangulation_2 (exact predicates) on the same input
// in the same run. Each measurement runs in a child process of its own, so
// that its peak memory can be read cleanly; the best of a few runs counts.
// Prints one row per case: both times, their ratio (below 1 means the
// engine is faster) and both peaks of resident memory above the input.
//
// Usage: tessaly_cdt_bench [repeats]   (default 3)
#include "../process_memory.h"

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "triangulation/segment_inserter.h"
#include "triangulation/triangulator.h"

namespace {

struct Input {
    std::string name;
    std::vector<double> x, y;
    std::vector<std::pair<std::size_t, std::size_t>> constraints;
};

using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using CDT = CGAL::Constrained_Delaunay_triangulation_2<K>;

Input Uniform(int n, unsigned seed)
{
    Input in;
    in.name = "uniform " + std::to_string(n);
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int i = 0; i < n; ++i) {
        in.x.push_back(u(rng));
        in.y.push_back(u(rng));
    }
    return in;
}

Input Circle(int n)
{
    Input in;
    in.name = "circle " + std::to_string(n);
    const double pi = 3.14159265358979323846;
    // A fixed permutation of the angles: input order is not the hull order.
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<std::size_t>(i)] = i;
    std::mt19937 rng(5);
    std::shuffle(order.begin(), order.end(), rng);
    for (int i : order) {
        in.x.push_back(std::cos(2 * pi * i / n));
        in.y.push_back(std::sin(2 * pi * i / n));
    }
    return in;
}

Input Lattice(int side)
{
    Input in;
    in.name = "lattice " + std::to_string(side) + "x" + std::to_string(side);
    std::vector<std::pair<int, int>> cells;
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i)
            cells.emplace_back(i, j);
    std::mt19937 rng(6);
    std::shuffle(cells.begin(), cells.end(), rng);
    for (auto& c : cells) {
        in.x.push_back(c.first);
        in.y.push_back(c.second);
    }
    return in;
}

// Uniform points and non-crossing constraints: in each cell of a 100 x 100
// grid, a segment between two of the cell's points.
Input WithConstraints(int n, int cellsPerSide, unsigned seed)
{
    Input in = Uniform(n, seed);
    in.name = "uniform " + std::to_string(n) + " + " + std::to_string(cellsPerSide * cellsPerSide) + " constraints";
    std::vector<std::vector<std::size_t>> cell(static_cast<std::size_t>(cellsPerSide * cellsPerSide));
    for (std::size_t i = 0; i < in.x.size(); ++i) {
        int cx = std::min(cellsPerSide - 1, static_cast<int>(in.x[i] * cellsPerSide));
        int cy = std::min(cellsPerSide - 1, static_cast<int>(in.y[i] * cellsPerSide));
        cell[static_cast<std::size_t>(cy * cellsPerSide + cx)].push_back(i);
    }
    for (auto& c : cell) {
        if (c.size() >= 2)
            in.constraints.emplace_back(c[0], c[1]);
    }
    return in;
}

struct Measurement {
    double seconds = 0;
    long peakKb = 0;
    long triangles = 0;
};

// Runs the work in a child process; returns its time and memory peak.
Measurement InChild(const std::function<long()>& work)
{
    int fd[2];
    if (pipe(fd) != 0)
        std::abort();
    pid_t pid = fork();
    if (pid == 0) {
        close(fd[0]);
        ResetPeak();
        long base = ReadStatusKb("VmRSS:");
        auto t0 = std::chrono::steady_clock::now();
        long triangles = work();
        auto t1 = std::chrono::steady_clock::now();
        Measurement m;
        m.seconds = std::chrono::duration<double>(t1 - t0).count();
        m.peakKb = ReadStatusKb("VmHWM:") - base;
        m.triangles = triangles;
        if (write(fd[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m))
            _exit(1);
        _exit(0);
    }
    close(fd[1]);
    Measurement m;
    if (read(fd[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m))
        m.seconds = -1;
    close(fd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return m;
}

long RunEngine(const Input& in)
{
    auto* mesh = new G3TMesh();
    std::vector<G3TVertex*> v;
    v.reserve(in.x.size());
    for (std::size_t i = 0; i < in.x.size(); ++i)
        v.push_back(mesh->AddVertex(in.x[i], in.y[i]));
    G3TTriangulator tri(mesh);
    tri.Triangulate();
    if (!in.constraints.empty()) {
        G3TSegmentInserter ins(mesh);
        for (auto& c : in.constraints)
            ins.Insert(v[c.first], v[c.second]);
    }
    long n = mesh->GetTriangleCount();
    delete mesh;
    return n;
}

long RunCgal(const Input& in)
{
    std::vector<K::Point_2> pts;
    pts.reserve(in.x.size());
    for (std::size_t i = 0; i < in.x.size(); ++i)
        pts.emplace_back(in.x[i], in.y[i]);
    auto* cdt = new CDT();
    if (in.constraints.empty())
        cdt->insert(pts.begin(), pts.end());
    else
        cdt->insert_constraints(pts.begin(), pts.end(), in.constraints.begin(), in.constraints.end());
    long n = static_cast<long>(cdt->number_of_faces());
    delete cdt;
    return n;
}

Measurement Best(const std::function<long()>& work, int repeats)
{
    Measurement best;
    for (int r = 0; r < repeats; ++r) {
        Measurement m = InChild(work);
        if (r == 0 || m.seconds < best.seconds) {
            long peak = std::max(best.peakKb, m.peakKb);
            best = m;
            best.peakKb = peak;
        }
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<std::function<Input()>> cases{
        [] { return Uniform(100000, 1); },
        [] { return Uniform(1000000, 2); },
        [] { return Circle(100000); },
        [] { return Lattice(1000); },
        [] { return WithConstraints(100000, 100, 3); },
    };
    std::printf("%-34s %10s %10s %7s %11s %11s %10s\n", "case", "engine s", "CGAL s", "ratio", "engine MiB", "CGAL MiB",
                "triangles");
    for (auto& make : cases) {
        Input in = make();
        Measurement ours = Best([&] { return RunEngine(in); }, repeats);
        Measurement cgal = Best([&] { return RunCgal(in); }, repeats);
        std::printf("%-34s %10.3f %10.3f %7.2f %11.1f %11.1f %10ld%s\n", in.name.c_str(), ours.seconds, cgal.seconds,
                    ours.seconds / cgal.seconds, ours.peakKb / 1024.0, cgal.peakKb / 1024.0, ours.triangles,
                    ours.triangles == cgal.triangles ? "" : " (CGAL differs)");
        std::fflush(stdout);
    }
    std::printf("\nratio = engine time / CGAL time (below 1: the engine is faster); memory is the peak of\n"
                "resident memory above the input, each run in a process of its own.\n");
    return 0;
}

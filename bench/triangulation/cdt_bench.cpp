// The constrained Delaunay engine against CGAL's
// Constrained_Delaunay_triangulation_2 (exact predicates) on the same input
// in the same run. Every row runs twice: once on plain pages for both sides
// and once on huge pages for both (the engine's pools ask the kernel for
// them, CGAL gets them from glibc's malloc through GLIBC_TUNABLES). Each
// measurement runs in a freshly started child process of its own, so that
// its page policy and its peak memory are its alone; the best of a few
// runs counts. Prints one row per case: both times, their ratio (below 1
// means the engine is faster) and both peaks of resident memory above the
// input with their ratio.
//
// Usage: tessaly_cdt_bench [repeats]   (default 3)
#include "../process_memory.h"

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

enum class Pages { Plain, Huge };
enum class Side { Engine, Cgal };

const char* PagesName(Pages pages)
{
    return pages == Pages::Plain ? "plain" : "huge";
}

const std::vector<std::function<Input()>>& Cases()
{
    static const std::vector<std::function<Input()>> cases{
        [] { return Uniform(100000, 1); },
        [] { return Uniform(1000000, 2); },
        [] { return Circle(100000); },
        [] { return Lattice(1000); },
        [] { return WithConstraints(100000, 100, 3); },
    };
    return cases;
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

// The child's side of a measurement: builds the case's input, then times
// the work and reads its peak above the input; the result goes to fd.
int ChildMain(Side side, std::size_t caseIndex, Pages pages, int fd)
{
    if (caseIndex >= Cases().size())
        return 2;
    G3TSetHugePages(pages == Pages::Huge && side == Side::Engine);
    Input in = Cases()[caseIndex]();
    malloc_trim(0);
    ResetPeak();
    long base = ReadStatusKb("VmRSS:");
    auto t0 = std::chrono::steady_clock::now();
    long triangles = side == Side::Engine ? RunEngine(in) : RunCgal(in);
    auto t1 = std::chrono::steady_clock::now();
    Measurement m;
    m.seconds = std::chrono::duration<double>(t1 - t0).count();
    m.peakKb = ReadStatusKb("VmHWM:") - base;
    m.triangles = triangles;
    return write(fd, &m, sizeof m) == static_cast<ssize_t>(sizeof m) ? 0 : 1;
}

// The environment of a child: the parent's, with glibc's malloc asked for
// huge pages when the run is on huge pages (read by glibc at start-up,
// hence a fresh process rather than a fork).
std::vector<std::string> ChildEnvironment(Pages pages)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "GLIBC_TUNABLES=", 15) != 0)
            env.emplace_back(*e);
    }
    if (pages == Pages::Huge)
        env.emplace_back("GLIBC_TUNABLES=glibc.malloc.hugetlb=1");
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> p;
    for (auto& s : strings)
        p.push_back(&s[0]);
    p.push_back(nullptr);
    return p;
}

// Starts this program again as a child measuring one side of one case.
Measurement InChild(Side side, std::size_t caseIndex, Pages pages)
{
    int fd[2];
    if (pipe(fd) != 0)
        std::abort();
    std::vector<std::string> args{"tessaly_cdt_bench",       "--child",        side == Side::Engine ? "engine" : "cgal",
                                  std::to_string(caseIndex), PagesName(pages), std::to_string(fd[1])};
    std::vector<std::string> env = ChildEnvironment(pages);
    std::vector<char*> argp = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid < 0)
        std::abort();
    if (pid == 0) {
        close(fd[0]);
        execve("/proc/self/exe", argp.data(), envp.data());
        _exit(127);
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

Measurement Best(Side side, std::size_t caseIndex, Pages pages, int repeats)
{
    Measurement best;
    for (int r = 0; r < repeats; ++r) {
        Measurement m = InChild(side, caseIndex, pages);
        if (m.seconds < 0)
            return m;
        if (r == 0 || m.seconds < best.seconds) {
            long peak = std::max(best.peakKb, m.peakKb);
            best = m;
            best.peakKb = peak;
        }
    }
    return best;
}

void PrintTable(Pages pages, int repeats)
{
    std::printf("\n%s pages for both sides\n", PagesName(pages));
    std::printf("%-34s %9s %9s %6s %11s %9s %6s %10s\n", "case", "engine s", "CGAL s", "time", "engine MiB", "CGAL MiB",
                "mem", "triangles");
    for (std::size_t c = 0; c < Cases().size(); ++c) {
        const std::string name = Cases()[c]().name;
        Measurement ours = Best(Side::Engine, c, pages, repeats);
        Measurement cgal = Best(Side::Cgal, c, pages, repeats);
        if (ours.seconds < 0 || cgal.seconds < 0) {
            std::printf("%-34s a child failed\n", name.c_str());
            continue;
        }
        std::printf("%-34s %9.3f %9.3f %6.2f %11.1f %9.1f %6.2f %10ld%s\n", name.c_str(), ours.seconds, cgal.seconds,
                    ours.seconds / cgal.seconds, ours.peakKb / 1024.0, cgal.peakKb / 1024.0,
                    static_cast<double>(ours.peakKb) / static_cast<double>(std::max(1L, cgal.peakKb)), ours.triangles,
                    ours.triangles == cgal.triangles ? "" : " (CGAL differs)");
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--child") == 0) {
        const Side side = std::strcmp(argv[2], "engine") == 0 ? Side::Engine : Side::Cgal;
        const Pages pages = std::strcmp(argv[4], "huge") == 0 ? Pages::Huge : Pages::Plain;
        return ChildMain(side, static_cast<std::size_t>(std::atol(argv[3])), pages, std::atoi(argv[5]));
    }
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    PrintTable(Pages::Plain, repeats);
    PrintTable(Pages::Huge, repeats);
    std::printf("\ntime = engine time / CGAL time, mem = engine peak / CGAL peak (below 1: the engine\n"
                "does better); memory is the peak of resident memory above the input, each run in a\n"
                "process of its own.\n");
    return 0;
}

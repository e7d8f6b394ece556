// Builds a triangulated grid of about 10^6 facets through AddFacet, saves it
// as a text dump, loads it back, and reads the same file with a plain
// fscanf loop (the floor: parsing only, no checks, no body). Prints one
// table. Usage: tessaly_surface_bench [side] (default 708: 1 000 000 facets).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tessaly/surface.h"

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

G3Surface* BuildGrid(int side)
{
    auto* s = new G3Surface((side + 1) * (side + 1), 0);
    std::vector<G3Vertex*> v;
    for (int y = 0; y <= side; ++y)
        for (int x = 0; x <= side; ++x)
            v.push_back(s->AddVertex(x * 0.1, y * 0.1, 0.01 * ((x * 7 + y * 13) % 17)));
    auto at = [&](int x, int y) { return v[static_cast<std::size_t>(y * (side + 1) + x)]; };
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            G3Vertex* a[3] = {at(x, y), at(x + 1, y), at(x + 1, y + 1)};
            G3Vertex* b[3] = {at(x, y), at(x + 1, y + 1), at(x, y + 1)};
            s->AddFacet(3, a, 1, nullptr, nullptr);
            s->AddFacet(3, b, 1, nullptr, nullptr);
        }
    return s;
}

// The dump's layout read with fscanf and nothing else.
bool FscanfFloor(const char* path)
{
    FILE* f = std::fopen(path, "r");
    if (!f)
        return false;
    int v, e, n, next, zero;
    bool ok = std::fscanf(f, "%d %d %d %d %d", &v, &e, &n, &next, &zero) == 5;
    double x, y, z;
    int a[6];
    for (int k = 0; ok && k < v; ++k)
        ok = std::fscanf(f, "%lf %lf %lf", &x, &y, &z) == 3;
    for (int k = 0; ok && k < e; ++k)
        ok = std::fscanf(f, "%d %d %d", &a[0], &a[1], &a[2]) == 3;
    for (int k = 0; ok && k < n; ++k)
        ok = std::fscanf(f, "%d %d %d %d", &a[0], &a[1], &a[2], &a[3]) == 4;
    for (int k = 0; ok && k < e; ++k)
        ok = std::fscanf(f, "%d %d %d %d %d %d", &a[0], &a[1], &a[2], &a[3], &a[4], &a[5]) == 6;
    for (int k = 0; ok && k < v; ++k)
        ok = std::fscanf(f, "%d%d", &a[0], &a[1]) == 2;
    std::fclose(f);
    return ok;
}

long FileSize(const char* path)
{
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return 0;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    return size;
}
} // namespace

int main(int argc, char** argv)
{
    int side = argc > 1 ? std::atoi(argv[1]) : 708;
    char dir[] = "/tmp/tessaly-bench-XXXXXX";
    if (!mkdtemp(dir))
        return 1;
    std::string path = std::string(dir) + "/grid.g3s";

    auto start = Clock::now();
    G3Surface* body = BuildGrid(side);
    double build = Seconds(start);
    start = Clock::now();
    bool saved = body->Save(path.c_str());
    double save = Seconds(start);
    double mb = static_cast<double>(FileSize(path.c_str())) / 1e6;
    // The saved file goes to the disk before anything reads it, so that its
    // writing back does not share the cores with whichever read comes first.
    sync();

    G3Surface loaded;
    std::string error;
    start = Clock::now();
    bool ok = loaded.Load(path.c_str(), &error);
    double load = Seconds(start);
    start = Clock::now();
    bool floor = FscanfFloor(path.c_str());
    double scan = Seconds(start);

    std::printf("body: %d vertices, %d edges, %d facets; dump %.1f MB\n", body->GetVertexCount(), body->GetEdgeCount(),
                body->GetFacetCount(), mb);
    std::printf("%-28s %10s %10s\n", "step", "seconds", "MB/s");
    std::printf("%-28s %10.3f %10s\n", "build through AddFacet", build, "-");
    std::printf("%-28s %10.3f %10.1f\n", "Save", save, mb / save);
    std::printf("%-28s %10.3f %10.1f%s\n", "Load (checked)", load, mb / load, ok ? "" : "  FAILED");
    std::printf("%-28s %10.3f %10.1f%s\n", "fscanf loop (floor)", scan, mb / scan, floor ? "" : "  FAILED");
    std::printf("%-28s %10.3f   (Load MB/s over fscanf MB/s; 1 or more: at least as fast)\n", "Load / fscanf speed",
                scan / load);
    delete body;
    std::remove(path.c_str());
    rmdir(dir);
    return saved && ok && floor ? 0 : 1;
}

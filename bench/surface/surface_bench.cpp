// Builds a triangulated grid of about 10^6 facets through AddFacet, saves it
// as a text dump, loads it back, and reads the same file with a plain
// fscanf loop (the floor: parsing only, no checks, no body). Prints one
// table. Usage: tessaly_surface_bench [side] (default 708: 1 000 000 facets).
//
// A load writes several hundred megabytes of memory the process never had.
// On a virtual machine the first touch of such memory may cost far more
// than the load's own work when the host has taken the guest's free memory
// back, so the table also shows the load's peak of new memory and the time
// a bare loop takes to first touch as much fresh memory right after it.
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
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

// A line "Key:   N kB" of /proc/self/status, in bytes; 0 when absent.
double StatusBytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t keyLength = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, keyLength, key) == 0 && line.size() > keyLength && line[keyLength] == ':')
            return std::atof(line.c_str() + keyLength + 1) * 1024.0;
    return 0;
}

// Starts a new peak of the resident set (VmHWM); false where the system
// does not allow it.
bool ResetResidentPeak()
{
    std::ofstream clearRefs("/proc/self/clear_refs");
    clearRefs << "5";
    clearRefs.flush();
    return static_cast<bool>(clearRefs);
}

// Seconds to map `bytes` of fresh memory with huge pages advised, as the
// body's chunks are, and write one byte in each small page; -1 when the
// mapping fails.
double FirstTouchSeconds(std::size_t bytes)
{
    auto start = Clock::now();
    void* region = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED)
        return -1;
    madvise(region, bytes, MADV_HUGEPAGE);
    auto* bytesOf = static_cast<volatile char*>(region);
    for (std::size_t at = 0; at < bytes; at += 4096)
        bytesOf[at] = 1;
    double seconds = Seconds(start);
    munmap(region, bytes);
    return seconds;
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
    const double residentBefore = StatusBytes("VmRSS");
    const bool peakReset = ResetResidentPeak();
    start = Clock::now();
    bool ok = loaded.Load(path.c_str(), &error);
    double load = Seconds(start);
    const double newMemory = StatusBytes("VmHWM") - residentBefore;
    start = Clock::now();
    bool floor = FscanfFloor(path.c_str());
    double scan = Seconds(start);
    const double touch = peakReset && newMemory > 0 ? FirstTouchSeconds(static_cast<std::size_t>(newMemory)) : -1;

    std::printf("body: %d vertices, %d edges, %d facets; dump %.1f MB\n", body->GetVertexCount(), body->GetEdgeCount(),
                body->GetFacetCount(), mb);
    std::printf("%-28s %10s %10s\n", "step", "seconds", "MB/s");
    std::printf("%-28s %10.3f %10s\n", "build through AddFacet", build, "-");
    std::printf("%-28s %10.3f %10.1f\n", "Save", save, mb / save);
    std::printf("%-28s %10.3f %10.1f%s\n", "Load (checked)", load, mb / load, ok ? "" : "  FAILED");
    std::printf("%-28s %10.3f %10.1f%s\n", "fscanf loop (floor)", scan, mb / scan, floor ? "" : "  FAILED");
    std::printf("%-28s %10.3f   (Load MB/s over fscanf MB/s; 1 or more: at least as fast)\n", "Load / fscanf speed",
                scan / load);
    if (touch >= 0)
        std::printf("%-28s %10.3f   (a bare loop, after the load, over the load's peak of new memory: %.0f MB)\n",
                    "first touch of fresh memory", touch, newMemory / 1e6);
    else
        std::printf("%-28s %10s   (the system does not report the resident peak)\n", "first touch of fresh memory",
                    "-");
    delete body;
    std::remove(path.c_str());
    rmdir(dir);
    return saved && ok && floor ? 0 : 1;
}

// Pooled allocation and GHashtable against their standard peers, measured in
// one run. After the usual benchmark table a second table prints each kernel
// case as a ratio of its peer's time (below 1 means the kernel is faster).
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "ratio_reporter.h"
#include "tessaly/containers.h"

// A typical geometric element: 64 bytes with its vtable pointer.
class PooledElement : public GObj {
    TESSALY_POOLED_CLASS(PooledElement)

public:
    double coordinates[6] = {};
};
TESSALY_DEFINE_POOLED_CLASS(PooledElement, "PooledElement", 65536)

namespace {

// Objects made before any is released: a batch a thread cache holds whole,
// and one many blocks large, whose slots go back and forth between the
// threads' caches and the heap.
constexpr int kSmallBatch = 1000;
constexpr int kLargeBatch = 50000;

class PlainElement : public GObj {
public:
    double coordinates[6] = {};
};
static_assert(sizeof(PooledElement) == sizeof(PlainElement), "peers of one size");

// Allocates a batch and frees it again, in the order geometry code tends to:
// many objects built, then released together. With two threads, both make
// and free objects of one class from its one heap at the same time.
void BM_Pooled_Batch(benchmark::State& state)
{
    std::vector<PooledElement*> objects(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        for (auto& p : objects)
            p = new PooledElement;
        benchmark::DoNotOptimize(objects.data());
        for (auto* p : objects)
            delete p;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_NewDelete_Batch(benchmark::State& state)
{
    std::vector<PlainElement*> objects(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        for (auto& p : objects)
            p = new PlainElement;
        benchmark::DoNotOptimize(objects.data());
        for (auto* p : objects)
            delete p;
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Malloc_Batch(benchmark::State& state)
{
    std::vector<void*> blocks(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        for (auto& p : blocks) {
            // calloc: pooled slots are zero-filled too.
            p = std::calloc(1, sizeof(PlainElement));
        }
        benchmark::DoNotOptimize(blocks.data());
        for (void* p : blocks)
            std::free(p);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// One object made and released at a time.
void BM_Pooled_Single(benchmark::State& state)
{
    for (auto _ : state) {
        auto* p = new PooledElement;
        benchmark::DoNotOptimize(p);
        delete p;
    }
}

void BM_NewDelete_Single(benchmark::State& state)
{
    for (auto _ : state) {
        auto* p = new PlainElement;
        benchmark::DoNotOptimize(p);
        delete p;
    }
}

void BM_Malloc_Single(benchmark::State& state)
{
    for (auto _ : state) {
        void* p = std::calloc(1, sizeof(PlainElement));
        benchmark::DoNotOptimize(p);
        std::free(p);
    }
}

long AddressHash(const GObj* key)
{
    return static_cast<long>((reinterpret_cast<std::uintptr_t>(key) >> 3) & LONG_MAX);
}

int SameAddress(const GObj* a, const GObj* b)
{
    return a == b ? 0 : 1;
}

std::vector<GObj*> Keys(int n)
{
    std::vector<GObj*> keys;
    for (int i = 0; i < n; ++i)
        keys.push_back(reinterpret_cast<GObj*>(std::uintptr_t{0x10000} + std::uintptr_t(i) * 24));
    return keys;
}

struct AddressHasher {
    std::size_t operator()(const GObj* key) const { return static_cast<std::size_t>(AddressHash(key)); }
};

// Builds a table of n keys, looks every key up twice and removes them all.
void BM_GHashtable(benchmark::State& state)
{
    std::vector<GObj*> keys = Keys(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        GHashtable table(101, &AddressHash, &SameAddress, nullptr);
        for (GObj* k : keys)
            table.Put(k, k);
        for (int round = 0; round < 2; ++round)
            for (GObj* k : keys)
                benchmark::DoNotOptimize(table.Get(k));
        for (GObj* k : keys)
            table.Remove(k);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_UnorderedMap(benchmark::State& state)
{
    std::vector<GObj*> keys = Keys(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unordered_map<GObj*, GObj*, AddressHasher> table(101);
        for (GObj* k : keys)
            table.emplace(k, k);
        for (int round = 0; round < 2; ++round)
            for (GObj* k : keys)
                benchmark::DoNotOptimize(table.find(k));
        for (GObj* k : keys)
            table.erase(k);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Pooled_Batch)->Arg(kSmallBatch)->Arg(kLargeBatch)->Threads(1)->Threads(2);
BENCHMARK(BM_NewDelete_Batch)->Arg(kSmallBatch)->Arg(kLargeBatch)->Threads(1)->Threads(2);
BENCHMARK(BM_Malloc_Batch)->Arg(kSmallBatch)->Arg(kLargeBatch)->Threads(1)->Threads(2);
BENCHMARK(BM_Pooled_Single)->Threads(1)->Threads(2);
BENCHMARK(BM_NewDelete_Single)->Threads(1)->Threads(2);
BENCHMARK(BM_Malloc_Single)->Threads(1)->Threads(2);
BENCHMARK(BM_GHashtable)->Arg(1000)->Arg(100000);
BENCHMARK(BM_UnorderedMap)->Arg(1000)->Arg(100000);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatio of times (kernel / peer; below 1 means the kernel is faster)\n");
    for (const char* pattern : {"Batch/1000", "Batch/50000", "Single"}) {
        for (const char* threads : {"/threads:1", "/threads:2"}) {
            std::string pooled = std::string("BM_Pooled_") + pattern + threads;
            reporter.PrintRatio(pooled, std::string("BM_Malloc_") + pattern + threads);
            reporter.PrintRatio(pooled, std::string("BM_NewDelete_") + pattern + threads);
        }
    }
    for (const char* n : {"/1000", "/100000"})
        reporter.PrintRatio(std::string("BM_GHashtable") + n, std::string("BM_UnorderedMap") + n);
    benchmark::Shutdown();
    return 0;
}

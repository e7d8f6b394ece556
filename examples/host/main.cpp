// Shows a host what the kernel's object base offers: pooled objects, arenas,
// collections, hash tables, matrices and the trace hook.
#include <tessaly/containers.h>
#include <tessaly/math.h>
#include <tessaly/object.h>
#include <tessaly/trace.h>

#include <climits>
#include <cstdint>
#include <cstdio>

// A host class with its own pooled heap, like the kernel's geometry classes.
class Sample : public GObj {
    TESSALY_POOLED_CLASS(Sample)

public:
    explicit Sample(unsigned long value) : GObj(value) {}
    double x = 0, y = 0, z = 0;
};

TESSALY_DEFINE_POOLED_CLASS(Sample, "Sample", 65536)

namespace {

long SampleHash(const GObj* key)
{
    return static_cast<long>(key->GetUserValue() & LONG_MAX);
}

int SameValue(const GObj* a, const GObj* b)
{
    return a->GetUserValue() == b->GetUserValue() ? 0 : 1;
}

void PrintLabel(const char* label)
{
    std::printf("  trace: %s\n", label);
}

} // namespace

int main()
{
    GSetTraceHook(&PrintLabel);
    GTrace("Example host starts");

    GHeap* heap = Sample::GetClassHeap();
    GArrayCollection* samples = new GArrayCollection(0, 1024);
    for (unsigned long i = 0; i < 100000; ++i)
        samples->add(new Sample(i));
    std::printf("pooled objects: %d samples in %d blocks of %d slots (heap \"%s\")\n", samples->size(),
                heap->GetAvailableBlockCount() + heap->GetFullBlockCount(), heap->GetSlotsPerBlock(), heap->GetName());

    GHashtable byValue(64, &SampleHash, &SameValue, nullptr);
    GArrayCollectionIterator it(samples);
    while (it.hasNext()) {
        GObj* sample = it.next();
        byValue.Put(sample, sample);
    }
    Sample probe(4242);
    std::printf("hash table: %d entries in %d buckets; lookup of 4242 %s\n", byValue.GetSize(), byValue.GetTableSize(),
                byValue.Get(&probe) ? "found" : "missing");

    GMemoryAllocator arena;
    for (int i = 0; i < 1000; ++i)
        new (&arena) Sample(static_cast<unsigned long>(i)); // freed with the arena
    std::printf("arena: 1000 samples, %d chunks\n", arena.GetChunkCount());

    double m[4][4];
    M4Identity(m);
    M4RotateZ(m, 3.14159265358979323846 / 2);
    M4Translate(m, 1, 0, 0);
    double p[4] = {1, 0, 0, 1}, q[4];
    V4MulPointByMatrix(p, m, q);
    std::printf("matrix: (1, 0, 0) rotated a quarter turn and moved by x+1 is (%.3f, %.3f, %.3f)\n", q[0], q[1], q[2]);

    samples->clear(true);
    delete samples;
    GHeap::RunGarbageCollector(); // returns this thread's cached free slots
    std::printf("after release: %d blocks\n", heap->GetAvailableBlockCount() + heap->GetFullBlockCount());
    GTrace("Example host ends");
    return 0;
}

// Uses the installed kernel only through its public headers and library.
#include <tessaly/containers.h>
#include <tessaly/object.h>

#include <cstdint>
#include <cstdio>
#include <vector>

int main()
{
    std::vector<GObj*> objects;
    GArrayCollection* collection = new GArrayCollection(16, 64);
    GHashtable table(
        16, [](const GObj* k) { return static_cast<long>(reinterpret_cast<std::uintptr_t>(k) >> 3); },
        [](const GObj* a, const GObj* b) { return a == b ? 0 : 1; }, nullptr);
    for (int i = 0; i < 1000; ++i) {
        GArrayCollection* pooled = new GArrayCollection(0, 1);
        objects.push_back(pooled);
        collection->add(pooled);
        table.Put(pooled, pooled);
    }
    std::printf("pooled objects: %zu, collection: %d, table: %d\n", objects.size(), collection->size(),
                table.GetSize());
    collection->clear(true);
    delete collection;
    return 0;
}

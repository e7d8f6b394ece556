// LandscapeSmoothing: repeated smoothing passes over a copy of a terrain.
#include "terrain/terrain_internal.h"
#include "tessaly/terrain.h"

namespace {
bool IsPassMode(int mode)
{
    return mode >= 1 && mode <= 4;
}
} // namespace

G3Surface* G3LandscapeHandler::LandscapeSmoothing(G3Surface* s, int mode, int passes)
{
    if (!s)
        return nullptr;
    auto* current = static_cast<G3Surface*>(s->Duplicate());
    if (!IsPassMode(mode) || passes <= 0)
        return current;
    for (int pass = 0; pass < passes; ++pass) {
        // The duplicate shares the host's slot objects; only the records of
        // the passes' own results are deleted.
        auto release = [&current, pass] {
            if (pass > 0)
                DeleteSlopeRecords(current);
            delete current;
            current = nullptr;
        };
        G3Surface* next = nullptr;
        if (mode == 1)
            next = SmoothSurface(current);
        else if (mode == 2)
            next = SmoothSurfaceEx(current);
        else
            next = terrain::SecondOrderPass(current, mode, release);
        if (current)
            release();
        current = next;
        if (!current)
            return nullptr;
    }
    if (mode == 3)
        DeleteSlopeRecords(current);
    return current;
}

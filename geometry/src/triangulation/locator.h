#pragma once
// Point location in a triangulated mesh by a walk from a good start.
//
// The start is the nearest, among a few candidates, of the origins of the
// most recently visited triangle and of sampled triangles: every triangle
// of a mesh with fewer than 201 triangles, else 20 samples taken by
// advancing a random number (1 to 20) of places through the triangle list,
// wrapping around at its end. The random numbers come from the per-thread
// generator, seeded when the locator is made. The walk crosses a side that
// has the point strictly on its outer side; in the rare case that a walk
// in a constrained mesh does not end within as many steps as there are
// triangles, every triangle is tested instead, so location always ends.

#include "triangulation/mesh.h"

class G3TLocator {
public:
    enum Result { INSIDE = 0, ON_EDGE = 1, ON_VERTEX = 2, OUTSIDE = 3 };

    explicit G3TLocator(G3TMesh* mesh);
    virtual ~G3TLocator();
    G3TLocator(const G3TLocator&) = delete;
    G3TLocator& operator=(const G3TLocator&) = delete;

    // Locates (x, y). *found receives: for INSIDE a side of the containing
    // triangle; for ON_EDGE a handle on that edge; for ON_VERTEX a handle
    // whose origin is the vertex (the same point within 1e-8); for OUTSIDE
    // the mesh's outer handle, or with stopAtSegments the side carrying the
    // segment where the walk stopped. OUTSIDE also for NaN coordinates, a
    // null found or a mesh without triangles.
    virtual int Locate(double x, double y, G3TOTri* found, bool stopAtSegments = false);

    // Remembered start of the next location; reset when triangles were
    // removed from the mesh since it was recorded.
    void SetRecent(const G3TOTri& h);

private:
    G3TOTri ChooseStart(double x, double y);
    int Scan(double x, double y, G3TOTri* found);
    int Classify(const G3TOTri& tri, double x, double y, G3TOTri* found);

    G3TMesh* m_Mesh;
    G3TOTri m_Recent;
    unsigned long m_RecentRemovals = 0;
    G3TTriangle* m_Cursor = nullptr;
};

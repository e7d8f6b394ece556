// Even-odd flood over the triangles: a breadth-first walk from the hull
// that gives each triangle its depth in segment crossings. Crossing a side
// without a segment keeps the depth, crossing one adds one; the first depth
// a triangle receives is the smallest, since sides without segments are
// walked first (a double-ended queue: those go to the front).
#include "tessellation/inside_constraints.h"

#include <deque>
#include <unordered_map>
#include <vector>

int RemoveTrianglesOutsideSegments(G3TMesh* mesh)
{
    if (!mesh)
        return 0;
    std::unordered_map<G3TTriangle*, int> depth;
    // Room for every triangle at once: a large mesh would rehash the table
    // again and again while the walk fills it.
    std::size_t triangles = 0;
    for (G3TTriangle* t = mesh->FirstTriangle(); t; t = t->GetNext())
        ++triangles;
    depth.reserve(triangles);
    std::deque<std::pair<G3TTriangle*, int>> queue;
    // A side without a segment costs nothing: its triangle goes to the
    // front, so the queue stays sorted by depth.
    auto reach = [&](G3TTriangle* t, int d, bool crossed) {
        auto found = depth.find(t);
        if (found != depth.end() && found->second <= d)
            return;
        depth[t] = d;
        if (crossed)
            queue.emplace_back(t, d);
        else
            queue.emplace_front(t, d);
    };
    for (G3TTriangle* t = mesh->FirstTriangle(); t; t = t->GetNext())
        for (int side = 0; side < 3; ++side) {
            const G3TOTri h{t, side};
            if (mesh->IsOuter(g3t::Sym(h)))
                reach(t, mesh->HasSegment(h) ? 1 : 0, true);
        }
    while (!queue.empty()) {
        auto [t, d] = queue.front();
        queue.pop_front();
        if (depth[t] != d)
            continue; // reached again with a smaller depth
        for (int side = 0; side < 3; ++side) {
            const G3TOTri h{t, side};
            const G3TOTri across = g3t::Sym(h);
            if (!mesh->IsOuter(across))
                reach(across.tri, d + (mesh->HasSegment(h) ? 1 : 0), mesh->HasSegment(h));
        }
    }
    std::vector<G3TTriangle*> outside;
    for (G3TTriangle* t = mesh->FirstTriangle(); t; t = t->GetNext()) {
        auto found = depth.find(t);
        if (found == depth.end() || found->second % 2 == 0)
            outside.push_back(t);
    }
    // Neighbours of removed triangles face the outer triangle from now on,
    // and no vertex keeps a removed triangle as its handle.
    for (G3TTriangle* t : outside)
        for (int side = 0; side < 3; ++side) {
            const G3TOTri across = g3t::Sym(G3TOTri{t, side});
            if (!mesh->IsOuter(across))
                g3t::PointAt(across, mesh->OuterHandle());
        }
    for (G3TVertex* v = mesh->FirstVertex(); v; v = v->GetNext())
        v->SetTriangle(mesh->OuterHandle());
    for (G3TTriangle* t : outside)
        mesh->RemoveTriangle(t);
    for (G3TTriangle* t = mesh->FirstTriangle(); t; t = t->GetNext())
        for (int corner = 0; corner < 3; ++corner)
            t->m_Corner[corner]->SetTriangle(G3TOTri{t, corner});
    return static_cast<int>(outside.size());
}

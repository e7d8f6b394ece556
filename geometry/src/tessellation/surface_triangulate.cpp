// Splitting facets into triangles. The triangles come from
// G3Facet::Tessellate before the facet is touched: a facet whose
// tessellation failed, or does not cover it, stays as it was, so a body
// stays closed.
#include <vector>

#include "tessaly/math.h"
#include "tessaly/surface.h"
#include "tessaly/tessellation.h"

namespace {
constexpr int kEveryQuad = 4;
constexpr int kEveryPentagon = 8;
constexpr int kNotFlat = 2;
constexpr int kNotConvex = 1;
constexpr int kConcave = 2; // G3Math::ConvexTest's answer for a concave loop

// One triangle of the facet, ready to be added.
struct Piece {
    G3Vertex* v[3];
    int flags[3];
    G3Normal* normals[3];
    G3TexCoo* texCoos[3];
};

// Whether f has a loop that is not convex in its projection, or more than
// one loop.
bool IsConcave(G3Facet* f)
{
    GArrayCollection vertices, starts;
    f->GetLoops(&vertices, &starts);
    if (starts.size() > 1)
        return true;
    std::vector<const double*> points;
    for (int k = 0; k < vertices.size(); ++k)
        points.push_back(static_cast<G3Vertex*>(vertices.get(k))->GetXYZ());
    int i, j;
    f->GetMaxCoo(&i, &j);
    return G3Math::ConvexTest(points.data(), static_cast<int>(points.size()), i, j) == kConcave;
}

bool IsSelected(G3Facet* f, int options)
{
    const int n = f->GetEdgeCount();
    if (n < 4)
        return false;
    if (options & kEveryQuad)
        return true;
    if ((options & kEveryPentagon) && n >= 5)
        return true;
    if ((options & kNotFlat) && !f->IsFlat())
        return true;
    return (options & kNotConvex) && IsConcave(f);
}

// The flags of the side a -> b: those of an edge that joins the two
// vertices already, else the new-edge flags.
int SideFlags(G3Vertex* a, G3Vertex* b, int newEdgeFlags)
{
    for (G3Edge* e = a->GetFirstEdge(); e; e = e->GetVertexNext(a))
        if (e->GetOtherVertex(a) == b)
            return static_cast<int>(e->GetFlags());
    return newEdgeFlags;
}

std::vector<Piece> MakePieces(G3Facet* f, GArrayCollection& corners, int newEdgeFlags)
{
    std::vector<Piece> pieces(static_cast<std::size_t>(corners.size() / 3));
    for (std::size_t t = 0; t < pieces.size(); ++t) {
        Piece& p = pieces[t];
        for (int c = 0; c < 3; ++c)
            p.v[c] = static_cast<G3Vertex*>(corners.get(static_cast<int>(3 * t) + c));
        for (int c = 0; c < 3; ++c) {
            p.flags[c] = SideFlags(p.v[c], p.v[(c + 1) % 3], newEdgeFlags);
            p.normals[c] = f->GetNormal(p.v[c], &p.texCoos[c]);
        }
    }
    return pieces;
}

// Puts the triangles in f's place; f is their extended-data template and
// goes once they exist.
void Replace(G3Surface* s, G3Facet* f, std::vector<Piece>& pieces)
{
    const long flags = f->GetFlags();
    const long surface = f->GetSurface();
    f->RemoveEdges();
    s->ProviderSetExData(f);
    for (Piece& p : pieces) {
        G3Facet* made = s->AddFacet(3, p.v, p.flags, p.normals, p.texCoos);
        if (!made)
            continue;
        made->SetFlags(flags);
        made->SetSurface(surface);
    }
    s->ProviderSetExData(nullptr);
    s->RemoveFacet(f);
}
} // namespace

bool G3Surface::Triangulate(int options, int newEdgeFlags)
{
    std::vector<G3Facet*> snapshot;
    for (int k = 0; k < GetFacetCount(); ++k)
        snapshot.push_back(GetFacet(k));
    bool any = false;
    GArrayCollection corners;
    for (G3Facet* f : snapshot) {
        if (!IsSelected(f, options) || !f->Tessellate(&corners))
            continue;
        std::vector<Piece> pieces = MakePieces(f, corners, newEdgeFlags);
        Replace(this, f, pieces);
        any = true;
    }
    if (any)
        RemoveUnused();
    return any;
}

// Splitting facets into triangles through the GLU tessellator.
//
// Each loop of a facet goes to GLU as a contour of its own (the odd winding
// rule then makes holes holes), looked at along the facet's plane normal so
// that the triangles turn as the facet does. The triangles are checked
// before the facet is touched: a tessellation that failed, or whose area is
// not the facet's, leaves the facet as it was, so a body stays closed.
#include <cmath>
#include <vector>

#include "core/tolerances.h"
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

bool IsSelected(G3Facet* f, int options, GArrayCollection& vertices, GArrayCollection& starts)
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
    if (options & kNotConvex) {
        if (starts.size() > 1)
            return true;
        std::vector<const double*> points;
        for (int k = 0; k < vertices.size(); ++k)
            points.push_back(static_cast<G3Vertex*>(vertices.get(k))->GetXYZ());
        int i, j;
        f->GetMaxCoo(&i, &j);
        return G3Math::ConvexTest(points.data(), static_cast<int>(points.size()), i, j) == kConcave;
    }
    return false;
}

// Twice the area of (a, b, c) seen along the unit normal n.
double TwiceProjectedArea(const G3Vertex* a, const G3Vertex* b, const G3Vertex* c, const double* n)
{
    const double* p = a->GetXYZ();
    const double* q = b->GetXYZ();
    const double* r = c->GetXYZ();
    const double u[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    const double w[3] = {r[0] - p[0], r[1] - p[1], r[2] - p[2]};
    return n[0] * (u[1] * w[2] - u[2] * w[1]) + n[1] * (u[2] * w[0] - u[0] * w[2]) + n[2] * (u[0] * w[1] - u[1] * w[0]);
}

// The facet's triangles from GLU; false when they are not a tessellation of
// it.
bool Tessellate(G3Facet* f, GArrayCollection& vertices, GArrayCollection& starts, std::vector<G3Vertex*>& corners)
{
    const double* plane = f->GetPlane();
    const double length = std::sqrt(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
    const double area = f->GetArea();
    if (!(length > tessaly::kZeroDivisor) || !(area > 0))
        return false;
    const double n[3] = {plane[0] / length, plane[1] / length, plane[2] / length};

    G3SurfaceTriangulator tri;
    int i, j;
    f->GetMaxCoo(&i, &j);
    tri.BeginPolygon(i, j);
    tri.SetNormal(n);
    GArrayCollection& all = vertices;
    GArrayCollection& loopStarts = starts;
    for (int l = 0; l < loopStarts.size(); ++l) {
        const int from = static_cast<int>(G3ElementToInt(loopStarts.get(l)));
        const int to = l + 1 < loopStarts.size() ? static_cast<int>(G3ElementToInt(loopStarts.get(l + 1))) : all.size();
        tri.BeginContour();
        for (int k = from; k < to; ++k) {
            auto* v = static_cast<G3Vertex*>(all.get(k));
            tri.AddVertex(v, v);
        }
        tri.EndContour();
    }
    tri.EndPolygon();
    GArrayCollection* out = tri.GetCorners();
    if (tri.HasFailed() || out->size() < 3 || out->size() % 3 != 0)
        return false;

    double covered = 0;
    corners.clear();
    for (int k = 0; k + 2 < out->size(); k += 3) {
        G3Vertex* t[3] = {static_cast<G3Vertex*>(out->get(k)), static_cast<G3Vertex*>(out->get(k + 1)),
                          static_cast<G3Vertex*>(out->get(k + 2))};
        const double twice = TwiceProjectedArea(t[0], t[1], t[2], n);
        if (twice < -tessaly::kAreaTolerance)
            return false; // a triangle turned against the facet
        covered += twice / 2;
        corners.insert(corners.end(), t, t + 3);
    }
    return std::fabs(covered - area) <= tessaly::kTessellationAreaFraction * area + tessaly::kAreaTolerance;
}

// The flags of the side a -> b: those of an edge that joins the two
// vertices already, else the new-edge flags.
int SideFlags(G3Vertex* a, G3Vertex* b, int newEdgeFlags)
{
    GArrayCollection joining;
    a->GetEdges(b, &joining);
    return joining.size() > 0 ? static_cast<int>(static_cast<G3Edge*>(joining.get(0))->GetFlags()) : newEdgeFlags;
}

std::vector<Piece> MakePieces(G3Facet* f, const std::vector<G3Vertex*>& corners, int newEdgeFlags)
{
    std::vector<Piece> pieces(corners.size() / 3);
    for (std::size_t t = 0; t < pieces.size(); ++t) {
        Piece& p = pieces[t];
        for (int c = 0; c < 3; ++c)
            p.v[c] = corners[3 * t + static_cast<std::size_t>(c)];
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
    std::vector<G3Vertex*> corners;
    for (G3Facet* f : snapshot) {
        GArrayCollection vertices, starts;
        f->GetLoops(&vertices, &starts);
        if (!IsSelected(f, options, vertices, starts) || !Tessellate(f, vertices, starts, corners))
            continue;
        std::vector<Piece> pieces = MakePieces(f, corners, newEdgeFlags);
        Replace(this, f, pieces);
        any = true;
    }
    if (any)
        RemoveUnused();
    return any;
}

// Outward orientation. By vertical rays: a point inside a facet is shot
// along z through the body; sorted by height, the facets it passes enter
// and leave the body in turn, so the lowest must face down, the next up,
// and so on. Each facet so decided seeds a flood across manifold edges that
// turns its neighbours to match. A quadtree over the x-y box finds the
// facets above a point. By shading: a facet turns when its normal points
// against the normals stored at its vertices.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/surface.h"

namespace {
constexpr int kQuadtreeDepth = 8;
// A facet with sqrt(A^2 + B^2) / |(A, B, C)| above this is nearly vertical:
// vertical rays run along it, so it neither seeds nor counts.
constexpr double kNearlyVertical = 0.999;
// A facet whose x-y box covers at most this share of a node goes down into
// the quadrants it reaches.
constexpr double kDescendShare = 0.4;

bool IsNearlyVertical(const G3Facet* f)
{
    const double* n = f->GetPlane();
    double horizontal = std::sqrt(n[0] * n[0] + n[1] * n[1]);
    double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    return length == 0.0 || horizontal / length > kNearlyVertical;
}

struct XYBox {
    double lo[2], hi[2];
    double Area() const { return (hi[0] - lo[0]) * (hi[1] - lo[1]); }
    double Mid(int a) const { return (lo[a] + hi[a]) / 2.0; }
    // Quadrant q: bit 1 high x, bit 0 high y.
    XYBox Quadrant(int q) const
    {
        XYBox b = *this;
        for (int a = 0; a < 2; ++a) {
            bool high = a == 0 ? (q & 2) != 0 : (q & 1) != 0;
            (high ? b.lo[a] : b.hi[a]) = Mid(a);
        }
        return b;
    }
};

class FacetQuadtree {
public:
    explicit FacetQuadtree(const GEnvelope& box) : m_Root(std::make_unique<CMyFacetList>())
    {
        m_Box = {{box.GetMin()[0], box.GetMin()[1]}, {box.GetMax()[0], box.GetMax()[1]}};
    }

    void Insert(G3Facet* f, const GEnvelope& facetBox) { Insert(m_Root.get(), m_Box, f, facetBox, 1); }

    // The facets stored along the path to the leaf holding (x, y).
    void Collect(const double* xy, std::vector<G3Facet*>& out)
    {
        out.clear();
        CMyFacetList* node = m_Root.get();
        XYBox box = m_Box;
        while (node) {
            for (int k = 0; k < node->size(); ++k)
                out.push_back(static_cast<G3Facet*>(node->get(k)));
            int q = (xy[0] > box.Mid(0) ? 2 : 0) | (xy[1] > box.Mid(1) ? 1 : 0);
            box = box.Quadrant(q);
            node = node->GetChild(q);
        }
    }

private:
    void Insert(CMyFacetList* node, const XYBox& box, G3Facet* f, const GEnvelope& fb, int depth)
    {
        if (depth >= kQuadtreeDepth) {
            node->add(f);
            return;
        }
        double area = (fb.GetMax()[0] - fb.GetMin()[0]) * (fb.GetMax()[1] - fb.GetMin()[1]);
        if (area > kDescendShare * box.Area()) {
            node->add(f);
            return;
        }
        for (int q = 0; q < 4; ++q) {
            bool highX = (q & 2) != 0, highY = (q & 1) != 0;
            bool reachesX = highX ? fb.GetMax()[0] >= box.Mid(0) : fb.GetMin()[0] <= box.Mid(0);
            bool reachesY = highY ? fb.GetMax()[1] >= box.Mid(1) : fb.GetMin()[1] <= box.Mid(1);
            if (!reachesX || !reachesY)
                continue;
            if (!node->GetChild(q))
                node->SetChild(q, new CMyFacetList);
            Insert(node->GetChild(q), box.Quadrant(q), f, fb, depth + 1);
        }
    }

    std::unique_ptr<CMyFacetList> m_Root;
    XYBox m_Box;
};

struct Hit {
    G3Facet* facet;
    double z;
};

// The facets a vertical line through xy passes, sorted by height; false
// when the line touches a facet's boundary (an edge or a vertex), where the
// parity of the crossings cannot be read.
bool VerticalHits(FacetQuadtree& tree, const double* xy, std::vector<G3Facet*>& stored, std::vector<Hit>& hits)
{
    tree.Collect(xy, stored);
    hits.clear();
    for (G3Facet* g : stored) {
        G3Vertex *va = nullptr, *vb = nullptr;
        if (g->GetDoubleSided() || !g->PointInFacetXY(xy, &va, &vb))
            continue;
        if (va || vb)
            return false;
        const double* n = g->GetPlane();
        hits.push_back({g, -(n[0] * xy[0] + n[1] * xy[1] + n[3]) / n[2]});
    }
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.z < b.z; });
    return true;
}

void Flood(G3Surface* s, G3Facet* seed)
{
    GArrayCollection list;
    list.add(seed);
    for (int k = 0; k < list.size(); ++k)
        s->OrientNormal2(static_cast<G3Facet*>(list.get(k)), &list);
}
} // namespace

bool G3Surface::OrientNormals2(bool force)
{
    if (!force) {
        for (int k = 0; k < GetEdgeCount(); ++k)
            if (GetEdge(k)->HasGeometry())
                return OrientNormals();
    }
    FormPlaneEquation();
    GEnvelope box;
    if (!FormEnvelope(&box))
        return true;
    FacetQuadtree tree(box);
    for (int k = GetFacetCount() - 1; k >= 0; --k) {
        G3Facet* f = GetFacet(k);
        GEnvelope fb;
        if (!IsNearlyVertical(f) && f->FormEnvelope(&fb))
            tree.Insert(f, fb);
    }
    std::vector<G3Facet*> stored;
    std::vector<Hit> hits;
    for (int k = GetFacetCount() - 1; k >= 0; --k) {
        G3Facet* f = GetFacet(k);
        double xy[3];
        if (f->GetMark() || IsNearlyVertical(f) || !f->GenerateXYPointInFacetConcave(xy))
            continue;
        if (!VerticalHits(tree, xy, stored, hits))
            continue; // this seed cannot decide; a flood or another seed will
        for (std::size_t i = 0; i < hits.size(); ++i) {
            G3Facet* g = hits[i].facet;
            if (g->GetMark())
                continue;
            double c = g->GetPlaneC();
            if ((i % 2 == 0 && c > 0) || (i % 2 == 1 && c < 0))
                g->NegPlane();
            g->SetMark();
            Flood(this, g);
        }
    }
    ChangeFacetFlags(G3Obj::kMark, false);
    UnionFacets(4);
    return true;
}

void G3Surface::OrientNormal2(G3Facet* f, GArrayCollection* list)
{
    if (!f || !list)
        return;
    std::vector<G3Edge*> edges;
    for (G3Edge* x = f->GetFirstEdge(); x; x = f->GetNextEdge(x))
        edges.push_back(x);
    for (G3Edge* x : edges) {
        if (x->GetVertex1()->GetEdgeCount(x->GetVertex2()) > 2)
            continue;
        G3Facet* g = x->GetFacet1() == f ? x->GetFacet2() : x->GetFacet1();
        if (!g || g == f || g->GetMark() || g->GetDoubleSided() != f->GetDoubleSided())
            continue;
        if (g->GetMoveDirection(x) == f->GetMoveDirection(x))
            g->NegPlane();
        g->SetMark();
        list->add(g);
    }
}

bool G3Surface::OrientNormals()
{
    bool shaded = false;
    for (int k = 0; k < GetEdgeCount() && !shaded; ++k)
        shaded = GetEdge(k)->HasGeometry();
    if (!shaded)
        return false;
    FormPlaneEquation();
    GArrayCollection vertices;
    for (int k = 0; k < GetFacetCount(); ++k) {
        G3Facet* f = GetFacet(k);
        f->GetVertices(&vertices);
        double sum[3] = {0, 0, 0};
        for (int v = 0; v < vertices.size(); ++v) {
            G3TexCoo* t = nullptr;
            G3Normal* n = f->GetNormal(static_cast<G3Vertex*>(vertices.get(v)), &t);
            if (!n)
                continue;
            for (int a = 0; a < 3; ++a)
                sum[a] += n->GetXYZ()[a];
        }
        const double* p = f->GetPlane();
        if (p[0] * sum[0] + p[1] * sum[1] + p[2] * sum[2] < -tessaly::kLengthTolerance)
            f->NegPlane();
    }
    return true;
}

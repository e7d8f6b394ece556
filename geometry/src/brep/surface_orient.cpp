// Outward orientation. By vertical rays: a point inside a facet is shot
// along z through the body; sorted by height, the facets it passes enter
// and leave the body in turn, so the lowest must face down, the next up,
// and so on. Each facet so decided seeds a flood across manifold edges that
// turns its neighbours to match. A quadtree over the x-y box finds the
// facets above a point. By shading: a facet turns when its normal points
// against the normals stored at its vertices.
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "brep/loop_walk.h"
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

// The edges whose vertex pair is joined by more than two facet sides in all
// (G3Vertex::GetEdgeCount above 2): a flood does not cross them. Turning
// facets leaves the vertex rings as they are, so they are found once for a
// whole orientation, one walk of every ring, instead of two ring walks for
// every facet side a flood looks at.
class CrowdedEdges {
public:
    explicit CrowdedEdges(G3Surface* s)
    {
        std::vector<std::pair<const G3Vertex*, const G3Edge*>> ring;
        for (int k = 0; k < s->GetVertexCount(); ++k) {
            const G3Vertex* v = s->GetVertex(k);
            ring.clear();
            for (const G3Edge* e = v->GetFirstEdge(); e; e = e->GetVertexNext(v))
                if (e->GetOtherVertex(v) != v)
                    ring.emplace_back(e->GetOtherVertex(v), e);
            if (ring.size() >= 2)
                AddCrowded(ring);
        }
    }

    bool Contains(const G3Edge* e) const { return !m_Edges.empty() && m_Edges.count(e) != 0; }

private:
    static int Sides(const G3Edge* e) { return (e->GetFacet1() != nullptr) + (e->GetFacet2() != nullptr); }

    // The edges of one ring, grouped by their other vertex.
    void AddCrowded(std::vector<std::pair<const G3Vertex*, const G3Edge*>>& ring)
    {
        std::sort(ring.begin(), ring.end(),
                  [](const auto& a, const auto& b) { return std::less<const G3Vertex*>()(a.first, b.first); });
        for (std::size_t first = 0, last = 0; first < ring.size(); first = last) {
            int sides = 0;
            for (last = first; last < ring.size() && ring[last].first == ring[first].first; ++last)
                sides += Sides(ring[last].second);
            if (sides > 2)
                for (std::size_t k = first; k < last; ++k)
                    m_Edges.insert(ring[k].second);
        }
    }

    std::unordered_set<const G3Edge*> m_Edges;
};

// The direction of e within f by a walk already made, as
// G3Facet::GetMoveDirection gives it: the first time e is met.
bool MoveDirection(const std::vector<G3LoopEdge>& walk, const G3Edge* e)
{
    for (const G3LoopEdge& w : walk)
        if (w.edge == e)
            return w.start == e->GetVertex1();
    return false;
}

// G3Surface::OrientNormal2 for a flood: the crowded edges known, f walked
// once for all its sides. Turning a neighbour relinks only the neighbour's
// side of the shared edges, so f's walk stays valid.
class Flooder {
public:
    explicit Flooder(G3Surface* s) : m_Crowded(s) {}

    void Run(G3Facet* seed)
    {
        GArrayCollection list;
        list.add(seed);
        for (int k = 0; k < list.size(); ++k) {
            // The queue doubles its room ahead of need: grown by a fixed
            // step, a flood over n facets would copy it n / step times.
            if (list.size() * 2 > list.capacity())
                list.ensureCapacity(list.size() * 4);
            Step(static_cast<G3Facet*>(list.get(k)), list);
        }
    }

private:
    void Step(G3Facet* f, GArrayCollection& list)
    {
        G3FacetEdges(f, m_Edges);
        bool walked = false;
        for (G3Edge* x : m_Edges) {
            if (m_Crowded.Contains(x))
                continue;
            G3Facet* g = x->GetFacet1() == f ? x->GetFacet2() : x->GetFacet1();
            if (!g || g == f || g->GetMark() || g->GetDoubleSided() != f->GetDoubleSided())
                continue;
            if (!walked) {
                G3WalkFacet(f, m_Walk);
                walked = true;
            }
            if (g->GetMoveDirection(x) == MoveDirection(m_Walk, x))
                g->NegPlane();
            g->SetMark();
            list.add(g);
        }
    }

    CrowdedEdges m_Crowded;
    std::vector<G3Edge*> m_Edges;
    std::vector<G3LoopEdge> m_Walk;
};
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
    // Only the single-sided facets in the tree are ever hit by a ray, so
    // only they are decided by seeds (the floods start from them). Without
    // any, no seed can turn a facet; once all are marked, no further seed
    // can.
    bool anyDecidable = false;
    for (int k = GetFacetCount() - 1; k >= 0 && !anyDecidable; --k)
        anyDecidable = !GetFacet(k)->GetDoubleSided() && !IsNearlyVertical(GetFacet(k));
    std::vector<G3Facet*> decidable;
    FacetQuadtree tree(box);
    for (int k = GetFacetCount() - 1; k >= 0 && anyDecidable; --k) {
        G3Facet* f = GetFacet(k);
        GEnvelope fb;
        if (!IsNearlyVertical(f) && f->FormEnvelope(&fb)) {
            tree.Insert(f, fb);
            if (!f->GetDoubleSided())
                decidable.push_back(f);
        }
    }
    std::vector<G3Facet*> stored;
    std::vector<Hit> hits;
    std::size_t undecided = 0;
    std::unique_ptr<Flooder> flooder;
    for (int k = GetFacetCount() - 1; k >= 0; --k) {
        while (undecided < decidable.size() && decidable[undecided]->GetMark())
            ++undecided;
        if (undecided == decidable.size())
            break;
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
            if (!flooder)
                flooder = std::make_unique<Flooder>(this);
            flooder->Run(g);
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

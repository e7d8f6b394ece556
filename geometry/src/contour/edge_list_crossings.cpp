// Crossings of a contour with itself, found by the sweep-line intersector
// in the contour's projection.
#include <algorithm>
#include <map>
#include <vector>

#include "brep/shaded_edge.h"
#include "core/tolerances.h"
#include "tessaly/contour.h"
#include "tessaly/intervals.h"
#include "tessaly/surface.h"

using tessaly::kLengthTolerance;

bool G3EdgeList::TestSelfIntersections()
{
    int a1 = GetXCoo(), a2 = GetYCoo();
    G3LineSegmentIntersector sweep(a1, a2);
    for (int k = 0; k < size(); ++k) {
        G3Edge* e = GetEdge(k);
        sweep.AddSegment(e->GetVertex1()->GetXYZ(), e->GetVertex2()->GetXYZ(), e);
    }
    return sweep.IntersectionExists();
}

namespace {
struct Split {
    double t;
    G3Vertex* vertex;
};

// Collects the reported crossings as split points per edge. A crossing at
// an edge's end splits only the other edge, at that end's vertex; a proper
// crossing gets one new vertex shared by both edges.
class SplitCollector : public G3IntersectionPointLoader {
public:
    explicit SplitCollector(G3Surface* surface) : m_Surface(surface) {}

    void LoadIntersection(const double*, void* first, void* second, double t1, double t2) override
    {
        auto* e1 = static_cast<G3Edge*>(first);
        auto* e2 = static_cast<G3Edge*>(second);
        G3Vertex* end1 = EndAt(e1, t1);
        G3Vertex* end2 = EndAt(e2, t2);
        if (end1 && end2)
            return;
        G3Vertex* x = end1 ? end1 : end2;
        if (!x) {
            double p[3];
            const double* a = e1->GetVertex1()->GetXYZ();
            const double* b = e1->GetVertex2()->GetXYZ();
            for (int k = 0; k < 3; ++k)
                p[k] = a[k] + t1 * (b[k] - a[k]);
            x = NewVertex(p);
        }
        if (!x)
            return;
        if (!end1)
            m_Splits[e1].push_back({t1, x});
        if (!end2)
            m_Splits[e2].push_back({t2, x});
    }

    std::map<G3Edge*, std::vector<Split>>& Splits() { return m_Splits; }

private:
    static G3Vertex* EndAt(G3Edge* e, double t)
    {
        double length = e->GetSizeXYZ();
        if (t * length < kLengthTolerance)
            return e->GetVertex1();
        if ((1.0 - t) * length < kLengthTolerance)
            return e->GetVertex2();
        return nullptr;
    }

    // One vertex per crossing position, even when several pairs meet there.
    G3Vertex* NewVertex(const double* p)
    {
        for (G3Vertex* v : m_Created)
            if (v->Equals(p))
                return v;
        if (!m_Surface)
            return nullptr;
        G3Vertex* v = m_Surface->AddVertex(p);
        if (v)
            m_Created.push_back(v);
        return v;
    }

    G3Surface* m_Surface;
    std::vector<G3Vertex*> m_Created;
    std::map<G3Edge*, std::vector<Split>> m_Splits;
};

// The chain that replaces e, split at the given points (sorted by t).
void SplitChain(G3Edge* e, std::vector<Split>& splits, G3Surface* surface, std::vector<G3Edge*>& out)
{
    std::stable_sort(splits.begin(), splits.end(), [](const Split& a, const Split& b) { return a.t < b.t; });
    G3Normal *n1, *n2;
    G3TexCoo *t1, *t2;
    e->GetNormals(&n1, &t1, &n2, &t2, 1);
    G3Vertex* from = e->GetVertex1();
    G3Normal* nFrom = n1;
    G3TexCoo* tFrom = t1;
    for (const Split& s : splits) {
        if (s.vertex == from)
            continue;
        G3Normal* n = nullptr;
        G3TexCoo* t = nullptr;
        G3Edge::Interpolate(e->GetVertex1(), n1, t1, e->GetVertex2(), n2, t2, s.vertex->GetXYZ(), &n, &t);
        G3Normal* kept = n && surface ? surface->AddNormal(n) : nullptr;
        G3TexCoo* keptT = t && surface ? surface->AddTexCoo(t) : nullptr;
        delete n;
        delete t;
        out.push_back(NewShadedEdge(from, s.vertex, e->GetFlags(), nFrom, tFrom, kept, keptT));
        from = s.vertex;
        nFrom = kept;
        tFrom = keptT;
    }
    if (from != e->GetVertex2())
        out.push_back(NewShadedEdge(from, e->GetVertex2(), e->GetFlags(), nFrom, tFrom, n2, t2));
}
} // namespace

int G3EdgeList::FindSelfIntersections(G3Surface* surface)
{
    int a1 = GetXCoo(), a2 = GetYCoo();
    SplitCollector collector(surface);
    {
        G3LineSegmentIntersector sweep(a1, a2);
        for (int k = 0; k < size(); ++k) {
            G3Edge* e = GetEdge(k);
            sweep.AddSegment(e->GetVertex1()->GetXYZ(), e->GetVertex2()->GetXYZ(), e);
        }
        sweep.FindIntersections(&collector);
    }
    auto& splits = collector.Splits();
    if (splits.empty())
        return 0;
    int count = 0;
    std::vector<G3Edge*> edges;
    for (int k = 0; k < size(); ++k) {
        G3Edge* e = GetEdge(k);
        auto found = splits.find(e);
        if (found == splits.end()) {
            edges.push_back(e);
            continue;
        }
        count += static_cast<int>(found->second.size());
        SplitChain(e, found->second, surface, edges);
        delete e;
    }
    clear();
    for (G3Edge* e : edges)
        add(e);
    return count;
}

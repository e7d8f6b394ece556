#include "contour/contour_graph.h"

#include <cmath>
#include <memory>

#include "contour/contour_walk.h"
#include "core/tolerances.h"
#include "tessaly/hashes.h"

using tessaly::kLengthTolerance;

namespace {
// The start score of a level edge to the right: below every other score.
constexpr double kLowestScore = -1e308;
} // namespace

G3ContourGraph::G3ContourGraph(G3EdgeList* contour, int a1, int a2) : m_A1(a1), m_A2(a2)
{
    contour->FormEnvelope();
    const GEnvelope& box = contour->GetEnvelope();
    G3PointHash hash(24, box.GetMin(), box.GetMax(), kLengthTolerance);
    for (int k = 0; k < contour->size(); ++k) {
        G3Edge* source = contour->GetEdge(k);
        G3Vertex* a = Lookup(source->GetVertex1(), &hash);
        G3Vertex* b = Lookup(source->GetVertex2(), &hash);
        if (a == b)
            continue;
        auto owned = std::make_unique<G3Edge>(a, b);
        G3Edge* e = owned.get();
        e->SetId(static_cast<long>(m_Edges.size()));
        // The source flags ride in the user value: the flag word itself
        // carries the walk's marks.
        e->SetUserValue(static_cast<unsigned long>(source->GetFlags()));
        e->SetFlags(0);
        G3TexCoo *t1, *t2;
        G3Normal* n1 = source->GetFacet1V1(&t1);
        G3Normal* n2 = source->GetFacet1V2(&t2);
        e->SetFacet1V1(n1, t1);
        e->SetFacet1V2(n2, t2);
        a->AddEdge(e);
        b->AddEdge(e);
        m_Edges.push_back(std::move(owned));
        m_Removed.push_back(false);
        ++m_AliveEdges;
    }
}

G3Vertex* G3ContourGraph::Lookup(G3Vertex* source, G3PointHash* hash)
{
    auto v = std::make_unique<G3Vertex>(source->GetXYZ());
    if (auto* existing = static_cast<G3Vertex*>(hash->Add(v.get())))
        return existing;
    v->SetExData(source);
    m_Vertices.push_back(std::move(v));
    return m_Vertices.back().get();
}

void G3ContourGraph::Remove(G3Edge* e)
{
    if (m_Removed[static_cast<std::size_t>(e->GetId())])
        return;
    e->GetVertex1()->RemoveEdge(e);
    e->GetVertex2()->RemoveEdge(e);
    m_Removed[static_cast<std::size_t>(e->GetId())] = true;
    --m_AliveEdges;
}

void G3ContourGraph::RemoveEvenEdges()
{
    GArrayCollection parallel;
    std::vector<bool> seen(m_Edges.size(), false);
    for (const auto& e : m_Edges) {
        if (m_Removed[static_cast<std::size_t>(e->GetId())] || seen[static_cast<std::size_t>(e->GetId())])
            continue;
        e->GetVertex1()->GetEdges(e->GetVertex2(), &parallel);
        for (int k = 0; k < parallel.size(); ++k)
            seen[static_cast<std::size_t>(static_cast<G3Edge*>(parallel.get(k))->GetId())] = true;
        int keep = parallel.size() % 2;
        for (int k = keep; k < parallel.size(); ++k)
            Remove(static_cast<G3Edge*>(parallel.get(k)));
    }
}

void G3ContourGraph::RemoveTails()
{
    bool removed = true;
    while (removed) {
        removed = false;
        for (auto owned = m_Vertices.rbegin(); owned != m_Vertices.rend(); ++owned) {
            G3Vertex* v = owned->get();
            G3Edge* first = v->GetFirstEdge();
            if (!first)
                continue;
            G3Edge* second = first->GetVertexNext(v);
            if (!second) {
                Remove(first);
                removed = true;
            } else if (!second->GetVertexNext(v) && first->IsVertexEquals(second)) {
                Remove(first);
                Remove(second);
                removed = true;
            }
        }
    }
}

bool G3ContourGraph::FindLegalEdge(G3Edge** edge, G3Vertex** start)
{
    G3Vertex* s = nullptr;
    for (const auto& owned : m_Vertices) {
        G3Vertex* v = owned.get();
        if (!v->HasEdges())
            continue;
        if (!s) {
            s = v;
            continue;
        }
        double d2 = v->GetXYZ(m_A2) - s->GetXYZ(m_A2);
        if (d2 > kLengthTolerance || (std::fabs(d2) < kLengthTolerance && v->GetXYZ(m_A1) > s->GetXYZ(m_A1)))
            s = v;
    }
    if (!s)
        return false;
    G3Edge* best = nullptr;
    double bestScore = 0.0;
    for (G3Edge* e = s->GetFirstEdge(); e; e = e->GetVertexNext(s)) {
        const double* w = e->GetOtherVertex(s)->GetXYZ();
        double d1 = w[m_A1] - s->GetXYZ(m_A1), d2 = w[m_A2] - s->GetXYZ(m_A2);
        if (std::fabs(d2) < kLengthTolerance && d1 < 0) {
            best = e;
            break;
        }
        double score = std::fabs(d2) < kLengthTolerance ? kLowestScore : d1 / d2;
        if (!best || score > bestScore) {
            best = e;
            bestScore = score;
        }
    }
    *edge = best;
    *start = s;
    return true;
}

G3EdgeList* G3ContourGraph::RemoveContour(G3Edge* start, G3Vertex* from, int facetFlags, int facetSurface)
{
    std::vector<G3Edge*> path;
    std::vector<G3Vertex*> starts;
    const bool closed = contour_walk::Walk(start, from, m_A1, m_A2, m_AliveEdges + 1, &path, &starts);
    if (!closed || path.size() < 3) {
        // Whatever was walked cannot close: take it out so the next start
        // differs.
        for (G3Edge* x : path)
            Remove(x);
        Remove(start);
        return nullptr;
    }
    return MakeContour(path, starts, facetFlags, facetSurface);
}

G3EdgeList* G3ContourGraph::MakeContour(const std::vector<G3Edge*>& path, const std::vector<G3Vertex*>& from,
                                        int facetFlags, int facetSurface)
{
    auto* contour = new G3EdgeList(facetFlags, facetSurface);
    for (std::size_t k = 0; k < path.size(); ++k) {
        G3Edge* e = path[k];
        bool forward = from[k] == e->GetVertex1();
        G3TexCoo *t1, *t2;
        G3Normal* n1 = e->GetFacet1V1(&t1);
        G3Normal* n2 = e->GetFacet1V2(&t2);
        auto* a = static_cast<G3Vertex*>(from[k]->GetExData());
        auto* b = static_cast<G3Vertex*>(e->GetOtherVertex(from[k])->GetExData());
        contour->AddEdge(a, b, forward ? n1 : n2, forward ? n2 : n1, forward ? t1 : t2, forward ? t2 : t1,
                         static_cast<int>(e->GetUserValue()));
        Remove(e);
    }
    contour->Normalize();
    return contour;
}

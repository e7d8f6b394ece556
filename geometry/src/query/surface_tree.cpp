// The facet octree: building it over a surface and the two segment queries.
#include <cassert>
#include <cmath>

#include "tessaly/facet.h"
#include "tessaly/surface.h"
#include "tessaly/surface_tree.h"

namespace {
bool IsFinite(const double* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// Box of the finite vertices: a vertex that is not finite would make every
// box test against the root fail.
bool FormFiniteEnvelope(G3Surface* s, GEnvelope* box)
{
    GEnvelope::InitDefault(box);
    for (int k = 0; k < s->GetVertexCount(); ++k)
        if (IsFinite(s->GetVertex(k)->GetXYZ()))
            box->Add(s->GetVertex(k)->GetXYZ());
    return !box->IsEmpty();
}

// Only the debug build's assertions call it.
[[maybe_unused]] bool NoFacetMarked(G3Surface* s)
{
    for (int k = 0; k < s->GetFacetCount(); ++k)
        if (s->GetFacet(k)->GetMark())
            return false;
    return true;
}

void ClearMarks(GArrayCollection* facets, int from)
{
    for (int k = from; k < facets->size(); ++k)
        static_cast<G3Facet*>(facets->get(k))->ClearMark();
}

// Visits the nodes whose boxes pass meets, children first, and appends
// their facets not yet collected (marked once collected).
template <class Meets> void Collect(G3QuadraSurfaceTreeNode* node, const Meets& meets, GArrayCollection* out)
{
    if (!meets(node->GetBox()))
        return;
    for (int k = 0; k < G3QuadraSurfaceTreeNode::kChildCount; ++k)
        if (G3QuadraSurfaceTreeNode* child = node->GetChild(k))
            Collect(child, meets, out);
    GArrayCollection* facets = node->GetFacets();
    for (int k = 0; k < facets->size(); ++k) {
        auto* f = static_cast<G3Facet*>(facets->get(k));
        if (f->GetMark())
            continue;
        f->SetMark();
        out->add(f);
    }
}

// The query box in the frame of the segment p-q (p at the origin of its
// local z, q at +|q - p|), and the matrix into that frame. For p = q the
// frame is the world's, moved to p.
void SegmentFrame(const double* p, const double* q, double aperture, double toFrame[4][4], GEnvelope* query)
{
    double d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    bool framed = false;
    if (length > 0.0) {
        const double plane[4] = {d[0] / length, d[1] / length, d[2] / length,
                                 -(d[0] * p[0] + d[1] * p[1] + d[2] * p[2]) / length};
        double frame[4][4];
        framed = M4RotationMatrix(plane, frame) && M4Inverse(frame, toFrame);
    }
    if (!framed) {
        M4Identity(toFrame);
        M4Translate(toFrame, -p[0], -p[1], -p[2]);
    }
    double pl[4] = {p[0], p[1], p[2], 1}, ql[4] = {q[0], q[1], q[2], 1};
    V4MulPointByMatrix(pl, toFrame, pl);
    V4MulPointByMatrix(ql, toFrame, ql);
    const double half = std::fabs(aperture) / 2;
    // A zero-length segment is the cube of side aperture about p.
    const double reach = framed ? 0.0 : half;
    GEnvelope::InitDefault(query);
    query->Add(pl[0] - half, pl[1] - half, pl[2] - reach);
    query->Add(pl[0] + half, pl[1] + half, pl[2] + reach);
    query->Add(ql[0] - half, ql[1] - half, ql[2] - reach);
    query->Add(ql[0] + half, ql[1] + half, ql[2] + reach);
}
} // namespace

G3QuadraSurfaceTree::G3QuadraSurfaceTree(G3Surface* s) : m_Surface(s) {}

G3QuadraSurfaceTree::~G3QuadraSurfaceTree()
{
    DeleteTree();
}

void G3QuadraSurfaceTree::DeleteTree()
{
    delete m_Root;
    m_Root = nullptr;
    GEnvelope::InitDefault(&m_Envelope);
}

bool G3QuadraSurfaceTree::MakeTree()
{
    DeleteTree();
    if (!m_Surface || !FormFiniteEnvelope(m_Surface, &m_Envelope))
        return false;
    assert(NoFacetMarked(m_Surface) && "facet marks must be clear when the tree is built");
    m_Root = new G3QuadraSurfaceTreeNode(m_Envelope, 1);
    for (int k = 0; k < m_Surface->GetFacetCount(); ++k) {
        G3Facet* f = m_Surface->GetFacet(k);
        GEnvelope box;
        if (f->FormEnvelope(&box))
            m_Root->Insert(f, box);
    }
    m_Root->ReallocByRealSize();
    for (int k = 0; k < m_Surface->GetFacetCount(); ++k)
        m_Surface->GetFacet(k)->ClearMark();
    return true;
}

bool G3QuadraSurfaceTree::FindIntersection(double* p, double* q, GArrayCollection* out)
{
    if (!m_Root || !p || !q || !out)
        return false;
    assert(NoFacetMarked(m_Surface) && "facet marks must be clear when the tree is queried");
    const int first = out->size();
    Collect(
        m_Root, [p, q](const GEnvelope& box) { return box.ClipTest(p, q) == 0; }, out);
    ClearMarks(out, first);
    return true;
}

bool G3QuadraSurfaceTree::FindIntersectionInApertura(double* p, double* q, double aperture, GArrayCollection* out)
{
    if (!m_Root || !p || !q || !out || !IsFinite(p) || !IsFinite(q) || !std::isfinite(aperture))
        return false;
    assert(NoFacetMarked(m_Surface) && "facet marks must be clear when the tree is queried");
    double toFrame[4][4];
    GEnvelope query;
    SegmentFrame(p, q, aperture, toFrame, &query);
    const int first = out->size();
    auto meets = [&toFrame, &query](const GEnvelope& box) {
        GEnvelope local(box);
        local.Transform(toFrame);
        return local.IsIntersectXYZ(&query);
    };
    Collect(m_Root, meets, out);
    ClearMarks(out, first);
    return true;
}

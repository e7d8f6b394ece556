#include "triangulation/mesh_transformer.h"

#include "triangulation/mesh_fan.h"
#include "triangulation/predicates.h"

using namespace g3t;

namespace {

inline int Orient(const G3TVertex* a, const G3TVertex* b, const G3TVertex* c)
{
    return g3t_predicates::Orientation(a->m_X, a->m_Y, b->m_X, b->m_Y, c->m_X, c->m_Y);
}

inline int OrientXY(const G3TVertex* a, const G3TVertex* b, double x, double y)
{
    return g3t_predicates::Orientation(a->m_X, a->m_Y, b->m_X, b->m_Y, x, y);
}

inline int InCircle(const G3TVertex* a, const G3TVertex* b, const G3TVertex* c, const G3TVertex* d)
{
    return g3t_predicates::InCircle(a->m_X, a->m_Y, b->m_X, b->m_Y, c->m_X, c->m_Y, d->m_X, d->m_Y);
}

} // namespace

G3TMeshTransformer::G3TMeshTransformer(G3TMesh* mesh) : m_Mesh(mesh) {}

G3TMeshTransformer::~G3TMeshTransformer() = default;

G3TOTri G3TMeshTransformer::Flip(const G3TOTri& hIn)
{
    if (!hIn.tri || m_Mesh->IsOuter(hIn))
        return G3TOTri{};
    G3TOTri h = hIn;
    G3TOTri s = Sym(h);
    if (m_Mesh->IsOuter(s) || m_Mesh->HasSegment(h))
        return G3TOTri{};
    G3TVertex* u = Org(h);
    G3TVertex* v = Dest(h);
    G3TVertex* p = Apex(h);
    G3TVertex* q = Apex(s);
    if (!u || !v || !p || !q)
        return G3TOTri{};
    // Strictly convex: u and v lie strictly on either side of p - q.
    const int ou = Orient(p, q, u);
    const int ov = Orient(p, q, v);
    if (ou == 0 || ov == 0 || ou == ov)
        return G3TOTri{};

    const G3TOTri hvp = Lnext(h), hpu = Lprev(h), suq = Lnext(s), sqv = Lprev(s);
    const G3TOTri nvp = Sym(hvp), npu = Sym(hpu), nuq = Sym(suq), nqv = Sym(sqv);
    G3TSegment* gvp = SegmentOn(hvp);
    G3TSegment* gpu = SegmentOn(hpu);
    G3TSegment* guq = SegmentOn(suq);
    G3TSegment* gqv = SegmentOn(sqv);

    // h's triangle becomes (q, p, u), s's triangle (p, q, v).
    SetOrg(h, q);
    SetDest(h, p);
    SetApex(h, u);
    SetOrg(s, p);
    SetDest(s, q);
    SetApex(s, v);
    Bond(h, s);
    Bond(Lnext(h), npu);
    Bond(Lprev(h), nuq);
    Bond(Lnext(s), nqv);
    Bond(Lprev(s), nvp);
    m_Mesh->SetSide(Lnext(h), gpu);
    m_Mesh->SetSide(Lprev(h), guq);
    m_Mesh->SetSide(Lnext(s), gqv);
    m_Mesh->SetSide(Lprev(s), gvp);

    u->SetTriangle(Lprev(h));
    v->SetTriangle(Lprev(s));
    p->SetTriangle(Lnext(h));
    q->SetTriangle(h);
    ++m_FlipCount;
    return h;
}

G3TVertex* G3TMeshTransformer::SplitEdge(const G3TOTri& hIn, double x, double y, double height)
{
    if (!hIn.tri || m_Mesh->IsOuter(hIn))
        return nullptr;
    G3TOTri h = hIn;
    G3TOTri s = Sym(h);
    if (m_Mesh->IsOuter(s))
        return nullptr;
    G3TVertex* u = Org(h);
    G3TVertex* v = Dest(h);
    G3TVertex* p = Apex(h);
    G3TVertex* q = Apex(s);
    if (!u || !v || !p || !q)
        return nullptr;
    // The four new triangles (u, N, p), (N, v, p), (v, N, q), (N, u, q)
    // must all be strictly counterclockwise.
    if (OrientXY(u, p, x, y) >= 0 || OrientXY(p, v, x, y) >= 0 || OrientXY(v, q, x, y) >= 0 ||
        OrientXY(q, u, x, y) >= 0)
        return nullptr;

    G3TVertex* n = m_Mesh->AddVertex(x, y);
    if (!n)
        return nullptr;
    n->SetHeight(height);

    const G3TOTri hvp = Lnext(h), suq = Lnext(s);
    const G3TOTri nvp = Sym(hvp), nuq = Sym(suq);
    G3TSegment* gvp = SegmentOn(hvp);
    G3TSegment* guq = SegmentOn(suq);
    G3TSegment* edgeSeg = m_Mesh->HasSegment(h) ? SegmentOn(h) : nullptr;

    SetDest(h, n);                               // (u, N, p)
    SetDest(s, n);                               // (v, N, q)
    G3TOTri t3{m_Mesh->AddTriangle(n, v, p), 1}; // org N, dest v, apex p
    G3TOTri t4{m_Mesh->AddTriangle(n, u, q), 1}; // org N, dest u, apex q
    t3.tri->m_Mark = h.tri->m_Mark;
    t3.tri->m_Attribute = h.tri->m_Attribute;
    t4.tri->m_Mark = s.tri->m_Mark;
    t4.tri->m_Attribute = s.tri->m_Attribute;

    Bond(Lnext(t3), nvp);
    m_Mesh->SetSide(Lnext(t3), gvp);
    Bond(Lprev(t3), Lnext(h));
    m_Mesh->SetSide(Lnext(h), nullptr);
    m_Mesh->SetSide(Lprev(t3), nullptr);
    Bond(t3, s);
    Bond(t4, h);
    Bond(Lnext(t4), nuq);
    m_Mesh->SetSide(Lnext(t4), guq);
    Bond(Lprev(t4), Lnext(s));
    m_Mesh->SetSide(Lnext(s), nullptr);
    m_Mesh->SetSide(Lprev(t4), nullptr);

    if (edgeSeg) {
        G3TSegment* rest = SplitSegment(edgeSeg, n);
        G3TSegment* nearU = edgeSeg->m_Vertex[0] == u ? edgeSeg : rest;
        G3TSegment* nearV = nearU == edgeSeg ? rest : edgeSeg;
        m_Mesh->SetSide(h, nearU);
        m_Mesh->SetSide(t4, nearU);
        m_Mesh->SetSide(s, nearV);
        m_Mesh->SetSide(t3, nearV);
    } else {
        m_Mesh->SetSide(h, nullptr);
        m_Mesh->SetSide(t4, nullptr);
        m_Mesh->SetSide(s, nullptr);
        m_Mesh->SetSide(t3, nullptr);
    }

    n->SetTriangle(t3);
    u->SetTriangle(h);
    v->SetTriangle(s);
    p->SetTriangle(Lprev(h));
    q->SetTriangle(Lprev(s));

    // The edges opposite N, each seen with apex N.
    FlipAround({Lprev(h), Lnext(t3), Lprev(s), Lnext(t4)});
    return n;
}

G3TSegment* G3TMeshTransformer::SplitSegment(G3TSegment* segment, G3TVertex* n)
{
    G3TSegment* rest = m_Mesh->AddSegment(n, segment->m_Vertex[1]);
    rest->m_Mark = segment->m_Mark;
    rest->m_Attribute = segment->m_Attribute;
    segment->m_Vertex[1] = n;
    // Chain: segment -> rest -> (what followed segment).
    G3TOSeg after = segment->GetNeighbourSegment(1);
    rest->SetNeighbourSegment(1, after);
    if (after.seg && after.seg != m_Mesh->GetOuterSegment()) {
        for (int e = 0; e < 2; ++e) {
            if (g3t_detail::ObjectOf<G3TSegment>(after.seg->m_Nbr[e]) == segment)
                after.seg->SetNeighbourSegment(e, G3TOSeg{rest, 0});
        }
    }
    segment->SetNeighbourSegment(1, G3TOSeg{rest, 0});
    rest->SetNeighbourSegment(0, G3TOSeg{segment, 0});
    return rest;
}

// Lawson flips: each edge that is not locally Delaunay is flipped, and the
// two far sides of the flipped quadrilateral are checked in turn.
void G3TMeshTransformer::FlipAround(std::vector<G3TOTri> stack)
{
    while (!stack.empty()) {
        G3TOTri e = stack.back();
        stack.pop_back();
        if (IsLocallyDelaunay(e))
            continue;
        G3TOTri flipped = Flip(e); // from the far apex to N
        if (!flipped.tri)
            continue;
        stack.push_back(Lprev(flipped));
        stack.push_back(Lnext(Sym(flipped)));
    }
}

bool G3TMeshTransformer::FindEdge(G3TVertex* u, G3TVertex* v, G3TOTri* out) const
{
    if (!u || !v || u == v)
        return false;
    for (int pass = 0; pass < 2; ++pass) {
        G3TVertex* a = pass == 0 ? u : v;
        G3TVertex* b = pass == 0 ? v : u;
        G3TOTri start = a->GetTriangle();
        if (!start.tri || m_Mesh->IsOuter(start) || Org(start) != a)
            continue;
        auto reachesB = [&](const G3TOTri& h) {
            if (Dest(h) != b)
                return false;
            *out = h;
            return true;
        };
        if (VisitFan(*m_Mesh, start, reachesB))
            return true;
    }
    return false;
}

bool G3TMeshTransformer::IsLocallyDelaunay(const G3TOTri& h) const
{
    if (m_Mesh->HasSegment(h))
        return true;
    G3TOTri s = Sym(h);
    if (m_Mesh->IsOuter(s))
        return true;
    return InCircle(Org(h), Dest(h), Apex(h), Apex(s)) <= 0;
}

void G3TMeshTransformer::RestoreDelaunay(std::vector<Edge>& edges)
{
    // Lawson's flips on a work list: the listed edges and every side of
    // the triangles beside them (the border of the changed region), and
    // after each flip the four outer sides of its quadrilateral. Each flip
    // lowers the sum of the lifted volumes, so the flipping ends, and it
    // ends with every unconstrained edge locally Delaunay.
    std::vector<Edge> work;
    work.reserve(edges.size() * 5);
    for (const Edge& e : edges) {
        G3TOTri h;
        if (!FindEdge(e.first, e.second, &h))
            continue;
        for (G3TOTri side : {h, Lnext(h), Lprev(h)})
            work.emplace_back(Org(side), Dest(side));
        G3TOTri s = Sym(h);
        if (!m_Mesh->IsOuter(s)) {
            work.emplace_back(Org(Lnext(s)), Dest(Lnext(s)));
            work.emplace_back(Org(Lprev(s)), Dest(Lprev(s)));
        }
    }
    while (!work.empty()) {
        Edge e = work.back();
        work.pop_back();
        G3TOTri h;
        if (!FindEdge(e.first, e.second, &h) || IsLocallyDelaunay(h))
            continue;
        G3TOTri flipped = Flip(h);
        if (!flipped.tri)
            continue;
        G3TOTri other = Sym(flipped);
        for (G3TOTri side : {Lnext(flipped), Lprev(flipped), Lnext(other), Lprev(other)})
            work.emplace_back(Org(side), Dest(side));
    }
}

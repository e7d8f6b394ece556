#include "triangulation/segment_inserter.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "triangulation/mesh_fan.h"
#include "triangulation/predicates.h"
#include "triangulation/triangulator.h"

using namespace g3t;

namespace {

inline int Orient(const G3TVertex* a, const G3TVertex* b, const G3TVertex* c)
{
    return g3t_predicates::Orientation(a->m_X, a->m_Y, b->m_X, b->m_Y, c->m_X, c->m_Y);
}

inline int Sign(double d)
{
    return (d > 0) - (d < 0);
}

// For c collinear with e and f (and distinct from e): c on the ray from e
// through f. Exact comparisons only.
inline bool SameRay(const G3TVertex* e, const G3TVertex* c, const G3TVertex* f)
{
    return Sign(c->m_X - e->m_X) == Sign(f->m_X - e->m_X) && Sign(c->m_Y - e->m_Y) == Sign(f->m_Y - e->m_Y);
}

inline bool SamePointXY(double x, double y, const G3TVertex* v)
{
    const double e = G3TTriangulator::kTolerance;
    return v->m_X - e < x && x < v->m_X + e && v->m_Y - e < y && y < v->m_Y + e;
}

// The open segments e-t and p-q cross at one interior point.
bool CrossesOpen(const G3TVertex* e, const G3TVertex* t, const G3TVertex* p, const G3TVertex* q)
{
    if (p == e || p == t || q == e || q == t)
        return false;
    const int o1 = Orient(e, t, p), o2 = Orient(e, t, q);
    if (o1 == 0 || o2 == 0 || o1 == o2)
        return false;
    const int o3 = Orient(p, q, e), o4 = Orient(p, q, t);
    return o3 != 0 && o4 != 0 && o3 != o4;
}

} // namespace

G3TSegmentInserter::G3TSegmentInserter(G3TMesh* mesh)
    : m_Mesh(mesh), m_Locator(std::make_unique<G3TLocator>(mesh)),
      m_Transformer(std::make_unique<G3TMeshTransformer>(mesh))
{
}

bool G3TSegmentInserter::HandleAt(G3TVertex* v, G3TOTri* h)
{
    G3TOTri t = v->GetTriangle();
    if (t.tri && !m_Mesh->IsOuter(t) && t.tri->m_Mesh == m_Mesh && Org(t) == v) {
        *h = t;
        return true;
    }
    // A handle that does not start at v: find v by point location.
    G3TOTri found;
    if (m_Locator->Locate(v->m_X, v->m_Y, &found) != G3TLocator::ON_VERTEX || Org(found) != v)
        return false;
    v->SetTriangle(found);
    *h = found;
    return true;
}

G3TSegmentInserter::Scouted G3TSegmentInserter::Scout(G3TVertex* e, G3TVertex* f, G3TOTri* out, G3TVertex** along)
{
    G3TOTri start;
    if (!HandleAt(e, &start))
        return kFailed;
    auto test = [&](const G3TOTri& h) -> int {
        G3TVertex* d = Dest(h);
        G3TVertex* a = Apex(h);
        const int od = Orient(e, d, f);
        const int oa = Orient(e, a, f);
        if (od == 0 && SameRay(e, d, f)) {
            *out = h;
            *along = d;
            return kAlongEdge;
        }
        if (oa == 0 && SameRay(e, a, f)) {
            *out = Lprev(h);
            *along = a;
            return kAlongEdge;
        }
        if (od > 0 && oa < 0) {
            *out = h;
            return kCrossing;
        }
        return kFailed;
    };
    int found = kFailed;
    VisitFan(*m_Mesh, start, [&](const G3TOTri& h) {
        found = test(h);
        return found != kFailed;
    });
    return static_cast<Scouted>(found);
}

G3TSegment* G3TSegmentInserter::AddSubsegment(const G3TOTri& h, G3TVertex* from, G3TVertex* to, const Piece& piece)
{
    from->m_Mark = 1;
    to->m_Mark = 1;
    if (m_Mesh->HasSegment(h)) {
        // A constraint already lies there.
        G3TSegment* existing = SegmentOn(h);
        if (existing->m_Mark == 0)
            existing->m_Mark = 1;
        return existing;
    }
    G3TSegment* s = m_Mesh->AddSegment(from, to);
    if (!s)
        return nullptr;
    s->m_Mark = piece.mark;
    m_Mesh->SetSide(h, s);
    G3TOTri other = Sym(h);
    if (!m_Mesh->IsOuter(other))
        m_Mesh->SetSide(other, s);
    if (piece.own) {
        // Consecutive pieces of one constraint are linked end to end.
        if (m_LastOwn && m_LastOwn->m_Vertex[1] == from) {
            m_LastOwn->SetNeighbourSegment(1, G3TOSeg{s, 0});
            s->SetNeighbourSegment(0, G3TOSeg{m_LastOwn, 0});
        }
        m_LastOwn = s;
    }
    return s;
}

bool G3TSegmentInserter::Insert(G3TVertex* a, G3TVertex* b, unsigned char mark)
{
    if (!m_Mesh || !a || !b || a->GetMesh() != m_Mesh || b->GetMesh() != m_Mesh)
        return false;
    if (m_Mesh->GetTriangleCount() == 0)
        return false;
    a = a->GetSurvivor();
    b = b->GetSurvivor();
    if (a == b)
        return false;
    G3TOTri probe;
    if (!HandleAt(a, &probe) || !HandleAt(b, &probe))
        return false;

    m_LastOwn = nullptr;
    std::vector<Piece> todo{Piece{a, b, mark, true}};
    // Each turn inserts an edge or splits at a new vertex; the budget only
    // guards against a broken mesh.
    long budget = 1024 + 16L * (m_Mesh->GetVertexCount() + m_Mesh->GetSegmentCount());
    while (!todo.empty()) {
        if (--budget < 0)
            return false;
        Piece piece = todo.back();
        todo.pop_back();
        if (piece.from == piece.to)
            continue;
        G3TOTri h;
        G3TVertex* along = nullptr;
        switch (Scout(piece.from, piece.to, &h, &along)) {
        case kAlongEdge:
            if (!AddSubsegment(h, piece.from, along, piece))
                return false;
            if (along != piece.to)
                todo.push_back(Piece{along, piece.to, piece.mark, piece.own});
            break;
        case kCrossing:
            if (!ForcePiece(piece, h, todo))
                return false;
            break;
        case kFailed: return false;
        }
    }
    return true;
}

bool G3TSegmentInserter::ForcePiece(const Piece& piece, const G3TOTri& wedge, std::vector<Piece>& todo)
{
    G3TVertex* e = piece.from;
    G3TVertex* f = piece.to;
    G3TVertex* target = f;
    std::vector<Edge> crossed;
    // The walk: cur runs from the vertex right of e -> f to the one left.
    G3TOTri cur = Lnext(wedge);
    for (long steps = 0;; ++steps) {
        if (steps > m_Mesh->GetTriangleCount())
            return false;
        if (m_Mesh->HasSegment(cur))
            return SplitAtCrossing(piece, cur, todo);
        crossed.emplace_back(Org(cur), Dest(cur));
        G3TOTri n = Sym(cur);
        if (m_Mesh->IsOuter(n))
            return false;
        G3TVertex* w = Apex(n);
        if (w == f)
            break;
        const int o = Orient(e, f, w);
        if (o == 0) {
            target = w; // the piece ends at a vertex on the segment
            break;
        }
        cur = o > 0 ? Lnext(n) : Lprev(n);
    }
    if (!ForceEdge(e, target, crossed, piece))
        return false;
    if (target != f)
        todo.push_back(Piece{target, f, piece.mark, piece.own});
    return true;
}

bool G3TSegmentInserter::ForceEdge(G3TVertex* e, G3TVertex* t, const std::vector<Edge>& crossed, const Piece& piece)
{
    std::deque<Edge> queue(crossed.begin(), crossed.end());
    std::vector<Edge> fresh;
    std::size_t stall = 0;
    const long k = static_cast<long>(crossed.size());
    long flipsLeft = 64 + 4 * k * k;
    while (!queue.empty()) {
        Edge edge = queue.front();
        queue.pop_front();
        G3TOTri h;
        if (!m_Transformer->FindEdge(edge.first, edge.second, &h))
            return false;
        G3TOTri flipped = m_Transformer->Flip(h);
        if (!flipped.tri) {
            // Not strictly convex yet: later flips will make it so.
            queue.push_back(edge);
            if (++stall > queue.size())
                return false;
            continue;
        }
        stall = 0;
        if (--flipsLeft < 0)
            return false;
        Edge made{Org(flipped), Dest(flipped)};
        if (CrossesOpen(e, t, made.first, made.second))
            queue.push_back(made);
        else
            fresh.push_back(made);
    }
    G3TOTri edge;
    if (!m_Transformer->FindEdge(e, t, &edge))
        return false;
    if (!AddSubsegment(edge, e, t, piece))
        return false;
    fresh.emplace_back(e, t);
    m_Transformer->RestoreDelaunay(fresh);
    return true;
}

bool G3TSegmentInserter::SplitAtCrossing(const Piece& piece, const G3TOTri& crossed, std::vector<Piece>& todo)
{
    G3TVertex* e = piece.from;
    G3TVertex* f = piece.to;
    G3TVertex* d = Org(crossed);  // right of e -> f
    G3TVertex* a = Dest(crossed); // left of e -> f
    // P = d + t (a - d) on the line through e and f.
    const double ux = f->m_X - e->m_X, uy = f->m_Y - e->m_Y;
    const double cd = ux * (d->m_Y - e->m_Y) - uy * (d->m_X - e->m_X);
    const double ca = ux * (a->m_Y - e->m_Y) - uy * (a->m_X - e->m_X);
    double t = cd - ca != 0 ? cd / (cd - ca) : 0.5;
    t = std::min(1.0, std::max(0.0, t));
    const double px = d->m_X + t * (a->m_X - d->m_X);
    const double py = d->m_Y + t * (a->m_Y - d->m_Y);
    if (!std::isfinite(px) || !std::isfinite(py))
        return false; // coordinates near the end of the double range

    for (G3TVertex* end : {d, a}) {
        if (SamePointXY(px, py, end)) {
            // The existing constraint ends there: pass through that vertex.
            todo.push_back(Piece{end, f, piece.mark, piece.own});
            todo.push_back(Piece{e, end, piece.mark, piece.own});
            return true;
        }
    }
    for (G3TVertex* end : {e, f}) {
        if (SamePointXY(px, py, end)) {
            // The crossing is at an end of the new piece: lead the existing
            // constraint through that end instead, then try the piece again.
            G3TSegment* old = SegmentOn(crossed);
            G3TVertex* s0 = old->m_Vertex[0];
            G3TVertex* s1 = old->m_Vertex[1];
            unsigned char oldMark = old->m_Mark;
            m_Mesh->SetSide(crossed, nullptr);
            G3TOTri other = Sym(crossed);
            if (!m_Mesh->IsOuter(other))
                m_Mesh->SetSide(other, nullptr);
            for (int k = 0; k < 2; ++k) {
                G3TOSeg nb = old->GetNeighbourSegment(k);
                if (nb.seg && nb.seg != m_Mesh->GetOuterSegment()) {
                    for (int j = 0; j < 2; ++j) {
                        if (g3t_detail::ObjectOf<G3TSegment>(nb.seg->m_Nbr[j]) == old)
                            nb.seg->SetNeighbourSegment(j, G3TOSeg{m_Mesh->GetOuterSegment(), 0});
                    }
                }
            }
            if (m_LastOwn == old)
                m_LastOwn = nullptr;
            m_Mesh->RemoveSegment(old);
            todo.push_back(piece);
            todo.push_back(Piece{end, s1, oldMark, false});
            todo.push_back(Piece{s0, end, oldMark, false});
            return true;
        }
    }
    const double h = d->GetHeight() + t * (a->GetHeight() - d->GetHeight());
    G3TVertex* v = m_Transformer->SplitEdge(crossed, px, py, h);
    if (!v)
        return false;
    todo.push_back(Piece{v, f, piece.mark, piece.own});
    todo.push_back(Piece{e, v, piece.mark, piece.own});
    return true;
}

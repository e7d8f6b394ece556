#include "triangulation/triangulator.h"

#include <algorithm>

#include "triangulation/cut_order.h"
#include "triangulation/predicates.h"

using namespace g3t;

namespace {

inline int Orient(const G3TVertex* a, const G3TVertex* b, const G3TVertex* c)
{
    return g3t_predicates::Orientation(a->m_X, a->m_Y, b->m_X, b->m_Y, c->m_X, c->m_Y);
}

inline int InCircle(const G3TVertex* a, const G3TVertex* b, const G3TVertex* c, const G3TVertex* d)
{
    return g3t_predicates::InCircle(a->m_X, a->m_Y, b->m_X, b->m_Y, c->m_X, c->m_Y, d->m_X, d->m_Y);
}

using g3t_cut::VertexBefore;

// Ghost triangles ring the hull of a partial triangulation. A ghost on the
// hull edge u -> v (counterclockwise) is kept as the handle with origin v,
// destination u and a null apex: "the hull handle at u". Its side v -> u is
// shared with the real triangle (or, for a degenerate hull, the ghost on
// the other side); its two other sides join the neighbouring ghosts.

// The hull handle at the next hull vertex counterclockwise.
inline G3TOTri RingNext(const G3TOTri& g)
{
    return Lprev(Sym(Lprev(g)));
}

// The hull handle at the previous hull vertex.
inline G3TOTri RingPrev(const G3TOTri& g)
{
    return Lnext(Sym(Lnext(g)));
}

// Joins consecutive ghosts (on hull edges u -> v and v -> w).
inline void JoinRing(const G3TOTri& first, const G3TOTri& second)
{
    Bond(Lprev(first), Lnext(second));
}

// The steps of merging two parts (the ghost rings are described above).

// Walks the ghosts gp (on the left part's ring) and gq (on the right part's)
// to the ends of the lower common tangent (for a vertical cut; the one on
// the clockwise side of the cut in general): both parts lie on its left.
void FindLowerTangent(G3TOTri& gp, G3TOTri& gq)
{
    G3TVertex* p = Dest(gp);
    G3TVertex* q = Dest(gq);
    for (bool moved = true; moved;) {
        moved = false;
        for (;;) {
            G3TOTri prev = RingPrev(gp);
            if (Orient(p, q, Dest(prev)) >= 0)
                break;
            gp = prev;
            p = Dest(gp);
            moved = true;
        }
        for (;;) {
            G3TOTri next = RingNext(gq);
            if (Orient(p, q, Dest(next)) >= 0)
                break;
            gq = next;
            q = Dest(gq);
            moved = true;
        }
    }
}

// Left edges from ll that fail the in-circle test with the cross edge
// ll-lr go away; their triangle and the front ghost lg become the two new
// front ghosts. Returns the new upper left candidate, Org(lg).
G3TVertex* DropLeftCandidates(G3TVertex* ll, G3TVertex* lr, G3TOTri& lg)
{
    G3TVertex* ul = Org(lg);
    for (;;) {
        G3TOTri t = Sym(lg); // ll -> ul, apex w
        G3TVertex* w = Apex(t);
        if (!w || InCircle(ll, lr, ul, w) <= 0)
            return ul;
        G3TOTri beyond = Sym(Lnext(t)); // across ul - w
        SetDest(lg, w);                 // lg: ghost on w -> ul
        Bond(lg, beyond);
        SetDest(t, nullptr); // t: ghost on ll -> w
        G3TOTri nextLg = Lprev(t);
        Bond(Lnext(lg), Lnext(t));
        lg = nextLg;
        ul = w;
    }
}

// The mirror image on the right part, with the front ghost rg. Returns the
// new upper right candidate, Dest(rg).
G3TVertex* DropRightCandidates(G3TVertex* ll, G3TVertex* lr, G3TOTri& rg)
{
    G3TVertex* ur = Dest(rg);
    for (;;) {
        G3TOTri t = Sym(rg); // ur -> lr, apex w
        G3TVertex* w = Apex(t);
        if (!w || InCircle(ll, lr, ur, w) <= 0)
            return ur;
        G3TOTri beyond = Sym(Lprev(t)); // across w - ur
        SetOrg(rg, w);                  // rg: ghost on ur -> w
        Bond(rg, beyond);
        SetOrg(t, nullptr); // t: ghost on w -> lr
        G3TOTri nextRg = Lnext(t);
        Bond(Lprev(rg), Lnext(nextRg));
        rg = nextRg;
        ur = w;
    }
}

} // namespace

G3TTriangulator::G3TTriangulator(G3TMesh* mesh) : m_Mesh(mesh) {}

G3TTriangulator::~G3TTriangulator() = default;

bool G3TTriangulator::SamePoint(const G3TVertex* a, const G3TVertex* b)
{
    return SameCoordinates(a->m_X, a->m_Y, b->m_X, b->m_Y);
}

bool G3TTriangulator::SameCoordinates(double ax, double ay, double bx, double by)
{
    return bx - kTolerance < ax && ax < bx + kTolerance && by - kTolerance < ay && ay < by + kTolerance;
}

G3TOTri G3TTriangulator::NewTriangle(G3TVertex* a, G3TVertex* b, G3TVertex* c)
{
    // AddTriangle stores (c, a, b): orientation 1 runs from a to b.
    return G3TOTri{m_Mesh->AddTriangle(a, b, c), 1};
}

bool G3TTriangulator::Triangulate()
{
    if (!m_Mesh || m_Mesh->IsTriangulated() || m_Mesh->GetTriangleCount() > 0)
        return false;
    m_Mesh->SetTriangulated(true);
    m_Mesh->SetHullEdgeCount(0);

    m_Items.clear();
    m_Items.reserve(static_cast<std::size_t>(m_Mesh->GetVertexCount()));
    for (G3TVertex* v = m_Mesh->FirstVertex(); v; v = v->GetNext()) {
        v->SetSurvivor(nullptr);
        v->SetTriangle(m_Mesh->OuterHandle());
        m_Items.push_back(Item{v->m_X, v->m_Y, v});
    }
    g3t_cut::SortItems<0>(m_Items.data(), m_Items.data() + m_Items.size());

    // Duplicates: each vertex is compared with the last one kept, on the
    // item's copy of the coordinates (the vertices lie in the caller's
    // order; reading them here would miss the cache at every item).
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_Items.size(); ++i) {
        const Item& last = m_Items[kept > 0 ? kept - 1 : 0];
        if (kept > 0 && SameCoordinates(m_Items[i].x, m_Items[i].y, last.x, last.y)) {
            m_Items[i].v->SetSurvivor(m_Items[kept - 1].v);
            continue;
        }
        m_Items[kept++] = m_Items[i];
    }
    m_Items.resize(kept);
    if (kept < 3)
        return false;

    Hull hull = Recurse(0, static_cast<int>(kept), 0);
    RemoveGhosts(hull.lo[0]);
    ResetVertexHandles();
    m_Items.clear();
    m_Items.shrink_to_fit();
    return m_Mesh->GetTriangleCount() > 0;
}

G3TTriangulator::Hull G3TTriangulator::Extremes(G3TOTri ring)
{
    // A walk around a small ring (base cases, or a fallback).
    Hull h;
    for (int axis = 0; axis < 2; ++axis)
        h.lo[axis] = h.hi[axis] = ring;
    G3TOTri g = ring;
    do {
        for (int axis = 0; axis < 2; ++axis) {
            if (VertexBefore(axis, Dest(g), Dest(h.lo[axis])))
                h.lo[axis] = g;
            if (VertexBefore(axis, Dest(h.hi[axis]), Dest(g)))
                h.hi[axis] = g;
        }
        g = RingNext(g);
    } while (g != ring);
    return h;
}

G3TTriangulator::Hull G3TTriangulator::BaseHull(std::initializer_list<G3TVertex*> vertices,
                                                std::initializer_list<G3TOTri> handles)
{
    // handles[i] is the hull handle at vertices[i].
    Hull h;
    const G3TVertex* const* v = vertices.begin();
    const G3TOTri* g = handles.begin();
    const std::size_t n = vertices.size();
    for (int axis = 0; axis < 2; ++axis) {
        std::size_t lo = 0, hi = 0;
        for (std::size_t i = 1; i < n; ++i) {
            if (VertexBefore(axis, v[i], v[lo]))
                lo = i;
            if (VertexBefore(axis, v[hi], v[i]))
                hi = i;
        }
        h.lo[axis] = g[lo];
        h.hi[axis] = g[hi];
    }
    return h;
}

G3TTriangulator::Hull G3TTriangulator::Recurse(int lo, int hi, int axis)
{
    const int n = hi - lo;
    if (n == 2) {
        // In axis 0 order, so that the result does not hang on how the
        // selection above left the pair.
        G3TVertex* a = m_Items[static_cast<std::size_t>(lo)].v;
        G3TVertex* b = m_Items[static_cast<std::size_t>(lo) + 1].v;
        if (VertexBefore(0, b, a))
            std::swap(a, b);
        G3TOTri gab = NewTriangle(b, a, nullptr);
        G3TOTri gba = NewTriangle(a, b, nullptr);
        Bond(gab, gba);
        JoinRing(gab, gba);
        JoinRing(gba, gab);
        return BaseHull({a, b}, {gab, gba});
    }
    if (n == 3) {
        Item* it = &m_Items[static_cast<std::size_t>(lo)];
        g3t_cut::detail::InsertionSort<0>(it, it + 3);
        G3TVertex* a = it[0].v;
        G3TVertex* b = it[1].v;
        G3TVertex* c = it[2].v;
        int o = Orient(a, b, c);
        if (o == 0) {
            // A chain a - b - c: ghosts on both sides of both edges.
            G3TOTri gab = NewTriangle(b, a, nullptr);
            G3TOTri gbc = NewTriangle(c, b, nullptr);
            G3TOTri gcb = NewTriangle(b, c, nullptr);
            G3TOTri gba = NewTriangle(a, b, nullptr);
            Bond(gab, gba);
            Bond(gbc, gcb);
            JoinRing(gab, gbc);
            JoinRing(gbc, gcb);
            JoinRing(gcb, gba);
            JoinRing(gba, gab);
            // The middle vertex is no extreme: the ends are.
            return BaseHull({a, c}, {gab, gcb});
        }
        if (o < 0)
            std::swap(b, c);
        G3TOTri t = NewTriangle(a, b, c);
        G3TOTri gab = NewTriangle(b, a, nullptr);
        G3TOTri gbc = NewTriangle(c, b, nullptr);
        G3TOTri gca = NewTriangle(a, c, nullptr);
        Bond(t, gab);
        Bond(Lnext(t), gbc);
        Bond(Lprev(t), gca);
        JoinRing(gab, gbc);
        JoinRing(gbc, gca);
        JoinRing(gca, gab);
        return BaseHull({a, b, c}, {gab, gbc, gca});
    }
    const int mid = lo + n / 2;
    Item* items = m_Items.data();
    if (axis == 0)
        g3t_cut::SelectItem<0>(items + lo, items + mid, items + hi);
    else
        g3t_cut::SelectItem<1>(items + lo, items + mid, items + hi);
    if (n > kPrefetchSpan && n / 2 <= kPrefetchSpan)
        PrefetchVertices(lo, hi);
    Hull left = Recurse(lo, mid, 1 - axis);
    Hull right = Recurse(mid, hi, 1 - axis);
    return Merge(left, right, axis);
}

void G3TTriangulator::PrefetchVertices(int lo, int hi) const
{
    for (int i = lo; i < hi; ++i)
        __builtin_prefetch(m_Items[static_cast<std::size_t>(i)].v);
}

G3TTriangulator::Hull G3TTriangulator::Merge(const Hull& left, const Hull& right, int axis)
{
    // Every vertex of the left part comes before every vertex of the right
    // part in the cut order. Start at the left part's last vertex and the
    // right part's first.
    G3TOTri gp = left.hi[axis];
    G3TOTri gq = right.lo[axis];
    // The extremes of the result, as vertices; their handles are found
    // after the merge, which may change the ghosts.
    const int other = 1 - axis;
    G3TVertex* lo[2];
    G3TVertex* hi[2];
    G3TOTri loHandle[2], hiHandle[2];
    lo[axis] = Dest(left.lo[axis]);
    loHandle[axis] = left.lo[axis];
    hi[axis] = Dest(right.hi[axis]);
    hiHandle[axis] = right.hi[axis];
    {
        const bool leftLo = VertexBefore(other, Dest(left.lo[other]), Dest(right.lo[other]));
        loHandle[other] = leftLo ? left.lo[other] : right.lo[other];
        lo[other] = Dest(loHandle[other]);
        const bool rightHi = VertexBefore(other, Dest(left.hi[other]), Dest(right.hi[other]));
        hiHandle[other] = rightHi ? right.hi[other] : left.hi[other];
        hi[other] = Dest(hiHandle[other]);
    }

    FindLowerTangent(gp, gq);
    G3TVertex* p = Dest(gp);
    G3TVertex* q = Dest(gq);

    G3TVertex* ll = p;         // lower left: left end of the current cross edge
    G3TVertex* lr = q;         // lower right
    G3TOTri lg = gp;           // left front ghost, on ll -> ul
    G3TOTri rg = RingPrev(gq); // right front ghost, on ur -> lr
    const G3TOTri leftOuter = RingPrev(gp);

    // The ghost below the tangent joins the two rings.
    G3TOTri bottom = NewTriangle(lr, ll, nullptr);
    Bond(Lnext(bottom), Lprev(leftOuter));
    Bond(Lprev(bottom), Lnext(gq));
    G3TOTri below = bottom; // side lr -> ll of what lies under the cross edge

    for (;;) {
        G3TVertex* ul = Org(lg);
        G3TVertex* ur = Dest(rg);
        if (Orient(ll, lr, ul) > 0)
            ul = DropLeftCandidates(ll, lr, lg);
        if (Orient(ll, lr, ur) > 0)
            ur = DropRightCandidates(ll, lr, rg);
        const bool leftValid = Orient(ll, lr, ul) > 0;
        const bool rightValid = Orient(ll, lr, ur) > 0;
        if (!leftValid && !rightValid)
            break;
        if (!leftValid || (rightValid && InCircle(ul, ll, lr, ur) > 0)) {
            // Triangle (ll, lr, ur) from the right front ghost.
            G3TOTri next = Lnext(Sym(Lnext(rg)));
            SetApex(rg, ll);
            Bond(Lprev(rg), below);
            below = Lnext(rg);
            lr = ur;
            rg = next;
        } else {
            // Triangle (ll, lr, ul) from the left front ghost.
            G3TOTri next = Lprev(Sym(Lprev(lg)));
            SetApex(lg, lr);
            Bond(Lnext(lg), below);
            below = Lprev(lg);
            ll = ul;
            lg = next;
        }
    }

    // The ghost above the upper tangent closes the ring.
    G3TOTri top = NewTriangle(ll, lr, nullptr);
    Bond(top, below);
    Bond(Lnext(top), Lprev(rg));
    Bond(Lprev(top), Lnext(lg));

    // Hull handles of the extremes. An extreme's old ghost is still right
    // unless the merge used it: then the vertex is an end of a tangent,
    // whose outgoing hull edge is known.
    auto handleAt = [&](G3TVertex* v, const G3TOTri& old) {
        if (v == p)
            return bottom; // lower left end: its edge is the lower tangent
        if (v == lr)
            return top; // upper right end: the upper tangent
        if (v == ll)
            return lg;
        return old;
    };
    Hull result;
    bool valid = true;
    for (int a = 0; a < 2; ++a) {
        result.lo[a] = handleAt(lo[a], loHandle[a]);
        result.hi[a] = handleAt(hi[a], hiHandle[a]);
        valid = valid && !Apex(result.lo[a]) && Dest(result.lo[a]) == lo[a] && !Apex(result.hi[a]) &&
            Dest(result.hi[a]) == hi[a];
    }
    return valid ? result : Extremes(top);
}

void G3TTriangulator::RemoveGhosts(G3TOTri ring)
{
    // First walk: the real triangles on the hull face the outside. Only
    // real triangles change, so the ring stays intact for the second walk,
    // which removes the ghosts one by one (each next ghost is found before
    // the current one goes), without a list of them all.
    G3TOTri g = ring;
    int hullEdges = 0;
    G3TOTri outer = m_Mesh->OuterHandle();
    do {
        G3TOTri real = Sym(g);
        if (Apex(real)) {
            ++hullEdges;
            PointAt(real, outer);
            PointAt(outer, real);
        }
        g = RingNext(g);
    } while (g != ring);
    g = ring;
    do {
        const G3TOTri next = RingNext(g);
        m_Mesh->RemoveTriangle(g.tri);
        g = next;
    } while (g != ring);
    m_Mesh->SetHullEdgeCount(hullEdges);
}

void G3TTriangulator::ResetVertexHandles()
{
    for (G3TTriangle* t = m_Mesh->FirstTriangle(); t; t = t->GetNext()) {
        for (int i = 0; i < 3; ++i)
            t->m_Corner[i]->m_Tri = g3t_detail::Pack(t, i);
    }
}

#include "triangulation/locator.h"

#include <cmath>

#include "core/thread_random.h"
#include "triangulation/predicates.h"
#include "triangulation/triangulator.h"

using namespace g3t;

namespace {

constexpr unsigned kLocatorSeed = 20011u;
constexpr int kFullSearchBelow = 201;
constexpr int kSamples = 20;

inline bool SameAs(const G3TVertex* v, double x, double y)
{
    const double e = G3TTriangulator::kTolerance;
    return x - e < v->m_X && v->m_X < x + e && y - e < v->m_Y && v->m_Y < y + e;
}

inline int OrientP(const G3TVertex* a, const G3TVertex* b, double x, double y)
{
    return g3t_predicates::Orientation(a->m_X, a->m_Y, b->m_X, b->m_Y, x, y);
}

inline double Dist2(const G3TVertex* v, double x, double y)
{
    const double dx = v->m_X - x, dy = v->m_Y - y;
    return dx * dx + dy * dy;
}

} // namespace

G3TLocator::G3TLocator(G3TMesh* mesh) : m_Mesh(mesh)
{
    thread_random::Seed(kLocatorSeed);
    if (m_Mesh)
        m_Recent = m_Mesh->OuterHandle();
}

G3TLocator::~G3TLocator() = default;

void G3TLocator::SetRecent(const G3TOTri& h)
{
    if (!m_Mesh)
        return;
    m_Recent = h;
    m_RecentRemovals = m_Mesh->GetRemovalCount();
}

G3TOTri G3TLocator::ChooseStart(double x, double y)
{
    G3TOTri best{};
    double bestDist = 0;
    auto consider = [&](const G3TOTri& h) {
        G3TVertex* o = Org(h);
        if (!o)
            return;
        double d = Dist2(o, x, y);
        if (!best.tri || d < bestDist) {
            best = h;
            bestDist = d;
        }
    };
    if (m_RecentRemovals != m_Mesh->GetRemovalCount()) {
        m_Recent = m_Mesh->OuterHandle();
        m_Cursor = nullptr;
        m_RecentRemovals = m_Mesh->GetRemovalCount();
    }
    if (m_Recent.tri && !m_Mesh->IsOuter(m_Recent))
        consider(m_Recent);
    if (m_Mesh->GetTriangleCount() < kFullSearchBelow) {
        for (G3TTriangle* t = m_Mesh->FirstTriangle(); t; t = t->GetNext())
            consider(G3TOTri{t, 0});
    } else {
        if (!m_Cursor)
            m_Cursor = m_Mesh->FirstTriangle();
        for (int i = 0; i < kSamples; ++i) {
            int steps = thread_random::Next() % 20 + 1;
            for (int k = 0; k < steps; ++k) {
                m_Cursor = m_Cursor->GetNext();
                if (!m_Cursor)
                    m_Cursor = m_Mesh->FirstTriangle();
            }
            consider(G3TOTri{m_Cursor, 0});
        }
    }
    return best;
}

int G3TLocator::Classify(const G3TOTri& h, double x, double y, G3TOTri* found)
{
    // Called for a triangle whose three orientations are non-negative.
    G3TVertex* o = Org(h);
    G3TVertex* d = Dest(h);
    G3TVertex* a = Apex(h);
    if (SameAs(o, x, y)) {
        *found = h;
        return ON_VERTEX;
    }
    if (SameAs(d, x, y)) {
        *found = Lnext(h);
        return ON_VERTEX;
    }
    if (SameAs(a, x, y)) {
        *found = Lprev(h);
        return ON_VERTEX;
    }
    if (OrientP(o, d, x, y) == 0) {
        *found = h;
        return ON_EDGE;
    }
    if (OrientP(d, a, x, y) == 0) {
        *found = Lnext(h);
        return ON_EDGE;
    }
    if (OrientP(a, o, x, y) == 0) {
        *found = Lprev(h);
        return ON_EDGE;
    }
    *found = h;
    return INSIDE;
}

int G3TLocator::Scan(double x, double y, G3TOTri* found)
{
    // Vertices first: "the same point" is wider than the exact tests.
    for (G3TTriangle* t = m_Mesh->FirstTriangle(); t; t = t->GetNext()) {
        for (int i = 0; i < 3; ++i) {
            if (SameAs(t->m_Corner[i], x, y)) {
                *found = G3TOTri{t, i};
                return ON_VERTEX;
            }
        }
    }
    for (G3TTriangle* t = m_Mesh->FirstTriangle(); t; t = t->GetNext()) {
        G3TOTri h{t, 0};
        if (OrientP(Org(h), Dest(h), x, y) >= 0 && OrientP(Dest(h), Apex(h), x, y) >= 0 &&
            OrientP(Apex(h), Org(h), x, y) >= 0)
            return Classify(h, x, y, found);
    }
    *found = m_Mesh->OuterHandle();
    return OUTSIDE;
}

int G3TLocator::Locate(double x, double y, G3TOTri* found, bool stopAtSegments)
{
    if (!found)
        return OUTSIDE;
    if (!m_Mesh) {
        *found = G3TOTri{};
        return OUTSIDE;
    }
    *found = m_Mesh->OuterHandle();
    if (!std::isfinite(x) || !std::isfinite(y) || m_Mesh->GetTriangleCount() == 0)
        return OUTSIDE;

    G3TOTri h = ChooseStart(x, y);
    if (!h.tri)
        return OUTSIDE;
    const long limit = static_cast<long>(m_Mesh->GetTriangleCount()) + 3;
    for (long step = 0; step < limit; ++step) {
        G3TVertex* o = Org(h);
        G3TVertex* d = Dest(h);
        G3TVertex* a = Apex(h);
        // Sides with the point strictly outside.
        G3TOTri exits[3];
        int n = 0;
        if (OrientP(o, d, x, y) < 0)
            exits[n++] = h;
        if (OrientP(d, a, x, y) < 0)
            exits[n++] = Lnext(h);
        if (OrientP(a, o, x, y) < 0)
            exits[n++] = Lprev(h);
        if (n == 0) {
            int r = Classify(h, x, y, found);
            SetRecent(*found);
            return r;
        }
        // A random choice among the exits: such a walk ends in every
        // triangulation, constrained or not.
        G3TOTri exit = exits[n == 1 ? 0 : thread_random::Next() % n];
        // A vertex of this triangle may still be the same point.
        for (G3TOTri c : {h, Lnext(h), Lprev(h)}) {
            if (SameAs(Org(c), x, y)) {
                *found = c;
                SetRecent(c);
                return ON_VERTEX;
            }
        }
        if (stopAtSegments && m_Mesh->HasSegment(exit)) {
            *found = exit;
            SetRecent(exit);
            return OUTSIDE;
        }
        G3TOTri next = Sym(exit);
        if (m_Mesh->IsOuter(next)) {
            // Leaving through a hull side: unless the point is the same as
            // one of its ends, it is outside.
            SetRecent(exit);
            *found = m_Mesh->OuterHandle();
            return OUTSIDE;
        }
        h = next;
    }
    int r = Scan(x, y, found);
    if (r != OUTSIDE)
        SetRecent(*found);
    return r;
}

#include "mesh_checks.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <queue>
#include <sstream>
#include <unordered_set>

#include "triangulation/predicates.h"

using namespace g3t;

namespace g3t_test {

Filled::Filled(const std::vector<Pt>& points)
{
    for (const Pt& p : points)
        v.push_back(mesh.AddVertex(p.x, p.y));
}

namespace {

int Orient(const G3TVertex* a, const G3TVertex* b, const G3TVertex* c)
{
    return g3t_predicates::OrientationExact(a->m_X, a->m_Y, b->m_X, b->m_Y, c->m_X, c->m_Y);
}

int OrientPt(const Pt& a, const Pt& b, const Pt& c)
{
    return g3t_predicates::OrientationExact(a.x, a.y, b.x, b.y, c.x, c.y);
}

std::string Describe(const char* what, const G3TTriangle* t)
{
    std::ostringstream os;
    os << what << " (triangle";
    for (int i = 0; i < 3; ++i)
        os << ' ' << (t->m_Corner[i] ? t->m_Corner[i]->m_Index : -1);
    os << ')';
    return os.str();
}

} // namespace

std::string CheckStructure(G3TMesh& mesh)
{
    std::unordered_set<const G3TTriangle*> live;
    int listed = 0;
    for (G3TTriangle* t = mesh.FirstTriangle(); t; t = t->GetNext()) {
        live.insert(t);
        ++listed;
    }
    if (listed != mesh.GetTriangleCount())
        return "triangle count differs from the list";
    for (G3TTriangle* t = mesh.FirstTriangle(); t; t = t->GetNext()) {
        if (t->IsGhost())
            return Describe("ghost left", t);
        if (t->m_Mesh != &mesh)
            return Describe("wrong mesh", t);
        if (Orient(t->m_Corner[0], t->m_Corner[1], t->m_Corner[2]) <= 0)
            return Describe("not counterclockwise", t);
        for (int o = 0; o < 3; ++o) {
            G3TOTri h{t, o};
            G3TOTri s = Sym(h);
            G3TSegment* seg = SegmentOn(h);
            bool hasSeg = seg != mesh.GetOuterSegment();
            if (hasSeg) {
                bool ends = (seg->m_Vertex[0] == Org(h) && seg->m_Vertex[1] == Dest(h)) ||
                    (seg->m_Vertex[1] == Org(h) && seg->m_Vertex[0] == Dest(h));
                if (!ends)
                    return Describe("segment ends differ from its edge", t);
                int dir = seg->m_Vertex[0] == Org(h) ? 0 : 1;
                if (SegHandleOn(h).dir != dir)
                    return Describe("segment direction", t);
                if (seg->GetTriangle(dir) != h)
                    return Describe("segment's triangle is stale", t);
            }
            if (mesh.IsOuter(s))
                continue;
            if (!live.count(s.tri))
                return Describe("neighbour not in the mesh", t);
            if (Sym(s) != h)
                return Describe("neighbour link not symmetric", t);
            if (Org(s) != Dest(h) || Dest(s) != Org(h))
                return Describe("neighbour does not share the side", t);
            if (SegmentOn(s) != seg)
                return Describe("side segments differ across the edge", t);
        }
    }
    for (G3TVertex* v = mesh.FirstVertex(); v; v = v->GetNext()) {
        G3TOTri h = v->GetTriangle();
        if (v->IsDuplicate()) {
            if (!mesh.IsOuter(h))
                return "a dropped duplicate has a triangle";
            if (v->GetSurvivor()->IsDuplicate())
                return "survivor is itself a duplicate";
            continue;
        }
        if (mesh.IsOuter(h))
            continue;
        if (!live.count(h.tri))
            return "vertex handle points at a removed triangle";
        if (Org(h) != v)
            return "vertex handle does not start at its vertex";
    }
    // The outer triangle's first neighbour is a hull side.
    if (mesh.GetTriangleCount() > 0) {
        G3TOTri enter = Sym(mesh.OuterHandle());
        if (!live.count(enter.tri) || !mesh.IsOuter(Sym(enter)))
            return "outer triangle does not lead to a hull side";
    }
    return "";
}

int CountNonDelaunayEdges(G3TMesh& mesh)
{
    int bad = 0;
    for (G3TTriangle* t = mesh.FirstTriangle(); t; t = t->GetNext()) {
        for (int o = 0; o < 3; ++o) {
            G3TOTri h{t, o};
            G3TOTri s = Sym(h);
            if (mesh.IsOuter(s) || mesh.HasSegment(h))
                continue;
            const G3TVertex *a = Org(h), *b = Dest(h), *c = Apex(h), *d = Apex(s);
            if (g3t_predicates::InCircleExact(a->m_X, a->m_Y, b->m_X, b->m_Y, c->m_X, c->m_Y, d->m_X, d->m_Y) > 0)
                ++bad;
        }
    }
    return bad;
}

std::vector<G3TVertex*> DistinctVertices(G3TMesh& mesh)
{
    std::vector<G3TVertex*> out;
    for (G3TVertex* v = mesh.FirstVertex(); v; v = v->GetNext()) {
        if (!v->IsDuplicate())
            out.push_back(v);
    }
    return out;
}

std::vector<Pt> ConvexHull(std::vector<Pt> p)
{
    std::sort(p.begin(), p.end(), [](const Pt& a, const Pt& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    p.erase(std::unique(p.begin(), p.end(), [](const Pt& a, const Pt& b) { return a.x == b.x && a.y == b.y; }),
            p.end());
    if (p.size() < 3)
        return p;
    std::vector<Pt> h(2 * p.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (k >= 2 && OrientPt(h[k - 2], h[k - 1], p[i]) <= 0)
            --k;
        h[k++] = p[i];
    }
    for (std::size_t i = p.size() - 1, t = k + 1; i > 0; --i) {
        while (k >= t && OrientPt(h[k - 2], h[k - 1], p[i - 1]) <= 0)
            --k;
        h[k++] = p[i - 1];
    }
    h.resize(k - 1);
    return h;
}

int CountOnHull(const std::vector<Pt>& points, const std::vector<Pt>& hull)
{
    int count = 0;
    for (const Pt& q : points) {
        for (std::size_t i = 0; i < hull.size(); ++i) {
            const Pt& a = hull[i];
            const Pt& b = hull[(i + 1) % hull.size()];
            if (OrientPt(a, b, q) != 0)
                continue;
            if (std::min(a.x, b.x) <= q.x && q.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= q.y &&
                q.y <= std::max(a.y, b.y)) {
                ++count;
                break;
            }
        }
    }
    return count;
}

long double TwiceHullArea(const std::vector<Pt>& hull)
{
    long double sum = 0;
    if (hull.size() < 3)
        return 0;
    const long double ox = hull[0].x, oy = hull[0].y;
    for (std::size_t i = 1; i + 1 < hull.size(); ++i) {
        long double ax = hull[i].x - ox, ay = hull[i].y - oy;
        long double bx = hull[i + 1].x - ox, by = hull[i + 1].y - oy;
        sum += ax * by - ay * bx;
    }
    return sum;
}

long double TwiceTriangleArea(G3TMesh& mesh)
{
    long double sum = 0;
    G3TVertex* first = mesh.FirstTriangle() ? mesh.FirstTriangle()->m_Corner[0] : nullptr;
    if (!first)
        return 0;
    const long double ox = first->m_X, oy = first->m_Y;
    for (G3TTriangle* t = mesh.FirstTriangle(); t; t = t->GetNext()) {
        long double x[3], y[3];
        for (int i = 0; i < 3; ++i) {
            x[i] = t->m_Corner[i]->m_X - ox;
            y[i] = t->m_Corner[i]->m_Y - oy;
        }
        sum += (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
    }
    return sum;
}

std::string CheckAgainstHull(G3TMesh& mesh)
{
    std::vector<Pt> pts;
    for (G3TVertex* v : DistinctVertices(mesh))
        pts.push_back(Pt{v->m_X, v->m_Y});
    std::vector<Pt> hull = ConvexHull(pts);
    const int n = static_cast<int>(pts.size());
    const int h = CountOnHull(pts, hull);
    std::ostringstream os;
    if (mesh.GetTriangleCount() != 2 * n - h - 2)
        os << "triangles " << mesh.GetTriangleCount() << " != 2n-h-2 = " << 2 * n - h - 2 << " (n=" << n << ", h=" << h
           << "); ";
    if (mesh.GetHullEdgeCount() != h)
        os << "hull edges " << mesh.GetHullEdgeCount() << " != " << h << "; ";
    long double ha = TwiceHullArea(hull);
    long double ta = TwiceTriangleArea(mesh);
    // Both sums are of positive terms relative to one origin; long double
    // rounding stays far below this.
    if (std::fabs(static_cast<double>(ha - ta)) > 1e-9 * std::fabs(static_cast<double>(ha)))
        os << "area " << static_cast<double>(ta) << " != hull " << static_cast<double>(ha) << "; ";
    for (G3TVertex* v : DistinctVertices(mesh)) {
        if (mesh.IsOuter(v->GetTriangle())) {
            os << "vertex " << v->m_Index << " is in no triangle; ";
            break;
        }
    }
    return os.str();
}

bool HasEdgeChain(G3TMesh& mesh, G3TVertex* a, G3TVertex* b, std::vector<G3TVertex*>* path, double relTol,
                  bool requireSegments)
{
    a = a->GetSurvivor();
    b = b->GetSurvivor();
    std::map<G3TVertex*, std::vector<G3TVertex*>> adj;
    for (G3TTriangle* t = mesh.FirstTriangle(); t; t = t->GetNext()) {
        for (int i = 0; i < 3; ++i) {
            if (requireSegments && !mesh.HasSegment(G3TOTri{t, i}))
                continue;
            adj[t->m_Corner[i]].push_back(t->m_Corner[(i + 1) % 3]);
            adj[t->m_Corner[(i + 1) % 3]].push_back(t->m_Corner[i]);
        }
    }
    const double dx = b->m_X - a->m_X, dy = b->m_Y - a->m_Y;
    const double len2 = dx * dx + dy * dy;
    const double len = std::sqrt(len2);
    auto param = [&](const G3TVertex* v) { return ((v->m_X - a->m_X) * dx + (v->m_Y - a->m_Y) * dy) / len2; };
    auto onLine = [&](const G3TVertex* v) {
        if (v == a || v == b)
            return true;
        if (Orient(a, b, v) == 0)
            return true;
        double dist = std::fabs((v->m_X - a->m_X) * dy - (v->m_Y - a->m_Y) * dx) / len;
        return dist <= relTol * len;
    };
    // Breadth-first search over vertices on the segment, moving forward
    // along it only.
    std::map<G3TVertex*, G3TVertex*> from;
    std::queue<G3TVertex*> queue;
    from[a] = nullptr;
    queue.push(a);
    while (!queue.empty() && !from.count(b)) {
        G3TVertex* cur = queue.front();
        queue.pop();
        const double curT = param(cur);
        for (G3TVertex* w : adj[cur]) {
            if (from.count(w) || !onLine(w))
                continue;
            const double t = param(w);
            if (t <= curT || t > 1.0 + 1e-12)
                continue;
            from[w] = cur;
            queue.push(w);
        }
    }
    if (!from.count(b))
        return false;
    if (path) {
        path->clear();
        for (G3TVertex* v = b; v; v = from[v])
            path->insert(path->begin(), v);
    }
    return true;
}

std::vector<std::array<int, 3>> TrianglesByIndex(G3TMesh& mesh)
{
    std::vector<std::array<int, 3>> out;
    for (G3TTriangle* t = mesh.FirstTriangle(); t; t = t->GetNext()) {
        std::array<int, 3> k{t->m_Corner[0]->m_Index, t->m_Corner[1]->m_Index, t->m_Corner[2]->m_Index};
        while (k[0] > k[1] || k[0] > k[2])
            k = {k[1], k[2], k[0]};
        out.push_back(k);
    }
    return out;
}

std::set<std::array<int, 3>> TriangleSet(G3TMesh& mesh)
{
    auto v = TrianglesByIndex(mesh);
    return std::set<std::array<int, 3>>(v.begin(), v.end());
}

std::vector<Pt> UniformPoints(int n, unsigned seed, double scale)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0.0, scale);
    std::vector<Pt> p;
    p.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double x = u(rng);
        double y = u(rng);
        p.push_back(Pt{x, y});
    }
    return p;
}

std::vector<Pt> Lattice(int nx, int ny, double spacing, double offset)
{
    std::vector<Pt> p;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            p.push_back(Pt{offset + i * spacing, offset + j * spacing});
    return p;
}

} // namespace g3t_test

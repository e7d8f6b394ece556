// Edge and corner blends. The material between a sharp edge (or corner)
// and its rounded replacement is built as a body of its own, then taken
// away from a convex edge or added to a concave one with the booleans.
#include <algorithm>
#include <cmath>
#include <vector>

#include "boolean/calculator_detail.h"
#include "core/tolerances.h"
#include "core/vec3.h"
#include "tessaly/facet.h"

using tessaly::Vec3;

namespace {
constexpr int kVisibleEdges = static_cast<int>(G3Edge::kVisible);
// Blends need a body of at least a tetrahedron's size afterwards.
constexpr int kSmallestResult = 4;
// The facets of a corner are looked for this many radii around it.
constexpr double kCornerReach = 4.0;

bool ValidInput(G3Surface* s, const double* p, double radius, int segments)
{
    return s && p && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]) && std::isfinite(radius) &&
        radius > tessaly::kLengthTolerance && segments >= 1;
}

bool SamePoint(const double* a, const double* b)
{
    return Length(Vec3(a) - Vec3(b)) < tessaly::kLengthTolerance;
}

// The edge of s between the vertices at a and b, in either order.
G3Edge* FindEdgeBetween(G3Surface* s, const double* a, const double* b)
{
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        const double* v1 = e->GetVertex1()->GetXYZ();
        const double* v2 = e->GetVertex2()->GetXYZ();
        if ((SamePoint(v1, a) && SamePoint(v2, b)) || (SamePoint(v1, b) && SamePoint(v2, a)))
            return e;
    }
    return nullptr;
}

// count + 1 points at equal angles on the arc of the given radius about
// centre, from unit direction a to unit direction b (less than half a turn
// apart), both ends included exactly.
std::vector<Vec3> Arc(const Vec3& centre, const Vec3& a, const Vec3& b, double radius, int count)
{
    const double angle = std::acos(std::clamp(Dot(a, b), -1.0, 1.0));
    const double sine = std::sin(angle);
    std::vector<Vec3> arc;
    arc.reserve(count + 1);
    arc.push_back(centre + a * radius);
    for (int k = 1; k < count; ++k) {
        const double t = static_cast<double>(k) / count;
        const Vec3 dir = a * (std::sin((1 - t) * angle) / sine) + b * (std::sin(t * angle) / sine);
        arc.push_back(centre + Normalized(dir) * radius);
    }
    arc.push_back(centre + b * radius);
    return arc;
}

// The blend profile at one end of an edge: the end point, then the arc
// tangent to the two facets (unit directions d1, d2 into them, at angle
// theta) from the tangent point on the first to the one on the second.
std::vector<double> EdgeProfile(const Vec3& end, const Vec3& d1, const Vec3& d2, double theta, double radius,
                                int segments)
{
    const Vec3 bisector = Normalized(d1 + d2);
    const Vec3 centre = end + bisector * (radius / std::sin(theta / 2));
    const Vec3 tangent1 = end + d1 * (radius / std::tan(theta / 2));
    const Vec3 tangent2 = end + d2 * (radius / std::tan(theta / 2));
    const std::vector<Vec3> arc =
        Arc(centre, Normalized(tangent1 - centre), Normalized(tangent2 - centre), radius, segments);
    std::vector<double> profile(end.data(), end.data() + 3);
    for (const Vec3& p : arc)
        profile.insert(profile.end(), p.data(), p.data() + 3);
    return profile;
}

// A closed body assembled from points and polygons by index; oriented
// outwards when built.
class BodyBuilder {
public:
    int Add(const Vec3& p)
    {
        m_Points.push_back(p);
        return static_cast<int>(m_Points.size()) - 1;
    }
    void Face(std::vector<int> loop) { m_Faces.push_back(std::move(loop)); }
    // The polygon apex, fan[0], fan[1], ... as triangles around the apex.
    void Fan(int apex, const std::vector<int>& fan)
    {
        for (std::size_t k = 0; k + 1 < fan.size(); ++k)
            Face({apex, fan[k], fan[k + 1]});
    }
    G3Surface* Build() const
    {
        auto* s = new G3Surface(static_cast<int>(m_Points.size()), 0, static_cast<int>(m_Faces.size()));
        for (const Vec3& p : m_Points)
            s->AddVertex(p.data());
        for (const std::vector<int>& f : m_Faces)
            s->AddFacet(static_cast<int>(f.size()), f.data(), kVisibleEdges, nullptr, nullptr);
        s->FormPlaneEquation();
        s->OrientNormals2(false);
        return s;
    }

private:
    std::vector<Vec3> m_Points;
    std::vector<std::vector<int>> m_Faces;
};

// Tidies a blend's result; null (and the result deleted) when too little
// of it is left to be a solid.
G3Surface* TidyBlendResult(G3Surface* r)
{
    if (!r)
        return nullptr;
    r->RemoveUnused();
    r->RemoveNonManifoldEdges();
    r->Update(CHECK_LEVEL_1001);
    if (r->GetFacetCount() < kSmallestResult) {
        delete r;
        return nullptr;
    }
    return r;
}

// x with rows . x = rhs for the 3 x 3 system of the given rows; false when
// the rows are (nearly) dependent.
bool Solve3(const Vec3 (&rows)[3], const Vec3& rhs, Vec3* x)
{
    const Vec3 c01 = Cross(rows[1], rows[2]);
    const double det = Dot(rows[0], c01);
    if (std::fabs(det) < tessaly::kZeroDivisor)
        return false;
    *x = (c01 * rhs[0] + Cross(rows[2], rows[0]) * rhs[1] + Cross(rows[0], rows[1]) * rhs[2]) * (1.0 / det);
    return true;
}

// A corner of three planes: their outward unit normals and, for each, the
// centroid of a facet on it.
struct Corner {
    Vec3 normal[3];
    Vec3 centroid[3];
};

Vec3 Centroid(G3Facet* f)
{
    Vec3 sum;
    int count = 0;
    for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e), ++count)
        sum = sum + Vec3(e->GetVertex1()->GetXYZ()) + Vec3(e->GetVertex2()->GetXYZ());
    return count ? sum * (0.5 / count) : sum;
}

// The distinct planes through p of the facets of s near p; true when there
// are exactly three.
bool FindCorner(G3Surface* s, const Vec3& p, double radius, Corner* corner)
{
    int found = 0;
    const double reach = kCornerReach * radius;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        const double* plane = f->GetPlane();
        const Vec3 n(plane);
        if (std::fabs(boolean_detail::PlaneAt(plane, p.data())) > tessaly::kLengthTolerance)
            continue;
        GEnvelope box;
        if (!f->FormEnvelope(&box))
            continue;
        box.Extend(reach);
        if (box.ClipTest(p.data(), p.data()) != 0)
            continue;
        bool known = false;
        for (int i = 0; i < found; ++i)
            known = known || Length(corner->normal[i] - n) < tessaly::kLengthTolerance;
        if (known)
            continue;
        if (found == 3)
            return false;
        corner->normal[found] = n;
        corner->centroid[found] = Centroid(f);
        ++found;
    }
    return found == 3;
}

// +1 when every facet of the corner lies behind the other two planes (a
// convex corner), -1 when in front of both (a concave one), 0 otherwise.
int CornerSide(const Corner& c, const Vec3& p)
{
    int behind = 0, ahead = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            if (i == j)
                continue;
            const double d = Dot(c.centroid[i] - p, c.normal[j]);
            behind += d < -tessaly::kLengthTolerance;
            ahead += d > tessaly::kLengthTolerance;
        }
    return behind == 6 ? 1 : (ahead == 6 ? -1 : 0);
}

// Points on the sphere patch between the three unit directions, rows
// running from m0 (row 0) to the side m1-m2 (row n): arcs m0-m1 and m0-m2
// on the sides, arc m1-m2 at the bottom, matching the given arcs exactly.
void SpherePatch(BodyBuilder* body, const Vec3& centre, const Vec3 (&m)[3], double radius, int n,
                 const std::vector<int>& side01, const std::vector<int>& side02, const std::vector<int>& side12)
{
    const std::vector<Vec3> lefts = Arc(Vec3(), m[0], m[1], 1, n);
    const std::vector<Vec3> rights = Arc(Vec3(), m[0], m[2], 1, n);
    std::vector<std::vector<int>> rows(n + 1);
    rows[0] = {side01[0]};
    rows[n] = side12;
    for (int i = 1; i < n; ++i) {
        const std::vector<Vec3> row = Arc(centre, Normalized(lefts[i]), Normalized(rights[i]), radius, i);
        rows[i].push_back(side01[i]);
        for (int j = 1; j < i; ++j)
            rows[i].push_back(body->Add(row[j]));
        rows[i].push_back(side02[i]);
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) {
            body->Face({rows[i][j], rows[i + 1][j], rows[i + 1][j + 1]});
            if (j < i)
                body->Face({rows[i][j], rows[i + 1][j + 1], rows[i][j + 1]});
        }
}

// The corner cell minus the sphere: bounded by the three corner planes
// (normals m, pointing away from the material), the three planes through
// the centre across the corner's edges, and the sphere patch.
G3Surface* CornerCellOutsideSphere(const Vec3& p, const Vec3 (&m)[3], double radius, int n)
{
    Vec3 centre;
    if (!Solve3(m, Vec3(-radius, -radius, -radius), &centre))
        return nullptr;
    centre = p + centre;
    BodyBuilder body;
    const int apex = body.Add(p);
    // Edge k is where the two planes other than k meet; a[k] is the foot of
    // the centre on it.
    int foot[3];
    for (int k = 0; k < 3; ++k) {
        Vec3 u = Normalized(Cross(m[(k + 1) % 3], m[(k + 2) % 3]));
        if (Dot(u, m[k]) > 0)
            u = -u;
        foot[k] = body.Add(p + u * Dot(centre - p, u));
    }
    // Arcs between the tangent points: arc[k] joins the tangent points on the
    // two planes other than k and lies in the plane across edge k.
    std::vector<int> arc[3];
    std::vector<int> tangent(3);
    for (int i = 0; i < 3; ++i)
        tangent[i] = body.Add(centre + m[i] * radius);
    for (int k = 0; k < 3; ++k) {
        const int i = (k + 1) % 3, j = (k + 2) % 3;
        const std::vector<Vec3> points = Arc(centre, m[std::min(i, j)], m[std::max(i, j)], radius, n);
        arc[k].push_back(tangent[std::min(i, j)]);
        for (int t = 1; t < n; ++t)
            arc[k].push_back(body.Add(points[t]));
        arc[k].push_back(tangent[std::max(i, j)]);
        body.Fan(foot[k], arc[k]);
    }
    // The parts of the corner planes: plane i holds the feet on the two
    // edges other than i.
    for (int i = 0; i < 3; ++i)
        body.Face({apex, foot[(i + 1) % 3], tangent[i], foot[(i + 2) % 3]});
    // arc[2] joins m0-m1, arc[1] joins m0-m2, arc[0] joins m1-m2.
    SpherePatch(&body, centre, m, radius, n, arc[2], arc[1], arc[0]);
    return body.Build();
}

} // namespace

G3Surface* G3BooleanCalculator::CreateBlendFacets(int count, const double* start, const double* end)
{
    if (count < 3 || !start || !end)
        return nullptr;
    BodyBuilder body;
    std::vector<int> a(count), b(count);
    for (int k = 0; k < count; ++k) {
        a[k] = body.Add(Vec3(start + 3 * k));
        b[k] = body.Add(Vec3(end + 3 * k));
    }
    // The caps: every arc point is seen from the edge point (the arc's ends
    // are the tangent points from it), so a fan from there covers each cap.
    body.Fan(a[0], std::vector<int>(a.begin() + 1, a.end()));
    body.Fan(b[0], std::vector<int>(b.begin() + 1, b.end()));
    // The two flat sides on the facets, then the arc strips, split in two
    // triangles each: with different radii at the ends a strip is not flat.
    body.Face({a[0], a[1], b[1], b[0]});
    body.Face({a[0], a[count - 1], b[count - 1], b[0]});
    for (int k = 1; k + 1 < count; ++k) {
        body.Face({a[k], a[k + 1], b[k + 1]});
        body.Face({a[k], b[k + 1], b[k]});
    }
    return body.Build();
}

G3Surface* G3BooleanCalculator::Blend(G3Surface* s, double* const p1, double* const p2, double r1, double r2,
                                      int segments)
{
    if (!ValidInput(s, p1, r1, segments) || !ValidInput(s, p2, r2, segments))
        return nullptr;
    G3Edge* e = FindEdgeBetween(s, p1, p2);
    if (!e || !e->GetFacet1() || !e->GetFacet2())
        return nullptr;
    double in1[3], in2[3];
    boolean_detail::InwardDirection(e->GetFacet1(), e, in1);
    boolean_detail::InwardDirection(e->GetFacet2(), e, in2);
    const Vec3 d1 = Normalized(Vec3(in1)), d2 = Normalized(Vec3(in2));
    const double theta = std::acos(std::clamp(Dot(d1, d2), -1.0, 1.0));
    if (theta < tessaly::kBlendAngleTolerance || theta > M_PI - tessaly::kBlendAngleTolerance)
        return nullptr;

    const Vec3 a(p1), b(p2);
    const std::vector<double> start = EdgeProfile(a, d1, d2, theta, r1, segments);
    const std::vector<double> end = EdgeProfile(b, d1, d2, theta, r2, segments);
    // Halfway between the edge's middle and the arc's: inside the solid at a
    // convex edge, outside at a concave one.
    const double r = (r1 + r2) / 2;
    const double depth = r / std::sin(theta / 2) - r;
    const Vec3 probe = (a + b) * 0.5 + Normalized(d1 + d2) * (depth / 2);
    OpenFindIntersection(s);
    const SURF_CLASSIFY side = FindVertexClassify(probe.data());
    CloseFindIntersection(s);
    if (side != SC_IN && side != SC_OUT)
        return nullptr;

    G3Surface* prism = CreateBlendFacets(static_cast<int>(start.size() / 3), start.data(), end.data());
    auto* copy = static_cast<G3Surface*>(s->Duplicate());
    return TidyBlendResult(side == SC_IN ? Sub(copy, prism) : Add(copy, prism));
}

G3Surface* G3BooleanCalculator::BlendCorner(G3Surface* s, double* const point, double radius, int segments)
{
    if (!ValidInput(s, point, radius, segments))
        return nullptr;
    const Vec3 p(point);
    Corner corner;
    if (!FindCorner(s, p, radius, &corner))
        return nullptr;
    const int side = CornerSide(corner, p);
    if (side == 0)
        return nullptr;
    // At a concave corner the empty side is built as if it were the solid.
    Vec3 m[3];
    for (int i = 0; i < 3; ++i)
        m[i] = corner.normal[i] * side;
    G3Surface* cell = CornerCellOutsideSphere(p, m, radius, segments);
    if (!cell)
        return nullptr;
    auto* copy = static_cast<G3Surface*>(s->Duplicate());
    return TidyBlendResult(side > 0 ? Sub(copy, cell) : Add(copy, cell));
}

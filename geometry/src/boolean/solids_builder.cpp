// The box and the latitude-longitude spheres of G3SolidsBuilder.
//
// Both are built facing outwards from the start: a quad runs down its
// meridian first and then east along its row (south x east points out of
// the sphere), and the box's bottom runs clockwise seen from above. The box
// is oriented again after its transformation, because a mirroring matrix
// turns it inside out.
#include <climits>
#include <cmath>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/solids.h"
#include "tessaly/surface.h"

namespace {
constexpr int kVisibleEdges = static_cast<int>(G3Edge::kVisible);
// The edges of a sphere's curved part only draw its outline; smoothing
// groups facets across such edges.
constexpr int kOutlineEdges = static_cast<int>(G3Edge::kFormMaking);

bool IsFinitePoint(const double* p)
{
    return p && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// A row of a sphere: cos and sin of its polar angle (from the top pole).
// The poles and the equator are exact, so that a pole row's vertices
// coincide exactly whatever the radius, and the equator lies in the
// centre's plane.
struct Row {
    double cosTheta;
    double sinTheta;
};

Row RowAt(double theta)
{
    return {std::cos(theta), std::sin(theta)};
}
constexpr Row kTopPole = {1.0, 0.0};
constexpr Row kEquator = {0.0, 1.0};
constexpr Row kBottomPole = {-1.0, 0.0};

// The rows' vertices, nLon per row at the angles 2 pi j / nLon.
void AddRows(G3Surface* s, const double* centre, double r, const std::vector<Row>& rows, int nLon)
{
    for (const Row& row : rows) {
        const double rho = r * row.sinTheta;
        const double z = centre[2] + r * row.cosTheta;
        for (int j = 0; j < nLon; ++j) {
            const double phi = 2.0 * M_PI * j / nLon;
            s->AddVertex(centre[0] + rho * std::cos(phi), centre[1] + rho * std::sin(phi), z);
        }
    }
}

// The bands between consecutive rows, outward quads of outline edges.
void AddBands(G3Surface* s, int rowCount, int nLon)
{
    for (int i = 0; i + 1 < rowCount; ++i)
        for (int j = 0; j < nLon; ++j) {
            const int east = (j + 1) % nLon;
            const int quad[4] = {i * nLon + j, (i + 1) * nLon + j, (i + 1) * nLon + east, i * nLon + east};
            s->AddFacet(4, quad, kOutlineEdges, nullptr, nullptr);
        }
}
} // namespace

G3Surface* G3SolidsBuilder::BuildBox(double (*m)[4], double s, G3ExDataProvider* /*p*/)
{
    if (!m || !std::isfinite(s) || s <= tessaly::kLengthTolerance)
        return nullptr;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 3; ++j)
            if (!std::isfinite(m[i][j]))
                return nullptr;
    // The box spans (2s)^3 in its frame; m scales volumes by its linear
    // part's determinant. (Negated so that a NaN product is refused too.)
    const double det = Det3x3(m[0][0], m[1][0], m[2][0], m[0][1], m[1][1], m[2][1], m[0][2], m[1][2], m[2][2]);
    if (!(std::fabs(det) * 8.0 * s * s * s > tessaly::kVolumeTolerance))
        return nullptr;

    auto* box = new G3Surface(8, 0, 6);
    const double corners[8][3] = {{-s, -s, 0},     {s, -s, 0},     {s, s, 0},     {-s, s, 0},
                                  {-s, -s, 2 * s}, {s, -s, 2 * s}, {s, s, 2 * s}, {-s, s, 2 * s}};
    for (const double* c : corners) {
        G3Vertex* v = box->AddVertex(c);
        v->RealTransformation(m);
        if (!IsFinitePoint(v->GetXYZ())) {
            delete box;
            return nullptr;
        }
    }
    // Outward in the frame: bottom, top, then the sides around.
    const int quads[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
    for (const int* q : quads)
        box->AddFacet(4, q, kVisibleEdges, nullptr, nullptr);
    box->FormPlaneEquation();
    box->OrientNormals2(false);
    return box;
}

G3Surface* G3SolidsBuilder::BuildSphere(const double* centre, double r, int n)
{
    // An odd count of segments is rounded up, so that the middle ring of
    // the rings from pole to pole exists.
    const long long segments = static_cast<long long>(n) + (n & 1);
    const long long rings = segments / 2 + 1;
    if (!IsFinitePoint(centre) || !std::isfinite(r) || r <= tessaly::kLengthTolerance || segments <= 3 ||
        rings * segments > INT_MAX)
        return new G3Surface;
    const int nSeg = static_cast<int>(segments);
    const int nRings = static_cast<int>(rings);
    auto* sphere = new G3Surface(nRings * nSeg, 0, nRings * nSeg);
    std::vector<Row> rows(static_cast<std::size_t>(nRings));
    for (int i = 0; i < nRings; ++i)
        rows[static_cast<std::size_t>(i)] = RowAt(2.0 * M_PI * i / nSeg);
    rows.front() = kTopPole;
    rows.back() = kBottomPole;
    AddRows(sphere, centre, r, rows, nSeg);
    AddBands(sphere, nRings, nSeg);
    sphere->SetEdgeFlags(kVisibleEdges);
    sphere->FormPlaneEquation();
    sphere->RemoveEqualsVertex();
    return sphere;
}

bool G3SolidsBuilder::BuildSphere(const double* centre, double r, int nLat, int nLon, int kind, bool smooth,
                                  G3Surface** out, bool keepDuplicates, bool lower)
{
    if (!out)
        return false;
    *out = nullptr;
    if (!IsFinitePoint(centre) || !std::isfinite(r) || r <= tessaly::kLengthTolerance || nLat < 3 || nLon < 3 ||
        (kind != 0 && kind != 1))
        return false;
    const bool hemisphere = kind == 1;
    const int rowCount = hemisphere ? nLat / 2 + 1 : nLat;
    if (static_cast<long long>(rowCount) * nLon > INT_MAX)
        return false;

    // The rows from top to bottom, dTheta apart. A sphere runs from pole to
    // pole; an upper hemisphere from the top pole to the equator, a lower
    // one from the equator to the bottom pole (its last row placed there).
    const double dTheta = M_PI / (nLat - 1);
    const bool lowerHalf = hemisphere && lower;
    std::vector<Row> rows(static_cast<std::size_t>(rowCount));
    for (int i = 1; i + 1 < rowCount; ++i)
        rows[static_cast<std::size_t>(i)] = RowAt(i * dTheta + (lowerHalf ? M_PI / 2 : 0.0));
    rows.front() = lowerHalf ? kEquator : kTopPole;
    rows.back() = hemisphere && !lower ? kEquator : kBottomPole;

    auto* sphere = new G3Surface(rowCount * nLon, 0, rowCount * nLon);
    AddRows(sphere, centre, r, rows, nLon);
    // One band fewer than rows: the bottom row is never joined back to the
    // top one (such a band would have no area and lie inside the body).
    AddBands(sphere, rowCount, nLon);
    if (hemisphere) {
        // The flat cap over the open rim, facing away from the curved part:
        // down for the upper half (the rim walked westwards), up for the
        // lower one. Its edges are visible, so the rim stays a sharp edge.
        const int rim = lower ? 0 : rowCount - 1;
        std::vector<int> cap(static_cast<std::size_t>(nLon));
        for (int j = 0; j < nLon; ++j)
            cap[static_cast<std::size_t>(j)] = rim * nLon + (lower ? j : (nLon - j) % nLon);
        sphere->AddFacet(nLon, cap.data(), kVisibleEdges, nullptr, nullptr);
    }
    sphere->SetEdgeFlags(kVisibleEdges);
    if (!keepDuplicates) {
        sphere->RemoveEqualsVertex();
        if (smooth)
            sphere->AverageNormalsByPlanes2();
        sphere->ReallocByRealSize();
    }
    *out = sphere;
    return true;
}

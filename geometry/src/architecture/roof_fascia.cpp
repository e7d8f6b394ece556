// The bands of a thick roof: vertical quads that close the gap between the
// lower and the upper roof faces along the eaves and along the gables.
#include <algorithm>
#include <cmath>

#include "architecture/roof_tolerances.h"
#include "tessaly/roof.h"

using tessaly::kLengthTolerance;
using tessaly::roof::kAngleTolerance;

namespace {
// Whether an edge of the polygon carries both points.
bool Carries(G3RoofVertex* polygon, const double* p1, const double* p2)
{
    G3RoofVertex* r = polygon;
    do {
        const double* a = r->GetPrevious()->GetXYZ();
        const double* b = r->GetXYZ();
        if (PtOnSegment(p1, a, b, kLengthTolerance) && PtOnSegment(p2, a, b, kLengthTolerance))
            return true;
        r = r->GetNext();
    } while (r != polygon);
    return false;
}
} // namespace

bool G3RoofGenerator::MakeFasciaFacets(G3Surface* work)
{
    G3WallDataProvider* provider = G3WallDataProvider::Get();
    provider->SetCurrent(0, ROOF_FACET_NONE);
    if (!work || !m_Target)
        return false;
    double zmin = tessaly::roof::kFarValue;
    for (int k = 0; k < work->GetVertexCount(); ++k)
        zmin = std::min(zmin, work->GetVertex(k)->GetZ());
    int made = 0;
    // Border edges: fewer than two facet sides join their two vertices.
    const int edges = work->GetEdgeCount();
    for (int k = 0; k < edges; ++k) {
        G3Edge* e = work->GetEdge(k);
        if (e->GetVertex1()->GetEdgeCount(e->GetVertex2()) < 2)
            AddBands(e, zmin - m_Origin[2], made);
    }
    provider->SetCurrent(0, ROOF_FACET_NONE);
    return made > 0;
}

void G3RoofGenerator::AddBands(G3Edge* edge, double zmin, int& made)
{
    double p1[3], p2[3];
    for (int k = 0; k < 3; ++k) {
        p1[k] = edge->GetVertex1()->GetXYZ()[k] - m_Origin[k];
        p2[k] = edge->GetVertex2()->GetXYZ()[k] - m_Origin[k];
    }
    const bool eave = std::fabs(p1[2] - zmin) < kAngleTolerance && std::fabs(p2[2] - zmin) < kAngleTolerance;
    const double quad[4][3] = {{p1[0], p1[1], p1[2]},
                               {p2[0], p2[1], p2[2]},
                               {p2[0], p2[1], p2[2] + m_Thickness},
                               {p1[0], p1[1], p1[2] + m_Thickness}};
    G3WallDataProvider* provider = G3WallDataProvider::Get();
    for (int i = 0; i < m_Pitches.size(); ++i) {
        G3RoofPitch* pitch = GetPitch(i);
        const bool eaveBand = eave && pitch->GetAngle() < tessaly::roof::kSteepestAngle;
        if (!eaveBand && !pitch->IsVertical())
            continue;
        for (int j = 0; j < pitch->GetPolygonCount(); ++j) {
            G3RoofVertex* polygon = pitch->GetPolygon(j);
            if (!Carries(polygon, p1, p2))
                continue;
            provider->SetCurrent(polygon->GetSourceIndex() + 1, eaveBand ? ROOF_FACET_EAVE : ROOF_FACET_GABLE);
            made += FacetAdd(eaveBand ? 2 : 0, 4, quad, 1) != nullptr;
        }
    }
}

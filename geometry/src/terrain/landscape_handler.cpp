// G3LandscapeHandler: construction, copies and the store of region
// outlines.
#include <cmath>

#include "core/tolerances.h"
#include "terrain/outline_points.h"
#include "tessaly/roof.h"
#include "tessaly/terrain.h"

using namespace tessaly;

G3LandscapeHandler::G3LandscapeHandler() = default;

G3LandscapeHandler::G3LandscapeHandler(const G3LandscapeHandler& other)
    : G3TriInterface(other), m_FlatMargin(other.m_FlatMargin), m_Notifier(other.m_Notifier),
      m_Classifier(other.m_Classifier)
{
    CopyRegions(other);
}

G3LandscapeHandler& G3LandscapeHandler::operator=(const G3LandscapeHandler& other)
{
    if (this == &other)
        return *this;
    G3TriInterface::operator=(other);
    ClearRegions();
    DeleteOutline(m_OpenRegion);
    m_OpenRegion = nullptr;
    m_FlatMargin = other.m_FlatMargin;
    m_Notifier = other.m_Notifier;
    m_Classifier = other.m_Classifier;
    CopyRegions(other);
    return *this;
}

G3LandscapeHandler::~G3LandscapeHandler()
{
    ClearRegions();
    DeleteOutline(m_OpenRegion);
}

// Deep copies of the other handler's stored outlines (an outline being
// entered there is not copied).
void G3LandscapeHandler::CopyRegions(const G3LandscapeHandler& other)
{
    for (int k = 0; k < other.m_Regions.count(); ++k)
        m_Regions.add(CopyOutline(static_cast<GArrayCollection*>(other.m_Regions.get(k))));
}

void G3LandscapeHandler::ClearRegions()
{
    for (int k = 0; k < m_Regions.count(); ++k)
        DeleteOutline(static_cast<GArrayCollection*>(m_Regions.get(k)));
    m_Regions.clear();
}

void G3LandscapeHandler::Notify(int starting) const
{
    if (m_Notifier)
        m_Notifier(starting);
}

void G3LandscapeHandler::StartContour()
{
    DeleteOutline(m_OpenRegion);
    m_OpenRegion = new GArrayCollection;
}

bool G3LandscapeHandler::AddContourVertex(double x, double y, double z)
{
    if (!m_OpenRegion || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return false;
    const double xyz[3] = {x, y, z};
    if (!m_OpenRegion->isEmpty() && static_cast<G3Point*>(m_OpenRegion->getLast())->Equals(xyz))
        return true;
    m_OpenRegion->add(new G3Point(x, y, z, 0));
    return true;
}

bool G3LandscapeHandler::EndContour()
{
    GArrayCollection* outline = m_OpenRegion;
    m_OpenRegion = nullptr;
    if (!outline)
        return false;
    CloseOutline(outline);
    const double area = SignedPlanArea(outline);
    if (DistinctPointCount(outline) < 3 || std::fabs(area) < kAreaTolerance || OutlineCrossesItself(outline)) {
        DeleteOutline(outline);
        return false;
    }
    if (area > 0)
        ReverseOutline(outline);
    m_Regions.add(outline);
    return true;
}

bool G3LandscapeHandler::PointInContour(GArrayCollection* outlines, double x, double y)
{
    if (!outlines)
        return false;
    for (int k = 0; k < outlines->size(); ++k)
        if (PointInOutline(static_cast<GArrayCollection*>(outlines->get(k)), x, y))
            return true;
    return false;
}

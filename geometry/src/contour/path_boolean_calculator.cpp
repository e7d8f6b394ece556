// Loading the path union: every side of a contour or triangle becomes a
// segment of the scan, tagged with its contour, so that each contour is
// filled by the even-odd rule on its own.
#include <cmath>
#include <utility>

#include "contour/path_boolean_state.h"
#include "core/tolerances.h"

using path_boolean::Segment;

G3PathLoader::~G3PathLoader() = default;

G3PathBooleanCalculator::G3PathBooleanCalculator() : m_State(new State) {}

G3PathBooleanCalculator::~G3PathBooleanCalculator()
{
    delete m_State;
}

namespace {
bool Finite(const double* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// A segment from p to q in the state's axes: sloped with its lower end
// first, or horizontal (ends within the tolerance in y) with its left end
// first.
void AddSegment(path_boolean::ScanState& s, const double* p, const double* q, int userValue, SEGMENT_TYPE type)
{
    if (s.xIndex < 0 || !Finite(p) || !Finite(q))
        return;
    Segment seg;
    seg.type = type;
    seg.userValue = userValue;
    seg.contour = s.contourCount;
    seg.path = s.pathIndex;
    const int x = s.xIndex, y = s.yIndex, z = s.zIndex;
    const bool level = std::fabs(p[y] - q[y]) < tessaly::kLengthTolerance;
    seg.kind = level ? path_boolean::kHorizontal : path_boolean::kSloped;
    const bool swap = level ? q[x] < p[x] : q[y] < p[y];
    const double* lo = swap ? q : p;
    const double* hi = swap ? p : q;
    // Stored in the scan's own frame: x, y, then the third coordinate.
    seg.a[0] = lo[x], seg.a[1] = lo[y], seg.a[2] = lo[z];
    seg.b[0] = hi[x], seg.b[1] = hi[y], seg.b[2] = hi[z];
    if (!level)
        seg.inverseSlope = (seg.b[0] - seg.a[0]) / (seg.b[1] - seg.a[1]);
    s.segments.push_back(seg);
}
} // namespace

void G3PathBooleanCalculator::BeginLoading(int xIndex, int yIndex, int /*mode*/)
{
    *m_State = State();
    if (xIndex < 0 || xIndex > 2 || yIndex < 0 || yIndex > 2 || xIndex == yIndex)
        return;
    m_State->xIndex = xIndex;
    m_State->yIndex = yIndex;
    m_State->zIndex = 3 - xIndex - yIndex;
}

void G3PathBooleanCalculator::BeginPath(int pathIndex, int /*mode*/)
{
    m_State->pathIndex = pathIndex;
}

void G3PathBooleanCalculator::BeginContour(const double* start, int /*count*/, int /*mode*/)
{
    if (!start)
        return;
    // A contour left open would leave its parity odd: it closes here.
    if (m_State->contourOpen)
        CloseContour();
    for (int k = 0; k < 3; ++k)
        m_State->start[k] = m_State->current[k] = start[k];
    m_State->contourOpen = true;
}

void G3PathBooleanCalculator::LineTo(const double* end, int userValue, SEGMENT_TYPE type)
{
    if (!end || !m_State->contourOpen)
        return;
    AddSegment(*m_State, m_State->current, end, userValue, type);
    for (int k = 0; k < 3; ++k)
        m_State->current[k] = end[k];
}

void G3PathBooleanCalculator::CloseContour()
{
    CloseContour(SEGMENT_LINE, 0);
}

void G3PathBooleanCalculator::CloseContour(SEGMENT_TYPE type, int userValue)
{
    if (!m_State->contourOpen)
        return;
    AddSegment(*m_State, m_State->current, m_State->start, userValue, type);
    m_State->contourOpen = false;
    ++m_State->contourCount;
}

void G3PathBooleanCalculator::AddTriangle(const double* p1, const double* p2, const double* p3, int user1, int user2,
                                          int user3)
{
    if (!p1 || !p2 || !p3)
        return;
    AddSegment(*m_State, p1, p2, user1, SEGMENT_LINE);
    AddSegment(*m_State, p2, p3, user2, SEGMENT_LINE);
    AddSegment(*m_State, p3, p1, user3, SEGMENT_LINE);
    ++m_State->contourCount;
}

int G3PathBooleanCalculator::GetSegmentCount() const
{
    return static_cast<int>(m_State->segments.size());
}

void G3PathBooleanCalculator::DoIntersect(BOOLEAN_OPERATION op, G3PathLoader* output)
{
    // An open contour counts as closed by its last point.
    if (m_State->contourOpen)
        CloseContour();
    if (output && m_State->segments.size() >= 2)
        path_boolean::Calculate(*m_State, op, output);
    m_State->segments.clear();
    m_State->segments.shrink_to_fit();
}

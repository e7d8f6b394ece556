// G3PolylineClipper: a line segment clipped against the clip polygon.
//
// The polygon's boundary is walked once against the line's carrier. Every
// place where the boundary crosses the carrier adds a cut point; a stretch
// of the boundary that lies on the carrier (a run of vertices on it) adds
// its ends as a pair when the boundary comes back to the side it came from
// (it only touches the line: the pair encloses nothing), and its end alone,
// with the stretch kept as a piece of its own, when the boundary passes to
// the other side. Sorted along the line's dominant axis, consecutive cut
// points pair up into the parts of the carrier inside the polygon, and the
// segment's pieces are its overlaps with those parts.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "core/tolerances.h"
#include "tessaly/clipper.h"

namespace {
// -1 or +1 by the sign of the signed distance, 0 on the line.
int SideOf(double distance)
{
    if (std::fabs(distance) < tessaly::kLengthTolerance)
        return 0;
    return distance > 0 ? 1 : -1;
}

// Orders values ascending with every NaN after all numbers, so that a sort
// always sees a strict weak ordering.
bool Before(double a, double b)
{
    if (std::isnan(b))
        return !std::isnan(a);
    return a < b;
}
} // namespace

bool G3PolylineClipper::ClipWithPolygon(const double* from, const double* to, GLineLoader* out)
{
    if (!from || !to || !out)
        return false;
    const std::size_t n = m_Polygon.size() / 2;
    if (n < 3)
        return false;
    for (int a = 0; a < 3; ++a)
        if (!std::isfinite(from[a]) || !std::isfinite(to[a]))
            return false;
    m_Cuts.clear();
    m_OnLineEdges.clear();

    // The carrier: unit normal and signed distance from it.
    const double dx = to[0] - from[0];
    const double dy = to[1] - from[1];
    const double length = std::hypot(dx, dy);
    if (!(length > tessaly::kLengthTolerance) || !std::isfinite(length))
        return false;
    const double nx = dy / length;
    const double ny = -dx / length;
    auto distance = [&](const double* p) { return nx * (p[0] - from[0]) + ny * (p[1] - from[1]); };

    // A point of the polygon on or at the line, with the line's z there.
    const double dz = to[2] - from[2];
    auto point = [&](double x, double y) {
        const double t = ((x - from[0]) * dx + (y - from[1]) * dy) / (length * length);
        return CutPoint{{x, y, from[2] + t * dz}};
    };
    auto addCut = [&](const double* p) { m_Cuts.push_back(point(p[0], p[1])); };
    auto addOnLine = [&](const double* p, const double* q) {
        m_OnLineEdges.push_back(point(p[0], p[1]));
        m_OnLineEdges.push_back(point(q[0], q[1]));
    };

    // The walk over the closed ring. A run is a stretch of consecutive
    // vertices on the line; the side the boundary comes from is kept until
    // the run ends. When the walk starts inside a run, that run's end and
    // the side after it are kept until the run that is open at the end of
    // the walk (its beginning) is known.
    bool runOpen = false;
    int sideBeforeRun = 0;
    const double* runStart = nullptr;
    bool firstRunPending = false;
    int sideAfterFirstRun = 0;
    const double* firstRunEnd = nullptr;

    const double* prev = &m_Polygon[2 * (n - 1)];
    double dPrev = distance(prev);
    for (std::size_t k = 0; k < n; ++k) {
        const double* cur = &m_Polygon[2 * k];
        const double dCur = distance(cur);
        const int sPrev = SideOf(dPrev);
        const int sCur = SideOf(dCur);
        if (sPrev != 0 && sCur == 0) {
            runOpen = true;
            sideBeforeRun = sPrev;
            runStart = cur;
        } else if (sPrev == 0 && sCur != 0) {
            if (runOpen) {
                runOpen = false;
                if (sCur == sideBeforeRun) {
                    addCut(runStart);
                    addCut(prev);
                } else {
                    addCut(prev);
                    addOnLine(runStart, prev);
                }
            } else {
                firstRunPending = true;
                sideAfterFirstRun = sCur;
                firstRunEnd = prev;
            }
        } else if (sPrev == 0 && sCur == 0) {
            addCut(prev);
            addCut(cur);
        } else if (sPrev == -sCur) {
            const double t = std::fabs(dPrev) / (std::fabs(dPrev) + std::fabs(dCur));
            const CutPoint crossing = point(prev[0] + (cur[0] - prev[0]) * t, prev[1] + (cur[1] - prev[1]) * t);
            m_Cuts.push_back(crossing);
        }
        prev = cur;
        dPrev = dCur;
    }
    if (firstRunPending && runOpen) {
        if (sideAfterFirstRun == sideBeforeRun) {
            addCut(runStart);
            addCut(firstRunEnd);
        } else {
            addOnLine(runStart, firstRunEnd);
            addCut(firstRunEnd);
        }
    }
    if (m_Cuts.empty())
        return false;

    // Along the dominant axis: the cut points sorted, then the pieces on the
    // line appended as ascending pairs and all pairs sorted by their start.
    const int axis = std::fabs(dy) > std::fabs(dx) ? 1 : 0;
    auto along = [axis](const CutPoint& p, const CutPoint& q) { return Before(p.xyz[axis], q.xyz[axis]); };
    std::stable_sort(m_Cuts.begin(), m_Cuts.end(), along);
    const double largest = m_Cuts.back().xyz[axis];
    if (!m_OnLineEdges.empty()) {
        for (std::size_t k = 0; k + 1 < m_OnLineEdges.size(); k += 2) {
            CutPoint p = m_OnLineEdges[k];
            CutPoint q = m_OnLineEdges[k + 1];
            if (Before(q.xyz[axis], p.xyz[axis]))
                std::swap(p, q);
            m_Cuts.push_back(p);
            m_Cuts.push_back(q);
        }
        std::vector<std::pair<CutPoint, CutPoint>> pairs;
        pairs.reserve(m_Cuts.size() / 2);
        for (std::size_t k = 0; k + 1 < m_Cuts.size(); k += 2)
            pairs.emplace_back(m_Cuts[k], m_Cuts[k + 1]);
        std::stable_sort(pairs.begin(), pairs.end(),
                         [&along](const auto& p, const auto& q) { return along(p.first, q.first); });
        for (std::size_t k = 0; k < pairs.size(); ++k) {
            m_Cuts[2 * k] = pairs[k].first;
            m_Cuts[2 * k + 1] = pairs[k].second;
        }
    }

    const double* a = from;
    const double* b = to;
    if (b[axis] < a[axis])
        std::swap(a, b);
    if (!(m_Cuts.front().xyz[axis] + tessaly::kLengthTolerance <= b[axis] &&
          a[axis] + tessaly::kLengthTolerance <= largest))
        return false;

    // The pieces: the overlaps of a-b with the pairs, from a onwards. start
    // is where the next piece begins: a, a pair's start beyond the last
    // piece, or the last piece's end.
    double start[3] = {a[0], a[1], a[2]};
    bool reported = false;
    for (std::size_t k = 0; k + 1 < m_Cuts.size(); k += 2) {
        const double* pairStart = m_Cuts[k].xyz;
        const double* pairEnd = m_Cuts[k + 1].xyz;
        if (!(pairEnd[axis] > start[axis]))
            continue;
        if (pairStart[axis] >= b[axis])
            break;
        if (pairStart[axis] > start[axis])
            std::copy(pairStart, pairStart + 3, start);
        if (!(b[axis] > pairEnd[axis])) {
            if (b[axis] - start[axis] > tessaly::kLengthTolerance) {
                out->LineLoad(start, b);
                reported = true;
            }
            break;
        }
        if (pairEnd[axis] - start[axis] > tessaly::kLengthTolerance) {
            out->LineLoad(start, pairEnd);
            reported = true;
        }
        std::copy(pairEnd, pairEnd + 3, start);
    }
    return reported;
}

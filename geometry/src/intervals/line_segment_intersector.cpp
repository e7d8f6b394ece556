#include <cmath>

#include "core/tolerances.h"
#include "segment_pair.h"

using tessaly::kLengthTolerance;

namespace {

// Segments by start on the sweep axis, then by the order of addition: an
// exact key with a deterministic tie-break.
int CompareStarts(const void* a, const void* b, void*)
{
    auto* p = static_cast<const G3Segment*>(*static_cast<GObj* const*>(a));
    auto* q = static_cast<const G3Segment*>(*static_cast<GObj* const*>(b));
    const double ps = p->GetStart()[p->GetSweepAxis()];
    const double qs = q->GetStart()[q->GetSweepAxis()];
    if (ps != qs)
        return ps < qs ? -1 : 1;
    return p->GetIndex() < q->GetIndex() ? -1 : (p->GetIndex() > q->GetIndex() ? 1 : 0);
}

bool IsFinite(const double* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

} // namespace

G3IntersectionPointLoader::~G3IntersectionPointLoader() = default;

void G3LineSegmentIntersector::TestLoader::LoadIntersection(const double*, void*, void*, double, double)
{
    m_Found = true;
}

G3LineSegmentIntersector::G3LineSegmentIntersector(int u, int s)
    : m_Segments(256, 256), m_Active(64, 256), m_Batch(16, 64), m_U(u), m_S(s)
{
    m_Valid = u >= 0 && u < 3 && s >= 0 && s < 3 && u != s;
    m_Third = m_Valid ? 3 - u - s : -1;
}

G3LineSegmentIntersector::~G3LineSegmentIntersector() = default;

bool G3LineSegmentIntersector::AddSegment(const double* p, const double* q, void* data)
{
    if (!m_Valid || !p || !q || !IsFinite(p) || !IsFinite(q))
        return false;
    if (std::hypot(q[m_U] - p[m_U], q[m_S] - p[m_S]) <= kLengthTolerance)
        return false;
    // Doubling keeps many additions linear.
    if (m_Segments.size() == m_Segments.capacity())
        m_Segments.ensureCapacity(2 * m_Segments.capacity());
    m_Segments.add(new (this) G3Segment(p, q, m_U, m_S, data, m_Segments.size()));
    return true;
}

int G3LineSegmentIntersector::FindIntersections(G3IntersectionPointLoader* loader)
{
    if (!loader)
        return 0;
    return Sweep(loader, false);
}

bool G3LineSegmentIntersector::IntersectionExists()
{
    TestLoader loader;
    return Sweep(&loader, true) > 0;
}

int G3LineSegmentIntersector::Sweep(G3IntersectionPointLoader* loader, bool stopAtFirst)
{
    m_Active.clear();
    m_Batch.clear();
    m_Next = 0;
    const int count = m_Segments.size();
    if (count == 0)
        return 0;
    m_Segments.qsortex(&CompareStarts, nullptr);
    m_Active.ensureCapacity(64);

    int reports = 0;
    while (m_Next < count) {
        // The segments that start at the sweep position, within the
        // tolerance, go in together.
        m_Position = GetSegment(m_Next)->GetStart()[m_S];
        while (m_Next < count && GetSegment(m_Next)->GetStart()[m_S] <= m_Position + kLengthTolerance)
            m_Batch.add(m_Segments.get(m_Next++));

        // Each new segment meets every active one, the batch's earlier
        // members included.
        while (!m_Batch.isEmpty()) {
            auto* n = static_cast<G3Segment*>(m_Batch.getLast());
            m_Batch.removeLast();
            for (int i = m_Active.size() - 1; i >= 0; --i)
                reports += segment_pair::Test(*n, *static_cast<G3Segment*>(m_Active.get(i)), loader);
            m_Active.add(n);
            if (stopAtFirst && reports > 0) {
                m_Batch.clear();
                return reports;
            }
        }

        // Segments that end before the sweep position, beyond the
        // tolerance, can meet no later segment: those start above the
        // position plus the tolerance.
        int kept = 0;
        for (int i = 0; i < m_Active.size(); ++i) {
            GObj* seg = m_Active.get(i);
            if (static_cast<G3Segment*>(seg)->GetEnd()[m_S] > m_Position - kLengthTolerance)
                m_Active.put(kept++, seg);
        }
        m_Active.size(kept);
    }
    m_Active.clear();
    return reports;
}

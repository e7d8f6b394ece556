// The scan line of the path union (see path_boolean_state.h for the idea).
// Scan lines sit at every segment end and at every crossing of two sloped
// segments; between two lines (a beam) the order of the sloped segments,
// and so the spans, do not change.
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <queue>
#include <utility>

#include "contour/path_boolean_state.h"
#include "core/tolerances.h"
#include "tessaly/hashes.h"
#include "tessaly/surface.h"

namespace path_boolean {
namespace {
using tessaly::kLengthTolerance;
// Outline points closer than this are one vertex.
constexpr double kMergeTolerance = 1e-5;
// Ties of x on a scan line are broken on a line this many heights above.
constexpr double kFarLineHeights = 10.0;
// Cells per axis of the point hash: at least the smallest, more for many
// points (the hash keeps at most 256 per axis in three dimensions).
constexpr int kSmallestHash = 12;
constexpr int kLargestHash = 256;

class Scan {
public:
    explicit Scan(ScanState& state) : m_State(state), m_Seg(state.segments) {}
    ~Scan()
    {
        for (G3EdgeList* c : m_Contours)
            delete c;
    }
    Scan(const Scan&) = delete;
    Scan& operator=(const Scan&) = delete;

    void Run();
    void Report(BOOLEAN_OPERATION op, G3PathLoader* output);

private:
    double XAt(int s, double y) const;
    void PointAt(int s, double y, double* out) const;
    void ToModel(double x, double y, double z, double* out) const;
    bool Less(int i, int j) const;
    void Place(double y);
    void Sort(bool recordCrossings);
    void Crossing(int p, int q);
    void BuildSpans(std::vector<int>& spans);
    void Emit(bool record);
    void EmitRun(int s, Role role);
    void EmitEdge(const double* p, const double* q, int userValue);
    G3Vertex* VertexAt(const double* p);
    bool ProcessBeam(double y);
    void DropEndedSegments();
    void ProcessHorizontals();
    bool NextLine(double* y) const;
    void ExtractContours();

    ScanState& m_State;
    std::vector<Segment>& m_Seg;
    std::vector<int> m_Order; // segments by their lower end
    std::size_t m_Next = 0;
    std::vector<int> m_Active, m_Horizontal, m_Current, m_Previous, m_Before;
    // Upper ends of the active segments, lowest first.
    std::priority_queue<std::pair<double, int>, std::vector<std::pair<double, int>>, std::greater<>> m_Tops;
    std::vector<unsigned char> m_Parity; // per contour
    std::vector<double> m_Crossings, m_Recorded;
    double m_Y = 0, m_LastY = 0, m_Height = 1;
    std::unique_ptr<G3Surface> m_Result;
    std::unique_ptr<G3PointHash> m_Hash;
    std::vector<G3EdgeList*> m_Contours;
};

double Scan::XAt(int s, double y) const
{
    const Segment& g = m_Seg[s];
    if (g.kind == kHorizontal || y == g.a[1])
        return g.a[0];
    if (y == g.b[1])
        return g.b[0];
    return (y - g.a[1]) * g.inverseSlope + g.a[0];
}

void Scan::ToModel(double x, double y, double z, double* out) const
{
    out[m_State.xIndex] = x;
    out[m_State.yIndex] = y;
    out[m_State.zIndex] = z;
}

void Scan::PointAt(int s, double y, double* out) const
{
    const Segment& g = m_Seg[s];
    const double t = (y - g.a[1]) / (g.b[1] - g.a[1]);
    ToModel(XAt(s, y), y, y == g.b[1] ? g.b[2] : g.a[2] + t * (g.b[2] - g.a[2]), out);
}

// By x on the scan line; x within the tolerance by x on a far line above
// (the order just after the line: two segments that cross on it are
// already in their new order, although their computed x differ by
// rounding); then by load order, the same on every run. The insertion sort
// below needs no strict weak order to end.
bool Scan::Less(int i, int j) const
{
    const double xi = m_Seg[i].x, xj = m_Seg[j].x;
    if (std::fabs(xi - xj) >= kLengthTolerance)
        return xi < xj;
    const double far = m_Y + kFarLineHeights * m_Height;
    const double fi = XAt(i, far), fj = XAt(j, far);
    if (std::fabs(fi - fj) >= kLengthTolerance)
        return fi < fj;
    return i < j;
}

void Scan::Place(double y)
{
    m_Y = y;
    for (int s : m_Active) {
        Segment& g = m_Seg[s];
        g.x = (y - g.a[1]) * g.inverseSlope + g.a[0];
    }
}

// Insertion sort from the order of the last line: nearly sorted, and every
// exchange is a pair that crossed since.
void Scan::Sort(bool recordCrossings)
{
    for (std::size_t k = 1; k < m_Active.size(); ++k) {
        const int t = m_Active[k];
        std::size_t j = k;
        for (; j > 0 && Less(t, m_Active[j - 1]); --j) {
            if (recordCrossings)
                Crossing(m_Active[j - 1], t);
            m_Active[j] = m_Active[j - 1];
        }
        m_Active[j] = t;
    }
}

// The y where q crosses p's line, kept when inside the beam; a pair where
// an end of q lies on p's line only touches.
void Scan::Crossing(int p, int q)
{
    const Segment& a = m_Seg[p];
    const Segment& b = m_Seg[q];
    const double nx = a.b[1] - a.a[1], ny = a.a[0] - a.b[0];
    const double len = std::hypot(nx, ny);
    const double d0 = (nx * (b.a[0] - a.a[0]) + ny * (b.a[1] - a.a[1])) / len;
    const double d1 = (nx * (b.b[0] - a.a[0]) + ny * (b.b[1] - a.a[1])) / len;
    if (std::fabs(d0) < kLengthTolerance || std::fabs(d1) < kLengthTolerance)
        return;
    const double t = std::fabs(d0 / (d0 - d1));
    const double y = b.a[1] + t * (b.b[1] - b.a[1]);
    // Shallow segments can cross just above the last line and still lie far
    // apart on it: every crossing inside the beam gets its line.
    if (y > m_LastY && y < m_Y)
        m_Crossings.push_back(y);
}

// Spans of the even-odd fills' union along the sorted active segments, as
// pairs of opening and closing segments. A span that ends where a touching
// contour begins (same x, same slope) goes on across it.
void Scan::BuildSpans(std::vector<int>& spans)
{
    spans.clear();
    int depth = 0, open = -1;
    for (std::size_t k = 0; k < m_Active.size(); ++k) {
        const int s = m_Active[k];
        unsigned char& parity = m_Parity[static_cast<std::size_t>(m_Seg[s].contour)];
        parity ^= 1;
        depth += parity ? 1 : -1;
        if (parity && depth == 1 && open < 0)
            open = s;
        if (depth != 0 || open < 0)
            continue;
        if (k + 1 < m_Active.size()) {
            const Segment& next = m_Seg[m_Active[k + 1]];
            if (std::fabs(next.x - m_Seg[s].x) < kLengthTolerance &&
                std::fabs(next.inverseSlope - m_Seg[s].inverseSlope) < kLengthTolerance)
                continue;
        }
        spans.push_back(open);
        spans.push_back(s);
        open = -1;
    }
    // Every contour crosses a line an even number of times, unless the
    // tolerances split a pair: then some counts are left to clear.
    if (depth != 0)
        for (int s : m_Active)
            m_Parity[static_cast<std::size_t>(m_Seg[s].contour)] = 0;
}

G3Vertex* Scan::VertexAt(const double* p)
{
    if (G3Point* known = m_Hash->Exists(p))
        return static_cast<G3Vertex*>(known);
    G3Vertex* v = m_Result->AddVertex(p);
    m_Hash->AddWithoutTest(v);
    return v;
}

// An outline edge p -> q; one drawn twice between the same two points, in
// either direction, cancels.
void Scan::EmitEdge(const double* p, const double* q, int userValue)
{
    const double d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    if (std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]) < kLengthTolerance)
        return;
    G3Vertex* a = VertexAt(p);
    G3Vertex* b = VertexAt(q);
    if (a == b)
        return;
    for (G3Edge* e = a->GetFirstEdge(); e; e = e->GetVertexNext(a))
        if (e->GetOtherVertex(a) == b) {
            G3EdgeList::RemoveFreeEdge(m_Result.get(), e);
            return;
        }
    const long id = m_Result->GetEdgeCount();
    G3Edge* e = m_Result->AddEdge(a, b);
    e->SetId(id);
    e->SetFlags(G3Edge::kVisible);
    e->SetUserValue(static_cast<unsigned long>(static_cast<unsigned>(userValue)));
}

// The run along s up to the scan line, with the covered side on the left:
// down along an opening segment, up along a closing one.
void Scan::EmitRun(int s, Role role)
{
    double from[3], to[3];
    PointAt(s, m_Seg[s].runStart, from);
    PointAt(s, m_Y, to);
    if (role == kOpening)
        EmitEdge(to, from, m_Seg[s].userValue);
    else
        EmitEdge(from, to, m_Seg[s].userValue);
}

void Scan::Emit(bool record)
{
    for (std::size_t k = 0; k < m_Current.size(); ++k)
        m_Seg[m_Current[k]].current = k % 2 ? kClosing : kOpening;
    for (std::size_t k = 0; k < m_Previous.size(); ++k)
        m_Seg[m_Previous[k]].previous = k % 2 ? kClosing : kOpening;
    m_Recorded.clear();
    for (int s : m_Previous)
        if (m_Seg[s].current != m_Seg[s].previous) {
            EmitRun(s, m_Seg[s].previous);
            if (record)
                m_Recorded.push_back(XAt(s, m_Y));
        }
    for (int s : m_Current)
        if (m_Seg[s].previous != m_Seg[s].current) {
            m_Seg[s].runStart = m_Y;
            if (record)
                m_Recorded.push_back(XAt(s, m_Y));
        }
    if (record && !m_Recorded.empty()) {
        // Where another boundary starts or ends on a boundary that goes on,
        // the outline needs a vertex.
        std::sort(m_Recorded.begin(), m_Recorded.end());
        for (int s : m_Current) {
            if (m_Seg[s].previous != m_Seg[s].current)
                continue;
            const double x = m_Seg[s].x;
            auto it = std::lower_bound(m_Recorded.begin(), m_Recorded.end(), x - kLengthTolerance);
            if (it != m_Recorded.end() && *it <= x + kLengthTolerance) {
                EmitRun(s, m_Seg[s].current);
                m_Seg[s].runStart = m_Y;
            }
        }
    }
    for (int s : m_Previous)
        m_Seg[s].current = m_Seg[s].previous = kNoRole;
    for (int s : m_Current)
        m_Seg[s].current = m_Seg[s].previous = kNoRole;
}

// Crossings inside the beam below y: each becomes a scan line of its own.
// True when there were none: the active list is then placed and sorted on
// y.
bool Scan::ProcessBeam(double y)
{
    m_Before = m_Active;
    m_Crossings.clear();
    Place(y);
    Sort(true);
    if (m_Crossings.empty())
        return true;
    std::sort(m_Crossings.begin(), m_Crossings.end());
    m_Active.swap(m_Before);
    for (double c : m_Crossings) {
        Place(c);
        Sort(false);
        BuildSpans(m_Current);
        Emit(false);
        std::swap(m_Current, m_Previous);
    }
    return false;
}

// Takes the segments that end on this line out of the active list.
void Scan::DropEndedSegments()
{
    bool any = false;
    while (!m_Tops.empty() && m_Tops.top().first <= m_Y + kLengthTolerance) {
        m_Seg[m_Tops.top().second].ended = true;
        m_Tops.pop();
        any = true;
    }
    if (any)
        m_Active.erase(std::remove_if(m_Active.begin(), m_Active.end(), [this](int s) { return m_Seg[s].ended; }),
                       m_Active.end());
}

// Spans as x intervals on the scan line.
std::vector<std::pair<double, double>> Intervals(const std::vector<int>& spans, const std::vector<double>& xs)
{
    std::vector<std::pair<double, double>> out;
    for (std::size_t k = 0; k + 1 < spans.size(); k += 2)
        out.push_back({xs[k], xs[k + 1]});
    std::sort(out.begin(), out.end());
    return out;
}

bool Inside(const std::vector<std::pair<double, double>>& spans, double x)
{
    auto it = std::upper_bound(spans.begin(), spans.end(), std::make_pair(x, HUGE_VAL));
    return it != spans.begin() && std::prev(it)->second > x;
}

// Outline pieces along the horizontal segments of the scan line: where the
// cover above and below differ. Covered above: left to right; covered
// below: right to left.
void Scan::ProcessHorizontals()
{
    if (m_Horizontal.empty())
        return;
    std::vector<double> xs;
    for (int s : m_Current)
        xs.push_back(m_Seg[s].x);
    const auto above = Intervals(m_Current, xs);
    xs.clear();
    for (int s : m_Previous)
        xs.push_back(XAt(s, m_Y));
    const auto below = Intervals(m_Previous, xs);

    std::sort(m_Horizontal.begin(), m_Horizontal.end(), [this](int i, int j) { return m_Seg[i].a[0] < m_Seg[j].a[0]; });
    std::vector<double> cuts;
    for (int s : m_Horizontal) {
        cuts.push_back(m_Seg[s].a[0]);
        cuts.push_back(m_Seg[s].b[0]);
    }
    for (const auto* spans : {&above, &below})
        for (const auto& span : *spans) {
            cuts.push_back(span.first);
            cuts.push_back(span.second);
        }
    std::sort(cuts.begin(), cuts.end());

    // Pieces between consecutive cuts, joined while they run on in the same
    // direction along the same segment.
    int runSegment = -1, runDirection = 0;
    double runFrom = 0, runTo = 0;
    auto flush = [&]() {
        if (runSegment < 0)
            return;
        const Segment& h = m_Seg[runSegment];
        auto zAt = [&h](double x) {
            return h.b[0] == h.a[0] ? h.a[2] : h.a[2] + (x - h.a[0]) / (h.b[0] - h.a[0]) * (h.b[2] - h.a[2]);
        };
        double p[3], q[3];
        ToModel(runFrom, m_Y, zAt(runFrom), p);
        ToModel(runTo, m_Y, zAt(runTo), q);
        if (runDirection > 0)
            EmitEdge(p, q, h.userValue);
        else
            EmitEdge(q, p, h.userValue);
        runSegment = -1;
    };
    std::size_t first = 0;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double u = cuts[k], v = cuts[k + 1];
        if (v - u <= kLengthTolerance)
            continue;
        const double mid = (u + v) / 2;
        while (first < m_Horizontal.size() && m_Seg[m_Horizontal[first]].b[0] < mid &&
               m_Seg[m_Horizontal[first]].a[0] < mid)
            ++first;
        int cover = -1;
        for (std::size_t i = first; i < m_Horizontal.size() && m_Seg[m_Horizontal[i]].a[0] < mid; ++i)
            if (m_Seg[m_Horizontal[i]].b[0] > mid) {
                cover = m_Horizontal[i];
                break;
            }
        const int direction = cover < 0 ? 0 : Inside(above, mid) - Inside(below, mid);
        if (direction == 0 || cover != runSegment || direction != runDirection || u > runTo + kLengthTolerance) {
            flush();
            if (direction == 0)
                continue;
            runSegment = cover;
            runDirection = direction;
            runFrom = u;
        }
        runTo = v;
    }
    flush();
}

// The lowest end of a segment not yet taken or of an active segment (an
// upper end within the tolerance above a lower end is taken instead).
bool Scan::NextLine(double* y) const
{
    bool found = false;
    double candidate = 0;
    if (m_Next < m_Order.size()) {
        candidate = m_Seg[m_Order[m_Next]].a[1];
        found = true;
    }
    if (!m_Tops.empty() && (!found || m_Tops.top().first <= candidate + kLengthTolerance)) {
        candidate = m_Tops.top().first;
        found = true;
    }
    *y = candidate;
    return found;
}

void Scan::Run()
{
    GEnvelope box;
    for (const Segment& s : m_Seg) {
        double p[3];
        ToModel(s.a[0], s.a[1], s.a[2], p);
        box.Add(p);
        ToModel(s.b[0], s.b[1], s.b[2], p);
        box.Add(p);
    }
    const double height = box.GetMax()[m_State.yIndex] - box.GetMin()[m_State.yIndex];
    m_Height = height > 0 ? height : 1;
    const int cells =
        std::clamp(static_cast<int>(2 * std::cbrt(static_cast<double>(m_Seg.size()))), kSmallestHash, kLargestHash);
    m_Hash = std::make_unique<G3PointHash>(cells, box.GetMin(), box.GetMax(), kMergeTolerance);
    m_Result = std::make_unique<G3Surface>();
    m_Parity.assign(static_cast<std::size_t>(m_State.contourCount) + 1, 0);
    m_Order.resize(m_Seg.size());
    for (std::size_t k = 0; k < m_Seg.size(); ++k)
        m_Order[k] = static_cast<int>(k);
    std::stable_sort(m_Order.begin(), m_Order.end(), [this](int i, int j) { return m_Seg[i].a[1] < m_Seg[j].a[1]; });

    double y = 0;
    bool first = true;
    while (NextLine(&y)) {
        std::swap(m_Current, m_Previous);
        // Without crossings in the beam, the active list is already placed
        // and sorted on this line.
        const bool placed = !first && !m_Previous.empty() && ProcessBeam(y);
        first = false;
        m_LastY = y;
        m_Y = y;
        DropEndedSegments();
        m_Horizontal.clear();
        while (m_Next < m_Order.size() && m_Seg[m_Order[m_Next]].a[1] <= y + kLengthTolerance) {
            const int s = m_Order[m_Next++];
            if (m_Seg[s].kind == kHorizontal) {
                m_Horizontal.push_back(s);
                continue;
            }
            m_Seg[s].x = XAt(s, y);
            m_Active.push_back(s);
            m_Tops.push({m_Seg[s].b[1], s});
        }
        if (!placed)
            Place(y);
        Sort(false);
        BuildSpans(m_Current);
        Emit(true);
        ProcessHorizontals();
    }
    ExtractContours();
}

// Loops out of the outline graph, each walked along its edges' direction.
void Scan::ExtractContours()
{
    G3Surface* r = m_Result.get();
    while (r->GetEdgeCount() > 0) {
        const int before = r->GetEdgeCount();
        G3Edge* e = r->GetEdge(before - 1);
        G3EdgeList* c = G3EdgeList::RemoveContour(r, e, e->GetVertex1(), m_State.xIndex, m_State.yIndex, 1, 1);
        if (c)
            m_Contours.push_back(c);
        else if (r->GetEdgeCount() == before)
            G3EdgeList::RemoveFreeEdge(r, e); // no progress: drop the start
    }
}

// Twice the signed area in the projection: positive counter-clockwise.
double SignedArea(G3EdgeList* c, int x, int y)
{
    double a = 0;
    for (int k = 0; k < c->size(); ++k) {
        const double* p = c->GetEdge(k)->GetVertex1()->GetXYZ();
        const double* q = c->GetEdge(k)->GetVertex2()->GetXYZ();
        a += p[x] * q[y] - q[x] * p[y];
    }
    return a;
}

void Scan::Report(BOOLEAN_OPERATION op, G3PathLoader* out)
{
    if (m_Contours.empty())
        return;
    out->BeginLoading(m_State.xIndex, m_State.yIndex, 1);
    out->BeginPath(0, 1);
    for (G3EdgeList* c : m_Contours) {
        const bool outer = SignedArea(c, m_State.xIndex, m_State.yIndex) > 0;
        const bool wanted = m_Contours.size() == 1 || op == BOOLEAN_UNION || (op == BOOLEAN_OUTER && outer);
        if (!wanted)
            continue;
        out->BeginContour(c->GetEdge(0)->GetVertex1()->GetXYZ(), c->size(), 0);
        for (int k = 0; k < c->size(); ++k)
            out->LineTo(c->GetEdge(k)->GetVertex2()->GetXYZ(), static_cast<int>(c->GetEdge(k)->GetUserValue()),
                        SEGMENT_LINE);
        out->CloseContour();
    }
    out->EndPath();
    out->EndLoading();
}
} // namespace

void Calculate(ScanState& state, BOOLEAN_OPERATION op, G3PathLoader* output)
{
    Scan scan(state);
    scan.Run();
    scan.Report(op, output);
}

} // namespace path_boolean

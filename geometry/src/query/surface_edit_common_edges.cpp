// G3SurfaceEdit::FindCommonEdges: the stretches where edges of two surfaces
// lie on one line and overlap.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/intervals.h"
#include "tessaly/surface_edit.h"

using tessaly::kLengthTolerance;

namespace {
// An edge with its ends moved by its surface's matrix.
struct PlacedEdge {
    G3Edge* edge;
    double a[3];
    double b[3];
    GEnvelope box;
};

void Place(const double* p, double (*m)[4], double* out)
{
    double h[4] = {p[0], p[1], p[2], 1.0};
    if (m)
        V4MulPointByMatrix(h, m, h);
    for (int k = 0; k < 3; ++k)
        out[k] = h[k];
}

std::vector<PlacedEdge> PlacedEdges(G3Surface* s, double (*m)[4])
{
    std::vector<PlacedEdge> out;
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        PlacedEdge e;
        e.edge = s->GetEdge(k);
        Place(e.edge->GetVertex1()->GetXYZ(), m, e.a);
        Place(e.edge->GetVertex2()->GetXYZ(), m, e.b);
        e.box = GEnvelope(e.a, e.b, nullptr);
        e.box.Extend(tessaly::kEnvelopeWidening);
        out.push_back(e);
    }
    std::sort(out.begin(), out.end(),
              [](const PlacedEdge& x, const PlacedEdge& y) { return x.box.GetMinX() < y.box.GetMinX(); });
    return out;
}

// Distance of p from the line through a and b.
double DistanceFromLine(const double* p, const double* a, const double* b)
{
    double d[3], w[3], dd = 0, wd = 0;
    for (int k = 0; k < 3; ++k) {
        d[k] = b[k] - a[k];
        w[k] = p[k] - a[k];
        dd += d[k] * d[k];
        wd += w[k] * d[k];
    }
    const double t = dd > 0 ? wd / dd : 0.0;
    double off = 0;
    for (int k = 0; k < 3; ++k)
        off += (w[k] - t * d[k]) * (w[k] - t * d[k]);
    return std::sqrt(off);
}

bool OnOneLine(const PlacedEdge& x, const PlacedEdge& y)
{
    return DistanceFromLine(y.a, x.a, x.b) < kLengthTolerance && DistanceFromLine(y.b, x.a, x.b) < kLengthTolerance &&
        DistanceFromLine(x.a, y.a, y.b) < kLengthTolerance && DistanceFromLine(x.b, y.a, y.b) < kLengthTolerance;
}

// The overlap of two collinear edges as one piece each of two interval
// lists on common axes; appends one record per common piece.
int AddOverlaps(const PlacedEdge& x, const PlacedEdge& y, GArrayCollection* out)
{
    G3IntervalList onX, onY;
    onX.AddInterval(x.a, x.b);
    onX.BuildIntervals();
    onY.SetMaxCoo(&onX);
    onY.AddInterval(y.a, y.b);
    onY.BuildIntervals();
    std::unique_ptr<G3IntervalList> common(onX.Intersect(&onY));
    if (!common)
        return 0;
    for (int k = 0; k < common->GetIntervalCount(); ++k) {
        G3Interval* piece = common->GetInterval(k);
        out->add(new G3Interval(piece->GetXYZ1(), x.edge, piece->GetXYZ2(), y.edge));
    }
    return common->GetIntervalCount();
}
} // namespace

// Candidate pairs come from a sweep over the edges' boxes along x (sorted
// by their minimum x), then the boxes' overlap; collinearity and overlap
// decide.
bool G3SurfaceEdit::FindCommonEdges(G3Surface* a, G3Surface* b, double (*ma)[4], double (*mb)[4], GArrayCollection* out)
{
    if (!a || !b || !out)
        return false;
    const std::vector<PlacedEdge> left = PlacedEdges(a, ma), right = PlacedEdges(b, mb);
    int found = 0;
    std::size_t start = 0;
    for (const PlacedEdge& x : left) {
        while (start < right.size() && right[start].box.GetMinX() < x.box.GetMinX() &&
               right[start].box.GetMaxX() < x.box.GetMinX())
            ++start;
        for (std::size_t k = start; k < right.size() && right[k].box.GetMinX() <= x.box.GetMaxX(); ++k) {
            const PlacedEdge& y = right[k];
            if (x.box.IsIntersectXYZ(&y.box) && OnOneLine(x, y))
                found += AddOverlaps(x, y, out);
        }
    }
    return found > 0;
}

// G3SurfaceEdit::DivideEdge: an edge split at given pieces of its line.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/intervals.h"
#include "tessaly/surface_edit.h"

using tessaly::kLengthTolerance;

namespace {
// A piece as parameters along the edge from its first end (0) to its
// second (length).
using Span = std::pair<double, double>;

// The parameter of p along the unit direction d from a; false when p lies
// off the edge (farther than the tolerance from its line or beyond an end).
bool ParameterOnEdge(const double* p, const double* a, const double* d, double length, double* t)
{
    double w[3], along = 0;
    for (int k = 0; k < 3; ++k) {
        w[k] = p[k] - a[k];
        along += w[k] * d[k];
    }
    double off = 0;
    for (int k = 0; k < 3; ++k)
        off += (w[k] - along * d[k]) * (w[k] - along * d[k]);
    *t = std::clamp(along, 0.0, length);
    return std::sqrt(off) < kLengthTolerance && along > -kLengthTolerance && along < length + kLengthTolerance;
}

// The pieces as sorted, joined spans; false when one lies off the edge.
bool SpansOf(G3IntervalList* pieces, const double* a, const double* d, double length, std::vector<Span>* spans)
{
    if (!pieces->IsBuilt())
        pieces->BuildIntervals();
    for (int k = 0; k < pieces->GetIntervalCount(); ++k) {
        double t1, t2;
        G3Interval* piece = pieces->GetInterval(k);
        if (!ParameterOnEdge(piece->GetXYZ1(), a, d, length, &t1) ||
            !ParameterOnEdge(piece->GetXYZ2(), a, d, length, &t2))
            return false;
        spans->emplace_back(std::min(t1, t2), std::max(t1, t2));
    }
    std::sort(spans->begin(), spans->end());
    std::vector<Span> joined;
    for (const Span& s : *spans) {
        if (!joined.empty() && s.first <= joined.back().second + kLengthTolerance)
            joined.back().second = std::max(joined.back().second, s.second);
        else
            joined.push_back(s);
    }
    *spans = joined;
    return true;
}

// The chain's stations: each parameter with whether the stretch that ends
// there is a piece. Stations within the tolerance of the one before (or of
// the edge's far end) are merged into it.
struct Station {
    double t;
    bool pieceBefore;
};

std::vector<Station> Stations(const std::vector<Span>& spans, double length)
{
    std::vector<Station> out;
    double last = 0;
    auto add = [&](double t, bool piece) {
        if (t - last < kLengthTolerance || length - t < kLengthTolerance)
            return;
        out.push_back({t, piece});
        last = t;
    };
    for (const Span& s : spans) {
        add(s.first, false);
        add(s.second, true);
    }
    return out;
}
} // namespace

bool G3SurfaceEdit::DivideEdge(G3Surface* s, G3Edge* e, G3IntervalList* pieces)
{
    if (!s || !e || !pieces || !e->GetVertex1() || !e->GetVertex2())
        return false;
    const double length = e->GetSizeXYZ();
    if (!(length >= kLengthTolerance))
        return false;
    // The end with the smaller coordinate on the edge's main axis first.
    G3Vertex* first = e->GetVertex1();
    G3Vertex* second = e->GetVertex2();
    double d[3];
    int axis = 0;
    for (int k = 0; k < 3; ++k) {
        d[k] = (second->GetXYZ()[k] - first->GetXYZ()[k]) / length;
        if (std::fabs(d[k]) > std::fabs(d[axis]))
            axis = k;
    }
    const bool reversed = d[axis] < 0;
    if (reversed) {
        std::swap(first, second);
        for (double& c : d)
            c = -c;
    }
    std::vector<Span> spans;
    if (!SpansOf(pieces, first->GetXYZ(), d, length, &spans))
        return false;
    const std::vector<Station> stations = Stations(spans, length);
    const bool lastIsPiece = !spans.empty() && length - spans.back().second < kLengthTolerance;
    if (stations.empty()) {
        if (lastIsPiece && spans.front().first < kLengthTolerance)
            e->SetFlags(kPieceEdgeFlags); // one piece covers the whole edge
        return true;
    }
    std::vector<G3Vertex*> inner;
    for (const Station& station : stations) {
        double p[3];
        for (int k = 0; k < 3; ++k)
            p[k] = first->GetXYZ()[k] + station.t * d[k];
        inner.push_back(s->AddVertex(p));
    }
    s->SplitEdge(e, static_cast<int>(inner.size()), inner.data(), reversed);
    // The chain first -> inner... -> second; mark the stretches that span a
    // piece.
    std::vector<G3Vertex*> chain{first};
    chain.insert(chain.end(), inner.begin(), inner.end());
    chain.push_back(second);
    for (std::size_t k = 0; k + 1 < chain.size(); ++k) {
        const bool piece = k < stations.size() ? stations[k].pieceBefore : lastIsPiece;
        if (!piece)
            continue;
        GArrayCollection joining;
        chain[k]->GetEdges(chain[k + 1], &joining);
        for (int j = 0; j < joining.size(); ++j)
            static_cast<G3Edge*>(joining.get(j))->SetFlags(kPieceEdgeFlags);
    }
    return true;
}

// Classifying vertices and facets against the other operand.
//
// Vertices: a flood from the vertices outside the common box (outside the
// other operand for sure) spreads SC_OUT along edges until it meets the
// SC_ON vertices of the cut curves; what it does not reach is classified by
// random rays, each result flooding again. Facets: from their vertices, or
// from a ray shot from a point inside them when the vertices do not decide
// (all on the other surface, or undecided); a facet lying on the other
// surface is SC_ON_SAME or SC_ON_OPPOSITE by the facing of the two.
#include <climits>
#include <vector>

#include "boolean/boolean_provider.h"
#include "boolean/calculator_detail.h"
#include "core/tolerances.h"
#include "tessaly/facet.h"
#include "tessaly/trace.h"

using boolean_detail::kRayAttempts;

namespace {
bool Outside(const GEnvelope& box, const double* p)
{
    for (int a = 0; a < 3; ++a)
        if (p[a] < box.GetMin()[a] || p[a] > box.GetMax()[a])
            return true;
    return false;
}

struct VertexCounts {
    int on = 0, out = 0, in = 0, undecided = 0;
};

VertexCounts CountVertexClasses(G3SurfaceBooleanProvider* provider, G3Facet* f)
{
    VertexCounts counts;
    GArrayCollection vertices;
    f->GetVertices(&vertices);
    for (int k = 0; k < vertices.size(); ++k)
        switch (provider->VertexClass(static_cast<G3Vertex*>(vertices.get(k)))) {
        case SC_ON: ++counts.on; break;
        case SC_OUT: ++counts.out; break;
        case SC_IN: ++counts.in; break;
        default: ++counts.undecided;
        }
    return counts;
}

// The facet lies in the cutting plane of a slice (either facing, the plane's
// offset in the working scale).
bool LiesInCuttingPlane(G3Facet* f, const double* plane)
{
    const double d = plane[3] * tessaly::kBooleanWorkingScale;
    const double variants[4][4] = {{plane[0], plane[1], plane[2], d},
                                   {-plane[0], -plane[1], -plane[2], d},
                                   {plane[0], plane[1], plane[2], -d},
                                   {-plane[0], -plane[1], -plane[2], -d}};
    for (const auto& v : variants)
        if (f->PlaneEquals(v))
            return true;
    return false;
}
} // namespace

void G3BooleanCalculator::ClassifyVertices(G3Surface* s, GArrayCollection* others)
{
    GTrace("Classify vertices");
    G3SurfaceBooleanProvider* provider = G3SurfaceBooleanProvider::Of(s);
    if (!provider)
        return;
    m_Classifying = provider;
    if (m_ClipCode == INT_MIN) {
        for (int k = 0; k < s->GetVertexCount(); ++k)
            provider->VertexClass(s->GetVertex(k)) = SC_OUT;
        return;
    }
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        if (provider->VertexClass(v) == SC_UNDECIDED && Outside(m_CommonBox, v->GetXYZ()))
            SetClassify(v, SC_OUT);
    }
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        // A vertex without edges (a cut end the rebuilt facets did not
        // use) bounds no facet: no ray for it.
        if (provider->VertexClass(v) != SC_UNDECIDED || !v->GetFirstEdge())
            continue;
        const SURF_CLASSIFY c = ClassifyVertex(v->GetXYZ(), others);
        if (c != SC_UNDECIDED)
            SetClassify(v, c);
    }
}

// Gives v the class c and floods it depth first to every undecided vertex
// reachable along edges. The explicit stack visits the vertices in the order
// a recursion over each vertex's edge ring would, and stops spreading at the
// same depth; what lies deeper is classified by rays later.
void G3BooleanCalculator::SetClassify(G3Vertex* v, SURF_CLASSIFY c)
{
    G3SurfaceBooleanProvider* provider = m_Classifying;
    if (!provider || !v)
        return;
    struct Frame {
        G3Vertex* vertex;
        G3Edge* next;
    };
    std::vector<Frame> stack;
    provider->VertexClass(v) = c;
    stack.push_back({v, v->GetFirstEdge()});
    while (!stack.empty()) {
        Frame& top = stack.back();
        G3Edge* e = top.next;
        if (!e) {
            stack.pop_back();
            continue;
        }
        top.next = e->GetVertexNext(top.vertex);
        G3Vertex* w = e->GetOtherVertex(top.vertex);
        SURF_CLASSIFY& wc = provider->VertexClass(w);
        if (wc != SC_UNDECIDED)
            continue;
        wc = c;
        if (static_cast<int>(stack.size()) < boolean_detail::kMaxFloodDepth)
            stack.push_back({w, w->GetFirstEdge()});
    }
}

SURF_CLASSIFY G3BooleanCalculator::ClassifyVertex(double* p, GArrayCollection* others)
{
    const double length = boolean_detail::RayLength(p, m_UnionBox, m_Radius);
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        double q[3];
        GenerateRandomRay(p, q, length);
        const SURF_CLASSIFY c = TestPointAndFacetList(p, q, others, nullptr);
        if (c != SC_UNDECIDED)
            return c;
    }
    return SC_UNDECIDED;
}

void G3BooleanCalculator::ClassifyFacets(G3Surface* s, GArrayCollection* others)
{
    G3SurfaceBooleanProvider* provider = G3SurfaceBooleanProvider::Of(s);
    for (int k = 0; provider && k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        provider->Facet(f).m_Class = FindFacetClassify(s, f, others);
    }
}

SURF_CLASSIFY G3BooleanCalculator::FindFacetClassify(G3Surface* s, G3Facet* f, GArrayCollection* others)
{
    G3SurfaceBooleanProvider* provider = G3SurfaceBooleanProvider::Of(s);
    const VertexCounts n = CountVertexClasses(provider, f);
    bool mixed = false;
    if (n.undecided == 0) {
        if (n.in == 0 && n.out > 0)
            return SC_OUT;
        if (n.in > 0 && n.out == 0)
            return SC_IN;
        if (n.in == 0 && n.out == 0 && m_CuttingPlane && LiesInCuttingPlane(f, m_CuttingPlane))
            return SC_IN;
        mixed = n.in > 0 && n.out > 0;
    }
    if (mixed)
        GTrace("Bad facet classification1");
    // A point inside the facet decides.
    double point[3];
    int i, j;
    f->GetMaxCoo(&i, &j);
    if (!f->GeneratePointInFacetConcave(i, j, point))
        return SC_UNDECIDED;
    const SURF_CLASSIFY c = ClassifyVertex(point, others);
    if (mixed) {
        if (c == SC_UNDECIDED)
            GTrace("Bad facet classification2");
        return c;
    }
    if (c != SC_ON)
        return c;
    GTrace("TestOnOpposite");
    return TestOnOpposite(point, f->GetPlane());
}

// p lies on a facet of each operand: rays leaving p in front of the plane
// see the same side of both operands when the two facets face the same way.
SURF_CLASSIFY G3BooleanCalculator::TestOnOpposite(double* p, double* plane)
{
    const double length = boolean_detail::RayLength(p, m_UnionBox, m_Radius);
    SURF_CLASSIFY first = SC_UNDECIDED, second = SC_UNDECIDED;
    for (int attempt = 0; attempt < kRayAttempts; ++attempt) {
        double q[3];
        GenerateRandomRay(p, q, plane, 1, length);
        if (first == SC_UNDECIDED)
            first = TestRayAndFacetList(p, q, m_FirstFacets);
        if (second == SC_UNDECIDED)
            second = TestRayAndFacetList(p, q, m_SecondFacets);
        if (first != SC_UNDECIDED && second != SC_UNDECIDED)
            return first == second ? SC_ON_SAME : SC_ON_OPPOSITE;
    }
    return SC_UNDECIDED;
}

// The contour divider: loaded contours are rebuilt into simple loops by the
// contour pipeline (crossings split, even-odd rule), typed as outer
// contours or holes, optionally bridged, and unloaded with one orientation
// per kind.
#include "tessaly/contour_divider.h"

#include <cmath>

#include "core/tolerances.h"
#include "tessaly/math.h"
#include "tessaly/surface.h"

namespace {
// Reference signs not fixed yet.
constexpr int kUnfixed = -2;
// The plane of contours that have none of their own: z = 0.
constexpr double kFallbackPlane[4] = {0, 0, 1, 0};

bool ValidPlane(const double* plane)
{
    return std::isfinite(plane[0]) && std::isfinite(plane[1]) && std::isfinite(plane[2]) &&
        std::fabs(plane[0]) + std::fabs(plane[1]) + std::fabs(plane[2]) > tessaly::kZeroDivisor;
}

G3EdgeList* ContourAt(GArrayCollection* list, int k)
{
    return static_cast<G3EdgeList*>(list->get(k));
}
} // namespace

G3ContourDivider::G3ContourDivider() : GObj(0), m_Loaded(new GArrayCollection) {}

G3ContourDivider::~G3ContourDivider()
{
    Clear();
    delete m_Loaded;
}

void G3ContourDivider::Clear()
{
    m_Loaded->clear(true);
    delete m_OpenContour;
    m_OpenContour = nullptr;
    delete m_Work;
    m_Work = nullptr;
    m_Mode = kLinkHoles;
    m_BridgeFlags = 0;
}

void G3ContourDivider::BeginLoad(int mode, int bridgeFlags)
{
    Clear();
    m_Mode = mode;
    m_BridgeFlags = bridgeFlags;
    m_Work = new G3Surface;
}

void G3ContourDivider::BeginLoadContour()
{
    if (m_Work && !m_OpenContour)
        m_OpenContour = new G3EdgeList(1, 1);
}

void G3ContourDivider::LoadEdge(const double* start, const double* end, int flags, unsigned long startTag,
                                unsigned long endTag)
{
    if (!m_Work || !m_OpenContour || !start || !end)
        return;
    G3Vertex* a = m_Work->AddVertex(start, startTag);
    G3Vertex* b = m_Work->AddVertex(end, endTag);
    m_Work->SetEdgeFlags(flags);
    m_OpenContour->AddEdge(a, b, nullptr, nullptr, nullptr, nullptr, flags);
}

void G3ContourDivider::EndLoadContour()
{
    if (!m_OpenContour)
        return;
    if (m_OpenContour->size() > 0)
        m_Loaded->add(m_OpenContour);
    else
        delete m_OpenContour;
    m_OpenContour = nullptr;
}

// The first contour with a plane gives it to all (z = 0 when none has
// one), so that every contour is projected onto the same axes.
void G3ContourDivider::GiveEveryContourOnePlane()
{
    const double* plane = kFallbackPlane;
    for (int k = 0; k < m_Loaded->size(); ++k) {
        G3EdgeList* c = ContourAt(m_Loaded, k);
        c->FormMaxPlaneCoo();
        if (ValidPlane(c->GetPlane())) {
            plane = c->GetPlane();
            break;
        }
    }
    double shared[4] = {plane[0], plane[1], plane[2], plane[3]};
    for (int k = 0; k < m_Loaded->size(); ++k)
        ContourAt(m_Loaded, k)->SetPlane(shared);
}

void G3ContourDivider::EndLoad()
{
    EndLoadContour();
    if (!m_Work || m_Loaded->size() < 1) {
        Clear();
        return;
    }
    GiveEveryContourOnePlane();
    GArrayCollection result;
    for (int k = 0; k < m_Loaded->size(); ++k) {
        GArrayCollection simple;
        ContourAt(m_Loaded, k)->RemoveSelfIntersections(&simple, m_Work, false, UNION_EDGE_PARITY, 0);
        for (int i = 0; i < simple.size(); ++i)
            result.add(simple.get(i));
    }
    G3EdgeList::RemeshContours(m_Work, &result, m_Mode == kLinkHoles, m_BridgeFlags);
    Unload(&result);
    result.clear(true);
    EndUnload();
    Clear();
}

void G3ContourDivider::Unload(GArrayCollection* contours)
{
    BeginUnload();
    int holeReference = kUnfixed, outerReference = kUnfixed;
    for (int k = 0; k < contours->size(); ++k) {
        G3EdgeList* c = ContourAt(contours, k);
        const bool isHole = c->GetContourType() == CONTOUR_INNER;
        const int sign = GetSignOfOrientedSquare(c);
        if (holeReference == kUnfixed && sign != 0) {
            // The first contour of definite orientation keeps it; the other
            // kind runs the other way.
            holeReference = isHole ? -sign : sign;
            outerReference = -holeReference;
        }
        BeginUnloadContour(c->size(), isHole);
        UnloadContour(c, sign != 0 && sign == (isHole ? holeReference : outerReference));
        EndUnloadContour();
    }
}

void G3ContourDivider::UnloadContour(G3EdgeList* c, bool reversed)
{
    const int n = c->size();
    if (reversed) {
        ReverseContourFlags(c);
        for (int i = n - 1; i >= 0; --i) {
            G3Edge* e = c->GetEdge(i);
            UnloadEdge(e->GetVertex2()->GetXYZ(), EndKind(c->GetEdge((i + 1) % n), e), e->GetVertex1()->GetXYZ(),
                       EndKind(c->GetEdge((i + n - 1) % n), e), static_cast<int>(e->GetFlags()), 0, 0);
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        G3Edge* e = c->GetEdge(i);
        UnloadEdge(e->GetVertex1()->GetXYZ(), EndKind(c->GetEdge((i + n - 1) % n), e), e->GetVertex2()->GetXYZ(),
                   EndKind(c->GetEdge((i + 1) % n), e), static_cast<int>(e->GetFlags()),
                   e->GetVertex1()->GetUserValue(), e->GetVertex2()->GetUserValue());
    }
}

int G3ContourDivider::EndKind(G3Edge* neighbour, G3Edge* edge)
{
    if (!neighbour->GetVisible() && edge->GetVisible() && !edge->GetFormMaking())
        return kLineBreak;
    if (neighbour->GetVisible() && edge->GetVisible() &&
        (neighbour->GetFlags() & kGroupMask) != (edge->GetFlags() & kGroupMask))
        return kLineBreak;
    return kLineRuns;
}

int G3ContourDivider::GetSignOfOrientedSquare(G3EdgeList* c)
{
    const int n = c ? c->size() : 0;
    if (n < 3)
        return 0;
    const int x = c->GetXCoo(), y = c->GetYCoo();
    auto at = [c](int i) { return c->GetEdge(i)->GetVertex1()->GetXYZ(); };
    int m = 0;
    for (int i = 1; i < n; ++i)
        if (at(i)[x] > at(m)[x])
            m = i;
    const int next = (m + 1) % n;
    int p = (m + n - 1) % n;
    auto area = [&](int prev) {
        return G3Math::CalcSquare(at(prev)[x], at(prev)[y], at(m)[x], at(m)[y], at(next)[x], at(next)[y]);
    };
    double a = area(p);
    // On a straight run through the extreme vertex, step back until the
    // turn has an area.
    while (std::fabs(a) < tessaly::kAreaTolerance) {
        p = (p + n - 1) % n;
        if (p == next)
            break;
        a = area(p);
    }
    if (std::fabs(a) < tessaly::kAreaTolerance)
        return 0;
    return a >= 0 ? 1 : -1;
}

void G3ContourDivider::ReverseContourFlags(G3EdgeList* c)
{
    if (!c || c->size() == 0)
        return;
    bool carried = false; // the first edge ends without a mark
    for (int i = 0; i < c->size(); ++i) {
        G3Edge* e = c->GetEdge(i);
        const bool own = e->GetFormMaking();
        if (carried)
            e->SetFormMaking();
        else
            e->ClearFormMaking();
        carried = own;
    }
}

void G3ContourDivider::BeginUnload() {}
void G3ContourDivider::BeginUnloadContour(int, bool) {}
void G3ContourDivider::UnloadEdge(const double*, int, const double*, int, int, unsigned long, unsigned long) {}
void G3ContourDivider::EndUnloadContour() {}
void G3ContourDivider::EndUnload() {}

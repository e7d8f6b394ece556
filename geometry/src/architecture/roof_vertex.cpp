// Roof vertices and their rings, roof pitches, and the ring clean-up that
// every level of a roof goes through.
#include <algorithm>
#include <cmath>

#include "architecture/roof_tolerances.h"
#include "tessaly/roof.h"

TESSALY_DEFINE_POOLED_CLASS(G3RoofVertex, "G3RoofVertex", 65536)

using tessaly::roof::kAngleTolerance;

G3RoofVertex::G3RoofVertex()
{
    m_Position.Set(tessaly::roof::kFarValue, tessaly::roof::kFarValue, tessaly::roof::kFarValue);
    LinkAlone();
}

G3RoofVertex::G3RoofVertex(const G3RoofVertex& source)
    : G3Obj(), m_Angle(source.m_Angle), m_PitchIndex(source.m_PitchIndex), m_Marks(source.m_Marks),
      m_SourceIndex(source.m_SourceIndex)
{
    m_Position.Set(source.m_Position.GetXYZ());
    SetPlane(source.m_Plane);
    LinkAlone();
}

G3RoofVertex::~G3RoofVertex() = default;

void G3RoofVertex::SetPlane(const double* plane)
{
    for (int k = 0; k < 4; ++k)
        m_Plane[k] = plane[k];
}

void G3RoofVertex::TakeEdgeOf(const G3RoofVertex* other)
{
    SetPlane(other->m_Plane);
    m_PitchIndex = other->m_PitchIndex;
    m_SourceIndex = other->m_SourceIndex;
    m_Angle = other->m_Angle;
}

G3RoofVertex* G3RoofVertex::Append(G3RoofVertex* head, G3RoofVertex* v)
{
    if (!head) {
        v->LinkAlone();
        v->m_Marks |= kHeadMark;
        return v;
    }
    v->m_Marks &= ~kHeadMark;
    InsertBefore(head, v);
    return head;
}

void G3RoofVertex::InsertBefore(G3RoofVertex* at, G3RoofVertex* v)
{
    v->m_Previous = at->m_Previous;
    v->m_Next = at;
    at->m_Previous->m_Next = v;
    at->m_Previous = v;
}

G3RoofVertex* G3RoofVertex::Remove(G3RoofVertex* head, G3RoofVertex* v)
{
    if (v->m_Next == v) {
        delete v;
        return nullptr;
    }
    G3RoofVertex* previous = v->m_Previous;
    previous->m_Next = v->m_Next;
    v->m_Next->m_Previous = previous;
    if (v == head) {
        head = previous;
        head->m_Marks |= kHeadMark;
    }
    delete v;
    return head;
}

int G3RoofVertex::Count(const G3RoofVertex* head)
{
    if (!head)
        return 0;
    int n = 0;
    const G3RoofVertex* v = head;
    do {
        ++n;
        v = v->m_Next;
    } while (v != head);
    return n;
}

void G3RoofVertex::DeleteRing(G3RoofVertex* head)
{
    if (!head)
        return;
    head->m_Previous->m_Next = nullptr;
    while (head) {
        G3RoofVertex* next = head->m_Next;
        delete head;
        head = next;
    }
}

G3RoofVertex* G3RoofVertex::CopyRing(const G3RoofVertex* head)
{
    G3RoofVertex* copy = nullptr;
    if (!head)
        return copy;
    const G3RoofVertex* v = head;
    do {
        copy = Append(copy, new G3RoofVertex(*v));
        v = v->m_Next;
    } while (v != head);
    return copy;
}

void G3RoofVertex::Reverse(G3RoofVertex* head)
{
    if (!head)
        return;
    G3RoofVertex* v = head;
    do {
        G3RoofVertex* next = v->m_Next;
        v->m_Next = v->m_Previous;
        v->m_Previous = next;
        v = next;
    } while (v != head);
}

double G3RoofVertex::Area2(const G3RoofVertex* head)
{
    double area = 0;
    if (!head)
        return area;
    const G3RoofVertex* v = head;
    do {
        const double* p = v->GetXYZ();
        const double* q = v->m_Next->GetXYZ();
        area += p[0] * q[1] - q[0] * p[1];
        v = v->m_Next;
    } while (v != head);
    return area;
}

G3RoofPitch::G3RoofPitch(const double* plane, double angle) : m_Angle(angle)
{
    for (int k = 0; k < 4; ++k)
        m_Plane[k] = plane[k];
}

G3RoofPitch::~G3RoofPitch()
{
    for (int i = 0; i < m_Polygons.size(); ++i)
        G3RoofVertex::DeleteRing(GetPolygon(i));
    m_Polygons.clear();
}

bool G3RoofPitch::IsVertical() const
{
    return m_Angle > tessaly::roof::kVerticalAngle;
}

bool G3RoofPitch::HasPlane(const double* plane) const
{
    double sum = 0;
    for (int k = 0; k < 4; ++k)
        sum += (plane[k] - m_Plane[k]) * (plane[k] - m_Plane[k]);
    return std::sqrt(sum) < kAngleTolerance;
}

namespace {
enum class Straightness { None, On, Back };

// Unit direction from a to b in space; false for a zero length.
bool Unit(const double* a, const double* b, double* u)
{
    double len = 0;
    for (int k = 0; k < 3; ++k) {
        u[k] = b[k] - a[k];
        len += u[k] * u[k];
    }
    len = std::sqrt(len);
    if (len <= 0)
        return false;
    for (int k = 0; k < 3; ++k)
        u[k] /= len;
    return true;
}

double Distance(const double* a, const double* b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// Whether v lies on the line of its neighbours, going on or coming back:
// its two edges are parallel within the angle tolerance, and the far end of
// the longer edge lies within the length tolerance of the shorter edge's
// line. The second test keeps a real corner that is merely very sharp or
// very flat: the tip of a long, thin sliver between two nearly parallel
// edges, or a slight bend next to a very short edge.
Straightness StraightAt(const G3RoofVertex* v)
{
    double u1[3], u2[3];
    const double* p = v->GetPrevious()->GetXYZ();
    const double* n = v->GetNext()->GetXYZ();
    if (!Unit(p, v->GetXYZ(), u1) || !Unit(v->GetXYZ(), n, u2))
        return Straightness::None;
    const double dot = u1[0] * u2[0] + u1[1] * u2[1] + u1[2] * u2[2];
    double cross[3];
    V3OrtoVector(u1, u2, cross);
    const double sine = std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2]);
    const double reach = std::max(Distance(p, v->GetXYZ()), Distance(v->GetXYZ(), n));
    if (std::fabs(std::fabs(dot) - 1) >= kAngleTolerance || sine * reach >= tessaly::kLengthTolerance)
        return Straightness::None;
    return dot > 0 ? Straightness::On : Straightness::Back;
}

bool SamePlane(const G3RoofVertex* a, const G3RoofVertex* b)
{
    double sum = 0;
    for (int k = 0; k < 4; ++k)
        sum += (a->GetPlane()[k] - b->GetPlane()[k]) * (a->GetPlane()[k] - b->GetPlane()[k]);
    return std::sqrt(sum) < kAngleTolerance;
}

// v leaves the ring and its next vertex's edge runs from v's previous vertex
// on. Coming straight back, that edge lies along the longer of v's two edges:
// when that is v's arriving edge, the next vertex takes v's plane. Going
// straight on between two different planes, the lower plane (the smaller
// slope) is the roof above the merged edge.
void HandOverEdge(G3RoofVertex* v, Straightness kind)
{
    G3RoofVertex* next = v->GetNext();
    if (kind == Straightness::Back) {
        if (Distance(v->GetPrevious()->GetXYZ(), v->GetXYZ()) > Distance(v->GetXYZ(), next->GetXYZ()))
            next->TakeEdgeOf(v);
    } else if (!SamePlane(v, next) && v->GetAngle() < next->GetAngle()) {
        next->TakeEdgeOf(v);
    }
}

void Relink(G3RoofVertex* reference, const G3RoofVertex* removed, G3RoofVertex* keep)
{
    if (!reference)
        return;
    G3RoofVertex* r = reference;
    do {
        if (r->GetUpper() == removed)
            r->SetUpper(keep);
        r = r->GetNext();
    } while (r != reference);
}
} // namespace

G3RoofVertex* G3RoofGenerator::DeleteUselessVertices(G3RoofVertex* ring, G3RoofVertex* reference)
{
    G3RoofVertex* head = ring;
    int count = G3RoofVertex::Count(head);
    G3RoofVertex* v = head;
    // The walk ends after a whole round of vertices without a change; every
    // change removes a vertex, so it ends.
    for (int quiet = 0; head && quiet < count;) {
        G3RoofVertex* next = v->GetNext();
        if (next == v || G3Point::Equals(v->GetXYZ(), next->GetXYZ())) {
            Relink(reference, next, next == v ? nullptr : v);
            head = G3RoofVertex::Remove(head, next);
            --count;
            quiet = 0;
            continue;
        }
        const Straightness kind = StraightAt(v);
        if (kind == Straightness::None) {
            v = next;
            ++quiet;
            continue;
        }
        G3RoofVertex* previous = v->GetPrevious();
        HandOverEdge(v, kind);
        Relink(reference, v, next);
        head = G3RoofVertex::Remove(head, v);
        --count;
        quiet = 0;
        v = previous;
    }
    return head;
}

int G3RoofGenerator::Turn(const G3RoofVertex* v)
{
    const double* a = v->GetPrevious()->GetXYZ();
    const double* b = v->GetXYZ();
    const double* c = v->GetNext()->GetXYZ();
    double u1[2] = {b[0] - a[0], b[1] - a[1]}, u2[2] = {c[0] - b[0], c[1] - b[1]};
    const double l1 = std::hypot(u1[0], u1[1]), l2 = std::hypot(u2[0], u2[1]);
    if (l1 <= 0 || l2 <= 0)
        return 0;
    const double cross = (u1[0] * u2[1] - u1[1] * u2[0]) / (l1 * l2);
    return cross < -kAngleTolerance ? 1 : cross > kAngleTolerance ? -1 : 0;
}

int G3RoofGenerator::GetClockWiseDirection(G3RoofVertex* ring)
{
    if (!ring)
        return 0;
    G3RoofVertex* lowest = ring;
    for (G3RoofVertex* v = ring->GetNext(); v != ring; v = v->GetNext())
        if (v->GetXYZ()[1] < lowest->GetXYZ()[1])
            lowest = v;
    G3RoofVertex* v = lowest;
    do {
        if (const int turn = Turn(v))
            return turn;
        v = v->GetNext();
    } while (v != lowest);
    return 0;
}

// GEnvelope: the axis-aligned box with outcodes, segment and overlap tests.

#include "core/tolerances.h"
#include "tessaly/math.h"

#include <algorithm>
#include <climits>

namespace {

void SetCorner(double* corner, double x, double y, double z)
{
    corner[0] = x;
    corner[1] = y;
    corner[2] = z;
}

} // namespace

GEnvelope::GEnvelope() = default;

GEnvelope::GEnvelope(const GEnvelope* other)
{
    if (other) {
        std::copy(other->m_Min, other->m_Min + 3, m_Min);
        std::copy(other->m_Max, other->m_Max + 3, m_Max);
    }
}

GEnvelope::GEnvelope(const double* p1, const double* p2, const double* p3)
{
    Add(p1);
    Add(p2);
    Add(p3);
}

GEnvelope::GEnvelope(double minX, double minY, double minZ, double maxX, double maxY, double maxZ)
{
    Set(minX, minY, minZ, maxX, maxY, maxZ);
}

GEnvelope::~GEnvelope() = default;

void GEnvelope::Init()
{
    Set(0.0, 0.0);
}

void GEnvelope::Init(const double* p)
{
    if (!p) {
        Init();
        return;
    }
    SetCorner(m_Min, p[0], p[1], p[2]);
    SetCorner(m_Max, p[0], p[1], p[2]);
}

void GEnvelope::Set(double lo, double hi)
{
    SetCorner(m_Min, lo, lo, lo);
    SetCorner(m_Max, hi, hi, hi);
}

void GEnvelope::Set(double minX, double minY, double minZ, double maxX, double maxY, double maxZ)
{
    SetCorner(m_Min, minX, minY, minZ);
    SetCorner(m_Max, maxX, maxY, maxZ);
}

void GEnvelope::InitDefault(GEnvelope* env)
{
    if (env)
        env->Set(1.0, -1.0);
}

void GEnvelope::AddToDefault(GEnvelope* env, const double* p)
{
    if (env)
        env->Add(p);
}

void GEnvelope::AddToDefault(GEnvelope* env, const GEnvelope* box)
{
    if (env)
        env->Add(box);
}

void GEnvelope::Add(const double* p)
{
    if (!p)
        return;
    if (IsEmpty()) {
        Init(p);
        return;
    }
    for (int a = 0; a < 3; ++a) {
        m_Min[a] = std::min(m_Min[a], p[a]);
        m_Max[a] = std::max(m_Max[a], p[a]);
    }
}

void GEnvelope::Add(double x, double y, double z)
{
    const double p[3] = {x, y, z};
    Add(p);
}

void GEnvelope::Add(const GEnvelope* box)
{
    if (!box || box->IsEmpty())
        return;
    if (IsEmpty()) {
        std::copy(box->m_Min, box->m_Min + 3, m_Min);
        std::copy(box->m_Max, box->m_Max + 3, m_Max);
        return;
    }
    for (int a = 0; a < 3; ++a) {
        m_Min[a] = std::min(m_Min[a], box->m_Min[a]);
        m_Max[a] = std::max(m_Max[a], box->m_Max[a]);
    }
}

void GEnvelope::AddToMin(double dx, double dy, double dz)
{
    m_Min[0] += dx;
    m_Min[1] += dy;
    m_Min[2] += dz;
}

void GEnvelope::AddToMax(double dx, double dy, double dz)
{
    m_Max[0] += dx;
    m_Max[1] += dy;
    m_Max[2] += dz;
}

void GEnvelope::Extend()
{
    Extend(tessaly::kLengthTolerance);
}

void GEnvelope::Extend(double e)
{
    if (IsEmpty())
        return;
    AddToMin(-e, -e, -e);
    AddToMax(e, e, e);
}

bool GEnvelope::IsEmpty() const
{
    return m_Min[0] > m_Max[0] || m_Min[1] > m_Max[1] || m_Min[2] > m_Max[2];
}

double GEnvelope::GetMaxSize() const
{
    return std::max(XSize(), std::max(YSize(), ZSize()));
}

int GEnvelope::GetMaxCoo() const
{
    int i = 0, j = 0;
    GetMaxCoo(&i, &j);
    return 3 - i - j;
}

void GEnvelope::GetMaxCoo(int* i, int* j) const
{
    const double extent[3] = {XSize(), YSize(), ZSize()};
    G3Math::GetMaxCoo(extent, i, j);
}

int GEnvelope::ClipCode(const double* p) const
{
    int code = 0;
    for (int a = 0; a < 3; ++a) {
        if (p[a] < m_Min[a])
            code |= 1 << (2 * a);
        else if (p[a] > m_Max[a])
            code |= 2 << (2 * a);
    }
    return code;
}

// Outcodes settle the cases where an end lies inside or both ends lie beyond
// one side; otherwise the segment's parameter range is cut by each slab.
int GEnvelope::SegmentTest(const double* p, const double* q, int axes, int mask) const
{
    if (!p || !q)
        return -1;
    const int c1 = ClipCode(p) & mask;
    const int c2 = ClipCode(q) & mask;
    if (c1 & c2)
        return c1 & c2;
    if (c1 == 0 || c2 == 0)
        return 0;
    double enter = 0.0, leave = 1.0;
    for (int a = 0; a < axes; ++a) {
        const double d = q[a] - p[a];
        if (d == 0.0) {
            if (p[a] < m_Min[a] || p[a] > m_Max[a])
                return c1 | c2;
            continue;
        }
        const double tMin = (m_Min[a] - p[a]) / d;
        const double tMax = (m_Max[a] - p[a]) / d;
        enter = std::max(enter, d > 0.0 ? tMin : tMax);
        leave = std::min(leave, d > 0.0 ? tMax : tMin);
        if (enter > leave)
            return c1 | c2;
    }
    return 0;
}

int GEnvelope::ClipTest(const double* p, const double* q) const
{
    return SegmentTest(p, q, 3, 63);
}

int GEnvelope::ClipTestXY(const double* p, const double* q) const
{
    return SegmentTest(p, q, 2, 15);
}

int GEnvelope::ClipTestXYZ(const GEnvelope* other) const
{
    if (!IsIntersectXYZ(other))
        return INT_MIN;
    int code = 0;
    for (int a = 0; a < 3; ++a) {
        if (m_Min[a] < other->m_Min[a])
            code |= 1 << (2 * a);
        if (m_Max[a] > other->m_Max[a])
            code |= 2 << (2 * a);
    }
    return code;
}

bool GEnvelope::ClipXYZ(const GEnvelope* other, int code)
{
    if (!other || code == INT_MIN)
        return false;
    for (int a = 0; a < 3; ++a) {
        if (code & (1 << (2 * a)))
            m_Min[a] = other->m_Min[a];
        if (code & (2 << (2 * a)))
            m_Max[a] = other->m_Max[a];
    }
    return true;
}

namespace {

// Both boxes are non-empty on the axis and their ranges meet (strict: share
// a range of positive length).
bool RangesMeet(const double* minA, const double* maxA, const double* minB, const double* maxB, int axis, bool strict)
{
    if (minA[axis] > maxA[axis] || minB[axis] > maxB[axis])
        return false;
    if (strict)
        return minA[axis] < maxB[axis] && minB[axis] < maxA[axis];
    return minA[axis] <= maxB[axis] && minB[axis] <= maxA[axis];
}

} // namespace

bool GEnvelope::IsIntersectXY(const GEnvelope* other) const
{
    return other && RangesMeet(m_Min, m_Max, other->m_Min, other->m_Max, 0, false) &&
        RangesMeet(m_Min, m_Max, other->m_Min, other->m_Max, 1, false);
}

bool GEnvelope::IsIntersectXYZ(const GEnvelope* other) const
{
    return IsIntersectXY(other) && RangesMeet(m_Min, m_Max, other->m_Min, other->m_Max, 2, false);
}

bool GEnvelope::IsIntersectXYZ_Overlap(const GEnvelope* other) const
{
    if (!other)
        return false;
    for (int a = 0; a < 3; ++a)
        if (!RangesMeet(m_Min, m_Max, other->m_Min, other->m_Max, a, true))
            return false;
    return true;
}

bool GEnvelope::IsIntersectXYZ_NoOverlap(const GEnvelope* other) const
{
    return IsIntersectXYZ(other) && !IsIntersectXYZ_Overlap(other);
}

bool GEnvelope::FormEnvelope(const double* const* points, int count)
{
    InitDefault(this);
    if (!points || count <= 0)
        return false;
    for (int k = 0; k < count; ++k) {
        if (!points[k]) {
            InitDefault(this);
            return false;
        }
        Add(points[k]);
    }
    return true;
}

void GEnvelope::Transform(const double m[4][4])
{
    if (!m || IsEmpty())
        return;
    // Each output coordinate is a sum of one term per input axis; its extreme
    // values take each term at its own extreme, which is the box of the eight
    // transformed corners.
    double mn[3], mx[3];
    for (int j = 0; j < 3; ++j) {
        mn[j] = mx[j] = m[3][j];
        for (int i = 0; i < 3; ++i) {
            const double a = m[i][j] * m_Min[i];
            const double b = m[i][j] * m_Max[i];
            mn[j] += std::min(a, b);
            mx[j] += std::max(a, b);
        }
    }
    std::copy(mn, mn + 3, m_Min);
    std::copy(mx, mx + 3, m_Max);
}

void GEnvelope::Copy(GObj* source)
{
    GObj::Copy(source);
    if (const GEnvelope* box = dynamic_cast<const GEnvelope*>(source)) {
        std::copy(box->m_Min, box->m_Min + 3, m_Min);
        std::copy(box->m_Max, box->m_Max + 3, m_Max);
    }
}

GEnvelope* GEnvelope::Duplicate()
{
    GEnvelope* copy = new GEnvelope();
    copy->Copy(this);
    return copy;
}

#include "tessaly/elements.h"

#include "core/tolerances.h"
#include <cmath>
#include <limits>

using tessaly::kLengthTolerance;

TESSALY_DEFINE_POOLED_CLASS(G3Point, "G3Point", 65536)

double G3Point::Sanitize(double value)
{
    return value == std::numeric_limits<double>::infinity() ? 0.0 : value;
}

G3Point::G3Point(const double* xyz, unsigned long userValue) : G3Obj(userValue)
{
    if (xyz)
        Set(xyz);
}

G3Point::G3Point(double x, double y, double z, unsigned long userValue) : G3Obj(userValue)
{
    Set(x, y, z);
}

void G3Point::Set(const double* xyz)
{
    Set(xyz[0], xyz[1], xyz[2]);
}

void G3Point::Set(double x, double y, double z)
{
    m_XYZ[0] = Sanitize(x);
    m_XYZ[1] = Sanitize(y);
    m_XYZ[2] = Sanitize(z);
}

void G3Point::Negate()
{
    m_XYZ[0] = -m_XYZ[0];
    m_XYZ[1] = -m_XYZ[1];
    m_XYZ[2] = -m_XYZ[2];
}

void G3Point::Copy(GObj* source)
{
    G3Obj::Copy(source);
    if (auto* other = dynamic_cast<G3Point*>(source)) {
        m_XYZ[0] = other->m_XYZ[0];
        m_XYZ[1] = other->m_XYZ[1];
        m_XYZ[2] = other->m_XYZ[2];
    }
}

void G3Point::Copy(G3Obj* source)
{
    Copy(static_cast<GObj*>(source));
}

GObj* G3Point::Duplicate()
{
    auto* copy = new G3Point;
    copy->Copy(static_cast<GObj*>(this));
    return copy;
}

bool G3Point::Equals(const double* a, const double* b, double eps)
{
    double dx = a[0] - b[0];
    double dy = a[1] - b[1];
    double dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz) < eps;
}

bool G3Point::Equals(const double* a, const double* b)
{
    return Equals(a, b, kLengthTolerance);
}

bool G3Point::Equals(const double* xyz, double eps)
{
    return Equals(m_XYZ, xyz, eps);
}

bool G3Point::Equals(const double* xyz)
{
    return Equals(m_XYZ, xyz, kLengthTolerance);
}

bool G3Point::Equals(const GObj* other, double eps)
{
    auto* point = dynamic_cast<const G3Point*>(other);
    return point && Equals(m_XYZ, point->m_XYZ, eps);
}

bool G3Point::Equals(const GObj* other)
{
    return Equals(other, kLengthTolerance);
}

GObj* G3Normal::Duplicate()
{
    auto* copy = new G3Normal;
    copy->Copy(static_cast<GObj*>(this));
    return copy;
}

void G3Normal::RealTransformation(double m[4][4])
{
    double p[4] = {GetX(), GetY(), GetZ(), 1.0};
    double q[4];
    V4MulPointByMatrix(p, m, q);
    Set(q[0] - m[3][0], q[1] - m[3][1], q[2] - m[3][2]);
}

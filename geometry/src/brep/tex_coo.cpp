#include "tessaly/elements.h"

#include "core/tolerances.h"
#include <cmath>
#include <limits>

using tessaly::kLengthTolerance;

TESSALY_DEFINE_POOLED_CLASS(G3TexCoo, "G3TexCoo", 65536)

namespace {
double Sanitize(double value)
{
    return value == std::numeric_limits<double>::infinity() ? 0.0 : value;
}
} // namespace

G3TexCoo::G3TexCoo(const double* uv)
{
    if (uv)
        Set(uv);
}

G3TexCoo::G3TexCoo(double u, double v)
{
    SetU(u);
    SetV(v);
}

void G3TexCoo::SetU(double u)
{
    m_UV[0] = Sanitize(u);
}

void G3TexCoo::SetV(double v)
{
    m_UV[1] = Sanitize(v);
}

void G3TexCoo::Set(const double* uv)
{
    SetU(uv[0]);
    SetV(uv[1]);
}

void G3TexCoo::Copy(GObj* source)
{
    G3Obj::Copy(source);
    if (auto* other = dynamic_cast<G3TexCoo*>(source)) {
        m_UV[0] = other->m_UV[0];
        m_UV[1] = other->m_UV[1];
    }
}

void G3TexCoo::Copy(G3Obj* source)
{
    Copy(static_cast<GObj*>(source));
}

GObj* G3TexCoo::Duplicate()
{
    auto* copy = new G3TexCoo;
    copy->Copy(static_cast<GObj*>(this));
    return copy;
}

bool G3TexCoo::Equals(const G3TexCoo* other, double eps) const
{
    if (!other)
        return false;
    double du = m_UV[0] - other->m_UV[0];
    double dv = m_UV[1] - other->m_UV[1];
    return std::sqrt(du * du + dv * dv) < eps;
}

bool G3TexCoo::Equals(const G3TexCoo* other) const
{
    return Equals(other, kLengthTolerance);
}

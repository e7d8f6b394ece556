#pragma once
// A plain 3-vector with the handful of operations geometric constructions
// need; it converts from and to the kernel's double[3] coordinates.
#include <cmath>

namespace tessaly {

struct Vec3 {
    double v[3] = {0, 0, 0};

    Vec3() = default;
    Vec3(double x, double y, double z) : v{x, y, z} {}
    explicit Vec3(const double* p) : v{p[0], p[1], p[2]} {}

    const double* data() const { return v; }
    double operator[](int k) const { return v[k]; }
    Vec3 operator+(const Vec3& o) const { return {v[0] + o.v[0], v[1] + o.v[1], v[2] + o.v[2]}; }
    Vec3 operator-(const Vec3& o) const { return {v[0] - o.v[0], v[1] - o.v[1], v[2] - o.v[2]}; }
    Vec3 operator*(double s) const { return {v[0] * s, v[1] * s, v[2] * s}; }
    Vec3 operator-() const { return {-v[0], -v[1], -v[2]}; }
};

inline double Dot(const Vec3& a, const Vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

inline double Length(const Vec3& a)
{
    return std::sqrt(Dot(a, a));
}

// a scaled to unit length; the zero vector stays zero.
inline Vec3 Normalized(const Vec3& a)
{
    const double len = Length(a);
    return len > 0 ? a * (1.0 / len) : a;
}

} // namespace tessaly

#include "triangulation/predicates.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace g3t_predicates {
namespace {

thread_local long t_ExactCount = 0;

// Unit roundoff of binary64 (half an ulp of 1).
constexpr double kEps = 1.1102230246251565e-16;
// Below this size of the terms the filter is not trusted (subnormal results
// and underflowed error bounds); the exact path answers instead.
constexpr double kTiny = 1e-250;

// ---------------------------------------------------------------------------
// A signed integer of up to kMaxLimbs 64-bit limbs (sign and magnitude).
// Enough for the in-circle determinant of any finite doubles: coordinates
// span at most 2^11 + 53 bits after scaling, the determinant four times that.
constexpr int kMaxLimbs = 140;

struct BigInt {
    int size = 0; // limbs in use; zero has size 0
    bool negative = false;
    std::uint64_t limb[kMaxLimbs];

    int Sign() const { return size == 0 ? 0 : (negative ? -1 : 1); }
    void Trim()
    {
        while (size > 0 && limb[size - 1] == 0)
            --size;
        if (size == 0)
            negative = false;
    }
};

// |a| compared with |b|.
int CompareMagnitude(const BigInt& a, const BigInt& b)
{
    if (a.size != b.size)
        return a.size < b.size ? -1 : 1;
    for (int i = a.size - 1; i >= 0; --i) {
        if (a.limb[i] != b.limb[i])
            return a.limb[i] < b.limb[i] ? -1 : 1;
    }
    return 0;
}

// out = |a| + |b| (magnitudes only).
void AddMagnitude(const BigInt& a, const BigInt& b, BigInt& out)
{
    const BigInt& longer = a.size >= b.size ? a : b;
    const BigInt& shorter = a.size >= b.size ? b : a;
    unsigned __int128 carry = 0;
    int i = 0;
    for (; i < shorter.size; ++i) {
        carry += static_cast<unsigned __int128>(longer.limb[i]) + shorter.limb[i];
        out.limb[i] = static_cast<std::uint64_t>(carry);
        carry >>= 64;
    }
    for (; i < longer.size; ++i) {
        carry += longer.limb[i];
        out.limb[i] = static_cast<std::uint64_t>(carry);
        carry >>= 64;
    }
    out.size = longer.size;
    if (carry != 0 && out.size < kMaxLimbs)
        out.limb[out.size++] = static_cast<std::uint64_t>(carry);
}

// out = |a| - |b|, requires |a| >= |b|.
void SubMagnitude(const BigInt& a, const BigInt& b, BigInt& out)
{
    std::uint64_t borrow = 0;
    for (int i = 0; i < a.size; ++i) {
        std::uint64_t bi = i < b.size ? b.limb[i] : 0;
        std::uint64_t d = a.limb[i] - bi;
        std::uint64_t nextBorrow = (a.limb[i] < bi) || (d < borrow) ? 1 : 0;
        out.limb[i] = d - borrow;
        borrow = nextBorrow;
    }
    out.size = a.size;
    out.Trim();
}

// out = a + (negateB ? -b : b). out may not alias a or b.
void AddSigned(const BigInt& a, const BigInt& b, bool negateB, BigInt& out)
{
    bool bNegative = b.size != 0 && (b.negative != negateB);
    if (a.size == 0) {
        out.size = b.size;
        std::memcpy(out.limb, b.limb, sizeof(std::uint64_t) * static_cast<std::size_t>(b.size));
        out.negative = bNegative;
        return;
    }
    if (b.size == 0) {
        out.size = a.size;
        std::memcpy(out.limb, a.limb, sizeof(std::uint64_t) * static_cast<std::size_t>(a.size));
        out.negative = a.negative;
        return;
    }
    if (a.negative == bNegative) {
        AddMagnitude(a, b, out);
        out.negative = a.negative;
        return;
    }
    int c = CompareMagnitude(a, b);
    if (c == 0) {
        out.size = 0;
        out.negative = false;
    } else if (c > 0) {
        SubMagnitude(a, b, out);
        out.negative = a.negative;
    } else {
        SubMagnitude(b, a, out);
        out.negative = bNegative;
    }
    out.Trim();
}

void Multiply(const BigInt& a, const BigInt& b, BigInt& out)
{
    if (a.size == 0 || b.size == 0) {
        out.size = 0;
        out.negative = false;
        return;
    }
    int n = a.size + b.size;
    if (n > kMaxLimbs)
        n = kMaxLimbs; // cannot happen for the bounded inputs of this file
    for (int i = 0; i < n; ++i)
        out.limb[i] = 0;
    for (int i = 0; i < a.size; ++i) {
        unsigned __int128 carry = 0;
        for (int j = 0; j < b.size && i + j < n; ++j) {
            carry += static_cast<unsigned __int128>(a.limb[i]) * b.limb[j] + out.limb[i + j];
            out.limb[i + j] = static_cast<std::uint64_t>(carry);
            carry >>= 64;
        }
        int k = i + b.size;
        while (carry != 0 && k < n) {
            carry += out.limb[k];
            out.limb[k] = static_cast<std::uint64_t>(carry);
            carry >>= 64;
            ++k;
        }
    }
    out.size = n;
    out.negative = a.negative != b.negative;
    out.Trim();
}

// A finite double split into an odd-or-zero integer mantissa and exponent:
// value = mantissa * 2^exponent.
struct Decomposed {
    std::uint64_t mantissa = 0; // 0 for a zero value
    int exponent = 0;           // of the lowest set bit of the mantissa
    bool negative = false;
};

Decomposed Decompose(double v)
{
    Decomposed d;
    if (v == 0.0)
        return d;
    int e = 0;
    double m = std::frexp(std::fabs(v), &e); // |v| = m * 2^e, m in [0.5, 1)
    auto mant = static_cast<std::uint64_t>(std::ldexp(m, 53));
    int tz = __builtin_ctzll(mant);
    d.mantissa = mant >> tz;
    d.exponent = e - 53 + tz;
    d.negative = v < 0;
    return d;
}

// Sets out to d * 2^(d.exponent - base) (an integer since base is the least
// exponent of the call).
void ToBigInt(const Decomposed& d, int base, BigInt& out)
{
    out.size = 0;
    out.negative = false;
    if (d.mantissa == 0)
        return;
    int shift = d.exponent - base;
    int limbShift = shift / 64;
    int bitShift = shift % 64;
    for (int i = 0; i < limbShift; ++i)
        out.limb[i] = 0;
    out.limb[limbShift] = d.mantissa << bitShift;
    out.size = limbShift + 1;
    if (bitShift != 0) {
        std::uint64_t high = d.mantissa >> (64 - bitShift);
        if (high != 0)
            out.limb[out.size++] = high;
    }
    out.negative = d.negative;
}

bool AllFinite(const double* values, int n)
{
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(values[i]))
            return false;
    }
    return true;
}

// Converts n coordinates to integers scaled by one common power of two.
void ScaleToIntegers(const double* values, int n, BigInt* out)
{
    Decomposed d[8];
    int base = std::numeric_limits<int>::max();
    for (int i = 0; i < n; ++i) {
        d[i] = Decompose(values[i]);
        if (d[i].mantissa != 0 && d[i].exponent < base)
            base = d[i].exponent;
    }
    for (int i = 0; i < n; ++i)
        ToBigInt(d[i], base, out[i]);
}

// ---------------------------------------------------------------------------
// The common case of the exact path: all coordinates of the call fit in 60
// bits after scaling by one power of two (same-scale data, lattices). Then
// orientation is exact in 128 bits and in-circle in 256 bits.

// Scaled integers of n values; false when they would need more than 60 bits.
bool ScaleToInt64(const double* values, int n, std::int64_t* out)
{
    // Integer coordinates (lattices, grid data) need no scaling.
    bool integers = true;
    for (int i = 0; i < n && integers; ++i) {
        const double v = values[i];
        if (!(std::fabs(v) < 1152921504606846976.0)) { // 2^60
            integers = false;
            break;
        }
        out[i] = static_cast<std::int64_t>(v);
        integers = static_cast<double>(out[i]) == v;
    }
    if (integers)
        return true;
    Decomposed d[8];
    int base = std::numeric_limits<int>::max();
    int top = std::numeric_limits<int>::min();
    for (int i = 0; i < n; ++i) {
        d[i] = Decompose(values[i]);
        if (d[i].mantissa == 0)
            continue;
        base = std::min(base, d[i].exponent);
        top = std::max(top, d[i].exponent + 64 - __builtin_clzll(d[i].mantissa));
    }
    if (top != std::numeric_limits<int>::min() && top - base > 60)
        return false;
    for (int i = 0; i < n; ++i) {
        if (d[i].mantissa == 0) {
            out[i] = 0;
            continue;
        }
        auto m = static_cast<std::int64_t>(d[i].mantissa << (d[i].exponent - base));
        out[i] = d[i].negative ? -m : m;
    }
    return true;
}

// Two's complement 256-bit integer, least significant word first.
struct Int256 {
    std::uint64_t w[4] = {0, 0, 0, 0};
};

Int256 Negate(const Int256& a)
{
    Int256 r;
    unsigned __int128 carry = 1;
    for (int i = 0; i < 4; ++i) {
        carry += static_cast<std::uint64_t>(~a.w[i]);
        r.w[i] = static_cast<std::uint64_t>(carry);
        carry >>= 64;
    }
    return r;
}

Int256 Add(const Int256& a, const Int256& b)
{
    Int256 r;
    unsigned __int128 carry = 0;
    for (int i = 0; i < 4; ++i) {
        carry += static_cast<unsigned __int128>(a.w[i]) + b.w[i];
        r.w[i] = static_cast<std::uint64_t>(carry);
        carry >>= 64;
    }
    return r;
}

// Exact product of two signed values below 2^126 in magnitude.
Int256 Multiply128(__int128 a, __int128 b)
{
    const bool negative = (a < 0) != (b < 0);
    const auto ua = static_cast<unsigned __int128>(a < 0 ? -a : a);
    const auto ub = static_cast<unsigned __int128>(b < 0 ? -b : b);
    const std::uint64_t a0 = static_cast<std::uint64_t>(ua), a1 = static_cast<std::uint64_t>(ua >> 64);
    const std::uint64_t b0 = static_cast<std::uint64_t>(ub), b1 = static_cast<std::uint64_t>(ub >> 64);
    const unsigned __int128 p00 = static_cast<unsigned __int128>(a0) * b0;
    const unsigned __int128 p01 = static_cast<unsigned __int128>(a0) * b1;
    const unsigned __int128 p10 = static_cast<unsigned __int128>(a1) * b0;
    const unsigned __int128 p11 = static_cast<unsigned __int128>(a1) * b1;
    Int256 r;
    r.w[0] = static_cast<std::uint64_t>(p00);
    unsigned __int128 mid = (p00 >> 64) + static_cast<std::uint64_t>(p01) + static_cast<std::uint64_t>(p10);
    r.w[1] = static_cast<std::uint64_t>(mid);
    unsigned __int128 high = (mid >> 64) + (p01 >> 64) + (p10 >> 64) + static_cast<std::uint64_t>(p11);
    r.w[2] = static_cast<std::uint64_t>(high);
    r.w[3] = static_cast<std::uint64_t>((high >> 64) + (p11 >> 64));
    return negative ? Negate(r) : r;
}

int Sign(const Int256& a)
{
    if (a.w[3] >> 63)
        return -1;
    return (a.w[0] | a.w[1] | a.w[2] | a.w[3]) != 0 ? 1 : 0;
}

} // namespace

int OrientationExact(double ax, double ay, double bx, double by, double cx, double cy)
{
    ++t_ExactCount;
    const double values[6] = {ax, ay, bx, by, cx, cy};
    if (!AllFinite(values, 6))
        return 0; // no sign for NaN or infinite input
    std::int64_t iv[6];
    if (ScaleToInt64(values, 6, iv)) {
        const __int128 acx = static_cast<__int128>(iv[0]) - iv[4], acy = static_cast<__int128>(iv[1]) - iv[5];
        const __int128 bcx = static_cast<__int128>(iv[2]) - iv[4], bcy = static_cast<__int128>(iv[3]) - iv[5];
        const __int128 det = acx * bcy - acy * bcx;
        return (det > 0) - (det < 0);
    }
    BigInt v[6];
    ScaleToIntegers(values, 6, v);
    BigInt acx, acy, bcx, bcy, left, right, det;
    AddSigned(v[0], v[4], true, acx);
    AddSigned(v[1], v[5], true, acy);
    AddSigned(v[2], v[4], true, bcx);
    AddSigned(v[3], v[5], true, bcy);
    Multiply(acx, bcy, left);
    Multiply(acy, bcx, right);
    AddSigned(left, right, true, det);
    return det.Sign();
}

int InCircleExact(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy)
{
    ++t_ExactCount;
    const double values[8] = {ax, ay, bx, by, cx, cy, dx, dy};
    if (!AllFinite(values, 8))
        return 0;
    std::int64_t iv[8];
    if (ScaleToInt64(values, 8, iv)) {
        const __int128 adx = static_cast<__int128>(iv[0]) - iv[6], ady = static_cast<__int128>(iv[1]) - iv[7];
        const __int128 bdx = static_cast<__int128>(iv[2]) - iv[6], bdy = static_cast<__int128>(iv[3]) - iv[7];
        const __int128 cdx = static_cast<__int128>(iv[4]) - iv[6], cdy = static_cast<__int128>(iv[5]) - iv[7];
        // |differences| < 2^61: lifts and minors below 2^123.
        const __int128 alift = adx * adx + ady * ady;
        const __int128 blift = bdx * bdx + bdy * bdy;
        const __int128 clift = cdx * cdx + cdy * cdy;
        Int256 sum = Multiply128(alift, bdx * cdy - cdx * bdy);
        sum = Add(sum, Multiply128(blift, cdx * ady - adx * cdy));
        sum = Add(sum, Multiply128(clift, adx * bdy - bdx * ady));
        return Sign(sum);
    }
    BigInt v[8];
    ScaleToIntegers(values, 8, v);
    // Differences to d.
    BigInt adx, ady, bdx, bdy, cdx, cdy;
    AddSigned(v[0], v[6], true, adx);
    AddSigned(v[1], v[7], true, ady);
    AddSigned(v[2], v[6], true, bdx);
    AddSigned(v[3], v[7], true, bdy);
    AddSigned(v[4], v[6], true, cdx);
    AddSigned(v[5], v[7], true, cdy);

    BigInt p, q, cross, sq1, sq2, lift, term, sum1, sum2;
    auto minor = [&](const BigInt& ux, const BigInt& uy, const BigInt& wx, const BigInt& wy, BigInt& res) {
        Multiply(ux, wy, p);
        Multiply(wx, uy, q);
        AddSigned(p, q, true, res); // ux*wy - wx*uy
    };
    auto lifted = [&](const BigInt& ux, const BigInt& uy, BigInt& res) {
        Multiply(ux, ux, sq1);
        Multiply(uy, uy, sq2);
        AddSigned(sq1, sq2, false, res);
    };
    BigInt total;
    // alift * (bdx*cdy - cdx*bdy)
    minor(bdx, bdy, cdx, cdy, cross);
    lifted(adx, ady, lift);
    Multiply(lift, cross, term);
    total = term;
    // blift * (cdx*ady - adx*cdy)
    minor(cdx, cdy, adx, ady, cross);
    lifted(bdx, bdy, lift);
    Multiply(lift, cross, term);
    AddSigned(total, term, false, sum1);
    // clift * (adx*bdy - bdx*ady)
    minor(adx, ady, bdx, bdy, cross);
    lifted(cdx, cdy, lift);
    Multiply(lift, cross, term);
    AddSigned(sum1, term, false, sum2);
    return sum2.Sign();
}

int Orientation(double ax, double ay, double bx, double by, double cx, double cy)
{
    const double left = (ax - cx) * (by - cy);
    const double right = (ay - cy) * (bx - cx);
    const double det = left - right;
    const double sum = std::fabs(left) + std::fabs(right);
    // Each product carries at most three roundings (two differences and the
    // product), the difference one more: |error| <= (4 eps + O(eps^2)) * sum.
    // 8 eps leaves a wide margin for the second-order terms and for the
    // rounding of sum itself.
    const double bound = 8.0 * kEps * sum;
    if (sum > kTiny) {
        if (det > bound)
            return 1;
        if (-det > bound)
            return -1;
    }
    return OrientationExact(ax, ay, bx, by, cx, cy);
}

int InCircle(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy)
{
    const double adx = ax - dx, ady = ay - dy;
    const double bdx = bx - dx, bdy = by - dy;
    const double cdx = cx - dx, cdy = cy - dy;

    const double bdxcdy = bdx * cdy, cdxbdy = cdx * bdy;
    const double cdxady = cdx * ady, adxcdy = adx * cdy;
    const double adxbdy = adx * bdy, bdxady = bdx * ady;
    const double alift = adx * adx + ady * ady;
    const double blift = bdx * bdx + bdy * bdy;
    const double clift = cdx * cdx + cdy * cdy;

    const double det = alift * (bdxcdy - cdxbdy) + blift * (cdxady - adxcdy) + clift * (adxbdy - bdxady);
    const double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * alift +
        (std::fabs(cdxady) + std::fabs(adxcdy)) * blift + (std::fabs(adxbdy) + std::fabs(bdxady)) * clift;
    // A term lift * (p - q) carries at most ten roundings relative to
    // lift * (|p| + |q|) (differences, squares and their sum, products,
    // the inner difference, the outer product), the two outer additions two
    // more: |error| <= (12 eps + O(eps^2)) * permanent. 16 eps is safe.
    const double bound = 16.0 * kEps * permanent;
    if (permanent > kTiny) {
        if (det > bound)
            return 1;
        if (-det > bound)
            return -1;
    }
    return InCircleExact(ax, ay, bx, by, cx, cy, dx, dy);
}

long ExactEvaluationCount()
{
    return t_ExactCount;
}

void ResetExactEvaluationCount()
{
    t_ExactCount = 0;
}

} // namespace g3t_predicates

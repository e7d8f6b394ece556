// Matrix functions: builders, determinants and inversion against independent
// computations, view and basis matrices, and the factor decomposition.

#include "tessaly/math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace {

const double kPi = 3.14159265358979323846;

using M4 = double[4][4];

void Mul(const M4 a, const M4 b, M4 out)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            out[i][j] = 0.0;
            for (int k = 0; k < 4; ++k)
                out[i][j] += a[i][k] * b[k][j];
        }
}

void Apply(const M4 m, double x, double y, double z, double w, double out[4])
{
    const double p[4] = {x, y, z, w};
    V4MulPointByMatrix(p, m, out);
}

void ExpectMatrixNear(const M4 a, const M4 b, double tol)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(a[i][j], b[i][j], tol) << "element " << i << "," << j;
}

void RandomMatrix(std::mt19937& rng, M4 m)
{
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] = u(rng) + (i == j ? 4.0 : 0.0); // diagonally dominant
}

// Sum over all permutations of signed products.
double LeibnizDet(const M4 m)
{
    int perm[4] = {0, 1, 2, 3};
    double det = 0.0;
    do {
        int inversions = 0;
        for (int a = 0; a < 4; ++a)
            for (int b = a + 1; b < 4; ++b)
                inversions += perm[a] > perm[b];
        double term = inversions % 2 ? -1.0 : 1.0;
        for (int r = 0; r < 4; ++r)
            term *= m[r][perm[r]];
        det += term;
    } while (std::next_permutation(perm, perm + 4));
    return det;
}

// Gauss-Jordan elimination with partial pivoting.
void GaussInverse(const M4 m, M4 inv)
{
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 8; ++j)
            a[i][j] = j < 4 ? m[i][j] : (j - 4 == i ? 1.0 : 0.0);
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c]))
                pivot = r;
        std::swap(a[c], a[pivot]);
        const double p = a[c][c];
        for (int j = 0; j < 8; ++j)
            a[c][j] /= p;
        for (int r = 0; r < 4; ++r)
            if (r != c) {
                const double f = a[r][c];
                for (int j = 0; j < 8; ++j)
                    a[r][j] -= f * a[c][j];
            }
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            inv[i][j] = a[i][j + 4];
}

void ExpectOrthonormalRotation(const M4 m)
{
    for (int r = 0; r < 3; ++r)
        for (int s = 0; s < 3; ++s) {
            double dot = 0.0;
            for (int k = 0; k < 3; ++k)
                dot += m[r][k] * m[s][k];
            EXPECT_NEAR(dot, r == s ? 1.0 : 0.0, 1e-12);
        }
    EXPECT_NEAR(Det3x3(m[0][0], m[1][0], m[2][0], m[0][1], m[1][1], m[2][1], m[0][2], m[1][2], m[2][2]), 1.0, 1e-12);
}

} // namespace

TEST(MatrixBuilders, CompositeRotateThenTranslate)
{
    M4 m;
    M4Identity(m);
    M4RotateZ(m, kPi / 2);
    M4Translate(m, 1, 0, 0);
    double out[4];
    Apply(m, 1, 0, 0, 1, out);
    EXPECT_NEAR(out[0], 1.0, 1e-15);
    EXPECT_NEAR(out[1], 1.0, 1e-15);
    EXPECT_NEAR(out[2], 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(out[3], 1.0);
}

TEST(MatrixBuilders, RotationsAreRightHandedAndAppliedAfterExistingSteps)
{
    struct Case {
        void (*rotate)(double[4][4], double);
        double from[3], to[3];
    } cases[] = {
        {M4RotateX, {0, 1, 0}, {0, 0, 1}}, {M4RotateY, {0, 0, 1}, {1, 0, 0}}, {M4RotateZ, {1, 0, 0}, {0, 1, 0}}};
    for (const Case& c : cases) {
        M4 m;
        M4Identity(m);
        M4Scale(m, 2.0); // applied first: the rotation must not undo it
        c.rotate(m, kPi / 2);
        double out[4];
        Apply(m, c.from[0], c.from[1], c.from[2], 1, out);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out[k], 2.0 * c.to[k], 1e-15);
    }
    // Scaling after a translation scales the translated point.
    M4 m;
    M4Identity(m);
    M4Translate(m, 1, 2, 3);
    M4Scale(m, 2, 3, 4);
    double out[4];
    Apply(m, 1, 1, 1, 1, out);
    EXPECT_DOUBLE_EQ(out[0], 4.0);
    EXPECT_DOUBLE_EQ(out[1], 9.0);
    EXPECT_DOUBLE_EQ(out[2], 16.0);
}

TEST(MatrixBuilders, AxisAngleRotation)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int n = 0; n < 50; ++n) {
        const double axis[3] = {u(rng), u(rng), u(rng)};
        const double angle = 3.0 * u(rng);
        M4 m;
        ASSERT_TRUE(M4RotationMatrix(angle, axis[0], axis[1], axis[2], m));
        ExpectOrthonormalRotation(m);
        double out[4];
        Apply(m, axis[0], axis[1], axis[2], 0, out);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out[k], axis[k], 1e-12); // the axis is fixed
    }
    // On row vectors the layout turns by -angle: about z it is RotateZ(-a).
    M4 m, r;
    M4RotationMatrix(0.3, 0, 0, 5, m);
    M4Identity(r);
    M4RotateZ(r, -0.3);
    ExpectMatrixNear(m, r, 1e-15);

    EXPECT_FALSE(M4RotationMatrix(1.0, 1e-7, 0, 0, m));
    EXPECT_TRUE(M4IsIdentity(m));
}

TEST(MatrixDeterminant, MatchesPermutationSum)
{
    std::mt19937 rng(11);
    for (int n = 0; n < 100; ++n) {
        M4 m;
        RandomMatrix(rng, m);
        m[n % 4][(n + 1) % 4] *= 5.0;
        const double expected = LeibnizDet(m);
        EXPECT_NEAR(Det4x4(m), expected, 1e-12 * std::fabs(expected));
    }
    // Det3x3 takes columns: the 3x3 with rows (1,2,3), (0,1,4), (5,6,0).
    EXPECT_DOUBLE_EQ(Det3x3(1, 0, 5, 2, 1, 6, 3, 4, 0), 1.0);
    EXPECT_DOUBLE_EQ(Det2x2(3, 4, 5, 6), -2.0);
}

TEST(MatrixInverse, MatchesGaussianEliminationAndInvertsProduct)
{
    std::mt19937 rng(3);
    for (int n = 0; n < 100; ++n) {
        M4 m, inv, expected, product, id;
        RandomMatrix(rng, m);
        ASSERT_TRUE(M4Inverse(m, inv));
        GaussInverse(m, expected);
        ExpectMatrixNear(inv, expected, 1e-12);
        Mul(m, inv, product);
        M4Identity(id);
        ExpectMatrixNear(product, id, 1e-12);
        // In place.
        ASSERT_TRUE(M4Inverse(m, m));
        ExpectMatrixNear(m, expected, 1e-12);
    }
}

TEST(MatrixInverse, SingularThresholdLeavesAdjugate)
{
    M4 m, out;
    M4Identity(m);
    M4Scale(m, 1e-5);
    m[3][3] = 1e-5; // determinant 1e-20
    EXPECT_FALSE(M4Inverse(m, out));
    // The adjugate satisfies adj * m = det * I.
    M4 product;
    Mul(out, m, product);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(product[i][j], i == j ? 1e-20 : 0.0, 1e-35);

    // The limit is the double just below 1e-18: it is itself accepted.
    const double limit = 9.999999999999999e-19;
    M4Identity(m);
    m[0][0] = limit;
    EXPECT_TRUE(M4Inverse(m, out));
    EXPECT_DOUBLE_EQ(out[0][0], 1.0 / limit);
    m[0][0] = std::nextafter(limit, 0.0);
    EXPECT_FALSE(M4Inverse(m, out));
}

TEST(MatrixQueries, IdentityToleranceIsStrict)
{
    M4 m;
    M4Identity(m);
    EXPECT_TRUE(M4IsIdentity(m));
    m[2][1] = 0.9e-6;
    m[3][3] = 1.0 - 0.9e-6;
    EXPECT_TRUE(M4IsIdentity(m));
    m[2][1] = 1e-6;
    EXPECT_FALSE(M4IsIdentity(m));
    M4Identity(m);
    m[1][1] = 1.0 + 2e-6;
    EXPECT_FALSE(M4IsIdentity(m));
}

TEST(MatrixBuilders, LookAtPlacesEyeAtOriginLookingDownMinusZ)
{
    const double eye[3] = {3, -2, 7}, target[3] = {1, 4, 2}, up[3] = {0, 0, 1};
    M4 m;
    M4LookAtMatrix(eye, target, up, m);
    ExpectOrthonormalRotation(m);
    double out[4];
    Apply(m, eye[0], eye[1], eye[2], 1, out);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(out[k], 0.0, 1e-12);
    const double dist = std::sqrt(4.0 + 36.0 + 25.0);
    Apply(m, target[0], target[1], target[2], 1, out);
    EXPECT_NEAR(out[0], 0.0, 1e-12);
    EXPECT_NEAR(out[1], 0.0, 1e-12);
    EXPECT_NEAR(out[2], -dist, 1e-12);
    Apply(m, up[0], up[1], up[2], 0, out); // up lands in the upper half
    EXPECT_NEAR(out[0], 0.0, 1e-12);
    EXPECT_GT(out[1], 0.0);
}

TEST(MatrixBuilders, BasisToGivesFrameCoordinates)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    const double o[3] = {1, 2, 3}, x[3] = {2, 0.5, 0}, y[3] = {-1, 1, 0.3}, z[3] = {0.2, 0, 1.5};
    M4 m;
    ASSERT_TRUE(M4BasisTo(o, x, y, z, m));
    for (int n = 0; n < 20; ++n) {
        const double a = u(rng), b = u(rng), c = u(rng);
        double out[4];
        Apply(m, o[0] + a * x[0] + b * y[0] + c * z[0], o[1] + a * x[1] + b * y[1] + c * z[1],
              o[2] + a * x[2] + b * y[2] + c * z[2], 1, out);
        EXPECT_NEAR(out[0], a, 1e-12);
        EXPECT_NEAR(out[1], b, 1e-12);
        EXPECT_NEAR(out[2], c, 1e-12);
    }
    const double sum[3] = {x[0] + y[0], x[1] + y[1], x[2] + y[2]};
    EXPECT_FALSE(M4BasisTo(o, x, y, sum, m));
    EXPECT_TRUE(M4IsIdentity(m));
}

namespace {

// Shear on rows: row 1 gains xy * row 0, row 2 gains xz * row 0 + yz * row 1.
void Compose(const double* t, M4 m)
{
    M4Identity(m);
    M4Scale(m, t[U_SCALEX], t[U_SCALEY], t[U_SCALEZ]);
    M4 shear, tmp;
    M4Identity(shear);
    shear[1][0] = t[U_SHEARXY];
    shear[2][0] = t[U_SHEARXZ];
    shear[2][1] = t[U_SHEARYZ];
    Mul(m, shear, tmp);
    std::memcpy(m, tmp, sizeof tmp);
    M4RotateX(m, t[U_ROTATEX]);
    M4RotateY(m, t[U_ROTATEY]);
    M4RotateZ(m, t[U_ROTATEZ]);
    M4Translate(m, t[U_TRANSX], t[U_TRANSY], t[U_TRANSZ]);
    M4 persp;
    M4Identity(persp);
    for (int k = 0; k < 4; ++k)
        persp[k][3] = t[U_PERSPX + k];
    Mul(m, persp, tmp);
    std::memcpy(m, tmp, sizeof tmp);
}

} // namespace

TEST(MatrixDecomposition, RecoversKnownFactors)
{
    const double t[U_FIELD_COUNT] = {2.0, 0.5, 3.0, 0.3, -0.2, 0.7, 0.4, -1.1, 2.5, 5.0, -6.0, 7.0, 0.0, 0.0, 0.0, 1.0};
    M4 m;
    Compose(t, m);
    double got[U_FIELD_COUNT];
    ASSERT_TRUE(UnMatrix(m, got));
    for (int k = 0; k < U_FIELD_COUNT; ++k)
        EXPECT_NEAR(got[k], t[k], 1e-12) << "field " << k;
}

TEST(MatrixDecomposition, RecomposesMirroredPerspectiveAndGimbalMatrices)
{
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int n = 0; n < 60; ++n) {
        M4 m;
        RandomMatrix(rng, m);
        if (n % 3 == 0)
            M4Scale(m, -1.0, 1.0, 1.0); // mirrored
        if (n % 3 == 1) {
            m[0][3] = m[1][3] = m[2][3] = 0.0; // affine
            m[3][3] = 1.0;
        }
        if (n % 5 == 0) { // y rotation of exactly +-90 degrees
            const double t[U_FIELD_COUNT] = {1.5,    2.0, 0.5, 0.1, 0.2, -0.3, u(rng), n % 2 ? -kPi / 2 : kPi / 2,
                                             u(rng), 1,   2,   3,   0,   0,    0,      1};
            Compose(t, m);
        }
        double t[U_FIELD_COUNT];
        ASSERT_TRUE(UnMatrix(m, t));
        M4 back, expected;
        Compose(t, back);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                expected[i][j] = m[i][j] / m[3][3];
        ExpectMatrixNear(back, expected, 1e-9);
    }
}

TEST(MatrixDecomposition, RejectsSingularMatrices)
{
    M4 m;
    double t[U_FIELD_COUNT] = {};
    M4Identity(m);
    m[2][0] = 1.0;
    m[2][1] = 1.0;
    m[2][2] = 0.0;
    m[1][0] = 1.0;
    m[1][1] = 1.0; // rows 1 and 2 equal
    m[1][2] = 0.0;
    EXPECT_FALSE(UnMatrix(m, t));
    M4Identity(m);
    m[3][3] = 0.0;
    EXPECT_FALSE(UnMatrix(m, t));
}

TEST(MatrixFunctions, VectorProductsAllowAliasing)
{
    double a[3] = {1, 2, 3};
    const double b[3] = {-2, 0.5, 4};
    V3OrtoVector(a, b, a);
    EXPECT_DOUBLE_EQ(a[0], 2 * 4 - 3 * 0.5);
    EXPECT_DOUBLE_EQ(a[1], 3 * -2 - 1 * 4);
    EXPECT_DOUBLE_EQ(a[2], 1 * 0.5 - 2 * -2);
    M4 m;
    M4Identity(m);
    M4Translate(m, 1, 2, 3);
    double p[4] = {1, 1, 1, 1};
    V4MulPointByMatrix(p, m, p);
    EXPECT_DOUBLE_EQ(p[0], 2);
    EXPECT_DOUBLE_EQ(p[1], 3);
    EXPECT_DOUBLE_EQ(p[2], 4);
}

TEST(MatrixFunctions, NullArgumentsAreRejected)
{
    M4 m;
    M4Identity(m);
    double t[U_FIELD_COUNT];
    EXPECT_EQ(Det4x4(nullptr), 0.0);
    EXPECT_FALSE(M4Inverse(nullptr, m));
    EXPECT_FALSE(M4Inverse(m, nullptr));
    EXPECT_FALSE(M4IsIdentity(nullptr));
    EXPECT_FALSE(UnMatrix(nullptr, t));
    EXPECT_FALSE(M4BasisTo(nullptr, nullptr, nullptr, nullptr, m));
    EXPECT_FALSE(M4RotationMatrix(1.0, 0, 0, 1, nullptr));
    M4Translate(nullptr, 1, 2, 3);
    V4MulPointByMatrix(nullptr, m, nullptr);
    M4LookAtMatrix(nullptr, nullptr, nullptr, m);
    EXPECT_TRUE(M4IsIdentity(m));
}

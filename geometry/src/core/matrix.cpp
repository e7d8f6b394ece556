// 4x4 matrices on row vectors: builders, products, determinants, inversion,
// view and basis matrices, and the decomposition into simple factors.

#include "tessaly/math.h"

#include "core/tolerances.h"
#include <cmath>
#include <cstring>

using tessaly::kGimbalCosine;
using tessaly::kLengthTolerance;
using tessaly::kVolumeTolerance;

namespace {

// Smallest |determinant| that M4Inverse divides by: the double one unit
// below 1e-18.
const double kSingularDeterminant = 9.999999999999999e-19;

void CopyMatrix(const double from[4][4], double to[4][4])
{
    std::memcpy(to, from, sizeof(double) * 16);
}

double Dot3(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Length3(const double* a)
{
    return std::sqrt(Dot3(a, a));
}

// Divides v by its length unless the length is 0.
void NormalizeIfNonZero(double* v)
{
    const double len = Length3(v);
    if (len != 0.0) {
        v[0] /= len;
        v[1] /= len;
        v[2] /= len;
    }
}

// Determinant of the 3x3 minor of m without row r and column c.
double Minor(const double m[4][4], int r, int c)
{
    int rows[3];
    int cols[3];
    for (int k = 0, n = 0; k < 4; ++k)
        if (k != r)
            rows[n++] = k;
    for (int k = 0, n = 0; k < 4; ++k)
        if (k != c)
            cols[n++] = k;
    // Det3x3 takes columns.
    return Det3x3(m[rows[0]][cols[0]], m[rows[1]][cols[0]], m[rows[2]][cols[0]], m[rows[0]][cols[1]],
                  m[rows[1]][cols[1]], m[rows[2]][cols[1]], m[rows[0]][cols[2]], m[rows[1]][cols[2]],
                  m[rows[2]][cols[2]]);
}

// Turns the column pair (a, b) of every row by the angle: (a, b) becomes
// (a*cos - b*sin, a*sin + b*cos).
void RotateColumns(double m[4][4], int a, int b, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    for (int i = 0; i < 4; ++i) {
        const double va = m[i][a];
        const double vb = m[i][b];
        m[i][a] = va * c - vb * s;
        m[i][b] = va * s + vb * c;
    }
}

} // namespace

void M4Identity(double m[4][4])
{
    if (!m)
        return;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] = i == j ? 1.0 : 0.0;
}

void M4Translate(double m[4][4], double tx, double ty, double tz)
{
    if (!m)
        return;
    for (int i = 0; i < 4; ++i) {
        m[i][0] += m[i][3] * tx;
        m[i][1] += m[i][3] * ty;
        m[i][2] += m[i][3] * tz;
    }
}

void M4RotateX(double m[4][4], double angle)
{
    if (m)
        RotateColumns(m, 1, 2, angle);
}

void M4RotateY(double m[4][4], double angle)
{
    // (c0, c2) becomes (c0*cos + c2*sin, c2*cos - c0*sin): the pair (2, 0).
    if (m)
        RotateColumns(m, 2, 0, angle);
}

void M4RotateZ(double m[4][4], double angle)
{
    if (m)
        RotateColumns(m, 0, 1, angle);
}

void M4Scale(double m[4][4], double sx, double sy, double sz)
{
    if (!m)
        return;
    for (int i = 0; i < 4; ++i) {
        m[i][0] *= sx;
        m[i][1] *= sy;
        m[i][2] *= sz;
    }
}

void M4Scale(double m[4][4], double s)
{
    M4Scale(m, s, s, s);
}

bool M4RotationMatrix(double angle, double ax, double ay, double az, double m[4][4])
{
    if (!m)
        return false;
    M4Identity(m);
    const double len = std::sqrt(ax * ax + ay * ay + az * az);
    if (len < kLengthTolerance)
        return false;
    const double x = ax / len, y = ay / len, z = az / len;
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    m[0][0] = t * x * x + c;
    m[0][1] = t * x * y - z * s;
    m[0][2] = t * x * z + y * s;
    m[1][0] = t * x * y + z * s;
    m[1][1] = t * y * y + c;
    m[1][2] = t * y * z - x * s;
    m[2][0] = t * x * z - y * s;
    m[2][1] = t * y * z + x * s;
    m[2][2] = t * z * z + c;
    return true;
}

void V4MulPointByMatrix(const double p[4], const double m[4][4], double out[4])
{
    if (!p || !m || !out)
        return;
    double r[4];
    for (int j = 0; j < 4; ++j)
        r[j] = p[0] * m[0][j] + p[1] * m[1][j] + p[2] * m[2][j] + p[3] * m[3][j];
    std::memcpy(out, r, sizeof r);
}

void V3OrtoVector(const double a[3], const double b[3], double out[3])
{
    if (!a || !b || !out)
        return;
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

double Det2x2(double a, double b, double c, double d)
{
    return a * d - b * c;
}

double Det3x3(double a1, double a2, double a3, double b1, double b2, double b3, double c1, double c2, double c3)
{
    return a1 * Det2x2(b2, b3, c2, c3) - b1 * Det2x2(a2, a3, c2, c3) + c1 * Det2x2(a2, a3, b2, b3);
}

double Det4x4(const double m[4][4])
{
    if (!m)
        return 0.0;
    return m[0][0] * Minor(m, 0, 0) - m[0][1] * Minor(m, 0, 1) + m[0][2] * Minor(m, 0, 2) - m[0][3] * Minor(m, 0, 3);
}

bool M4Inverse(const double m[4][4], double out[4][4])
{
    if (!m || !out)
        return false;
    double adj[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            adj[j][i] = ((i + j) % 2 == 0 ? 1.0 : -1.0) * Minor(m, i, j);
    const double det = Det4x4(m);
    if (std::fabs(det) < kSingularDeterminant) {
        CopyMatrix(adj, out);
        return false;
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out[i][j] = adj[i][j] / det;
    return true;
}

bool M4IsIdentity(const double m[4][4])
{
    if (!m)
        return false;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (!(std::fabs(m[i][j] - (i == j ? 1.0 : 0.0)) < kLengthTolerance))
                return false;
    return true;
}

GMATRIX_TYPE M4GetModelMatrixType(const double[4][4])
{
    return GMATRIX_TYPE_GENERAL;
}

GMATRIX_TYPE M4GetProjMatrixType(const double[4][4])
{
    return GMATRIX_TYPE_GENERAL;
}

bool M4IsTranslation(const double[4][4])
{
    return false;
}

void M4LookAtMatrix(const double eye[3], const double target[3], const double up[3], double m[4][4])
{
    if (!eye || !target || !up || !m)
        return;
    double f[3] = {eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]};
    NormalizeIfNonZero(f);
    double r[3];
    V3OrtoVector(up, f, r);
    NormalizeIfNonZero(r);
    double u[3];
    V3OrtoVector(f, r, u);
    NormalizeIfNonZero(u);
    for (int i = 0; i < 3; ++i) {
        m[i][0] = r[i];
        m[i][1] = u[i];
        m[i][2] = f[i];
        m[i][3] = 0.0;
    }
    m[3][0] = -Dot3(r, eye);
    m[3][1] = -Dot3(u, eye);
    m[3][2] = -Dot3(f, eye);
    m[3][3] = 1.0;
}

bool M4BasisTo(const double origin[3], const double xAxis[3], const double yAxis[3], const double zAxis[3],
               double m[4][4])
{
    if (!m)
        return false;
    M4Identity(m);
    if (!origin || !xAxis || !yAxis || !zAxis)
        return false;
    const double volume =
        Det3x3(xAxis[0], xAxis[1], xAxis[2], yAxis[0], yAxis[1], yAxis[2], zAxis[0], zAxis[1], zAxis[2]);
    if (std::fabs(volume) < kVolumeTolerance)
        return false;
    const double* rows[4] = {xAxis, yAxis, zAxis, origin};
    double frame[4][4];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 3; ++j)
            frame[i][j] = rows[i][j];
        frame[i][3] = i == 3 ? 1.0 : 0.0;
    }
    return M4Inverse(frame, m);
}

namespace {

// Splits the perspective column off loc (normalized so that loc[3][3] is 1):
// loc = pmat * P with pmat the matrix without the column. Writes the four
// perspective slots and leaves loc affine.
bool SplitPerspective(double loc[4][4], double* tran)
{
    tran[U_PERSPX] = tran[U_PERSPY] = tran[U_PERSPZ] = 0.0;
    tran[U_PERSPW] = 1.0;
    if (loc[0][3] == 0.0 && loc[1][3] == 0.0 && loc[2][3] == 0.0)
        return true;
    double pmat[4][4];
    CopyMatrix(loc, pmat);
    pmat[0][3] = pmat[1][3] = pmat[2][3] = 0.0;
    pmat[3][3] = 1.0;
    double inv[4][4];
    if (!M4Inverse(pmat, inv))
        return false;
    // The last column of loc is pmat times the perspective column, so the
    // column is inv times it: as a row vector, rhs * transpose(inv).
    const double rhs[4] = {loc[0][3], loc[1][3], loc[2][3], loc[3][3]};
    for (int j = 0; j < 4; ++j)
        tran[U_PERSPX + j] = rhs[0] * inv[j][0] + rhs[1] * inv[j][1] + rhs[2] * inv[j][2] + rhs[3] * inv[j][3];
    CopyMatrix(pmat, loc);
    return true;
}

// v *= factor
void Scale3(double* v, double factor)
{
    v[0] *= factor;
    v[1] *= factor;
    v[2] *= factor;
}

// v -= k * w
void SubtractScaled(double* v, const double* w, double k)
{
    v[0] -= k * w[0];
    v[1] -= k * w[1];
    v[2] -= k * w[2];
}

// Gram-Schmidt on the rows of the linear part: scales, shears and the rows
// of the remaining rotation.
bool SplitScaleShear(double row[3][3], double* tran)
{
    tran[U_SCALEX] = Length3(row[0]);
    if (tran[U_SCALEX] < kVolumeTolerance)
        return false;
    Scale3(row[0], 1.0 / tran[U_SCALEX]);

    tran[U_SHEARXY] = Dot3(row[0], row[1]);
    SubtractScaled(row[1], row[0], tran[U_SHEARXY]);
    tran[U_SCALEY] = Length3(row[1]);
    if (tran[U_SCALEY] < kVolumeTolerance)
        return false;
    Scale3(row[1], 1.0 / tran[U_SCALEY]);
    tran[U_SHEARXY] /= tran[U_SCALEY];

    tran[U_SHEARXZ] = Dot3(row[0], row[2]);
    SubtractScaled(row[2], row[0], tran[U_SHEARXZ]);
    tran[U_SHEARYZ] = Dot3(row[1], row[2]);
    SubtractScaled(row[2], row[1], tran[U_SHEARYZ]);
    tran[U_SCALEZ] = Length3(row[2]);
    if (tran[U_SCALEZ] < kVolumeTolerance)
        return false;
    Scale3(row[2], 1.0 / tran[U_SCALEZ]);
    tran[U_SHEARXZ] /= tran[U_SCALEZ];
    tran[U_SHEARYZ] /= tran[U_SCALEZ];
    return true;
}

// Rotation rows = RotateX * RotateY * RotateZ; row 0 is
// (cy*cz, cy*sz, -sy), rows 1 and 2 end in sx*cy and cx*cy.
void SplitAngles(const double row[3][3], double* tran)
{
    const double cy = std::hypot(row[0][0], row[0][1]);
    tran[U_ROTATEY] = std::atan2(-row[0][2], cy);
    if (cy > kGimbalCosine) {
        tran[U_ROTATEX] = std::atan2(row[1][2], row[2][2]);
        tran[U_ROTATEZ] = std::atan2(row[0][1], row[0][0]);
    } else {
        // Row 1 is (sin(x) * sy, cos(x), 0) once z is taken as 0.
        const double sy = row[0][2] < 0.0 ? 1.0 : -1.0;
        tran[U_ROTATEX] = std::atan2(sy * row[1][0], row[1][1]);
        tran[U_ROTATEZ] = 0.0;
    }
}

} // namespace

bool UnMatrix(const double m[4][4], double tran[U_FIELD_COUNT])
{
    if (!m || !tran || m[3][3] == 0.0)
        return false;
    double loc[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            loc[i][j] = m[i][j] / m[3][3];

    double result[U_FIELD_COUNT] = {};
    if (!SplitPerspective(loc, result))
        return false;
    for (int j = 0; j < 3; ++j)
        result[U_TRANSX + j] = loc[3][j];

    double row[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            row[i][j] = loc[i][j];
    if (!SplitScaleShear(row, result))
        return false;
    // A mirrored linear part keeps a proper rotation by negating the scales.
    double cross[3];
    V3OrtoVector(row[1], row[2], cross);
    if (Dot3(row[0], cross) < 0.0) {
        for (int i = 0; i < 3; ++i) {
            result[U_SCALEX + i] = -result[U_SCALEX + i];
            Scale3(row[i], -1.0);
        }
    }
    SplitAngles(row, result);
    std::memcpy(tran, result, sizeof result);
    return true;
}

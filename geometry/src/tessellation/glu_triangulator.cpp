// The GLU polygon tessellator behind GTriangulator.
//
// The polygon's contours are collected first and handed to GLU in one go
// when the polygon ends, so nothing reaches GLU unless every point is
// finite. GLU reports back through the *_DATA callbacks, which carry the
// triangulator as their polygon data: no state is shared between
// triangulators. No edge-flag callback is installed (with one GLU emits only
// separate triangles and changes the diagonals it would choose), so the
// output comes as triangles, strips and fans, assembled here into
// triangles.
#include <GL/glu.h>

#include <cmath>

#include "core/tolerances.h"
#include "tessaly/tessellation.h"

namespace {
constexpr int kTriangles = GL_TRIANGLES;
constexpr int kStrip = GL_TRIANGLE_STRIP;
constexpr int kFan = GL_TRIANGLE_FAN;

bool Finite(const double* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}
} // namespace

// The C callbacks GLU calls; each reaches its triangulator through the
// polygon data.
struct GTriangulatorCallbacks {
    static void GLAPIENTRY Begin(GLenum type, void* self)
    {
        auto* t = static_cast<GTriangulator*>(self);
        t->m_Primitive = static_cast<int>(type);
        t->m_Count = 0;
        t->m_StripParity = 0;
    }

    static void GLAPIENTRY Vertex(void* corner, void* self)
    {
        auto* t = static_cast<GTriangulator*>(self);
        void* data = static_cast<GTriangulator::Corner*>(corner)->data;
        t->Vertex(data);
        if (t->m_Count < 2) {
            (t->m_Count == 0 ? t->m_A : t->m_B) = data;
            ++t->m_Count;
            return;
        }
        switch (t->m_Primitive) {
        case kTriangles:
            t->Emit(t->m_A, t->m_B, data);
            t->m_Count = 0;
            break;
        case kStrip:
            // Every other strip triangle turns the other way: reorder it so
            // that all keep the polygon's turning sense.
            if (t->m_StripParity % 2)
                t->Emit(data, t->m_B, t->m_A);
            else
                t->Emit(t->m_A, t->m_B, data);
            ++t->m_StripParity;
            t->m_A = t->m_B;
            t->m_B = data;
            break;
        case kFan:
            t->Emit(t->m_A, t->m_B, data);
            t->m_B = data;
            break;
        default: t->m_Failed = true;
        }
    }

    static void GLAPIENTRY End(void*) {}

    static void GLAPIENTRY Error(GLenum, void* self) { static_cast<GTriangulator*>(self)->m_Failed = true; }

    // GLU asks for a vertex where it merges points or where edges meet. A
    // point within the length tolerance of one of the corners involved is
    // that corner (coincident points, a bridge walked there and back, a
    // vertex on an edge); anywhere else the contours cross, which no
    // triangulation of the given points can follow: the polygon fails.
    static void GLAPIENTRY Combine(GLdouble coords[3], void* data[4], GLfloat[4], void** out, void* self)
    {
        GTriangulator::Corner* nearest = nullptr;
        double best = tessaly::kLengthTolerance;
        for (int k = 0; k < 4; ++k) {
            auto* c = static_cast<GTriangulator::Corner*>(data[k]);
            if (!c)
                continue;
            const double d = std::sqrt(std::pow(c->xyz[0] - coords[0], 2) + std::pow(c->xyz[1] - coords[1], 2) +
                                       std::pow(c->xyz[2] - coords[2], 2));
            if (d < best) {
                best = d;
                nearest = c;
            }
        }
        if (!nearest)
            static_cast<GTriangulator*>(self)->m_Failed = true;
        *out = nearest;
    }
};

GTriangulator::GTriangulator() : m_Tess(gluNewTess())
{
    if (!m_Tess)
        return;
    using Callback = _GLUfuncptr;
    gluTessCallback(m_Tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<Callback>(&GTriangulatorCallbacks::Begin));
    gluTessCallback(m_Tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<Callback>(&GTriangulatorCallbacks::Vertex));
    gluTessCallback(m_Tess, GLU_TESS_END_DATA, reinterpret_cast<Callback>(&GTriangulatorCallbacks::End));
    gluTessCallback(m_Tess, GLU_TESS_ERROR_DATA, reinterpret_cast<Callback>(&GTriangulatorCallbacks::Error));
    gluTessCallback(m_Tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(&GTriangulatorCallbacks::Combine));
    gluTessProperty(m_Tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
}

GTriangulator::~GTriangulator()
{
    if (m_Tess)
        gluDeleteTess(m_Tess);
}

void GTriangulator::BeginPolygon()
{
    m_Contours.clear();
    m_InContour = false;
    m_Failed = !m_Tess;
    m_Triangles = 0;
    m_Count = 0;
}

void GTriangulator::BeginPolygon(int i, int j)
{
    BeginPolygon();
    // Seen along e_i x e_j, the third axis with the sign that keeps (i, j)
    // counterclockwise.
    if (i < 0 || j < 0 || i > 2 || j > 2 || i == j)
        return;
    double normal[3] = {0, 0, 0};
    normal[3 - i - j] = (j - i + 3) % 3 == 1 ? 1.0 : -1.0;
    SetNormal(normal);
}

void GTriangulator::BeginContour()
{
    m_Contours.emplace_back();
    m_InContour = true;
}

void GTriangulator::EndContour()
{
    m_InContour = false;
}

void GTriangulator::AddVertex(G3Point* point, void* data)
{
    if (point)
        AddVertex(point->GetXYZ(), data);
    else
        m_Failed = true;
}

void GTriangulator::AddVertex(const double* xyz, void* data)
{
    if (!xyz || !Finite(xyz)) {
        m_Failed = true;
        return;
    }
    if (!m_InContour)
        BeginContour();
    m_Contours.back().push_back(Corner{{xyz[0], xyz[1], xyz[2]}, data});
}

void GTriangulator::SetNormal(const double* normal)
{
    for (int a = 0; a < 3; ++a)
        m_Normal[a] = normal && std::isfinite(normal[a]) ? normal[a] : 0.0;
}

void GTriangulator::EndPolygon()
{
    m_InContour = false;
    if (!m_Failed)
        Run();
    m_Contours.clear();
    SetNormal(nullptr);
}

void GTriangulator::Run()
{
    gluTessNormal(m_Tess, m_Normal[0], m_Normal[1], m_Normal[2]);
    gluTessBeginPolygon(m_Tess, this);
    for (auto& contour : m_Contours) {
        gluTessBeginContour(m_Tess);
        for (Corner& c : contour)
            gluTessVertex(m_Tess, c.xyz, &c);
        gluTessEndContour(m_Tess);
    }
    gluTessEndPolygon(m_Tess);
}

void GTriangulator::Emit(void* a, void* b, void* c)
{
    ++m_Triangles;
    Triangle(a, b, c);
}

void GTriangulator::Triangle(void*, void*, void*) {}

void GTriangulator::Vertex(void*) {}

void G3SurfaceTriangulator::BeginPolygon()
{
    m_Corners.clear();
    GTriangulator::BeginPolygon();
}

void G3SurfaceTriangulator::Triangle(void* a, void* b, void* c)
{
    for (void* corner : {a, b, c})
        m_Corners.add(static_cast<GObj*>(corner));
}

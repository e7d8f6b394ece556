// Operations over every element of a body: closedness, double-sidedness,
// turning over, scaling and plane normals as shading normals.
#include "tessaly/surface.h"

bool G3Surface::GetClosed()
{
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* e = GetEdge(k);
        if (e->GetVertex1()->GetEdgeCount2(e->GetVertex2()) % 2 != 0)
            return false;
    }
    return true;
}

void G3Surface::ExtendDoubleSidedFacets()
{
    for (int k = 0; k < GetFacetCount(); ++k)
        GetFacet(k)->SetDoubleSided();
}

void G3Surface::NegPlane()
{
    for (int k = 0; k < GetFacetCount(); ++k)
        GetFacet(k)->NegPlane();
}

void G3Surface::NegNormals()
{
    for (int k = 0; k < GetNormalCount(); ++k)
        GetNormal(k)->Negate();
    NegPlane();
}

void G3Surface::ScaleCoo(double s)
{
    for (int k = 0; k < GetVertexCount(); ++k) {
        G3Vertex* v = GetVertex(k);
        const double* p = v->GetXYZ();
        v->Set(p[0] * s, p[1] * s, p[2] * s);
    }
}

void G3Surface::AssignNormalsByPlane()
{
    for (int k = 0; k < GetFacetCount(); ++k)
        GetFacet(k)->AssignNormalsByPlane(this);
}

// G3Derivative, the slope record of a terrain vertex, and the Taylor height
// it predicts.
#include "tessaly/terrain.h"

TESSALY_DEFINE_POOLED_CLASS(G3Derivative, "G3Derivative", 65536)

void G3Derivative::Copy(GObj* source)
{
    GObj::Copy(source);
    auto* other = dynamic_cast<G3Derivative*>(source);
    if (!other)
        return;
    fx = other->fx;
    fy = other->fy;
    cyx = other->cyx;
    cxx = other->cxx;
    cxy = other->cxy;
    cyy = other->cyy;
}

GObj* G3Derivative::Duplicate()
{
    auto* copy = new G3Derivative;
    copy->Copy(this);
    return copy;
}

double G3LandscapeHandler::TaylorHeight(const double* p, const G3Derivative& d, double x, double y)
{
    const double dx = x - p[0], dy = y - p[1];
    return p[2] + d.fx * dx + d.fy * dy + (d.cxx * dx * dx + d.cyx * dy * dx + d.cxy * dx * dy + d.cyy * dy * dy) / 2;
}

int G3LandscapeHandler::DeleteSlopeRecords(G3Surface* s)
{
    if (!s)
        return 0;
    int deleted = 0;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        G3Vertex* v = s->GetVertex(k);
        if (auto* record = dynamic_cast<G3Derivative*>(v->GetExData())) {
            delete record;
            v->SetExData(nullptr);
            ++deleted;
        }
    }
    return deleted;
}

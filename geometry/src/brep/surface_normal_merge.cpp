// Merging equal normals and texture coordinates: the edges' shading slots
// are redirected to the first of each kind, the others go.
#include <cmath>

#include "core/tolerances.h"
#include "tessaly/hashes.h"
#include "tessaly/surface.h"

using tessaly::kLengthTolerance;

namespace {
template <class T> T* KeptOf(T* element)
{
    if (!element)
        return nullptr;
    auto* target = dynamic_cast<T*>(element->GetExData());
    return target ? target : element;
}

void MakeUnit(G3Normal* n)
{
    const double* p = n->GetXYZ();
    double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    if (length > kLengthTolerance)
        n->Set(p[0] / length, p[1] / length, p[2] / length);
}

void RecordNormalTargets(G3Surface* s)
{
    const double lo[3] = {-1, -1, -1}, hi[3] = {1, 1, 1};
    G3PointHash hash(24, lo, hi, kLengthTolerance);
    for (int k = 0; k < s->GetNormalCount(); ++k) {
        G3Normal* n = s->GetNormal(k);
        MakeUnit(n);
        n->SetExData(hash.Add(n));
    }
}

void RecordTexCooTargets(G3Surface* s)
{
    GEnvelope box;
    if (!s->FormTexCooEnvelope(&box))
        return;
    G3TexCooHash hash(24, box.GetMin(), box.GetMax(), kLengthTolerance);
    for (int k = 0; k < s->GetTexCooCount(); ++k) {
        G3TexCoo* t = s->GetTexCoo(k);
        t->SetExData(hash.Add(t));
    }
}

// Every shading slot that names a normal or a texture coordinate names the
// kept one afterwards (a slot with only a texture coordinate too, so that
// no slot keeps a removed element).
void RedirectShading(G3Surface* s)
{
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        G3TexCoo *t11, *t12, *t21, *t22;
        G3Normal* n11 = e->GetFacet1V1(&t11);
        G3Normal* n12 = e->GetFacet1V2(&t12);
        G3Normal* n21 = e->GetFacet2V1(&t21);
        G3Normal* n22 = e->GetFacet2V2(&t22);
        if (n11 || t11)
            e->SetFacet1V1(KeptOf(n11), KeptOf(t11));
        if (n12 || t12)
            e->SetFacet1V2(KeptOf(n12), KeptOf(t12));
        if (n21 || t21)
            e->SetFacet2V1(KeptOf(n21), KeptOf(t21));
        if (n22 || t22)
            e->SetFacet2V2(KeptOf(n22), KeptOf(t22));
    }
}

template <class T, class Remove> void RemoveMerged(GArrayCollection* list, Remove remove)
{
    for (int k = 0; list && k < list->size();) {
        auto* element = static_cast<T*>(list->get(k));
        if (element->GetExData())
            remove(element); // the last element moves into k: look again
        else
            ++k;
    }
}
} // namespace

void G3Surface::RemoveEqualsNormal()
{
    if (GetNormalCount() == 0)
        return;
    RecordNormalTargets(this);
    RecordTexCooTargets(this);
    RedirectShading(this);
    RemoveMerged<G3Normal>(GetNormalList(), [this](G3Normal* n) { RemoveNormal(n); });
    RemoveMerged<G3TexCoo>(GetTexCooList(), [this](G3TexCoo* t) { RemoveTexCoo(t); });
}

#include <cstdio>
#include <unordered_map>
#include <vector>

#include "tessaly/surface.h"

TESSALY_DEFINE_POOLED_CLASS(G3Surface, "G3Surface", 65536)

G3Surface::G3Surface(int n, int m) : G3Shell(n)
{
    CreateLists(n, 2 * n, 0, m, true);
    ProviderOpenExData(this);
}

G3Surface::G3Surface(int vertices, int normals, int facets) : G3Shell(vertices)
{
    CreateLists(vertices, 2 * vertices, facets, normals, true);
    ProviderOpenExData(this);
}

G3Surface::~G3Surface()
{
    // A complex facet left open owns its collection; anything else in the
    // slot is the host's.
    if (m_ComplexOpen)
        delete GetExData();
    SetExData(nullptr);
}

void G3Surface::print()
{
    std::printf("G3Surface vertices=%d edges=%d facets=%d\n", GetVertexCount(), GetEdgeCount(), GetFacetCount());
}

int G3Surface::GetObjectType()
{
    return 2;
}

GObj* G3Surface::Duplicate()
{
    auto* copy = new G3Surface(GetVertexCount(), GetNormalCount());
    copy->Copy(this);
    return copy;
}

void G3Surface::Copy(GObj* source)
{
    auto* other = dynamic_cast<G3Surface*>(source);
    if (!other || other == this)
        return;
    DeleteElements();
    if (m_ComplexOpen)
        delete GetExData();
    m_ComplexOpen = false;
    G3Obj::Copy(source);
    SetExData(nullptr);
    m_NextSurface = other->m_NextSurface;
    m_SurfaceValue = other->m_SurfaceValue;
    m_EdgeFlags = other->m_EdgeFlags;
    m_MaterialFacets = other->m_MaterialFacets;
    m_SelectedFacets = other->m_SelectedFacets;
    CopyFrom(other);
}

void G3Surface::DeleteElements()
{
    for (GArrayCollection* list : {m_Vertices, m_Normals, m_TexCoos, m_Edges, m_Facets, m_PolyEdges})
        if (list)
            list->clear(true);
    m_PolyVertices.clear();
}

namespace {
// Position of every element of a list, for relinking copies.
std::unordered_map<const GObj*, int> Positions(GArrayCollection* list)
{
    std::unordered_map<const GObj*, int> at;
    // Room for all at once: a large body's lists would rehash the table
    // again and again while it fills.
    at.reserve(list ? static_cast<std::size_t>(list->size()) : 0);
    for (int k = 0; list && k < list->size(); ++k)
        at.emplace(list->get(k), k);
    return at;
}

// The copy of original: the element at its source position, past the base
// of the elements this body held before the copying.
template <class T>
T* Map(const std::unordered_map<const GObj*, int>& at, GArrayCollection* copies, int base, const GObj* original)
{
    if (!original)
        return nullptr;
    auto found = at.find(original);
    return found == at.end() ? nullptr : static_cast<T*>(copies->get(base + found->second));
}
} // namespace

void G3Surface::AddCopyOf(G3Surface* source)
{
    if (source && source != this)
        CopyFrom(source);
}

void G3Surface::CopyFrom(G3Surface* source)
{
    auto announce = [this](G3Obj* from, G3Obj* copy) {
        ProviderSetExData(from);
        ProviderOpenExData(copy);
        ProviderSetExData(nullptr);
    };
    // The copies follow whatever this body holds already.
    const int vBase = GetVertexCount(), nBase = GetNormalCount(), tBase = GetTexCooCount();
    const int eBase = GetEdgeCount(), fBase = GetFacetCount();
    for (int k = 0; k < source->GetVertexCount(); ++k) {
        G3Vertex* v = source->GetVertex(k);
        G3Vertex* copy = AddVertex(v->GetXYZ(), v->GetUserValue());
        copy->SetFlags(v->GetFlags());
        announce(v, copy);
    }
    for (int k = 0; k < source->GetNormalCount(); ++k)
        announce(source->GetNormal(k), AddNormal(source->GetNormal(k)));
    for (int k = 0; k < source->GetTexCooCount(); ++k)
        announce(source->GetTexCoo(k), AddTexCoo(source->GetTexCoo(k)));
    auto vertexAt = Positions(source->m_Vertices), normalAt = Positions(source->m_Normals);
    auto texAt = Positions(source->m_TexCoos), edgeAt = Positions(source->m_Edges);
    auto facetAt = Positions(source->m_Facets);
    for (int k = 0; k < source->GetFacetCount(); ++k) {
        G3Facet* f = source->GetFacet(k);
        auto* copy = new G3Facet;
        copy->SetFlags(f->GetFlags());
        copy->SetSurface(f->GetSurface());
        copy->SetPlane(f->GetPlane());
        copy->SetParent(this);
        AddFacetToCollection(copy);
        announce(f, copy);
    }
    for (int k = 0; k < source->GetEdgeCount(); ++k) {
        G3Edge* e = source->GetEdge(k);
        auto* copy = new G3Edge(Map<G3Vertex>(vertexAt, m_Vertices, vBase, e->GetVertex1()),
                                Map<G3Vertex>(vertexAt, m_Vertices, vBase, e->GetVertex2()));
        copy->SetFlags(e->GetFlags());
        copy->SetFacet1(Map<G3Facet>(facetAt, m_Facets, fBase, e->GetFacet1()));
        copy->SetFacet2(Map<G3Facet>(facetAt, m_Facets, fBase, e->GetFacet2()));
        for (int side = 0; e->HasGeometry() && side < 2; ++side)
            for (int end = 0; end < 2; ++end) {
                G3Normal* n = Map<G3Normal>(normalAt, m_Normals, nBase, e->GetGeometry()->GetNormal(side, end));
                G3TexCoo* t = Map<G3TexCoo>(texAt, m_TexCoos, tBase, e->GetGeometry()->GetTexCoo(side, end));
                if (side == 0)
                    end == 0 ? copy->SetFacet1V1(n, t) : copy->SetFacet1V2(n, t);
                else
                    end == 0 ? copy->SetFacet2V1(n, t) : copy->SetFacet2V2(n, t);
            }
        AddEdgeToCollection(copy);
        announce(e, copy);
    }
    // Rings and edge lists are rebuilt in the source's order, once every
    // copy exists.
    for (int k = 0; k < source->GetVertexCount(); ++k) {
        G3Vertex* v = source->GetVertex(k);
        G3Vertex* copy = GetVertex(vBase + k);
        for (G3Edge* e = v->GetFirstEdge(); e; e = e->GetVertexNext(v)) {
            G3Edge* ce = Map<G3Edge>(edgeAt, m_Edges, eBase, e);
            ce->SetVertexNext(copy, nullptr);
            copy->AddEdge(ce);
        }
    }
    for (int k = 0; k < source->GetFacetCount(); ++k) {
        G3Facet* f = source->GetFacet(k);
        G3Facet* copy = GetFacet(fBase + k);
        for (G3Edge* e = f->GetFirstEdge(); e; e = f->GetNextEdge(e)) {
            G3Edge* ce = Map<G3Edge>(edgeAt, m_Edges, eBase, e);
            copy->AddEdge(ce);
        }
    }
    for (int k = 0; k < source->GetPolyEdgeCount(); ++k) {
        auto* p = static_cast<G3PolyEdge*>(source->m_PolyEdges->get(k));
        std::vector<G3Vertex*> vertices;
        for (int i = 0; i < p->GetVertexCount(); ++i)
            vertices.push_back(
                Map<G3Vertex>(vertexAt, m_Vertices, vBase, source->m_PolyVertices[p->GetFirstIndex() + i]));
        G3PolyEdge* copy = AddPolyEdge(p->GetVertexCount(), vertices.data());
        if (copy) {
            copy->SetFlags(p->GetFlags());
            announce(p, copy);
        }
    }
}

void G3Surface::FormPlaneEquation()
{
    for (int k = 0; k < GetFacetCount(); ++k)
        GetFacet(k)->FormPlaneEquation();
}

G3PolyEdge* G3Surface::AddPolyEdge(int n, G3Vertex** v)
{
    if (n < 1 || !v || !m_PolyEdges)
        return nullptr;
    int first = AddPolyEdgeVertices(n, v);
    return AddPolyEdgeToCollection(new G3PolyEdge(n, first));
}

G3PolyEdge* G3Surface::AddPolyEdge(int n, const int* v)
{
    if (n < 1 || !v)
        return nullptr;
    std::vector<G3Vertex*> vertices;
    for (int k = 0; k < n; ++k) {
        if (v[k] < 0 || v[k] >= GetVertexCount())
            return nullptr;
        vertices.push_back(GetVertex(v[k]));
    }
    return AddPolyEdge(n, vertices.data());
}

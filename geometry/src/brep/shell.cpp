#include <unordered_set>

#include "tessaly/surface.h"

CMyFacetList::~CMyFacetList()
{
    for (CMyFacetList*& child : m_Children) {
        delete child;
        child = nullptr;
    }
}

TESSALY_DEFINE_POOLED_CLASS(CMyFacetList, "CMyFacetList", 4096)

void CMyFacetList::SetChild(int quadrant, CMyFacetList* child)
{
    CMyFacetList*& slot = m_Children[quadrant & 3];
    if (slot != child)
        delete slot;
    slot = child;
}

G3Shell::G3Shell() : m_Vertices(new GArrayCollection) {}

G3Shell::G3Shell(int n) : m_Vertices(new GArrayCollection(n, 1024)) {}

G3Shell::~G3Shell()
{
    for (GArrayCollection* list : {m_Vertices, m_Normals, m_TexCoos, m_Edges, m_Facets, m_PolyEdges}) {
        if (list)
            list->clear(true);
        delete list;
    }
}

void G3Shell::CreateLists(int vertices, int edges, int facets, int normals, bool texCoos)
{
    (void)vertices;
    m_Facets = facets > 0 ? new GArrayCollection(facets, 1024) : new GArrayCollection;
    m_Edges = new GArrayCollection(edges, 1024);
    m_Normals = new GArrayCollection(normals, 1024);
    if (texCoos)
        m_TexCoos = new GArrayCollection;
    m_PolyEdges = new GArrayCollection;
}

bool G3Shell::FormEnvelope(GEnvelope* env) const
{
    if (!env || !m_Vertices || m_Vertices->isEmpty())
        return false;
    *env = GEnvelope();
    for (int k = 0; k < m_Vertices->size(); ++k)
        env->Add(GetVertex(k)->GetXYZ());
    return true;
}

// ---- Adding -----------------------------------------------------------------

namespace {
template <class Element> Element* Append(GArrayCollection* list, Element* element)
{
    if (!list || !element)
        return nullptr;
    // The lists grow by a fixed step; doubling here keeps building a large
    // body linear instead of copying the whole list every 1024 elements.
    if (list->size() == list->capacity())
        list->ensureCapacity(2 * list->size() + 1024);
    element->SetId(list->size());
    list->add(element);
    return element;
}
} // namespace

G3Vertex* G3Shell::AddVertexToCollection(G3Vertex* v)
{
    if (!Append(m_Vertices, v))
        return nullptr;
    OpenExDataVertex(v);
    return v;
}

G3Normal* G3Shell::AddNormalToCollection(G3Normal* n)
{
    if (!Append(m_Normals, n))
        return nullptr;
    OpenExDataNormal(n);
    return n;
}

G3TexCoo* G3Shell::AddTexCooToCollection(G3TexCoo* t)
{
    if (!Append(m_TexCoos, t))
        return nullptr;
    OpenExDataTexCoo(t);
    return t;
}

G3Edge* G3Shell::AddEdgeToCollection(G3Edge* e)
{
    if (!Append(m_Edges, e))
        return nullptr;
    OpenExDataEdge(e);
    return e;
}

G3Facet* G3Shell::AddFacetToCollection(G3Facet* f)
{
    if (!Append(m_Facets, f))
        return nullptr;
    OpenExDataFacet(f);
    return f;
}

G3PolyEdge* G3Shell::AddPolyEdgeToCollection(G3PolyEdge* p)
{
    if (!Append(m_PolyEdges, p))
        return nullptr;
    OpenExDataPolyEdge(p);
    return p;
}

G3Vertex* G3Shell::AddVertex(const double* xyz, unsigned long userValue)
{
    if (!m_Vertices || !xyz)
        return nullptr;
    return AddVertexToCollection(new G3Vertex(xyz, userValue));
}

G3Vertex* G3Shell::AddVertex(double x, double y, double z, unsigned long userValue)
{
    double xyz[3] = {x, y, z};
    return AddVertex(xyz, userValue);
}

G3Normal* G3Shell::AddNormal(const double* xyz)
{
    if (!m_Normals || !xyz)
        return nullptr;
    return AddNormalToCollection(new G3Normal(xyz));
}

G3Normal* G3Shell::AddNormal(G3Normal* n)
{
    return n ? AddNormal(n->GetXYZ()) : nullptr;
}

G3Normal* G3Shell::AddNormal(double x, double y, double z)
{
    double xyz[3] = {x, y, z};
    return AddNormal(xyz);
}

G3TexCoo* G3Shell::AddTexCoo(const double* uv)
{
    if (!m_TexCoos || !uv)
        return nullptr;
    return AddTexCooToCollection(new G3TexCoo(uv));
}

G3TexCoo* G3Shell::AddTexCoo(G3TexCoo* t)
{
    return t ? AddTexCoo(t->GetUV()) : nullptr;
}

G3TexCoo* G3Shell::AddTexCoo(double u, double v)
{
    double uv[2] = {u, v};
    return AddTexCoo(uv);
}

int G3Shell::AddPolyEdgeVertices(int n, G3Vertex* const* vertices)
{
    int first = GetPolyEdgeVertexCount();
    if (n > 0)
        m_PolyVertices.insert(m_PolyVertices.end(), vertices, vertices + n);
    return first;
}

// ---- Removing ---------------------------------------------------------------

bool G3Shell::TakeOut(GArrayCollection* list, G3Obj* element)
{
    if (!list || !element)
        return false;
    // Where the element is: the caller's hint, its id, or a search (ids go
    // stale after removals).
    int hint = m_TakeOutHint;
    m_TakeOutHint = -1;
    long id = element->GetId();
    int at = hint >= 0 && hint < list->size() && list->get(hint) == element          ? hint
        : id >= 0 && id < list->size() && list->get(static_cast<int>(id)) == element ? static_cast<int>(id)
                                                                                     : list->index(element);
    if (at < 0)
        return false;
    list->remove(at);
    return true;
}

bool G3Shell::RemoveVertexFromCollection(G3Vertex* v)
{
    if (!TakeOut(m_Vertices, v))
        return false;
    CloseExDataVertex(v);
    return true;
}

bool G3Shell::RemoveNormalFromCollection(G3Normal* n)
{
    if (!TakeOut(m_Normals, n))
        return false;
    CloseExDataNormal(n);
    return true;
}

bool G3Shell::RemoveTexCooFromCollection(G3TexCoo* t)
{
    if (!TakeOut(m_TexCoos, t))
        return false;
    CloseExDataTexCoo(t);
    return true;
}

bool G3Shell::RemoveEdgeFromCollection(G3Edge* e)
{
    if (!TakeOut(m_Edges, e))
        return false;
    CloseExDataEdge(e);
    return true;
}

bool G3Shell::RemoveFacetFromCollection(G3Facet* f)
{
    if (!TakeOut(m_Facets, f))
        return false;
    CloseExDataFacet(f);
    return true;
}

bool G3Shell::RemovePolyEdgeFromCollection(G3PolyEdge* p)
{
    if (!TakeOut(m_PolyEdges, p))
        return false;
    CloseExDataPolyEdge(p);
    return true;
}

bool G3Shell::RemoveVertex(G3Vertex* v)
{
    if (!v || v->HasEdges() || !RemoveVertexFromCollection(v))
        return false;
    delete v;
    return true;
}

bool G3Shell::RemoveEdge(G3Edge* e)
{
    if (!e || e->GetFacet1() || e->GetFacet2() || !RemoveEdgeFromCollection(e))
        return false;
    // An edge still in a ring would leave the ring pointing at freed memory.
    e->GetVertex1()->RemoveEdge(e);
    e->GetVertex2()->RemoveEdge(e);
    delete e;
    return true;
}

bool G3Shell::RemoveFacet(G3Facet* f)
{
    if (!f)
        return false;
    f->RemoveEdges();
    if (!RemoveFacetFromCollection(f))
        return false;
    delete f;
    return true;
}

bool G3Shell::RemoveNormal(G3Normal* n)
{
    if (!RemoveNormalFromCollection(n))
        return false;
    delete n;
    return true;
}

bool G3Shell::RemoveTexCoo(G3TexCoo* t)
{
    if (!RemoveTexCooFromCollection(t))
        return false;
    delete t;
    return true;
}

bool G3Shell::RemovePolyEdge(G3PolyEdge* p)
{
    if (!RemovePolyEdgeFromCollection(p))
        return false;
    delete p;
    return true;
}

namespace {
// Removes (by index, looking at the same index again after a removal) the
// elements the predicate selects, through remove.
template <class Element, class Pred, class Remove> int RemoveWhere(GArrayCollection* list, Pred unused, Remove remove)
{
    int count = 0;
    for (int k = 0; list && k < list->size();) {
        auto* element = static_cast<Element*>(list->get(k));
        if (unused(element) && remove(element, k))
            ++count;
        else
            ++k;
    }
    return count;
}

template <class Element> void CollectShading(GArrayCollection* edges, std::unordered_set<const void*>& used)
{
    for (int k = 0; edges && k < edges->size(); ++k) {
        G3EdgeGeometry* g = static_cast<G3Edge*>(edges->get(k))->GetGeometry();
        for (int side = 0; g && side < 2; ++side)
            for (int end = 0; end < 2; ++end) {
                used.insert(g->GetNormal(side, end));
                used.insert(g->GetTexCoo(side, end));
            }
    }
}
} // namespace

int G3Shell::RemoveUnusedFacet()
{
    return RemoveWhere<G3Facet>(
        m_Facets, [](G3Facet* f) { return !f->HasEdges(); },
        [this](G3Facet* f, int at) {
            m_TakeOutHint = at;
            return RemoveFacet(f);
        });
}

int G3Shell::RemoveFacets(const std::function<bool(G3Facet*)>& select)
{
    return RemoveWhere<G3Facet>(
        m_Facets, [&select](G3Facet* f) { return select(f); },
        [this](G3Facet* f, int at) {
            m_TakeOutHint = at;
            return RemoveFacet(f);
        });
}

int G3Shell::RemoveUnusedEdge()
{
    return RemoveWhere<G3Edge>(
        m_Edges, [](G3Edge* e) { return !e->GetFacet1() && !e->GetFacet2(); },
        [this](G3Edge* e, int at) {
            m_TakeOutHint = at;
            return RemoveEdge(e);
        });
}

int G3Shell::RemoveUnusedVertex()
{
    std::unordered_set<const void*> polyVertices(m_PolyVertices.begin(), m_PolyVertices.end());
    return RemoveWhere<G3Vertex>(
        m_Vertices, [&](G3Vertex* v) { return !v->HasEdges() && !polyVertices.count(v); },
        [this](G3Vertex* v, int at) {
            m_TakeOutHint = at;
            return RemoveVertex(v);
        });
}

int G3Shell::RemoveUnusedNormal()
{
    if (!m_Normals || m_Normals->isEmpty())
        return 0;
    std::unordered_set<const void*> used;
    CollectShading<G3Normal>(m_Edges, used);
    return RemoveWhere<G3Normal>(
        m_Normals, [&](G3Normal* n) { return !used.count(n); },
        [this](G3Normal* n, int at) {
            m_TakeOutHint = at;
            return RemoveNormal(n);
        });
}

int G3Shell::RemoveUnusedTexCoo()
{
    if (!m_TexCoos || m_TexCoos->isEmpty())
        return 0;
    std::unordered_set<const void*> used;
    CollectShading<G3TexCoo>(m_Edges, used);
    return RemoveWhere<G3TexCoo>(
        m_TexCoos, [&](G3TexCoo* t) { return !used.count(t); },
        [this](G3TexCoo* t, int at) {
            m_TakeOutHint = at;
            return RemoveTexCoo(t);
        });
}

int G3Shell::RemoveUnused()
{
    int count = RemoveUnusedFacet();
    count += RemoveUnusedEdge();
    count += RemoveUnusedVertex();
    count += RemoveUnusedNormal();
    count += RemoveUnusedTexCoo();
    return count;
}

void G3Shell::ReallocByRealSize()
{
    for (GArrayCollection* list : {m_Vertices, m_Normals, m_TexCoos, m_Edges, m_Facets, m_PolyEdges})
        if (list)
            list->ReallocByRealSize();
}

bool G3Shell::FormTexCooEnvelope(GEnvelope* env) const
{
    if (!env || !m_TexCoos || m_TexCoos->isEmpty())
        return false;
    *env = GEnvelope();
    for (int k = 0; k < m_TexCoos->size(); ++k)
        env->Add(GetTexCoo(k)->GetU(), GetTexCoo(k)->GetV(), 0.0);
    return true;
}

// ---- Ids and counts ---------------------------------------------------------

namespace {
void Renumber(GArrayCollection* list)
{
    for (int k = 0; list && k < list->size(); ++k)
        static_cast<G3Obj*>(list->get(k))->SetId(k);
}

int CountOf(const GArrayCollection* list)
{
    return list ? const_cast<GArrayCollection*>(list)->size() : 0;
}
} // namespace

void G3Shell::AssignVertexIds()
{
    Renumber(m_Vertices);
}
void G3Shell::AssignEdgeIds()
{
    Renumber(m_Edges);
}
void G3Shell::AssignFacetIds()
{
    Renumber(m_Facets);
}
void G3Shell::AssignNormalIds()
{
    Renumber(m_Normals);
}
void G3Shell::AssignTexCooIds()
{
    Renumber(m_TexCoos);
}
void G3Shell::AssignPolyEdgeIds()
{
    Renumber(m_PolyEdges);
}

void G3Shell::AssignIds()
{
    AssignVertexIds();
    AssignEdgeIds();
    AssignFacetIds();
    AssignNormalIds();
    AssignTexCooIds();
    AssignPolyEdgeIds();
}

int G3Shell::GetVertexCount() const
{
    return CountOf(m_Vertices);
}
int G3Shell::GetNormalCount() const
{
    return CountOf(m_Normals);
}
int G3Shell::GetTexCooCount() const
{
    return CountOf(m_TexCoos);
}
int G3Shell::GetEdgeCount() const
{
    return CountOf(m_Edges);
}
int G3Shell::GetFacetCount() const
{
    return CountOf(m_Facets);
}
int G3Shell::GetPolyEdgeCount() const
{
    return CountOf(m_PolyEdges);
}

#include "tessaly/surface.h"

G3ShellExDataProvider::~G3ShellExDataProvider() = default;
void G3ShellExDataProvider::OpenExDataEdge(G3Edge*) {}
void G3ShellExDataProvider::OpenExDataPolyEdge(G3PolyEdge*) {}
void G3ShellExDataProvider::CloseExDataEdge(G3Edge*) {}
void G3ShellExDataProvider::CloseExDataPolyEdge(G3PolyEdge*) {}
void G3ShellExDataProvider::OpenExDataVertex(G3Vertex*) {}
void G3ShellExDataProvider::CloseExDataVertex(G3Vertex*) {}
void G3ShellExDataProvider::OpenExDataNormal(G3Normal*) {}
void G3ShellExDataProvider::CloseExDataNormal(G3Normal*) {}
void G3ShellExDataProvider::OpenExDataTexCoo(G3TexCoo*) {}
void G3ShellExDataProvider::CloseExDataTexCoo(G3TexCoo*) {}
void G3ShellExDataProvider::OpenExDataFacet(G3Facet*) {}
void G3ShellExDataProvider::CloseExDataFacet(G3Facet*) {}
bool G3ShellExDataProvider::IsExDataEdge()
{
    return false;
}
bool G3ShellExDataProvider::IsExDataVertex()
{
    return false;
}
bool G3ShellExDataProvider::IsExDataNormal()
{
    return false;
}
bool G3ShellExDataProvider::IsExDataTexCoo()
{
    return false;
}
bool G3ShellExDataProvider::IsExDataFacet()
{
    return false;
}
bool G3ShellExDataProvider::IsExDataPolyEdge()
{
    return false;
}

void G3Shell::RemoveExDataProvider()
{
    delete m_Provider;
    m_Provider = nullptr;
}

void G3Shell::OpenExDataEdge(G3Edge* e)
{
    if (m_Provider)
        m_Provider->OpenExDataEdge(e);
}

void G3Shell::OpenExDataPolyEdge(G3PolyEdge* e)
{
    if (m_Provider)
        m_Provider->OpenExDataPolyEdge(e);
    ProviderOpenExData(e);
}

void G3Shell::CloseExDataEdge(G3Edge* e)
{
    if (m_Provider)
        m_Provider->CloseExDataEdge(e);
}

void G3Shell::CloseExDataPolyEdge(G3PolyEdge* e)
{
    if (m_Provider)
        m_Provider->CloseExDataPolyEdge(e);
}

void G3Shell::OpenExDataVertex(G3Vertex* v)
{
    if (m_Provider)
        m_Provider->OpenExDataVertex(v);
}

void G3Shell::CloseExDataVertex(G3Vertex* v)
{
    if (m_Provider)
        m_Provider->CloseExDataVertex(v);
}

void G3Shell::OpenExDataNormal(G3Normal* n)
{
    if (m_Provider)
        m_Provider->OpenExDataNormal(n);
}

void G3Shell::CloseExDataNormal(G3Normal* n)
{
    if (m_Provider)
        m_Provider->CloseExDataNormal(n);
}

void G3Shell::OpenExDataTexCoo(G3TexCoo* t)
{
    if (m_Provider)
        m_Provider->OpenExDataTexCoo(t);
}

void G3Shell::CloseExDataTexCoo(G3TexCoo* t)
{
    if (m_Provider)
        m_Provider->CloseExDataTexCoo(t);
}

void G3Shell::OpenExDataFacet(G3Facet* f)
{
    if (m_Provider)
        m_Provider->OpenExDataFacet(f);
    ProviderOpenExData(f);
}

void G3Shell::CloseExDataFacet(G3Facet* f)
{
    if (m_Provider)
        m_Provider->CloseExDataFacet(f);
}

bool G3Shell::IsExDataEdge()
{
    return m_Provider && m_Provider->IsExDataEdge();
}
bool G3Shell::IsExDataVertex()
{
    return m_Provider && m_Provider->IsExDataVertex();
}
bool G3Shell::IsExDataNormal()
{
    return m_Provider && m_Provider->IsExDataNormal();
}
bool G3Shell::IsExDataTexCoo()
{
    return m_Provider && m_Provider->IsExDataTexCoo();
}
bool G3Shell::IsExDataFacet()
{
    return m_Provider && m_Provider->IsExDataFacet();
}
bool G3Shell::IsExDataPolyEdge()
{
    return m_Provider && m_Provider->IsExDataPolyEdge();
}

namespace {
template <class Element, class Call> void ForEach(GArrayCollection* list, Call call)
{
    for (int k = 0; list && k < list->size(); ++k)
        call(static_cast<Element*>(list->get(k)));
}
} // namespace

void G3Shell::OpenExData()
{
    if (IsExDataVertex())
        ForEach<G3Vertex>(m_Vertices, [this](G3Vertex* v) { OpenExDataVertex(v); });
    if (IsExDataNormal())
        ForEach<G3Normal>(m_Normals, [this](G3Normal* n) { OpenExDataNormal(n); });
    if (IsExDataTexCoo())
        ForEach<G3TexCoo>(m_TexCoos, [this](G3TexCoo* t) { OpenExDataTexCoo(t); });
    if (IsExDataEdge())
        ForEach<G3Edge>(m_Edges, [this](G3Edge* e) { OpenExDataEdge(e); });
    if (IsExDataFacet())
        ForEach<G3Facet>(m_Facets, [this](G3Facet* f) { OpenExDataFacet(f); });
    if (IsExDataPolyEdge())
        ForEach<G3PolyEdge>(m_PolyEdges, [this](G3PolyEdge* p) { OpenExDataPolyEdge(p); });
}

void G3Shell::CloseExData()
{
    if (IsExDataVertex())
        ForEach<G3Vertex>(m_Vertices, [this](G3Vertex* v) { CloseExDataVertex(v); });
    if (IsExDataNormal())
        ForEach<G3Normal>(m_Normals, [this](G3Normal* n) { CloseExDataNormal(n); });
    if (IsExDataTexCoo())
        ForEach<G3TexCoo>(m_TexCoos, [this](G3TexCoo* t) { CloseExDataTexCoo(t); });
    if (IsExDataEdge())
        ForEach<G3Edge>(m_Edges, [this](G3Edge* e) { CloseExDataEdge(e); });
    if (IsExDataFacet())
        ForEach<G3Facet>(m_Facets, [this](G3Facet* f) { CloseExDataFacet(f); });
    if (IsExDataPolyEdge())
        ForEach<G3PolyEdge>(m_PolyEdges, [this](G3PolyEdge* p) { CloseExDataPolyEdge(p); });
}

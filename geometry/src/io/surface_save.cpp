// The text dump: header, vertices, edges, facets, edge links, vertex rings.
#include <cstdio>

#include "io/element_positions.h"
#include "io/text_writer.h"
#include "tessaly/surface.h"

bool G3Surface::Save(const char* path)
{
    if (!path)
        return false;
    FILE* file = std::fopen(path, "w");
    if (!file)
        return false;
    G3ElementPositions vertexAt(m_Vertices), edgeAt(m_Edges), facetAt(m_Facets);
    G3TextWriter out(file);
    int header[5] = {GetVertexCount(), GetEdgeCount(), GetFacetCount(), m_NextSurface, 0};
    out.IntLine(header, 5);
    for (int k = 0; k < GetVertexCount(); ++k) {
        const double* p = GetVertex(k)->GetXYZ();
        out.Fixed(p[0], 20);
        out.Text(" ");
        out.Fixed(p[1], 20);
        out.Text(" ");
        out.Fixed(p[2], 20);
        out.Text("\n");
    }
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* e = GetEdge(k);
        int line[3] = {vertexAt.Of(e->GetVertex1()), vertexAt.Of(e->GetVertex2()), static_cast<int>(e->GetFlags())};
        out.IntLine(line, 3);
    }
    for (int k = 0; k < GetFacetCount(); ++k) {
        G3Facet* f = GetFacet(k);
        int line[4] = {edgeAt.Of(f->GetFirstEdge()), edgeAt.Of(f->GetLastEdge()), static_cast<int>(f->GetFlags()),
                       static_cast<int>(f->GetSurface())};
        out.IntLine(line, 4);
    }
    for (int k = 0; k < GetEdgeCount(); ++k) {
        G3Edge* e = GetEdge(k);
        int line[6] = {facetAt.Of(e->GetFacet1()),    facetAt.Of(e->GetFacet2()),     edgeAt.Of(e->GetFacet1Edge()),
                       edgeAt.Of(e->GetFacet2Edge()), edgeAt.Of(e->GetVertex1Edge()), edgeAt.Of(e->GetVertex2Edge())};
        out.IntLine(line, 6);
    }
    for (int k = 0; k < GetVertexCount(); ++k) {
        G3Vertex* v = GetVertex(k);
        int line[2] = {edgeAt.Of(v->GetFirstEdge()), edgeAt.Of(v->GetLastEdge())};
        out.IntLine(line, 2);
    }
    bool ok = out.Flush();
    return std::fclose(file) == 0 && ok;
}

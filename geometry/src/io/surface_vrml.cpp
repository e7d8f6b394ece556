// VRML 2.0 export: one IndexedFaceSet per body.
#include <cstdio>
#include <vector>

#include "io/element_positions.h"
#include "io/text_writer.h"
#include "tessaly/surface.h"

bool G3Surface::VRMLWriteBegin(const char* path, FILE** out)
{
    if (!path || !out)
        return false;
    *out = std::fopen(path, "w");
    if (!*out)
        return false;
    const char* head = "#VRML V2.0 utf8\nNavigationInfo {\nheadlight FALSE\ntype \"WALK\"\nspeed 1\n}\n";
    return std::fputs(head, *out) >= 0;
}

bool G3Surface::VRMLWriteEnd(FILE* file)
{
    return file && std::fclose(file) == 0;
}

namespace {
// Each facet's vertices as written: its bridged loop.
std::vector<std::vector<G3Vertex*>> FacetLoops(G3Surface* s, bool* convex)
{
    std::vector<std::vector<G3Vertex*>> loops;
    *convex = true;
    GArrayCollection loop;
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        G3Facet* f = s->GetFacet(k);
        f->GetBridgedLoop(&loop);
        std::vector<G3Vertex*> vertices;
        for (int i = 0; i < loop.size(); ++i)
            vertices.push_back(static_cast<G3Vertex*>(loop.get(i)));
        GArrayCollectionIterator points(&loop);
        int a, b;
        f->GetMaxCoo(&a, &b);
        if (vertices.size() != static_cast<std::size_t>(f->GetEdgeCount()) || G3Math::ConvexTest(&points, a, b) == 2)
            *convex = false;
        loops.push_back(std::move(vertices));
    }
    return loops;
}

// Normal positions per facet vertex; false when any vertex has none.
bool FacetNormals(G3Surface* s, const std::vector<std::vector<G3Vertex*>>& loops, std::vector<int>& out)
{
    if (s->GetNormalCount() == 0)
        return false;
    G3ElementPositions normalAt(s->GetNormalList());
    for (std::size_t k = 0; k < loops.size(); ++k)
        for (G3Vertex* v : loops[k]) {
            int at = normalAt.Of(s->GetFacet(static_cast<int>(k))->GetNormal(v, nullptr));
            if (at < 0)
                return false;
            out.push_back(at);
        }
    return true;
}
} // namespace

bool G3Surface::VRMLWrite(FILE* file, G3Surface* s, const double* rgb)
{
    if (!file || !s || !rgb)
        return false;
    bool convex;
    std::vector<std::vector<G3Vertex*>> loops = FacetLoops(s, &convex);
    std::vector<int> normals;
    bool withNormals = FacetNormals(s, loops, normals);
    G3ElementPositions vertexAt(s->GetVertexList());
    G3TextWriter out(file);
    out.Text("Shape {\nappearance Appearance {\nmaterial Material {\nambientIntensity 0\ndiffuseColor ");
    for (int c = 0; c < 3; ++c) {
        out.FixedPlain(rgb[c], 6);
        out.Text(c < 2 ? " " : "\n");
    }
    out.Text(
        "emissiveColor 0 0 0\nspecularColor 0 0 0\nshininess 0\ntransparency 0\n}\n}\ngeometry IndexedFaceSet {\n");
    out.Text(convex ? "convex TRUE\n" : "convex FALSE\n");
    out.Text("solid FALSE\ncreaseAngle 0\ncoord Coordinate {\npoint[\n");
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        const double* p = s->GetVertex(k)->GetXYZ();
        for (int c = 0; c < 3; ++c) {
            out.FixedPlain(p[c], 4);
            out.Text(c < 2 ? " " : ",\n");
        }
    }
    out.Text("]\n}\ncoordIndex [\n");
    for (const auto& loop : loops) {
        for (G3Vertex* v : loop) {
            out.Int(vertexAt.Of(v));
            out.Text(",");
        }
        out.Text("-1\n");
    }
    out.Text("]\n");
    if (withNormals) {
        out.Text("normal Normal {\nvector [\n");
        for (int k = 0; k < s->GetNormalCount(); ++k) {
            const double* n = s->GetNormal(k)->GetXYZ();
            for (int c = 0; c < 3; ++c) {
                out.FixedPlain(n[c], 6);
                out.Text(c < 2 ? " " : ",\n");
            }
        }
        out.Text("]\n}\nnormalIndex [\n");
        std::size_t at = 0;
        for (const auto& loop : loops) {
            for (std::size_t i = 0; i < loop.size(); ++i) {
                out.Int(normals[at++]);
                out.Text(",");
            }
            out.Text("-1\n");
        }
        out.Text("]\nnormalPerVertex TRUE\n");
    }
    out.Text("\n}\n}\n");
    return out.Flush() && !std::ferror(file);
}

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "facet_triangles.h"
#include "mesh_formats.h"
#include "tessaly/surface.h"

namespace {
// The shortest text that reads back to the same double, C locale.
std::string Shortest(double value)
{
    char text[64];
    auto r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

std::unordered_map<const G3Vertex*, int> Positions(G3Surface* s)
{
    std::unordered_map<const G3Vertex*, int> at;
    for (int k = 0; k < s->GetVertexCount(); ++k)
        at.emplace(s->GetVertex(k), k);
    return at;
}

std::vector<G3Vertex*> Loop(G3Facet* f)
{
    GArrayCollection loop;
    f->GetBridgedLoop(&loop);
    std::vector<G3Vertex*> out;
    for (int k = 0; k < loop.size(); ++k)
        out.push_back(static_cast<G3Vertex*>(loop.get(k)));
    return out;
}

bool WriteText(const std::string& path, const std::string& text, std::string& error)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        error = "cannot write " + path;
    return ok;
}

std::string Vertices(G3Surface* s, const char* prefix)
{
    std::string out;
    for (int k = 0; k < s->GetVertexCount(); ++k) {
        const double* p = s->GetVertex(k)->GetXYZ();
        out += prefix + Shortest(p[0]) + " " + Shortest(p[1]) + " " + Shortest(p[2]) + "\n";
    }
    return out;
}

std::string Obj(G3Surface* s)
{
    auto at = Positions(s);
    std::string out = "# written by tessaly\n" + Vertices(s, "v ");
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        out += "f";
        for (G3Vertex* v : Loop(s->GetFacet(k)))
            out += " " + std::to_string(at.at(v) + 1);
        out += "\n";
    }
    return out;
}

std::string Off(G3Surface* s)
{
    auto at = Positions(s);
    std::string out = "OFF\n" + std::to_string(s->GetVertexCount()) + " " + std::to_string(s->GetFacetCount()) + " " +
        std::to_string(s->GetEdgeCount()) + "\n" + Vertices(s, "");
    for (int k = 0; k < s->GetFacetCount(); ++k) {
        std::vector<G3Vertex*> loop = Loop(s->GetFacet(k));
        out += std::to_string(loop.size());
        for (G3Vertex* v : loop)
            out += " " + std::to_string(at.at(v));
        out += "\n";
    }
    return out;
}

// Binary STL: 80-byte header, count, then per triangle normal, corners and
// a zero attribute word (little-endian, as the format is).
std::string Stl(G3Surface* s)
{
    std::string out(80, ' ');
    std::memcpy(&out[0], "tessaly", 7);
    std::vector<G3Vertex*> corners;
    std::vector<G3Facet*> owner;
    for (int k = 0; k < s->GetFacetCount(); ++k)
        for (G3Vertex* v : tessaly_tools::FacetTriangles(s->GetFacet(k))) {
            corners.push_back(v);
            owner.push_back(s->GetFacet(k));
        }
    std::uint32_t count = static_cast<std::uint32_t>(corners.size() / 3);
    out.append(reinterpret_cast<const char*>(&count), 4);
    for (std::size_t t = 0; t + 2 < corners.size(); t += 3) {
        float record[12];
        const double* n = owner[t]->GetPlane();
        for (int c = 0; c < 3; ++c)
            record[c] = static_cast<float>(n[c]);
        for (int v = 0; v < 3; ++v)
            for (int c = 0; c < 3; ++c)
                record[3 + 3 * v + c] = static_cast<float>(corners[t + static_cast<std::size_t>(v)]->GetXYZ(c));
        out.append(reinterpret_cast<const char*>(record), sizeof record);
        out.append(2, '\0');
    }
    return out;
}
} // namespace

bool WriteMesh(const std::string& path, G3Surface* s, std::string& error)
{
    switch (FormatOf(path)) {
    case MeshFormat::Dump:
        if (!s->Save(path.c_str()))
            error = "cannot write " + path;
        return error.empty();
    case MeshFormat::Vrml: {
        FILE* file = nullptr;
        double grey[3] = {0.8, 0.8, 0.8};
        bool ok = G3Surface::VRMLWriteBegin(path.c_str(), &file);
        ok = ok && G3Surface::VRMLWrite(file, s, grey);
        ok = (file ? G3Surface::VRMLWriteEnd(file) : false) && ok;
        if (!ok)
            error = "cannot write " + path;
        return ok;
    }
    case MeshFormat::Obj: return WriteText(path, Obj(s), error);
    case MeshFormat::Off: return WriteText(path, Off(s), error);
    case MeshFormat::Stl: return WriteText(path, Stl(s), error);
    default:
        error = "cannot write " + path + ": the known output formats are .g3s, .wrl, .obj, .off and .stl";
        return false;
    }
}

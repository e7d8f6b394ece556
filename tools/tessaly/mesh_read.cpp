#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>
#include <vector>

#include "mesh_formats.h"
#include "tessaly/surface.h"

MeshFormat FormatOf(const std::string& path)
{
    std::string ext = std::filesystem::path(path).filename().extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".g3s")
        return MeshFormat::Dump;
    if (ext == ".wrl")
        return MeshFormat::Vrml;
    if (ext == ".obj")
        return MeshFormat::Obj;
    if (ext == ".off")
        return MeshFormat::Off;
    if (ext == ".stl")
        return MeshFormat::Stl;
    return MeshFormat::Unknown;
}

namespace {
bool ReadAll(const std::string& path, std::string& text, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::stringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

bool Number(const std::string& token, double& value)
{
    const char* first = token.data();
    const char* last = first + token.size();
    if (first != last && *first == '+')
        ++first;
    auto r = std::from_chars(first, last, value);
    return r.ec == std::errc() && r.ptr == last && std::isfinite(value);
}

bool Integer(const std::string& token, long& value)
{
    const char* first = token.data();
    const char* last = first + token.size();
    auto r = std::from_chars(first, last, value);
    return r.ec == std::errc() && r.ptr == last;
}

bool Fail(std::string& error, const std::string& what, long line)
{
    error = "line " + std::to_string(line) + ": " + what;
    return false;
}

// Adds a facet through vertex positions; degenerate faces are skipped.
void Face(G3Surface* s, const std::vector<long>& index, int* skipped)
{
    std::vector<G3Vertex*> v;
    for (long i : index)
        v.push_back(s->GetVertex(static_cast<int>(i)));
    if (!s->AddFacet(static_cast<int>(v.size()), v.data(), 1, nullptr, nullptr))
        ++*skipped;
}

bool ReadObj(const std::string& text, G3Surface* s, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    long number = 0;
    int skipped = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            std::string x, y, z;
            double p[3];
            if (!(words >> x >> y >> z) || !Number(x, p[0]) || !Number(y, p[1]) || !Number(z, p[2]))
                return Fail(error, "bad vertex", number);
            s->AddVertex(p);
        } else if (kind == "f") {
            std::vector<long> index;
            std::string word;
            while (words >> word) {
                long i;
                if (!Integer(word.substr(0, word.find('/')), i))
                    return Fail(error, "bad face index '" + word + "'", number);
                i = i < 0 ? s->GetVertexCount() + i : i - 1;
                if (i < 0 || i >= s->GetVertexCount())
                    return Fail(error, "face index out of range", number);
                index.push_back(i);
            }
            Face(s, index, &skipped);
        }
    }
    return true;
}

bool ReadOff(const std::string& text, G3Surface* s, std::string& error)
{
    std::istringstream in(text);
    std::vector<std::string> tokens;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string w;
        while (words >> w)
            tokens.push_back(w);
    }
    std::size_t at = 0;
    if (tokens.empty() || tokens[at++] != "OFF")
        return Fail(error, "not an OFF file", 1);
    long counts[3];
    for (long& c : counts)
        if (at >= tokens.size() || !Integer(tokens[at++], c) || c < 0)
            return Fail(error, "bad counts", 1);
    long available = static_cast<long>(tokens.size());
    if (counts[0] > available / 3 || counts[1] > available - 3 * counts[0])
        return Fail(error, "counts larger than the file", 1);
    for (long k = 0; k < counts[0]; ++k) {
        double p[3];
        for (double& c : p)
            if (at >= tokens.size() || !Number(tokens[at++], c))
                return Fail(error, "bad vertex " + std::to_string(k), 1);
        s->AddVertex(p);
    }
    int skipped = 0;
    for (long k = 0; k < counts[1]; ++k) {
        long n;
        if (at >= tokens.size() || !Integer(tokens[at++], n) || n < 0 ||
            at + static_cast<std::size_t>(n) > tokens.size())
            return Fail(error, "bad face " + std::to_string(k), 1);
        std::vector<long> index;
        for (long i = 0; i < n; ++i) {
            long v;
            if (!Integer(tokens[at++], v) || v < 0 || v >= counts[0])
                return Fail(error, "face " + std::to_string(k) + ": index out of range", 1);
            index.push_back(v);
        }
        Face(s, index, &skipped);
    }
    return true;
}

// STL repeats each corner per triangle: equal coordinates become one vertex.
class CornerMerger {
public:
    explicit CornerMerger(G3Surface* s) : m_Surface(s) {}
    long Index(const double* p)
    {
        auto key = std::make_tuple(p[0], p[1], p[2]);
        auto found = m_Index.find(key);
        if (found != m_Index.end())
            return found->second;
        m_Surface->AddVertex(p);
        return m_Index[key] = m_Surface->GetVertexCount() - 1;
    }

private:
    G3Surface* m_Surface;
    std::map<std::tuple<double, double, double>, long> m_Index;
};

bool ReadStlBinary(const std::string& text, G3Surface* s, std::string& error)
{
    if (text.size() < 84)
        return Fail(error, "too short for a binary STL", 1);
    std::uint32_t count;
    std::memcpy(&count, text.data() + 80, 4);
    if (text.size() != 84 + 50ull * count)
        return Fail(error, "binary STL size does not match its triangle count", 1);
    CornerMerger merger(s);
    int skipped = 0;
    for (std::uint32_t t = 0; t < count; ++t) {
        std::vector<long> index;
        for (int c = 0; c < 3; ++c) {
            float xyz[3];
            std::memcpy(xyz, text.data() + 84 + 50ull * t + 12 + 12 * c, 12);
            double p[3] = {xyz[0], xyz[1], xyz[2]};
            if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
                return Fail(error, "triangle " + std::to_string(t) + ": not a finite number", 1);
            index.push_back(merger.Index(p));
        }
        Face(s, index, &skipped);
    }
    return true;
}

bool ReadStlAscii(const std::string& text, G3Surface* s, std::string& error)
{
    std::istringstream in(text);
    std::string word;
    CornerMerger merger(s);
    std::vector<long> index;
    int skipped = 0;
    while (in >> word) {
        if (word == "vertex") {
            std::string x, y, z;
            double p[3];
            if (!(in >> x >> y >> z) || !Number(x, p[0]) || !Number(y, p[1]) || !Number(z, p[2]))
                return Fail(error, "bad vertex", 1);
            index.push_back(merger.Index(p));
        } else if (word == "endloop") {
            if (index.size() >= 3)
                Face(s, index, &skipped);
            index.clear();
        }
    }
    return true;
}
} // namespace

bool ReadMesh(const std::string& path, G3Surface* surface, std::string& error)
{
    MeshFormat format = FormatOf(path);
    if (format == MeshFormat::Dump)
        return surface->Load(path.c_str(), &error);
    std::string text;
    if (format == MeshFormat::Vrml || format == MeshFormat::Unknown) {
        error = "cannot read " + path + ": the known input formats are .g3s, .obj, .off and .stl";
        return false;
    }
    if (!ReadAll(path, text, error))
        return false;
    bool ok;
    if (format == MeshFormat::Obj)
        ok = ReadObj(text, surface, error);
    else if (format == MeshFormat::Off)
        ok = ReadOff(text, surface, error);
    else if (text.compare(0, 5, "solid") == 0 && text.find("facet") != std::string::npos)
        ok = ReadStlAscii(text, surface, error);
    else
        ok = ReadStlBinary(text, surface, error);
    if (!ok)
        error = path + ": " + error;
    return ok;
}

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>
#include <utility>
#include <vector>

#include "file_read.h"
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
// The binary STL layout: an 80-byte header, the triangle count, then per
// triangle a normal, three corners (three floats each) and two bytes.
constexpr std::size_t kStlHead = 84;
constexpr std::size_t kStlCountAt = 80;
constexpr std::uint64_t kStlTriangle = 50;
constexpr std::size_t kStlNormal = 12;

// Tokens echoed in messages are cut to this many characters.
constexpr std::size_t kEchoedToken = 40;

// A token for a message: cut, with anything but printable ASCII escaped,
// so that a file cannot flood or drive the terminal.
std::string Echo(const std::string& token)
{
    std::string out;
    for (std::size_t k = 0; k < token.size() && k < kEchoedToken; ++k) {
        const auto c = static_cast<unsigned char>(token[k]);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    if (token.size() > kEchoedToken)
        out += "...";
    return "'" + out + "'";
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

// True when the closed loop through `index` runs along one side from the
// same vertex to the same vertex twice: no polygon does, and such a face
// (a triangle listed 30 000 times round) would give both vertices of the
// side thousands of edges.
bool RepeatsASide(const std::vector<long>& index)
{
    std::vector<std::pair<long, long>> sides(index.size());
    for (std::size_t k = 0; k < index.size(); ++k)
        sides[k] = {index[k], index[(k + 1) % index.size()]};
    std::sort(sides.begin(), sides.end());
    return std::adjacent_find(sides.begin(), sides.end()) != sides.end();
}

// Adds a facet through vertex positions; degenerate faces are skipped.
void Face(G3Surface* s, const std::vector<long>& index, int* skipped)
{
    if (RepeatsASide(index)) {
        ++*skipped;
        return;
    }
    std::vector<G3Vertex*> v;
    for (long i : index)
        v.push_back(s->GetVertex(static_cast<int>(i)));
    if (!s->AddFacet(static_cast<int>(v.size()), v.data(), 1, nullptr, nullptr))
        ++*skipped;
}

bool ReadObj(const std::string& text, G3Surface* s, int& skipped, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            std::string x, y, z;
            double p[3];
            if (!(words >> x >> y >> z) || !Number(x, p[0]) || !Number(y, p[1]) || !Number(z, p[2]))
                return Fail(error, "bad vertex " + Echo(line), number);
            s->AddVertex(p);
        } else if (kind == "f") {
            std::vector<long> index;
            std::string word;
            while (words >> word) {
                long i;
                if (!Integer(word.substr(0, word.find('/')), i))
                    return Fail(error, "bad face index " + Echo(word), number);
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

// The tokens of an OFF file (comments cut) and the line of each.
struct OffTokens {
    std::vector<std::string> words;
    std::vector<long> lines;
    std::size_t at = 0;
    bool Next(std::string& w)
    {
        if (at >= words.size())
            return false;
        w = words[at++];
        return true;
    }
    // The line of the last token taken (of the first before any).
    long Line() const { return lines.empty() ? 1 : lines[at > 0 ? at - 1 : 0]; }
};

bool ReadOff(const std::string& text, G3Surface* s, int& skipped, std::string& error)
{
    std::istringstream in(text);
    OffTokens t;
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string w;
        while (words >> w) {
            t.words.push_back(w);
            t.lines.push_back(number);
        }
    }
    std::string w;
    if (!t.Next(w) || w != "OFF")
        return Fail(error, "not an OFF file", t.Line());
    long counts[3];
    for (long& c : counts)
        if (!t.Next(w) || !Integer(w, c) || c < 0)
            return Fail(error, "bad counts", t.Line());
    const long available = static_cast<long>(t.words.size());
    if (counts[0] > available / 3 || counts[1] > available - 3 * counts[0])
        return Fail(error, "counts larger than the file", t.Line());
    for (long k = 0; k < counts[0]; ++k) {
        double p[3];
        for (double& c : p)
            if (!t.Next(w) || !Number(w, c))
                return Fail(error, "bad vertex " + std::to_string(k) + " " + Echo(w), t.Line());
        s->AddVertex(p);
    }
    for (long k = 0; k < counts[1]; ++k) {
        long n;
        if (!t.Next(w) || !Integer(w, n) || n < 0 || t.at + static_cast<std::size_t>(n) > t.words.size())
            return Fail(error, "bad face " + std::to_string(k), t.Line());
        std::vector<long> index;
        for (long i = 0; i < n; ++i) {
            long v;
            if (!t.Next(w) || !Integer(w, v) || v < 0 || v >= counts[0])
                return Fail(error, "face " + std::to_string(k) + ": index out of range", t.Line());
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

// A binary STL is exactly its 84-byte head and 50 bytes a triangle; the
// head may begin with "solid" like an ASCII file.
bool IsBinaryStl(const std::string& text)
{
    if (text.size() < kStlHead)
        return false;
    std::uint32_t count;
    std::memcpy(&count, text.data() + kStlCountAt, sizeof count);
    return text.size() == kStlHead + kStlTriangle * static_cast<std::uint64_t>(count);
}

bool ReadStlBinary(const std::string& text, G3Surface* s, int& skipped, std::string& error)
{
    if (!IsBinaryStl(text))
        return Fail(error, "neither an ASCII STL nor a binary STL of the size its triangle count says", 1);
    std::uint32_t count;
    std::memcpy(&count, text.data() + kStlCountAt, sizeof count);
    CornerMerger merger(s);
    for (std::uint32_t t = 0; t < count; ++t) {
        std::vector<long> index;
        for (int c = 0; c < 3; ++c) {
            float xyz[3];
            std::memcpy(xyz, text.data() + kStlHead + kStlTriangle * t + kStlNormal + sizeof xyz * c, sizeof xyz);
            double p[3] = {xyz[0], xyz[1], xyz[2]};
            if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
                return Fail(error, "triangle " + std::to_string(t) + ": not a finite number", 1);
            index.push_back(merger.Index(p));
        }
        Face(s, index, &skipped);
    }
    return true;
}

bool ReadStlAscii(const std::string& text, G3Surface* s, int& skipped, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    CornerMerger merger(s);
    std::vector<long> index;
    bool inLoop = false;
    for (long number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "vertex") {
            std::string x, y, z;
            double p[3];
            if (!(words >> x >> y >> z) || !Number(x, p[0]) || !Number(y, p[1]) || !Number(z, p[2]))
                return Fail(error, "bad vertex " + Echo(line), number);
            index.push_back(merger.Index(p));
        } else if (word == "outer") {
            inLoop = true;
            index.clear();
        } else if (word == "endloop") {
            Face(s, index, &skipped);
            index.clear();
            inLoop = false;
        }
    }
    // A facet cut off by the end of the file counts as skipped.
    if (inLoop)
        ++skipped;
    return true;
}
} // namespace

bool ReadMesh(const std::string& path, G3Surface* surface, std::string& error)
{
    MeshFormat format = FormatOf(path);
    if (format == MeshFormat::Dump) {
        if (surface->Load(path.c_str(), &error))
            return true;
        if (error.find(path) == std::string::npos)
            error = path + ": " + error;
        return false;
    }
    std::string text;
    if (format == MeshFormat::Vrml || format == MeshFormat::Unknown) {
        error = "cannot read " + path + ": the known input formats are .g3s, .obj, .off and .stl";
        return false;
    }
    bool ok = ReadRegularFile(path, text, error);
    int skipped = 0;
    if (ok && format == MeshFormat::Obj)
        ok = ReadObj(text, surface, skipped, error);
    else if (ok && format == MeshFormat::Off)
        ok = ReadOff(text, surface, skipped, error);
    else if (ok && !IsBinaryStl(text) && text.compare(0, 5, "solid") == 0)
        ok = ReadStlAscii(text, surface, skipped, error);
    else if (ok)
        ok = ReadStlBinary(text, surface, skipped, error);
    if (ok && skipped > 0)
        std::fprintf(
            stderr,
            "tessaly: warning: %s: %d faces skipped (fewer than 3 distinct vertices, a side run twice, or cut off)\n",
            path.c_str(), skipped);
    if (ok && surface->GetFacetCount() == 0) {
        error = "no facet could be read";
        ok = false;
    }
    if (!ok && error.compare(0, path.size(), path) != 0)
        error = path + ": " + error;
    return ok;
}

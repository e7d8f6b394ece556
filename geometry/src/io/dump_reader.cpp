#include "io/dump_reader.h"

#include "io/c_locale_numbers.h"

namespace {
class Tokens {
public:
    explicit Tokens(const std::string& text) : m_At(text.data()), m_End(text.data() + text.size()) {}

    bool Next(const char** first, const char** last)
    {
        while (m_At < m_End && IsSpace(*m_At)) {
            m_Line += *m_At == '\n';
            ++m_At;
        }
        if (m_At == m_End)
            return false;
        *first = m_At;
        while (m_At < m_End && !IsSpace(*m_At))
            ++m_At;
        *last = m_At;
        return true;
    }
    bool AtEnd()
    {
        const char *a, *b;
        return !Next(&a, &b);
    }
    int Line() const { return m_Line; }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    const char* m_At;
    const char* m_End;
    int m_Line = 1;
};

bool Fail(std::string& error, const std::string& what, int line)
{
    error = "line " + std::to_string(line) + ": " + what;
    return false;
}

bool ReadInts(Tokens& in, int* out, int count, std::string& error)
{
    for (int k = 0; k < count; ++k) {
        const char *a, *b;
        if (!in.Next(&a, &b))
            return Fail(error, "the file ends too early", in.Line());
        if (!G3ParseInt(a, b, &out[k]))
            return Fail(error, "not an integer: '" + std::string(a, b) + "'", in.Line());
    }
    return true;
}

bool ReadDoubles(Tokens& in, double* out, int count, std::string& error)
{
    for (int k = 0; k < count; ++k) {
        const char *a, *b;
        if (!in.Next(&a, &b))
            return Fail(error, "the file ends too early", in.Line());
        if (!G3ParseFiniteDouble(a, b, &out[k]))
            return Fail(error, "not a finite number: '" + std::string(a, b) + "'", in.Line());
    }
    return true;
}
} // namespace

bool G3ParseDump(const std::string& text, G3Dump& dump, std::string& error)
{
    Tokens in(text);
    int header[5];
    if (!ReadInts(in, header, 5, error))
        return false;
    int vertices = header[0], edges = header[1], facets = header[2];
    if (vertices < 0 || edges < 0 || facets < 0)
        return Fail(error, "negative element count", 1);
    // The smallest records ("0 0 0\n" and the like) bound what the text can
    // hold: counts beyond that are refused before anything is allocated.
    long long least = 10LL * vertices + 18LL * edges + 8LL * facets;
    if (least > static_cast<long long>(text.size()) + 16)
        return Fail(error, "element counts larger than the file can hold", 1);
    dump.nextSurface = header[3];
    dump.xyz.resize(3 * static_cast<std::size_t>(vertices));
    dump.ring.resize(2 * static_cast<std::size_t>(vertices));
    dump.edges.resize(static_cast<std::size_t>(edges));
    dump.facets.resize(static_cast<std::size_t>(facets));
    if (!ReadDoubles(in, dump.xyz.data(), 3 * vertices, error))
        return false;
    for (G3DumpEdge& e : dump.edges) {
        int line[3];
        if (!ReadInts(in, line, 3, error))
            return false;
        e.vertex[0] = line[0];
        e.vertex[1] = line[1];
        e.flags = line[2];
    }
    for (G3DumpFacet& f : dump.facets) {
        int line[4];
        if (!ReadInts(in, line, 4, error))
            return false;
        f = {line[0], line[1], line[2], line[3]};
    }
    for (G3DumpEdge& e : dump.edges) {
        int line[6];
        if (!ReadInts(in, line, 6, error))
            return false;
        e.facet[0] = line[0];
        e.facet[1] = line[1];
        e.facetNext[0] = line[2];
        e.facetNext[1] = line[3];
        e.vertexNext[0] = line[4];
        e.vertexNext[1] = line[5];
    }
    if (!ReadInts(in, dump.ring.data(), 2 * vertices, error))
        return false;
    if (!in.AtEnd())
        return Fail(error, "unexpected text after the last record", in.Line());
    return true;
}

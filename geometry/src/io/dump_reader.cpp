#include "io/dump_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/map_pages_ahead.h"
#include "io/c_locale_numbers.h"

namespace {
// The whitespace-separated tokens of the dump, counting lines. The text is
// either held in memory or read from a file through one small buffer that
// is reused from start to end, so that a large dump is never copied into
// memory as a whole: on some systems the first touch of fresh pages costs
// more than the parsing.
class Tokens {
public:
    explicit Tokens(const std::string& text) : m_At(text.data()), m_End(text.data() + text.size()) {}
    // A small file gets a buffer of its size, not a whole part: a host that
    // loads many small bodies pays for no megabyte of fresh pages each.
    Tokens(int fd, long long fileBytes) : m_Fd(fd), m_Buffer(BufferBytes(fileBytes)) { m_At = m_End = m_Buffer.data(); }

    bool Next(const char** first, const char** last)
    {
        if (!SkipSpaces())
            return false;
        const char* start = m_At;
        for (;;) {
            while (m_At < m_End && !IsSpace(*m_At))
                ++m_At;
            if (m_At < m_End || !Refill(&start))
                break;
        }
        *first = start;
        *last = m_At;
        return true;
    }
    bool AtEnd()
    {
        const char *a, *b;
        return !Next(&a, &b);
    }
    int Line() const { return m_Line; }
    bool ReadFailed() const { return m_ReadFailed; }

private:
    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
    static constexpr std::size_t kLeastBufferBytes = std::size_t{1} << 12;

    // One byte more than the file, so that its end is seen in one read.
    static std::size_t BufferBytes(long long fileBytes)
    {
        if (fileBytes < 0 || static_cast<unsigned long long>(fileBytes) >= kChunkBytes)
            return kChunkBytes;
        return std::max(kLeastBufferBytes, static_cast<std::size_t>(fileBytes) + 1);
    }

    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    bool SkipSpaces()
    {
        for (;;) {
            while (m_At < m_End && IsSpace(*m_At)) {
                m_Line += *m_At == '\n';
                ++m_At;
            }
            if (m_At < m_End)
                return true;
            if (!Refill(nullptr))
                return false;
        }
    }

    // Reads the next part of the file behind the unfinished token that
    // starts at *token (moved to the front of the buffer, which grows when
    // the token fills it); false at the end of the file or on a read error.
    bool Refill(const char** token)
    {
        if (m_Fd < 0 || m_Finished)
            return false;
        std::size_t keep = token ? static_cast<std::size_t>(m_End - *token) : 0;
        if (keep > 0)
            std::memmove(m_Buffer.data(), *token, keep);
        if (keep == m_Buffer.size())
            m_Buffer.resize(2 * m_Buffer.size());
        ssize_t n;
        do
            n = ::read(m_Fd, m_Buffer.data() + keep, m_Buffer.size() - keep);
        while (n < 0 && errno == EINTR);
        m_ReadFailed = n < 0;
        m_Finished = n <= 0;
        if (token)
            *token = m_Buffer.data();
        m_At = m_Buffer.data() + keep;
        m_End = m_At + (n > 0 ? n : 0);
        return n > 0;
    }

    const char* m_At;
    const char* m_End;
    int m_Line = 1;
    int m_Fd = -1;
    bool m_Finished = false;
    bool m_ReadFailed = false;
    std::vector<char> m_Buffer;
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
// Parses the dump from its tokens; textBytes is the length of the whole
// text, which bounds the element counts.
bool ParseTokens(Tokens& in, long long textBytes, G3Dump& dump, std::string& error)
{
    int header[5];
    if (!ReadInts(in, header, 5, error))
        return false;
    int vertices = header[0], edges = header[1], facets = header[2];
    if (vertices < 0 || edges < 0 || facets < 0)
        return Fail(error, "negative element count", 1);
    // The smallest records ("0 0 0\n" and the like) bound what the text can
    // hold: counts beyond that are refused before anything is allocated.
    long long least = 10LL * vertices + 18LL * edges + 8LL * facets;
    if (least > textBytes + 16)
        return Fail(error, "element counts larger than the file can hold", 1);
    dump.nextSurface = header[3];
    ResizeMappedAhead(dump.xyz, 3 * static_cast<std::size_t>(vertices));
    ResizeMappedAhead(dump.ring, 2 * static_cast<std::size_t>(vertices));
    ResizeMappedAhead(dump.edges, static_cast<std::size_t>(edges));
    ResizeMappedAhead(dump.facets, static_cast<std::size_t>(facets));
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
} // namespace

bool G3ParseDump(const std::string& text, G3Dump& dump, std::string& error)
{
    Tokens in(text);
    return ParseTokens(in, static_cast<long long>(text.size()), dump, error);
}

bool G3ParseDumpFile(int fd, long long fileBytes, const std::string& name, G3Dump& dump, std::string& error)
{
    Tokens in(fd, fileBytes);
    if (ParseTokens(in, fileBytes, dump, error))
        return true;
    if (in.ReadFailed())
        error = "cannot read " + name;
    return false;
}

// Loading the text dump: the whole file is parsed and checked before
// any element is made, so a bad file leaves the body as it was.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "io/dump_reader.h"
#include "tessaly/surface.h"

namespace {
// Tells the pool of an element class how many elements are coming.
template <class Element> void ExpectElements(std::size_t count)
{
    if (GHeap* heap = Element::GetClassHeap())
        heap->ExpectObjects(static_cast<long>(count));
}

// Parses and checks a regular file. Anything else (a directory, a FIFO, a
// device) is refused before a byte is read: it is opened without waiting
// for a writer and checked on the open descriptor. The file is read in
// small parts as it is parsed, never held whole in memory.
bool ReadDump(const char* path, G3Dump& dump, std::string& error)
{
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot open ") + path;
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = std::string(path) + " is not a regular file";
        return false;
    }
    bool ok = G3ParseDumpFile(fd, static_cast<long long>(info.st_size), path, dump, error);
    ::close(fd);
    return ok && G3CheckDump(dump, error);
}
} // namespace

bool G3Surface::Load(const char* path, std::string* error)
{
    std::string message;
    G3Dump dump;
    bool ok = path && m_Vertices && m_Edges && m_Facets && ReadDump(path, dump, message);
    if (!ok) {
        if (error)
            *error = path ? message : "no file name";
        return false;
    }
    G3DumpArray<G3Vertex*> vertices(dump.ring.size() / 2);
    // The pools learn how many elements are coming, so that their blocks
    // come on huge pages from the start.
    ExpectElements<G3Vertex>(vertices.size());
    ExpectElements<G3Edge>(dump.edges.size());
    ExpectElements<G3Facet>(dump.facets.size());
    // The element lists grow once, to their final size.
    m_Vertices->ensureCapacity(m_Vertices->size() + static_cast<int>(dump.ring.size() / 2));
    m_Edges->ensureCapacity(m_Edges->size() + static_cast<int>(dump.edges.size()));
    m_Facets->ensureCapacity(m_Facets->size() + static_cast<int>(dump.facets.size()));
    G3DumpArray<G3Edge*> edges(dump.edges.size());
    G3DumpArray<G3Facet*> facets(dump.facets.size());
    for (std::size_t k = 0; k < vertices.size(); ++k)
        vertices[k] = AddVertex(&dump.xyz[3 * k]);
    for (std::size_t k = 0; k < facets.size(); ++k) {
        facets[k] = new G3Facet;
        facets[k]->SetFlags(dump.facets[k].flags);
        facets[k]->SetSurface(dump.facets[k].surface);
        facets[k]->SetParent(this);
    }
    for (std::size_t k = 0; k < edges.size(); ++k) {
        const G3DumpEdge& e = dump.edges[k];
        edges[k] = new G3Edge(vertices[static_cast<std::size_t>(e.vertex[0])],
                              vertices[static_cast<std::size_t>(e.vertex[1])]);
        edges[k]->SetFlags(e.flags);
        edges[k]->SetFacet1(e.facet[0] >= 0 ? facets[static_cast<std::size_t>(e.facet[0])] : nullptr);
        edges[k]->SetFacet2(e.facet[1] >= 0 ? facets[static_cast<std::size_t>(e.facet[1])] : nullptr);
        AddEdgeToCollection(edges[k]);
    }
    // Rings and lists are appended in the file's order, which restores
    // every link exactly.
    for (std::size_t v = 0; v < vertices.size(); ++v)
        for (int e = dump.ring[2 * v]; e >= 0;) {
            const G3DumpEdge& edge = dump.edges[static_cast<std::size_t>(e)];
            vertices[v]->AddEdge(edges[static_cast<std::size_t>(e)]);
            e = edge.vertexNext[edge.vertex[0] == static_cast<int>(v) ? 0 : 1];
        }
    for (std::size_t f = 0; f < facets.size(); ++f) {
        for (int e = dump.facets[f].first; e >= 0;) {
            const G3DumpEdge& edge = dump.edges[static_cast<std::size_t>(e)];
            facets[f]->AddEdge(edges[static_cast<std::size_t>(e)]);
            e = edge.facetNext[edge.facet[0] == static_cast<int>(f) ? 0 : 1];
        }
        AddFacetToCollection(facets[f]);
        facets[f]->FormPlaneEquation();
    }
    m_NextSurface = dump.nextSurface;
    return true;
}

#pragma once
// Reading the text dump into plain arrays, and checking them, before any
// element is made. Ids in the arrays are positions in the file (-1 null).

#include <string>
#include <vector>

#include "core/huge_page_memory.h"

struct G3DumpEdge {
    int vertex[2];
    int flags;
    int facet[2];
    int facetNext[2];
    int vertexNext[2];
};

struct G3DumpFacet {
    int first, last, flags, surface;
};

// The arrays of a large dump, and the load's other arrays of one entry per
// element, take their memory on huge pages: they are filled once from end
// to end and dropped after the load.
template <class T> using G3DumpArray = std::vector<T, tessaly_memory::HugePageAllocator<T>>;

struct G3Dump {
    int nextSurface = 1;
    G3DumpArray<double> xyz; // 3 per vertex
    G3DumpArray<int> ring;   // first, last per vertex
    G3DumpArray<G3DumpEdge> edges;
    G3DumpArray<G3DumpFacet> facets;
};

// Parses the text; false with a message naming the line on any error:
// a missing, extra or malformed token, a number that is not finite, a
// count that is negative or larger than the text could hold.
bool G3ParseDump(const std::string& text, G3Dump& dump, std::string& error);
// The same for the rest of an open file of fileBytes bytes, read in small
// parts; a read error gives "cannot read <name>".
bool G3ParseDumpFile(int fd, long long fileBytes, const std::string& name, G3Dump& dump, std::string& error);
// Checks ranges and the topology: every ring and facet list ends without
// revisiting an edge, names only edges that touch the vertex (or name the
// facet), ends at the recorded last edge; every edge lies in both rings
// once and in the list of each facet it names once; facet lists are chained
// into closed loops; no edge joins a vertex to itself or names one facet
// twice.
bool G3CheckDump(const G3Dump& dump, std::string& error);

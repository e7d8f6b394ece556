#pragma once
// The temporary planar graph in which self-intersecting contours are
// rebuilt. Each distinct position of the contour's end points becomes one
// graph vertex (a G3Vertex of the graph's own, whose extended-data slot
// names the source vertex); each contour edge becomes one graph edge with
// its flags and shading data. The source vertices are never written to.
// The whole self-intersection pipeline is described in edge_list_rebuild.cpp.

#include <memory>
#include <vector>

#include "tessaly/contour.h"

class G3ContourGraph {
public:
    G3ContourGraph(G3EdgeList* contour, int a1, int a2);
    ~G3ContourGraph() = default;
    G3ContourGraph(const G3ContourGraph&) = delete;
    G3ContourGraph& operator=(const G3ContourGraph&) = delete;

    // Even-odd rule: of the edges joining the same two vertices, pairs
    // cancel.
    void RemoveEvenEdges();
    // Removes vertices with one edge, and vertices whose two edges join the
    // same two vertices, until none is left.
    void RemoveTails();
    // The start of the next contour: the highest vertex (greatest a2, then
    // a1) and its leftmost edge; false when no edges remain.
    bool FindLegalEdge(G3Edge** edge, G3Vertex** start);
    // Traces one closed contour from the start edge, always turning onto the
    // edge next to the arriving one clockwise, and takes its edges out of
    // the graph. Null when no contour of 3 or more edges closes.
    G3EdgeList* RemoveContour(G3Edge* start, G3Vertex* from, int facetFlags, int facetSurface);
    int GetEdgeCount() const { return m_AliveEdges; }

private:
    G3Vertex* Lookup(G3Vertex* source, class G3PointHash* hash);
    void Remove(G3Edge* e);
    G3EdgeList* MakeContour(const std::vector<G3Edge*>& path, const std::vector<G3Vertex*>& from, int facetFlags,
                            int facetSurface);

    int m_A1, m_A2;
    // Edges go before the vertices of their rings.
    std::vector<std::unique_ptr<G3Vertex>> m_Vertices;
    std::vector<std::unique_ptr<G3Edge>> m_Edges;
    std::vector<bool> m_Removed;
    int m_AliveEdges = 0;
};

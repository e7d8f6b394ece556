// Rebuilding a contour that crosses or touches itself into simple loops.
//
// The pipeline, in the contour's projection on its two axes (a1, a2):
//
// 1. Crossings (edge_list_crossings.cpp). The sweep-line segment
//    intersector reports every pair of edges that cross; each edge is split
//    at its crossing points into pieces that keep its flags and shading. A
//    crossing within the length tolerance (1e-6) of an edge's end uses that
//    end instead of a new vertex, so no sliver pieces appear; crossings at
//    one position share one new vertex of the surface.
// 2. Graph (contour_graph.cpp). End points within the length tolerance
//    become one graph vertex (through a point hash); every edge becomes one
//    graph edge. The graph is private: the contour's own vertices are only
//    named through the graph vertices' extended-data slots.
// 3. Even-odd (with UNION_EDGE_PARITY only). Of k edges joining the same
//    two vertices, k mod 2 stay. By the parity rule a point is inside when a
//    ray from it crosses the boundary an odd number of times, so a boundary
//    run twice bounds nothing and both runs cancel.
// 4. Tails. A vertex with one edge, or with two edges to the same vertex (a
//    spike), lies on no closed loop: such edges go, again and again, until
//    every vertex left has two ways on.
// 5. Start (FindLegalEdge). The highest vertex s (greatest a2; a2 within the
//    tolerance is decided by the greater a1) lies on the outside of what is
//    left. Every edge from s goes down (d2 <= 0, with d the vector from s to
//    the edge's other end), and its score d1 / d2 grows as the edge turns
//    from pointing right to pointing left; a level edge to the left wins at
//    once, a level edge to the right scores lowest. So the start is the
//    leftmost edge from s, the first edge of the outermost loop through s.
// 6. Trace (RemoveContour). At each vertex the walk turns onto the edge next
//    to the arriving one in the clockwise sense, the tightest turn, so it
//    follows the boundary of one face. Walked edges are marked; on a marked
//    edge the walk takes an unmarked edge between the same two vertices, or,
//    when there is none, it has closed on itself and keeps the part from
//    that edge on. Loops of three or more edges become new contours.
// 7. Remesh (with the remesh flag). The new contours are typed by nesting
//    and their holes bridged into the contours around them.
//
// Why it ends: a trace takes at most (live edges + 1) steps, and each trace
// takes at least one edge out of the graph (the loop it found, or the path
// it walked and its start edge when no loop closed), so there are at most
// as many traces as edges.
#include "contour/contour_graph.h"
#include "tessaly/contour.h"

int G3EdgeList::TraceContours(GArrayCollection* result, bool parity)
{
    if (!result || size() < 3)
        return 0;
    EnsureAxes();
    G3ContourGraph graph(this, m_XCoo, m_YCoo);
    if (parity)
        graph.RemoveEvenEdges();
    int count = 0;
    for (;;) {
        graph.RemoveTails();
        G3Edge* start;
        G3Vertex* from;
        if (!graph.FindLegalEdge(&start, &from))
            break;
        G3EdgeList* contour = graph.RemoveContour(start, from, m_FacetFlags, m_FacetSurface);
        if (!contour)
            continue;
        contour->SetPlane(m_Plane);
        contour->m_XCoo = m_XCoo;
        contour->m_YCoo = m_YCoo;
        contour->FormEnvelope();
        result->add(contour);
        ++count;
    }
    return count;
}

int G3EdgeList::RemoveSelfIntersections(GArrayCollection* result, G3Surface* surface, bool remesh, UNION_EDGE_ALG alg,
                                        int /*mode*/)
{
    if (!result || !surface || size() < 3)
        return 0;
    FormEnvelope();
    FindSelfIntersections(surface);
    int count = TraceContours(result, alg == UNION_EDGE_PARITY);
    if (remesh)
        RemeshContours(surface, result, true, 0);
    return count;
}

int G3EdgeList::FormContours(GArrayCollection* result)
{
    return TraceContours(result, false);
}

int G3EdgeList::FormContours(GArrayCollection* result, UNION_EDGE_ALG alg)
{
    return TraceContours(result, alg == UNION_EDGE_PARITY);
}

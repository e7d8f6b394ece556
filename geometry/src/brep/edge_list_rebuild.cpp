// Rebuilding a contour that crosses or touches itself into simple loops.
#include "brep/contour_graph.h"
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

int G3EdgeList::RemoveSelfIntersections(GArrayCollection* result, G3Surface* surface, bool remesh,
                                        UNION_EDGE_ALG alg, int /*mode*/)
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

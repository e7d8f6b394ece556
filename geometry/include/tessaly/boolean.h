#pragma once
// The boolean calculator of the Tessaly kernel. Its static part traces rays
// through facets for picking (see tessaly/raytrace.h).

#include "tessaly/containers.h"
#include "tessaly/elements.h"
#include "tessaly/raytrace.h"

class G3Facet;

class TESSALY_API G3BooleanCalculator {
public:
    // ---- Ray picking -------------------------------------------------------
    // Traces the segment p -> q through the facets and reports to r every
    // facet whose inside it crosses (or starts on), and every edge and
    // vertex it passes through within the length tolerance, each edge and
    // vertex once. Facets with an all-zero plane are skipped. The marks used
    // to report elements once are cleared afterwards. Nothing is done when
    // an argument is null.
    static void TestRayAndFacetList(double* p, double* q, GArrayCollection* facets, G3RayTraceResult* r);
    // Reports a hit on the inside of f, with f's plane normal.
    static void FacetFilter(G3RayTraceResult* r, double* point, double* axis1, double* axis2, G3Facet* f);
    // Reports every edge between a and b not reported yet (marked and added
    // to seenEdges), with the normalised sum of its facets' plane normals.
    static void EdgeFilter(G3RayTraceResult* r, double* point, G3Vertex* a, G3Vertex* b, GArrayCollection* seenEdges);
    // Reports v once (marked and added to seenVertices), with the normalised
    // sum of the plane normals around it; the edges at v count as reported.
    static void VertexFilter(G3RayTraceResult* r, double* point, G3Vertex* v, GArrayCollection* seenEdges,
                             GArrayCollection* seenVertices);
};

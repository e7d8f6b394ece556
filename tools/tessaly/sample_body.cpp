// Builds a small body with the kernel, vertex by vertex and facet by facet:
// a cube whose top carries a square pocket (the top facet has a hole,
// joined to its outline by a bridge), and saves it as a text dump.
#include <cstdio>

#include "tessaly/surface.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: tessaly_sample_body OUT.g3s\n", stderr);
        return 2;
    }
    G3Surface body(16, 0);
    G3Vertex* v[8];
    for (int k = 0; k < 8; ++k)
        v[k] = body.AddVertex(k & 1 ? 10 : 0, k & 2 ? 10 : 0, k & 4 ? 10 : 0);
    G3Vertex *h[4], *p[4];
    const double corner[4][2] = {{3, 3}, {7, 3}, {7, 7}, {3, 7}};
    for (int k = 0; k < 4; ++k) {
        h[k] = body.AddVertex(corner[k][0], corner[k][1], 10);
        p[k] = body.AddVertex(corner[k][0], corner[k][1], 5);
    }
    auto face = [&body](std::initializer_list<G3Vertex*> loop) {
        G3Vertex* list[16];
        int n = 0;
        for (G3Vertex* x : loop)
            list[n++] = x;
        body.AddFacet(n, list, 1, nullptr, nullptr);
    };
    face({v[0], v[2], v[3], v[1]});
    face({v[0], v[1], v[5], v[4]});
    face({v[2], v[6], v[7], v[3]});
    face({v[0], v[4], v[6], v[2]});
    face({v[1], v[3], v[7], v[5]});
    face({v[4], v[5], v[7], v[6], v[4], h[0], h[3], h[2], h[1], h[0]});
    for (int k = 0; k < 4; ++k)
        face({h[k], h[(k + 1) % 4], p[(k + 1) % 4], p[k]});
    face({p[0], p[1], p[2], p[3]});
    if (!body.Save(argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("%d vertices, %d edges, %d facets written to %s\n", body.GetVertexCount(), body.GetEdgeCount(),
                body.GetFacetCount(), argv[1]);
    return 0;
}

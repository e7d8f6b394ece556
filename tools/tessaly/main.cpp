// tessaly: the kernel on the command line.
//   tessaly info FILE
//   tessaly convert IN OUT
//   tessaly simplify IN OUT --ratio R
//   tessaly repair IN OUT [--level 1001|1002]
//   tessaly triangulate IN OUT [--quads] [--pentagons] [--bent] [--concave] [--visible-diagonals]
//   tessaly box OUT [--size S]
//   tessaly sphere OUT [--radius R] [--segments N]
//   tessaly boolean union|difference|intersection A B OUT
//   tessaly pick FILE PX PY PZ QX QY QZ
//   tessaly pick FILE --ray PX PY PZ DX DY DZ
//   tessaly check FILE
//   tessaly transform IN OUT (--matrix M00..M33 | --translate X Y Z | --rotate AX AY AZ DEG | --scale S)...
//   tessaly classify FILE X Y Z
//   tessaly slice IN --plane A B C D FRONT BACK
//   tessaly section IN --plane A B C D OUT.obj
//   tessaly separate IN OUTDIR
//   tessaly cut SOLID SHEET PART1 PART2
//   tessaly offset IN OUT --distance T
//   tessaly blend IN OUT (--edge X1 Y1 Z1 X2 Y2 Z2 | --corner X Y Z) --radius R [--radius2 R2] [--segments N]
//   tessaly clip IN.txt OUT.txt (--rect X1 Y1 X2 Y2 | --polygon POLY.txt)
//   tessaly contours union|outer|divide IN.txt OUT.txt
//   tessaly openings IN OUT (--outline OUTLINE.txt --direction DX DY DZ)...
//   tessaly roof OUTLINE.txt OUT [--slope DEG | --slopes FILE] [--overhang D] [--thickness T]
//   tessaly terrain POINTS.xyz OUT [--breaklines FILE] [--smooth MODE --passes N] [--pad REGION.txt --margin M]
//                                  [--cover DEPTH]
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "boolean_command.h"
#include "clip_command.h"
#include "contours_command.h"
#include "edit_commands.h"
#include "mesh_formats.h"
#include "openings_command.h"
#include "pick_ray_command.h"
#include "repair_command.h"
#include "roof_command.h"
#include "slice_commands.h"
#include "solid_commands.h"
#include "terrain_command.h"
#include "tessaly/surface.h"
#include "triangulate_command.h"

namespace {
int Usage()
{
    std::fputs("usage: tessaly info FILE\n"
               "       tessaly convert IN OUT\n"
               "       tessaly simplify IN OUT --ratio R   (0 <= R <= 1)\n"
               "       tessaly repair IN OUT [--level 1001|1002]\n"
               "       tessaly triangulate IN OUT [--quads] [--pentagons] [--bent] [--concave]\n"
               "                                  [--visible-diagonals]\n"
               "       tessaly box OUT [--size S]   (the box [-S, S]^2 x [0, 2S], S = 1)\n"
               "       tessaly sphere OUT [--radius R] [--segments N]   (R = 1, N = 32, 4 <= N <= 4096)\n"
               "       tessaly boolean union|difference|intersection A B OUT   (closed solids)\n"
               "       tessaly pick FILE PX PY PZ QX QY QZ   (the segment P-Q through the body)\n"
               "       tessaly pick FILE --ray PX PY PZ DX DY DZ   (the ray from P along D, through the octree)\n"
               "       tessaly check FILE   (validity checks; exit status 3 when a check fails)\n"
               "       tessaly transform IN OUT (--matrix M00 .. M33 | --translate X Y Z | --rotate AX AY AZ DEG\n"
               "                                | --scale S | --scale SX SY SZ)...   (the steps in order)\n"
               "       tessaly classify FILE X Y Z   (inside, outside or on)\n"
               "       tessaly slice IN --plane A B C D FRONT BACK   (FRONT: A x + B y + C z + D < 0)\n"
               "       tessaly section IN --plane A B C D OUT.obj   (the outline as polylines)\n"
               "       tessaly separate IN OUTDIR   (one file per lump)\n"
               "       tessaly cut SOLID SHEET PART1 PART2   (a solid cut by an open sheet)\n"
               "       tessaly offset IN OUT --distance T   (facet planes moved out by T)\n"
               "       tessaly blend IN OUT (--edge X1 Y1 Z1 X2 Y2 Z2 | --corner X Y Z) --radius R\n"
               "                     [--radius2 R2] [--segments N]   (a rounded edge or corner, N = 8)\n"
               "       tessaly clip IN.txt OUT.txt (--rect X1 Y1 X2 Y2 | --polygon POLY.txt)   (planar contours)\n"
               "       tessaly contours union|outer|divide IN.txt OUT.txt   (union of fills, or simple contours)\n"
               "       tessaly openings IN OUT (--outline OUTLINE.txt --direction DX DY DZ)...   (openings cut\n"
               "                        through panels; OUTLINE.txt: one opening a line of x y z triples)\n"
               "       tessaly roof OUTLINE.txt OUT [--slope DEG | --slopes FILE] [--overhang D] [--thickness T]\n"
               "                    (the roof over the first contour; slopes in degrees, 30 by default)\n"
               "       tessaly terrain POINTS.xyz OUT [--breaklines FILE] [--smooth MODE --passes N]\n"
               "                       [--pad REGION.txt --margin M] [--cover DEPTH]   (a terrain from x y z\n"
               "                       points; breaklines and pads: one polyline a line of x y z triples)\n"
               "formats by extension: .g3s (text dump), .obj, .off, .stl; .wrl (VRML, write only)\n",
               stderr);
    return 2;
}

int Error(const std::string& message)
{
    std::fprintf(stderr, "tessaly: %s\n", message.c_str());
    return 1;
}

int Info(G3Surface* s)
{
    int open = 0, crowded = 0, sameWay = 0;
    double area = 0;
    // Closed needs exactly two facet sides along every pair of joined
    // vertices (the two edges of a bridge count together), running the edge
    // in opposite directions: fewer is open, more is a crowded edge (a
    // facet repeated, or three facets on one edge).
    for (int k = 0; k < s->GetEdgeCount(); ++k) {
        G3Edge* e = s->GetEdge(k);
        const int sides = e->GetVertex1()->GetEdgeCount(e->GetVertex2());
        G3Facet* f1 = e->GetFacet1();
        G3Facet* f2 = e->GetFacet2();
        open += sides < 2;
        crowded += sides > 2;
        sameWay += sides == 2 && f1 && f2 && f1 != f2 && f1->GetMoveDirection(e) == f2->GetMoveDirection(e);
    }
    for (int k = 0; k < s->GetFacetCount(); ++k)
        area += std::max(0.0, s->GetFacet(k)->GetArea());
    std::printf("vertices %d\nedges %d\nfacets %d\n", s->GetVertexCount(), s->GetEdgeCount(), s->GetFacetCount());
    GEnvelope box;
    if (s->FormEnvelope(&box))
        std::printf("envelope %.17g %.17g %.17g  %.17g %.17g %.17g\n", box.GetMinX(), box.GetMinY(), box.GetMinZ(),
                    box.GetMaxX(), box.GetMaxY(), box.GetMaxZ());
    std::printf("area %.17g\n", area);
    const bool closed = open == 0 && crowded == 0 && sameWay == 0 && s->GetFacetCount() > 0;
    std::printf("closed %s (%d open edges", closed ? "yes" : "no", open);
    if (crowded > 0)
        std::printf(", %d edges with more than two facets", crowded);
    if (sameWay > 0)
        std::printf(", %d edges whose two facets run them the same way", sameWay);
    std::printf(")\n");
    return 0;
}

bool Ratio(const char* text, double& ratio)
{
    const char* end = text + std::strlen(text);
    auto r = std::from_chars(text, end, ratio);
    return r.ec == std::errc() && r.ptr == end && ratio >= 0.0 && ratio <= 1.0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    std::string command = argv[1];
    G3Surface surface;
    std::string error;
    if (command == "info" && argc == 3) {
        if (!ReadMesh(argv[2], &surface, error))
            return Error(error);
        return Info(&surface);
    }
    if (command == "convert" && argc == 4) {
        if (!ReadMesh(argv[2], &surface, error) || !WriteMesh(argv[3], &surface, error))
            return Error(error);
        return 0;
    }
    if (command == "repair" && (argc == 4 || (argc == 6 && std::strcmp(argv[4], "--level") == 0))) {
        CHECK_LEVEL level = CHECK_LEVEL_1001;
        if (argc == 6 && std::strcmp(argv[5], "1002") == 0)
            level = CHECK_LEVEL_1002;
        else if (argc == 6 && std::strcmp(argv[5], "1001") != 0)
            return Error("the repair level must be 1001 or 1002");
        if (!ReadMesh(argv[2], &surface, error))
            return Error(error);
        RepairAndReport(&surface, level);
        return WriteMesh(argv[3], &surface, error) ? 0 : Error(error);
    }
    if (command == "triangulate" && argc >= 4) {
        TriangulateOptions options;
        if (!ParseTriangulateFlags(argc, argv, 4, options, error))
            return Error(error);
        if (!ReadMesh(argv[2], &surface, error))
            return Error(error);
        TriangulateAndReport(&surface, options);
        return WriteMesh(argv[3], &surface, error) ? 0 : Error(error);
    }
    if (command == "boolean" && argc == 6) {
        const int status = RunBoolean(argv[2], argv[3], argv[4], argv[5], error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "check" && argc == 3) {
        const int status = RunCheck(argv[2], error);
        return status == 1 ? Error(error) : status;
    }
    if (command == "transform") {
        const int status = RunTransform(argc, argv, error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "pick" && argc == 10 && std::strcmp(argv[3], "--ray") == 0) {
        const int status = RunPickRay(argv[2], argv + 4, error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "pick" && argc == 9) {
        const int status = RunPick(argv[2], argv + 3, error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "classify" && argc == 6) {
        const int status = RunClassify(argv[2], argv + 3, error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "slice" || command == "section") {
        const int status = command == "slice" ? RunSlice(argc, argv, error) : RunSection(argc, argv, error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "cut" && argc == 6) {
        const int status = RunCut(argv + 2, error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "blend") {
        const int status = RunBlend(argc, argv, error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "contours" && argc == 5 &&
        (std::strcmp(argv[2], "union") == 0 || std::strcmp(argv[2], "outer") == 0 ||
         std::strcmp(argv[2], "divide") == 0)) {
        const int status = RunContours(argv[2], argv[3], argv[4], error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "clip") {
        const int status = RunClip(argc, argv, error);
        if (status == kClipUsage)
            return Usage();
        return status == 0 ? 0 : Error(error);
    }
    if (command == "openings") {
        const int status = RunOpenings(argc, argv, error);
        if (status == kOpeningsUsage)
            return Usage();
        return status == 0 ? 0 : Error(error);
    }
    if (command == "roof") {
        const int status = RunRoof(argc, argv, error);
        if (status == kRoofUsage)
            return Usage();
        return status == 0 ? 0 : Error(error);
    }
    if (command == "terrain") {
        const int status = RunTerrain(argc, argv, error);
        if (status == kTerrainUsage)
            return Usage();
        return status == 0 ? 0 : Error(error);
    }
    if (command == "offset") {
        const int status = RunOffset(argc, argv, error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "separate" && argc == 4) {
        const int status = RunSeparate(argv[2], argv[3], error);
        return status == 0 ? 0 : Error(error);
    }
    if (command == "box" || command == "sphere") {
        BoxOptions box;
        SphereOptions sphere;
        const bool parsed = command == "box" ? ParseBoxFlags(argc, argv, 3, box, error)
                                             : ParseSphereFlags(argc, argv, 3, sphere, error);
        if (!parsed)
            return Error(error);
        G3Surface* solid = command == "box" ? MakeBoxSolid(box, error) : MakeSphereSolid(sphere, error);
        if (!solid)
            return Error(error);
        ReportSolid(solid);
        const bool ok = WriteMesh(argv[2], solid, error);
        delete solid;
        return ok ? 0 : Error(error);
    }
    if (command == "simplify" && argc == 6 && std::strcmp(argv[4], "--ratio") == 0) {
        double ratio;
        if (!Ratio(argv[5], ratio))
            return Error("the ratio must be a number from 0 to 1");
        if (!ReadMesh(argv[2], &surface, error))
            return Error(error);
        QSLIM_RES result;
        G3Surface* simplified =
            G3Surface::QSlimSimplifier(&surface, CHECK_LEVEL_1001, ratio, QSLIM_TYPE_QUADRIC, result, nullptr);
        if (!simplified)
            return Error(result.status == QSLIM_NO_ADAPTER ? "the simplification library libSimplexa.so was not found"
                                                           : "the body could not be simplified");
        bool ok = WriteMesh(argv[3], simplified, error);
        std::printf("%d -> %d triangles\n", result.sourceTriangles, result.resultTriangles);
        delete simplified;
        return ok ? 0 : Error(error);
    }
    return Usage();
}

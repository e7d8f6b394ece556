#include "clip_command.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "arguments.h"
#include "contour_text.h"
#include "tessaly/clipper.h"

namespace {
constexpr int kFailed = 1;

// The clipped contours as the clipper hands them out: per contour its
// points and the visibility of the piece that ends at each point.
class ContourCollector : public GPathLoader {
public:
    struct Contour {
        TextContour points;
        std::vector<SEGMENT_VISIBILITY> visibility; // of the piece ending at point k; none for the start
    };

    void PathBegin(int) override { contours.clear(); }
    void PathSetPreferPlane(int, int) override {}
    void PathContourBegin(const double* start, int, CONTOUR_TYPE) override
    {
        contours.push_back({});
        contours.back().points.push_back({start[0], start[1]});
    }
    void PathContourSegmentTo(SEGMENT_TYPE, SEGMENT_VISIBILITY visibility, int, const double* points) override
    {
        contours.back().points.push_back({points[0], points[1]});
        contours.back().visibility.push_back(visibility);
    }
    void PathContourEnd() override {}
    void PathEnd() override {}

    std::vector<Contour> contours;
};

// A clipped contour in the file's form: no piece of zero length, the start
// not repeated at the end. hidden gets the pieces along the border (piece j
// joins point j to the next one, the last back to the first).
TextContour Tidy(const ContourCollector::Contour& c, std::string& hidden)
{
    TextContour points{c.points.front()};
    std::vector<SEGMENT_VISIBILITY> visibility; // of the piece ending at points[k + 1]
    for (std::size_t k = 1; k < c.points.size(); ++k) {
        if (c.points[k] == points.back())
            continue;
        points.push_back(c.points[k]);
        visibility.push_back(c.visibility[k - 1]);
    }
    // The piece back to the start closes the contour implicitly.
    if (points.size() > 1 && points.back() == points.front())
        points.pop_back();
    hidden.clear();
    for (std::size_t j = 0; j < visibility.size(); ++j)
        if (visibility[j] == SEGMENT_HIDDEN)
            hidden += (hidden.empty() ? "hidden: " : " ") + std::to_string(j);
    return points;
}

int ClipToRectangle(const char* in, const char* out, const double* rect, std::string& error)
{
    std::vector<TextContour> contours;
    if (!ReadContours(in, contours, error))
        return kFailed;
    G3PolylineClipper clipper(rect[0], rect[1], rect[2], rect[3]);
    clipper.PathBegin(static_cast<int>(contours.size()));
    for (const TextContour& contour : contours) {
        const double start[3] = {contour[0][0], contour[0][1], 0.0};
        clipper.PathContourBegin(start, static_cast<int>(contour.size()) + 1, CONTOUR_UNDEFINED);
        for (std::size_t k = 1; k <= contour.size(); ++k) {
            const ContourPoint& p = contour[k % contour.size()];
            const double point[3] = {p[0], p[1], 0.0};
            clipper.PathContourSegmentTo(SEGMENT_LINE, SEGMENT_VISIBLE, 1, point);
        }
        clipper.PathContourEnd();
    }
    clipper.PathEnd();

    ContourCollector clipped;
    clipper.DoClip(&clipped, CLIP_ALL_BORDERS);
    std::vector<TextContour> result;
    std::vector<std::string> comments;
    for (const ContourCollector::Contour& c : clipped.contours) {
        comments.emplace_back();
        result.push_back(Tidy(c, comments.back()));
    }
    if (!WriteContours(out, result, error, comments))
        return kFailed;
    std::printf("contours %zu -> %zu\n", contours.size(), result.size());
    return 0;
}

class PieceCollector : public GLineLoader {
public:
    void LineLoad(const double* from, const double* to) override { pieces.push_back({from[0], from[1], to[0], to[1]}); }
    std::vector<std::array<double, 4>> pieces;
};

int ClipToPolygon(const char* in, const char* polygonPath, const char* out, std::string& error)
{
    std::vector<TextContour> polygon;
    if (!ReadContours(polygonPath, polygon, error))
        return kFailed;
    if (polygon.empty() || polygon[0].size() < 3) {
        error = std::string(polygonPath) + ": the clip polygon (its first contour) needs at least 3 points";
        return kFailed;
    }
    std::vector<TextContour> contours;
    if (!ReadContours(in, contours, error))
        return kFailed;

    std::vector<double> xy;
    for (const ContourPoint& p : polygon[0])
        xy.insert(xy.end(), {p[0], p[1]});
    G3PolylineClipper clipper(static_cast<int>(polygon[0].size()), xy.data());
    PieceCollector pieces;
    std::size_t segments = 0;
    for (const TextContour& contour : contours) {
        // A contour of two points is one segment; of more, a closed ring.
        const std::size_t n = contour.size();
        const std::size_t count = n < 3 ? n - 1 : n;
        for (std::size_t k = 0; k < count; ++k) {
            const double from[3] = {contour[k][0], contour[k][1], 0.0};
            const double to[3] = {contour[(k + 1) % n][0], contour[(k + 1) % n][1], 0.0};
            clipper.DoClip(from, to, &pieces);
            ++segments;
        }
    }

    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    for (const auto& piece : pieces.pieces)
        file << FormatCoordinate(piece[0]) << ' ' << FormatCoordinate(piece[1]) << ' ' << FormatCoordinate(piece[2])
             << ' ' << FormatCoordinate(piece[3]) << '\n';
    file.flush();
    if (!file) {
        error = std::string("cannot write ") + out;
        return kFailed;
    }
    std::printf("segments %zu, pieces %zu\n", segments, pieces.pieces.size());
    return 0;
}
} // namespace

int RunClip(int argc, char** argv, std::string& error)
{
    if (argc == 9 && std::strcmp(argv[4], "--rect") == 0) {
        double rect[4];
        if (!ParseFiniteList(argv + 5, 4, rect, error))
            return kFailed;
        return ClipToRectangle(argv[2], argv[3], rect, error);
    }
    if (argc == 6 && std::strcmp(argv[4], "--polygon") == 0)
        return ClipToPolygon(argv[2], argv[5], argv[3], error);
    return kClipUsage;
}

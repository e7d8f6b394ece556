#include "contours_command.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "contour_text.h"
#include "tessaly/contour_divider.h"
#include "tessaly/path_boolean.h"

namespace {
constexpr int kFailed = 1;

double SignedArea(const TextContour& c)
{
    double a = 0;
    for (std::size_t k = 0; k < c.size(); ++k) {
        const ContourPoint& p = c[k];
        const ContourPoint& q = c[(k + 1) % c.size()];
        a += p[0] * q[1] - q[0] * p[1];
    }
    return a / 2;
}

// The union's outline, each contour as its points (start not repeated).
class UnionOutline : public G3ContourIntersector {
public:
    void UnloadBegin(int) override {}
    void ContourBeginUnload(const double* start) override { contours.push_back({{start[0], start[1]}}); }
    void ContourUnloadSegment(const double* end, SEGMENT_TYPE, int) override
    {
        contours.back().push_back({end[0], end[1]});
    }
    void ContourEndUnload() override
    {
        if (contours.back().size() > 1)
            contours.back().pop_back(); // back at the start
    }
    void UnloadEnd() override {}

    std::vector<TextContour> contours;
};

// The divided contours, each as its points.
class DividedContours : public G3ContourDivider {
public:
    void BeginUnloadContour(int, bool isHole) override
    {
        contours.push_back({});
        holes.push_back(isHole);
    }
    void UnloadEdge(const double* start, int, const double*, int, int, unsigned long, unsigned long) override
    {
        contours.back().push_back({start[0], start[1]});
    }

    std::vector<TextContour> contours;
    std::vector<bool> holes;
};

std::vector<TextContour> Union(const std::vector<TextContour>& in, BOOLEAN_OPERATION op)
{
    UnionOutline u;
    u.LoadBegin(0, 1);
    for (const TextContour& c : in) {
        if (c.empty())
            continue;
        const double start[3] = {c[0][0], c[0][1], 0};
        u.ContourBeginLoad(start);
        for (std::size_t k = 1; k < c.size(); ++k) {
            const double p[3] = {c[k][0], c[k][1], 0};
            u.ContourLoadSegment(p, SEGMENT_LINE, 0);
        }
        u.ContourEndLoad(SEGMENT_LINE, 0);
    }
    u.LoadEnd();
    u.DoIntersect(op);
    return u.contours;
}

std::vector<TextContour> Divide(const std::vector<TextContour>& in)
{
    DividedContours d;
    d.BeginLoad(0, 0);
    for (const TextContour& c : in) {
        d.BeginLoadContour();
        for (std::size_t k = 0; k < c.size(); ++k) {
            const double a[3] = {c[k][0], c[k][1], 0};
            const double b[3] = {c[(k + 1) % c.size()][0], c[(k + 1) % c.size()][1], 0};
            d.LoadEdge(a, b, static_cast<int>(G3Edge::kVisible), 0, 0);
        }
        d.EndLoadContour();
    }
    d.EndLoad();
    // The kinds run opposite ways; turn them all when the outer contours
    // run clockwise, so that they come out as the union's do.
    bool clockwiseOuter = false;
    for (std::size_t k = 0; k < d.contours.size(); ++k)
        if (!d.holes[k]) {
            clockwiseOuter = SignedArea(d.contours[k]) < 0;
            break;
        }
    if (clockwiseOuter)
        for (TextContour& c : d.contours)
            std::reverse(c.begin(), c.end());
    return d.contours;
}
} // namespace

int RunContours(const std::string& operation, const std::string& in, const std::string& out, std::string& error)
{
    std::vector<TextContour> contours;
    if (!ReadContours(in, contours, error))
        return kFailed;
    std::vector<TextContour> result = operation == "divide" ? Divide(contours)
        : operation == "outer"                              ? Union(contours, BOOLEAN_OUTER)
                                                            : Union(contours, BOOLEAN_UNION);
    int holes = 0;
    double area = 0;
    for (const TextContour& c : result) {
        const double a = SignedArea(c);
        holes += a < 0;
        area += a;
    }
    std::printf("contours %zu\nholes %d\narea %.17g\n", result.size(), holes, area);
    return WriteContours(out, result, error) ? 0 : kFailed;
}

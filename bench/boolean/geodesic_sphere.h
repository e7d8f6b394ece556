#pragma once
// The geodesic unit sphere of the boolean and slicing benchmarks: the
// icosahedron's faces cut into n^2 triangles each, the points pushed out onto
// the sphere, as plain arrays that both sides of a benchmark build from.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <map>
#include <utility>
#include <vector>

namespace bench_sphere {

struct Mesh {
    std::vector<double> xyz;    // 3 coordinates a vertex
    std::vector<int> triangles; // 3 vertex indices a triangle, counterclockwise seen from outside
    int Vertices() const { return static_cast<int>(xyz.size() / 3); }
    int Triangles() const { return static_cast<int>(triangles.size() / 3); }
    std::size_t Bytes() const { return xyz.size() * sizeof(double) + triangles.size() * sizeof(int); }
};

// The icosahedron's faces cut into n^2 triangles each, the points pushed
// out onto the unit sphere. A point is named by its weights on the
// icosahedron's corners (at most three, in corner order), so a point on an
// edge or a corner shared by faces is made once and its coordinates are
// computed once.
Mesh GeodesicSphere(int n)
{
    const double phi = (1 + std::sqrt(5.0)) / 2;
    const double corners[12][3] = {{-1, phi, 0}, {1, phi, 0}, {-1, -phi, 0}, {1, -phi, 0},
                                   {0, -1, phi}, {0, 1, phi}, {0, -1, -phi}, {0, 1, -phi},
                                   {phi, 0, -1}, {phi, 0, 1}, {-phi, 0, -1}, {-phi, 0, 1}};
    const int faces[20][3] = {{0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
                              {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
                              {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
    Mesh m;
    m.xyz.reserve(3 * (10 * static_cast<std::size_t>(n) * n + 2));
    m.triangles.reserve(3 * 20 * static_cast<std::size_t>(n) * n);
    std::map<std::array<int, 6>, int> named;
    std::vector<int> grid(static_cast<std::size_t>(n + 1) * (n + 1));
    for (const auto& face : faces) {
        int c[3] = {face[0], face[1], face[2]};
        // Outward: the face's normal along its centre.
        double u[3], w[3], centre[3];
        for (int a = 0; a < 3; ++a) {
            u[a] = corners[c[1]][a] - corners[c[0]][a];
            w[a] = corners[c[2]][a] - corners[c[0]][a];
            centre[a] = corners[c[0]][a] + corners[c[1]][a] + corners[c[2]][a];
        }
        const double normal[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        if (normal[0] * centre[0] + normal[1] * centre[1] + normal[2] * centre[2] < 0)
            std::swap(c[1], c[2]);
        // Point (i, j) of the face: weights n - i - j, i, j on c[0], c[1], c[2].
        for (int i = 0; i <= n; ++i)
            for (int j = 0; i + j <= n; ++j) {
                std::array<std::pair<int, int>, 3> weights = {{{c[0], n - i - j}, {c[1], i}, {c[2], j}}};
                std::sort(weights.begin(), weights.end());
                std::array<int, 6> name;
                name.fill(-1);
                int used = 0;
                for (const auto& cw : weights)
                    if (cw.second > 0) {
                        name[2 * used] = cw.first;
                        name[2 * used + 1] = cw.second;
                        ++used;
                    }
                auto it = named.find(name);
                if (it == named.end()) {
                    double p[3] = {0, 0, 0};
                    for (int k = 0; k < used; ++k)
                        for (int a = 0; a < 3; ++a)
                            p[a] += name[2 * k + 1] * corners[name[2 * k]][a];
                    const double length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
                    for (double x : p)
                        m.xyz.push_back(x / length);
                    it = named.emplace(name, m.Vertices() - 1).first;
                }
                grid[static_cast<std::size_t>(i) * (n + 1) + j] = it->second;
            }
        auto at = [&grid, n](int i, int j) { return grid[static_cast<std::size_t>(i) * (n + 1) + j]; };
        auto triangle = [&m](int a, int b, int d) {
            m.triangles.push_back(a);
            m.triangles.push_back(b);
            m.triangles.push_back(d);
        };
        // Both kinds of small triangle turn as c[0], c[1], c[2] does.
        for (int i = 0; i < n; ++i)
            for (int j = 0; i + j < n; ++j) {
                triangle(at(i, j), at(i + 1, j), at(i, j + 1));
                if (i + j + 1 < n)
                    triangle(at(i + 1, j), at(i + 1, j + 1), at(i, j + 1));
            }
    }
    return m;
}

} // namespace bench_sphere

// Writes a triangle soup as an exporter without welding leaves it: the
// surface of the unit cube, each face an n x n grid of squares split in
// two, every triangle with corners of its own jittered by up to 2e-7 (so
// that no two copies of a corner are equal, though all lie within the
// kernel's 1e-6), and a few triangles turned inside out. Binary STL.
//   tessaly_sample_soup OUT.stl N FLIPPED
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {
struct Corner {
    double p[3];
};

// The two triangles of square (i, j) of the face of axis a and side s
// (0: at 0, 1: at 1), counterclockwise seen from outside.
void FaceTriangles(int a, int side, int n, int i, int j, std::vector<Corner>& out)
{
    const int u = (a + 1) % 3, w = (a + 2) % 3;
    auto at = [&](int di, int dj) {
        Corner c{{0, 0, 0}};
        c.p[a] = side;
        c.p[u] = static_cast<double>(i + di) / n;
        c.p[w] = static_cast<double>(j + dj) / n;
        return c;
    };
    Corner q[4] = {at(0, 0), at(1, 0), at(1, 1), at(0, 1)};
    const int order[2][6] = {{0, 1, 2, 0, 2, 3}, {0, 2, 1, 0, 3, 2}};
    for (int k : order[side ? 0 : 1])
        out.push_back(q[k]);
}

void PutFloat(std::FILE* file, double value)
{
    float f = static_cast<float>(value);
    std::fwrite(&f, sizeof f, 1, file);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: tessaly_sample_soup OUT.stl N FLIPPED\n", stderr);
        return 2;
    }
    const int n = std::atoi(argv[2]), flipped = std::atoi(argv[3]);
    if (n < 1 || n > 1000 || flipped < 0) {
        std::fputs("tessaly_sample_soup: N from 1 to 1000, FLIPPED from 0\n", stderr);
        return 2;
    }
    std::vector<Corner> corners;
    for (int a = 0; a < 3; ++a)
        for (int side = 0; side < 2; ++side)
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    FaceTriangles(a, side, n, i, j, corners);
    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> jitter(-2e-7, 2e-7);
    for (Corner& c : corners)
        for (double& x : c.p)
            x += jitter(random);
    const std::uint32_t triangles = static_cast<std::uint32_t>(corners.size() / 3);
    // Every (triangles / flipped)-th triangle is turned inside out.
    for (int k = 0; k < flipped && static_cast<std::uint32_t>(k) < triangles; ++k) {
        std::size_t t = static_cast<std::size_t>(k) * (triangles / static_cast<std::uint32_t>(flipped));
        std::swap(corners[3 * t + 1], corners[3 * t + 2]);
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    char header[80];
    std::memset(header, 0, sizeof header);
    std::snprintf(header, sizeof header, "tessaly sample soup");
    std::fwrite(header, 1, sizeof header, file);
    std::fwrite(&triangles, sizeof triangles, 1, file);
    const std::uint16_t attribute = 0;
    for (std::uint32_t t = 0; t < triangles; ++t) {
        for (int k = 0; k < 3; ++k)
            PutFloat(file, 0.0); // the normal: readers recompute it
        for (int k = 0; k < 3; ++k)
            for (double x : corners[3 * t + static_cast<std::size_t>(k)].p)
                PutFloat(file, x);
        std::fwrite(&attribute, sizeof attribute, 1, file);
    }
    return std::fclose(file) == 0 ? 0 : 1;
}

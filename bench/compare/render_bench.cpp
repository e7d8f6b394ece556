// Rendering a drawing of 100 000 lines into a bitmap of image size 4000, as
// the stand-in engine does for a ">SaveBmp" macro, beside writing the same
// bitmap with nothing drawn: the difference is the rasterizer's own cost.
#include "bmp_file.h"
#include "rasterizer.h"
#include "twinview/private_temp_dir.h"

#include <benchmark/benchmark.h>

#include "../ratio_reporter.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace draftora;

constexpr int kLines = 100000;
constexpr int kImageSize = 4000;

// A plan-like drawing: short walls of one to three pixels' pen width spread
// over a 1000 x 700 sheet, from a fixed-seed generator so every run draws
// the same lines.
Drawing ManyLines()
{
    std::uint32_t seed = 12345;
    auto next = [&seed](double range) {
        seed = seed * 1664525u + 1013904223u;
        return range * (seed >> 8) / double(1u << 24);
    };
    Drawing drawing;
    for (int i = 0; i < kLines; ++i) {
        const double x = next(1000);
        const double y = next(700);
        const Pen pen{Rgb{0, 0, 0}, 1 + i % 3};
        drawing.shapes.push_back({ShapeKind::Line, pen, {{x, y}, {x + next(60) - 30, y + next(60) - 30}}, 0});
    }
    return drawing;
}

const Box kWindow{-10, -10, 1010, 710};

void RenderAndWrite(benchmark::State& state, bool draw)
{
    static const Drawing drawing = ManyLines();
    CPrivateTempDir dir;
    const std::string path = dir.Path() + "/bench.BMP";
    const int height = ImageHeight(kWindow, kImageSize);
    for (auto _ : state) {
        Canvas canvas(kImageSize, height, Rgb{255, 255, 255});
        if (draw)
            Render(drawing, kWindow, canvas);
        WriteBmpFile(path, canvas);
    }
    state.counters["pixels"] = double(kImageSize) * height;
}

void BM_RenderLinesAndWriteBmp(benchmark::State& state)
{
    RenderAndWrite(state, true);
}
void BM_WriteBlankBmp(benchmark::State& state)
{
    RenderAndWrite(state, false);
}

BENCHMARK(BM_RenderLinesAndWriteBmp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteBlankBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto drawn = reporter.times.find("BM_RenderLinesAndWriteBmp/real_time");
    const auto blank = reporter.times.find("BM_WriteBlankBmp/real_time");
    if (drawn != reporter.times.end() && blank != reporter.times.end() && blank->second > 0)
        std::printf("\n%d lines at image size %d: %.1f ms; the same BMP with no drawing: %.1f ms "
                    "(%.2f times)\n",
                    kLines, kImageSize, drawn->second, blank->second, drawn->second / blank->second);
    benchmark::Shutdown();
    return 0;
}

// twinview_compare_bench: how fast Twinview compares two drawings of the
// largest image size, and how much memory a whole Compare needs.
//
//   twinview_compare_bench [SIZE]      (default 10000: SIZE x SIZE pixels)
//
// Prints, in one run, the pixel comparison (into a new result and into a
// reused one) against a plain byte loop and against a memcpy of the same
// size (the memory bandwidth), the whole
// Compare of two PNG files against ImageMagick's "compare -metric AE" on the
// same files (skipped without ImageMagick), and the peak memory of that
// Compare.
#include "compare_command.h"
#include "pixel_compare.h"
#include "text_table.h"
#include "user_interface.h"

#include "measured_program.h"
#include "twinview/private_temp_dir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A drawing-like image: white with a grid of dark lines.
QImage Drawing(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 3));
    for (int i = 0; i < size; i += size / 40) {
        painter.drawLine(i, 0, i, size - 1);
        painter.drawLine(0, i, size - 1, i);
    }
    return image;
}

// The best of `runs` timings, in seconds.
// The runs into warm memory take tens of milliseconds, where another
// process on the machine weighs most: they get more tries.
constexpr int kWarmRuns = 9;

double Seconds(const std::function<void()>& work, int runs = 3)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        best = std::min(best, clock.nsecsElapsed() / 1e9);
    }
    return best;
}

// Per pixel and byte, as one would write it first.
bool PlainByteLoop(const QImage& a, const QImage& b, QImage& out, int box[4])
{
    bool any = false;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* pa = a.constScanLine(y);
        const uchar* pb = b.constScanLine(y);
        uchar* po = out.scanLine(y);
        for (int x = 0; x < a.width(); ++x) {
            bool differs = false;
            for (int c = 0; c < 3; ++c) {
                const uchar r = static_cast<uchar>(~(pa[4 * x + c] ^ pb[4 * x + c]));
                po[4 * x + c] = r;
                differs |= r != 0xFF;
            }
            po[4 * x + 3] = 0xFF;
            if (differs) {
                box[0] = std::min(box[0], x);
                box[1] = std::min(box[1], y);
                box[2] = std::max(box[2], x);
                box[3] = std::max(box[3], y);
                any = true;
            }
        }
    }
    return any;
}

long PeakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Lets the kernel count the peak from now on (Linux 4.0 and later).
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

class SilentUi : public IUserInterface {
public:
    void ShowMessage(const UserMessage& message, const QString&) override { last = message.text; }
    QString OpenFileName(const QString&, const QStringList&) override { return {}; }
    std::optional<QColor> ChooseColour(const QColor&, const QString&) override { return std::nullopt; }
    int RunModal(QDialog&) override { return 0; }
    bool OpenDocument(const QString&) override { return false; }
    void BringToFront() override {}
    QString last;
};

void PrintRatio(const char* what, double seconds, double reference, const char* referenceName)
{
    std::printf("  %-44s %8.3f s   %6.2f x %s\n", what, seconds, seconds / reference, referenceName);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QImageReader::setAllocationLimit(4096);
    const int size = argc > 1 ? std::max(16, std::atoi(argv[1])) : 10000;
    const double megabytes = 4.0 * size * size / 1e6;
    std::printf("Twinview comparison of two %d x %d images (%.0f MB each in memory)\n", size, size, megabytes);

    QImage first = Drawing(size);
    QImage second = first.copy();
    second.setPixel(size / 3, size / 2, qRgb(255, 0, 0));
    second.setPixel(size - 1, size - 1, qRgb(0, 0, 255));

    // Both comparisons write a result image of their own, as a comparison
    // must; the memcpy is timed into warm memory (the bandwidth) and into
    // new memory (what the first touch of new pages costs here).
    PixelDifference result;
    const double compare = Seconds([&] { result = ComparePixels(first, second); });
    // Compares into one result again and again, as a caller that keeps it
    // does: after the first run its pages are warm.
    PixelDifference reused;
    const double compareReused = Seconds([&] { ComparePixels(first, second, reused); }, kWarmRuns);
    // The same where every row differs, so that every row is written: the
    // result alternates between all different and all white.
    QImage inverted = first.copy();
    inverted.invertPixels();
    PixelDifference rewritten;
    bool flip = false;
    const double compareRewritten = Seconds(
        [&] {
            ComparePixels(first, flip ? first : inverted, rewritten);
            flip = !flip;
        },
        kWarmRuns);
    inverted = QImage();
    int box[4] = {size, size, -1, -1};
    bool plainAny = false;
    const double plain = Seconds([&] {
        QImage out(first.size(), QImage::Format_RGB32);
        plainAny = PlainByteLoop(first, second, out, box);
    });
    const std::size_t bytes = static_cast<std::size_t>(first.sizeInBytes());
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes);
    const double copy = Seconds([&] { std::memcpy(to.data(), from.data(), bytes); }, kWarmRuns);
    const double freshCopy = Seconds([&] {
        std::unique_ptr<char[]> fresh(new char[bytes]);
        std::memcpy(fresh.get(), from.data(), bytes);
        to[9] = fresh[bytes / 2];
    });
    if (!result.differs || !reused.differs || reused.box != result.box || !plainAny || result.box.left != box[0] ||
        result.box.bottom != box[3] || to[9] != 1) {
        std::fprintf(stderr, "the comparisons disagree\n");
        return 1;
    }
    std::printf("In memory (best of 3, the two runs into warm memory best of %d):\n", kWarmRuns);
    PrintRatio("memcpy of one image", copy, copy, "memcpy");
    PrintRatio("memcpy of one image into new memory", freshCopy, copy, "memcpy");
    PrintRatio("ComparePixels into a new result", compare, copy, "memcpy");
    PrintRatio("ComparePixels into a reused result", compareReused, copy, "memcpy");
    PrintRatio("the same, every row changing", compareRewritten, copy, "memcpy");
    PrintRatio("plain byte loop", plain, copy, "memcpy");
    std::printf("  ComparePixels is %.1f x as fast as the plain byte loop\n", plain / compare);
    std::vector<char>().swap(from);
    std::vector<char>().swap(to);
    result = PixelDifference();
    reused = PixelDifference();

    CPrivateTempDir files;
    const QString png1 = QString::fromStdString(files.Path()) + "/first.png";
    const QString png2 = QString::fromStdString(files.Path()) + "/second.png";
    if (!first.save(png1, "PNG", 90) || !second.save(png2, "PNG", 90)) {
        std::fprintf(stderr, "cannot write the PNG files\n");
        return 1;
    }
    second = QImage();
    first = QImage();
    SilentUi ui;
    CStringTable texts;
    CCompareCommand command(ui, texts, files, nullptr, false);
    ResetPeak();
    const long before = PeakKilobytes();
    CompareOutcome outcome;
    const double whole = Seconds([&] { outcome = command.Run(png1, png2, {}); }, 1);
    const long peak = PeakKilobytes();
    std::printf("A whole Compare of the two PNG files (read, convert, compare): %.3f s, \"%s\"\n", whole,
                ui.last.toLocal8Bit().constData());
    std::printf("  peak memory %.0f MB above the %.0f MB in use before: %.1f images of %.0f MB\n",
                (peak - before) / 1e3, before / 1e3, (peak - before) / 1e3 / megabytes, megabytes);
    outcome = CompareOutcome();

    const QString magick = QStandardPaths::findExecutable("compare");
    if (magick.isEmpty()) {
        std::printf("ImageMagick's compare: not installed (apt-get install imagemagick), skipped\n");
        return 0;
    }
    // Debian's ImageMagick policy keeps its pixel cache below 1 GiB of disk,
    // too little for two such images; give it a policy of its own.
    const QString policyDir = QString::fromStdString(files.Path()) + "/magick";
    QDir().mkpath(policyDir);
    QFile policy(policyDir + "/policy.xml");
    if (policy.open(QIODevice::WriteOnly))
        policy.write("<policymap>\n"
                     "  <policy domain=\"resource\" name=\"memory\" value=\"4GiB\"/>\n"
                     "  <policy domain=\"resource\" name=\"map\" value=\"8GiB\"/>\n"
                     "  <policy domain=\"resource\" name=\"area\" value=\"1GP\"/>\n"
                     "  <policy domain=\"resource\" name=\"disk\" value=\"16GiB\"/>\n"
                     "</policymap>\n");
    policy.close();
    // Both programs from outside, the same way: wall time and peak memory.
    const std::string outputFile = files.Path() + "/output.txt";
    const MeasuredProgram ours =
        RunMeasured({TWINVIEW_PROGRAM, "compare", png1.toStdString(), png2.toStdString()}, {}, outputFile);
    const MeasuredProgram theirs =
        RunMeasured({magick.toStdString(), "-metric", "AE", png1.toStdString(), png2.toStdString(), "null:"},
                    {"MAGICK_CONFIGURE_PATH=" + policyDir.toStdString()}, outputFile);
    // Both exit with 1 when the images differ, 2 on an error.
    if (!ours.started || ours.status != 1 || !theirs.started || theirs.status != 1) {
        std::printf("a program failed: twinview compare (%d) %s; ImageMagick's compare (%d) %s\n", ours.status,
                    ours.output.c_str(), theirs.status, theirs.output.c_str());
        return 1;
    }
    std::printf("twinview compare (the command, from start to exit): %.3f s, peak memory %.0f MB: %s", ours.seconds,
                ours.peakKb / 1e3, ours.output.c_str());
    std::printf("ImageMagick's compare -metric AE on the same files: %.3f s, peak memory %.0f MB (%s differing "
                "pixels)\n",
                theirs.seconds, theirs.peakKb / 1e3, theirs.output.c_str());
    std::printf("  twinview compare vs ImageMagick: time %.2f x, peak memory %.2f x\n", ours.seconds / theirs.seconds,
                double(ours.peakKb) / double(theirs.peakKb));
    std::printf("  Twinview's whole Compare (window path) takes %.2f x the time of ImageMagick's\n",
                whole / theirs.seconds);
    return 0;
}

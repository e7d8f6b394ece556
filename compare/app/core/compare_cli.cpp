#include "compare_cli.h"

#include "bitmap_file.h"
#include "compare_command.h"
#include "file_kind.h"
#include "image_diff.h"
#include "settings.h"
#include "text_table.h"
#include "user_interface.h"

#include "twinview/dbus_engine_system.h"
#include "twinview/draftora_engine.h"
#include "twinview/private_temp_dir.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <cmath>
#include <exception>
#include <memory>
#include <optional>

namespace {

constexpr int kSame = 0;
constexpr int kDifferent = 1;
constexpr int kTrouble = 2;

const char* const kUsage = "usage: twinview compare A B [--diff OUT.png] [--threshold T] [--antialias] [--json]\n"
                           "  T: the colour distance (0 to 1) below which pixels count as equal; exact without\n"
                           "exit status: 0 the same, 1 different, 2 trouble\n";

struct CompareRequest {
    QString first;
    QString second;
    QString diffPath;
    ImageDiffOptions options;
    bool json = false;
};

// The command line; a message on `err` and none when it is wrong.
std::optional<CompareRequest> ParseRequest(const QStringList& arguments, std::FILE* err)
{
    CompareRequest request;
    QStringList files;
    for (int k = 0; k < arguments.size(); ++k) {
        const QString& argument = arguments[k];
        const bool hasValue = k + 1 < arguments.size();
        if (argument == "--json") {
            request.json = true;
        } else if (argument == "--antialias") {
            request.options.antialias = true;
        } else if (argument == "--diff" && hasValue) {
            request.diffPath = arguments[++k];
        } else if (argument == "--threshold" && hasValue) {
            bool number = false;
            const double threshold = arguments[++k].toDouble(&number);
            if (!number || !std::isfinite(threshold) || threshold < 0 || threshold > 1) {
                std::fprintf(err, "twinview compare: the threshold must be a number from 0 to 1, not \"%s\"\n",
                             qPrintable(arguments[k]));
                return std::nullopt;
            }
            request.options.threshold = threshold;
        } else if (argument.startsWith("--")) {
            std::fprintf(err, "twinview compare: unknown option or missing value: %s\n%s", qPrintable(argument),
                         kUsage);
            return std::nullopt;
        } else {
            files << argument;
        }
    }
    if (files.size() != 2) {
        std::fputs(kUsage, err);
        return std::nullopt;
    }
    request.first = files[0];
    request.second = files[1];
    request.options.picture = !request.diffPath.isEmpty();
    if (!request.diffPath.isEmpty() &&
        (IsSameFile(request.diffPath, request.first) || IsSameFile(request.diffPath, request.second))) {
        std::fputs("twinview compare: the difference picture would overwrite an input file\n", err);
        return std::nullopt;
    }
    return request;
}

// Messages of the compare command go to standard error.
class StderrUserInterface : public IUserInterface {
public:
    explicit StderrUserInterface(std::FILE* err) : m_err(err) {}
    void ShowMessage(const UserMessage& message, const QString&) override
    {
        std::fprintf(m_err, "twinview compare: %s\n", qPrintable(message.text));
    }
    QString OpenFileName(const QString&, const QStringList&) override { return {}; }
    std::optional<QColor> ChooseColour(const QColor&, const QString&) override { return std::nullopt; }
    int RunModal(QDialog&) override { return 0; }
    bool OpenDocument(const QString&) override { return false; }
    void BringToFront() override {}

private:
    std::FILE* m_err;
};

// Both images; drawings through the engine. False after a message.
bool LoadImages(const CompareRequest& request, std::FILE* err, QImage& first, QImage& second)
{
    const bool drawings = NeedsRendering(request.first) || NeedsRendering(request.second);
    if (!drawings) {
        ReadBitmapFiles(request.first, request.second, first, second);
        for (const auto& [path, image] : {std::pair{request.first, &first}, std::pair{request.second, &second}}) {
            if (image->isNull()) {
                std::fprintf(err, "twinview compare: cannot read the image %s\n", qPrintable(path));
                return false;
            }
        }
        return true;
    }
    auto tempDir = std::make_shared<CPrivateTempDir>();
    CDraftoraEngine engine(MakeDbusEngineSystem(), tempDir);
    const bool engineReady = engine.Connect();
    if (!engineReady)
        std::fputs("twinview compare: the drawing engine could not be started or reached\n", err);
    StderrUserInterface ui(err);
    CStringTable strings;
    CCompareCommand command(ui, strings, *tempDir, &engine, engineReady);
    QSettings store(DefaultSettingsFile(), QSettings::IniFormat);
    return engineReady && command.MakeImages(request.first, request.second, ReadSettings(store), first, second);
}

QJsonObject BoxObject(const IntRect& box)
{
    return {{"left", box.left}, {"top", box.top}, {"right", box.right}, {"bottom", box.bottom}};
}

void PrintSizes(const CompareRequest& request, const QImage& first, const QImage& second, std::FILE* out)
{
    if (request.json) {
        const QJsonObject result{{"first", request.first},
                                 {"second", request.second},
                                 {"same", false},
                                 {"sizes_differ", true},
                                 {"first_size", QJsonObject{{"width", first.width()}, {"height", first.height()}}},
                                 {"second_size", QJsonObject{{"width", second.width()}, {"height", second.height()}}}};
        std::fprintf(out, "%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
        return;
    }
    std::fprintf(out, "the sizes differ: %d x %d against %d x %d pixels\n", first.width(), first.height(),
                 second.width(), second.height());
}

void PrintDiff(const CompareRequest& request, const QImage& image, const ImageDiff& diff, std::FILE* out)
{
    const double pixels = static_cast<double>(image.width()) * image.height();
    const double share = pixels > 0 ? static_cast<double>(diff.differing) / pixels : 0.0;
    if (request.json) {
        QJsonObject result{{"first", request.first},
                           {"second", request.second},
                           {"same", diff.differing == 0},
                           {"width", image.width()},
                           {"height", image.height()},
                           {"differing", static_cast<double>(diff.differing)},
                           {"share", share},
                           {"only_in_first", static_cast<double>(diff.onlyInFirst)},
                           {"only_in_second", static_cast<double>(diff.onlyInSecond)},
                           {"antialiased", static_cast<double>(diff.antialiased)},
                           {"box", diff.box ? QJsonValue(BoxObject(*diff.box)) : QJsonValue()}};
        if (request.options.threshold)
            result.insert("threshold", *request.options.threshold);
        std::fprintf(out, "%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
        return;
    }
    std::fprintf(out, "differing pixels: %lld of %.0f (%.6g%%)\n", static_cast<long long>(diff.differing), pixels,
                 100.0 * share);
    if (diff.box)
        std::fprintf(out, "box: %d %d to %d %d (left top to right bottom, both included)\n", diff.box->left,
                     diff.box->top, diff.box->right, diff.box->bottom);
    if (request.options.antialias)
        std::fprintf(out, "antialiasing pixels (not counted): %lld\n", static_cast<long long>(diff.antialiased));
}

int Compare(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    const std::optional<CompareRequest> request = ParseRequest(arguments, err);
    if (!request)
        return kTrouble;
    QImage first, second;
    if (!LoadImages(*request, err, first, second))
        return kTrouble;
    if (first.size() != second.size()) {
        PrintSizes(*request, first, second, out);
        return kDifferent;
    }
    const ImageDiff diff = DiffImages(first, second, request->options);
    if (request->options.picture && !diff.picture.save(request->diffPath, "PNG")) {
        std::fprintf(err, "twinview compare: cannot write the difference picture %s\n", qPrintable(request->diffPath));
        return kTrouble;
    }
    PrintDiff(*request, first, diff, out);
    return diff.differing == 0 ? kSame : kDifferent;
}

} // namespace

int RunCompareCommand(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    try {
        return Compare(arguments, out, err);
    } catch (const std::exception& error) {
        // A temporary directory that cannot be made, memory running out.
        std::fprintf(err, "twinview compare: %s\n", error.what());
        return kTrouble;
    }
}

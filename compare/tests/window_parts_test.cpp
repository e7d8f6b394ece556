// The plain parts behind the main window's desk features: wheel notches,
// device pixels, command keys in tips, the difference count, the window's
// place on the screens, dropped files, the extra raster kinds and the new
// texts in both languages.
#include "command_shortcuts.h"
#include "command_states.h"
#include "device_pixels.h"
#include "difference_summary.h"
#include "dropped_files.h"
#include "file_filter.h"
#include "file_kind.h"
#include "string_ids.h"
#include "text_table.h"
#include "wheel_notches.h"
#include "window_geometry.h"
#include "zoom_model.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <limits>
#include <memory>
#include <vector>

namespace {

const int kNewTextIds[] = {ids::kHighlight, ids::kPixelsDiffer, ids::kOnePixelDiffers, ids::kNoPixelsDiffer,
                           ids::kSizesDiffer};

struct WheelCase {
    const char* name;
    std::vector<int> deltas;
    std::vector<int> notches; // after each delta
    int rest;
};

QString Touch(const QTemporaryDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return path;
}

QMimeData* Urls(const QList<QUrl>& urls)
{
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

} // namespace

TEST(WheelNotches, SmallStepsAddUpToANotchAndBigTurnsCountWhole)
{
    const WheelCase cases[] = {
        {"classic wheel", {120, 120, -120}, {1, 1, -1}, 0},
        {"two notches at once", {240}, {2}, 0},
        {"touchpad steps", {30, 30, 30, 30, 30}, {0, 0, 0, 1, 0}, 30},
        {"fine steps away then back", {60, 50, -20}, {0, 0, 0}, -20},
        {"toward the user", {-100, -100}, {0, -1}, -80},
        {"a notch and a half", {180, 60}, {1, 1}, 0},
        {"runaway delta", {120 * 1000}, {CWheelNotches::kMostNotchesPerEvent}, 0},
        {"runaway back", {-2147483647 - 1}, {-CWheelNotches::kMostNotchesPerEvent}, -8},
    };
    for (const WheelCase& c : cases) {
        CWheelNotches wheel;
        std::vector<int> got;
        for (int delta : c.deltas)
            got.push_back(wheel.Add(delta));
        EXPECT_EQ(got, c.notches) << c.name;
        EXPECT_EQ(wheel.Rest(), c.rest) << c.name;
    }
    CWheelNotches wheel;
    wheel.Add(100);
    wheel.Clear();
    EXPECT_EQ(wheel.Add(40), 0);
}

TEST(DevicePixels, LogicalAndDevicePixelsByTheRatio)
{
    const CDevicePixels twice(2.0);
    EXPECT_EQ(twice.ToDevice(QSize(400, 300)), QSize(800, 600));
    EXPECT_EQ(twice.ToDevice(QPointF(10.5, 3.25)), (IntPoint{21, 7}));
    EXPECT_EQ(twice.ToLogical(IntPoint{21, 6}), QPoint(11, 3));
    const CDevicePixels oneAndHalf(1.5);
    EXPECT_EQ(oneAndHalf.ToDevice(QSize(100, 10)), QSize(150, 15));
    EXPECT_EQ(oneAndHalf.ToLogical(oneAndHalf.ToDevice(QPointF(40, 60))), QPoint(40, 60));
    for (double broken : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN()}) {
        const CDevicePixels fallback(broken);
        EXPECT_EQ(fallback.Ratio(), 1.0);
        EXPECT_EQ(fallback.ToDevice(QSize(7, 9)), QSize(7, 9));
    }
}

TEST(CommandKeys, EveryCommandOfTheToolbarsAndCompareHasADistinctKey)
{
    const int commands[] = {ids::kCompare,      ids::kShowFirst,          ids::kShowSecond,       ids::kShowDifferences,
                            ids::kBlink,        ids::kHighlight,          ids::kZoomIn,           ids::kZoomOut,
                            ids::kZoomToWindow, ids::kZoomFullResolution, ids::kZoomToDifferences};
    QList<QKeySequence> seen;
    for (int command : commands) {
        const QList<QKeySequence> keys = ShortcutsOfCommand(command);
        ASSERT_FALSE(keys.isEmpty()) << command;
        for (const QKeySequence& key : keys) {
            EXPECT_FALSE(seen.contains(key)) << command << " " << key.toString().toStdString();
            seen << key;
        }
    }
    EXPECT_TRUE(ShortcutsOfCommand(ids::kSettings).isEmpty());
    const QString tip = TipWithShortcut("Zoom in", ShortcutsOfCommand(ids::kZoomIn));
    EXPECT_TRUE(tip.startsWith("Zoom in (")) << tip.toStdString();
    EXPECT_TRUE(tip.endsWith(QKeySequence(Qt::CTRL | Qt::Key_Plus).toString(QKeySequence::NativeText) + ")"));
    EXPECT_EQ(TipWithShortcut("Settings", {}), "Settings");
}

TEST(CommandStates, HighlightIsAModeLikeTheOthers)
{
    EXPECT_EQ(MainCommandState(ids::kHighlight, kNoComparison, kZoomFullWhole), (CommandState{false, false}));
    EXPECT_EQ(MainCommandState(ids::kHighlight, kShowFirst, kZoomFullWhole), (CommandState{true, false}));
    EXPECT_EQ(MainCommandState(ids::kHighlight, kHighlighting, kZoomFullWhole), (CommandState{true, true}));
    EXPECT_EQ(MainCommandState(ids::kShowDifferences, kHighlighting, kZoomFullWhole), (CommandState{true, false}));
}

TEST(DifferenceSummary, CountsNonWhitePixelsOfTheDifferencePicture)
{
    QImage difference(10, 4, QImage::Format_RGB32);
    difference.fill(qRgb(255, 255, 255));
    EXPECT_EQ(CountDifferingPixels(difference), 0);
    difference.setPixel(0, 0, qRgb(254, 255, 255));
    difference.setPixel(9, 3, qRgb(0, 0, 0));
    difference.setPixel(4, 2, qRgb(255, 255, 0));
    EXPECT_EQ(CountDifferingPixels(difference), 3);
    EXPECT_EQ(CountDifferingPixels(difference.convertToFormat(QImage::Format_RGB888)), 3);
    EXPECT_EQ(CountDifferingPixels(QImage()), 0);
}

TEST(DifferenceSummary, CountAndShareAreWrittenByTheLocale)
{
    const CStringTable texts;
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        const QLocale& locale;
        std::int64_t differing;
        std::int64_t total;
        const char* expected;
    };
    const Case cases[] = {
        {english, 12345, 10000000, "12,345 pixels differ (0.12 %)"},
        {german, 12345, 10000000, "12.345 pixels differ (0,12 %)"},
        {english, 1, 4, "One pixel differs (25.00 %)"},
        {english, 1, 1000000, "One pixel differs (< 0.01 %)"},
        {english, 999999, 1000000, "999,999 pixels differ (> 99.99 %)"},
        {english, 50, 50, "50 pixels differ (100.00 %)"},
        {english, 0, 50, "No pixels differ"},
        {english, 3, 0, "No pixels differ"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DifferenceCountText(texts, c.locale, c.differing, c.total), QString::fromUtf8(c.expected))
            << c.expected;
    EXPECT_EQ(SizesDifferText(texts, QSize(640, 480), QSize(640, 481)), "Sizes differ: 640 x 480 and 640 x 481");
}

TEST(WindowGeometry, ASavedPlaceIsKeptWhereItFitsAndBroughtBackWhereItDoesNot)
{
    const QRect primary(0, 0, 1920, 1040);
    const QRect right(1920, 0, 1280, 1024);
    const QSize minimum(800, 600);
    struct Case {
        const char* name;
        QRect saved;
        QList<QRect> screens;
        QRect expected;
    };
    const Case cases[] = {
        {"inside the primary screen", {100, 80, 900, 700}, {primary, right}, {100, 80, 900, 700}},
        {"inside the second screen", {2000, 50, 900, 700}, {primary, right}, {2000, 50, 900, 700}},
        {"second screen gone", {2000, 50, 900, 700}, {primary}, {1020, 50, 900, 700}},
        {"far off every screen", {-5000, -5000, 900, 700}, {primary, right}, {0, 0, 900, 700}},
        {"partly below the screen", {100, 900, 900, 700}, {primary}, {100, 340, 900, 700}},
        {"larger than the screen", {50, 50, 3000, 2000}, {primary}, {0, 0, 1920, 1040}},
        {"mostly on the second", {1800, 10, 900, 700}, {primary, right}, {1920, 10, 900, 700}},
        {"smaller than the minimum", {10, 10, 100, 100}, {primary}, {10, 10, 800, 600}},
        {"no screens known", {-5000, 7, 900, 700}, {}, {-5000, 7, 900, 700}},
    };
    for (const Case& c : cases) {
        const QRect placed = PlaceOnScreens(c.saved, c.screens, minimum);
        EXPECT_EQ(placed, c.expected) << c.name;
        if (!c.screens.isEmpty() && c.expected.width() <= primary.width()) {
            bool inside = false;
            for (const QRect& screen : c.screens)
                inside = inside || screen.contains(placed);
            EXPECT_TRUE(inside) << c.name;
        }
    }
}

TEST(WindowGeometry, ReadBackFromTheSettingsFileBesideTheOtherSettings)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Twinview.ini");
    {
        QSettings store(file, QSettings::IniFormat);
        EXPECT_FALSE(ReadWindowGeometry(store));
        store.setValue("QVXImageSize", 1500);
        WriteWindowGeometry(store, {QRect(30, 40, 900, 700), true});
    }
    QSettings store(file, QSettings::IniFormat);
    const std::optional<WindowGeometry> read = ReadWindowGeometry(store);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->rect, QRect(30, 40, 900, 700));
    EXPECT_TRUE(read->maximized);
    EXPECT_EQ(store.value("QVXImageSize").toInt(), 1500);
    for (const QVariant& broken : {QVariant("not a rectangle"), QVariant(QRect(0, 0, 0, 10)), QVariant(12)}) {
        store.setValue("WindowGeometry", broken);
        EXPECT_FALSE(ReadWindowGeometry(store)) << broken.toString().toStdString();
    }
}

TEST(DroppedFiles, OneOrTwoLocalFilesOfSupportedKinds)
{
    QTemporaryDir dir;
    const QString a = Touch(dir, "a.png");
    const QString b = Touch(dir, "b.VKD");
    const QString bmp = Touch(dir, "c.bmp");
    const QString text = Touch(dir, "notes.txt");
    struct Case {
        const char* name;
        QList<QUrl> urls;
        QStringList expected;
    };
    const Case cases[] = {
        {"one file", {QUrl::fromLocalFile(a)}, {a}},
        {"two files in order", {QUrl::fromLocalFile(b), QUrl::fromLocalFile(a)}, {b, a}},
        {"three files", {QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl::fromLocalFile(bmp)}, {}},
        {"an unsupported file", {QUrl::fromLocalFile(text)}, {}},
        {"one of two unsupported", {QUrl::fromLocalFile(a), QUrl::fromLocalFile(text)}, {}},
        {"a remote file", {QUrl("https://example.org/a.png")}, {}},
        {"a directory named like a drawing", {QUrl::fromLocalFile(dir.filePath("plans.vkd"))}, {}},
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir("plans.vkd"));
    for (const Case& c : cases) {
        std::unique_ptr<QMimeData> data(Urls(c.urls));
        EXPECT_EQ(DroppedFiles(*data), c.expected) << c.name;
    }
    QMimeData plain;
    plain.setText(a);
    EXPECT_TRUE(DroppedFiles(plain).isEmpty());
}

TEST(FileKinds, GifTiffAndWebPAreRasterFilesWhereQtReadsThem)
{
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    const QStringList extra = ExtraRasterExtensions();
    struct Case {
        const char* path;
        const char* format;
    };
    const Case cases[] = {
        {"/a/plan.gif", "gif"}, {"/a/plan.TIF", "tiff"}, {"/a/plan.tiff", "tiff"}, {"/a/plan.WebP", "webp"}};
    for (const Case& c : cases) {
        const bool readable = formats.contains(c.format);
        EXPECT_EQ(KindOfFile(c.path), readable ? FileKind::Raster : FileKind::Unsupported) << c.path;
        const QString extension = QString(c.path).section('.', -1).toUpper();
        EXPECT_EQ(extra.contains(extension), readable) << c.path;
    }
    EXPECT_EQ(KindOfFile("/a/plan.jpeg"), FileKind::Unsupported);
    EXPECT_EQ(KindOfFile("/a/plan.png"), FileKind::Raster);
}

TEST(FileFilter, ExtraRasterPatternsJoinTheFiltersThatOfferImages)
{
    const CStringTable texts;
    const QStringList filters = FileDialogFilters(texts.Get(ids::kFileFilter), {"GIF", "WEBP"});
    ASSERT_EQ(filters.size(), 3);
    EXPECT_TRUE(filters[0].contains("*.GIF *.gif")) << filters[0].toStdString();
    EXPECT_TRUE(filters[0].contains("*.webp")) << filters[0].toStdString();
    EXPECT_FALSE(filters[1].contains("GIF")) << filters[1].toStdString();
    EXPECT_TRUE(filters[2].contains("*.WEBP")) << filters[2].toStdString();
    EXPECT_EQ(FileDialogFilters(texts.Get(ids::kFileFilter), {}), FileDialogFilters(texts.Get(ids::kFileFilter)));
    EXPECT_EQ(SelectableExtensions({"GIF"}), ".VKD, .BMP, .PNG, .JPG, .GIF");
    EXPECT_EQ(SelectableExtensions({}), kSelectableExtensions);
}

TEST(NewTexts, EnglishAndGermanWithTheSamePlaceholders)
{
    void* german = ::dlopen(TWINVIEW_GERMAN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(german, nullptr) << ::dlerror();
    const CStringTable english;
    const CStringTable translated(german);
    for (int id : kNewTextIds) {
        const QString en = english.Get(id);
        const QString de = translated.Get(id);
        EXPECT_FALSE(en.isEmpty()) << id;
        EXPECT_FALSE(de.isEmpty()) << id;
        EXPECT_NE(en, de) << id;
        EXPECT_EQ(en.count("%s") + en.count("%d"), de.count("%s") + de.count("%d")) << id;
        EXPECT_EQ(en.count("%%"), de.count("%%")) << id;
    }
    EXPECT_EQ(translated.Format(ids::kPixelsDiffer, {"12.345", "0,12"}),
              QString::fromUtf8("12.345 Pixel unterscheiden sich (0,12 %)"));
    ::dlclose(german);
}

TEST(ZoomPaintPlan, AtFullResolutionABitmapKeepsItsSizeBetweenOddMargins)
{
    struct Case {
        int clientWidth, clientHeight;
        IntRect destination;
    };
    const Case cases[] = {
        {801, 451, {200, 75, 600, 375}},
        {800, 450, {200, 75, 600, 375}},
        {401, 300, {0, 0, 400, 300}},
        {403, 303, {1, 1, 401, 301}},
    };
    for (const Case& c : cases) {
        CZoomModel model;
        model.SetClientSize(c.clientWidth, c.clientHeight);
        model.ShowBitmap(400, 300);
        model.FullResolution();
        const PaintPlan plan = model.Plan();
        EXPECT_EQ(plan.source, (IntRect{0, 0, 400, 300})) << c.clientWidth;
        EXPECT_EQ(plan.destination, c.destination) << c.clientWidth << " x " << c.clientHeight;
    }
}

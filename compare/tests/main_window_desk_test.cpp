// The main window as a person at a desk uses it, on the offscreen platform:
// its place kept between runs, files dropped on the file rows, the wheel,
// the keys of the commands and their tips, the toolbars reached by Tab, the
// highlight mode and the status line with the difference count.
#include "command_shortcuts.h"
#include "command_states.h"
#include "compare_fixture.h"
#include "difference_summary.h"
#include "image_ctrl.h"
#include "image_diff.h"
#include "string_ids.h"
#include "twinview_dlg.h"
#include "window_geometry.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <QWheelEvent>

#include <cmath>
#include <memory>

namespace {

class DeskWindow : public CompareFiles {
protected:
    std::unique_ptr<CTwinviewDlg> Make()
    {
        TwinviewDlgContext context{ui, texts, *temp, &engine, true, SettingsFile(), dir.filePath("Twinview.pdf")};
        auto made = std::make_unique<CTwinviewDlg>(context);
        made->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        return made;
    }

    CTwinviewDlg& Window()
    {
        if (!window) {
            window = Make();
            window->show();
            QCoreApplication::processEvents();
        }
        return *window;
    }

    QString SettingsFile() const { return dir.filePath("Twinview.ini"); }
    QLineEdit* File(int row) const
    {
        return static_cast<QLineEdit*>(window->Control(row == 1 ? ids::kFile1 : ids::kFile2));
    }

    void Compare(const QString& a, const QString& b)
    {
        Window();
        File(1)->setText(a);
        File(2)->setText(b);
        window->OnCompare();
    }

    // A large bitmap that the view shows in part at full resolution.
    void CompareLarge()
    {
        Compare(Png("a.png", 2000, 1500), Png("b.png", 2000, 1500, qRgb(255, 255, 255), {1000, 700}));
    }

    QString Status() { return Window().StatusLine()->text(); }

    std::unique_ptr<CTwinviewDlg> window;
};

// Drags `urls` over `target` and drops them; whether the drag was accepted.
bool DropUrls(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

void Turn(CImageCtrl& view, int delta)
{
    const QPointF middle = view.viewport()->rect().center();
    QWheelEvent event(middle, view.viewport()->mapToGlobal(middle), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

QList<QRect> AvailableScreens()
{
    QList<QRect> screens{QGuiApplication::primaryScreen()->availableGeometry()};
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    return screens;
}

QRect SavedGeometry(const QString& file)
{
    QSettings store(file, QSettings::IniFormat);
    return store.value("WindowGeometry").toRect();
}

// Appends `code` of `bits` bits to `out`, least significant bit first.
class BitWriter {
public:
    void Put(int code, int bits)
    {
        for (int i = 0; i < bits; ++i, ++m_used) {
            if (m_used % 8 == 0)
                m_bytes.push_back('\0');
            if (code >> i & 1)
                m_bytes.back() = static_cast<char>(m_bytes.back() | 1 << (m_used % 8));
        }
    }
    const QByteArray& Bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    int m_used = 0;
};

// A black-and-white GIF file (Qt reads GIF but cannot write it). The LZW
// stream starts afresh every two pixels, so every code keeps three bits.
bool WriteGif(const QString& path, const QImage& image)
{
    constexpr int kClear = 4, kEnd = 5, kCodeBits = 3;
    BitWriter codes;
    int written = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x, ++written) {
            if (written % 2 == 0)
                codes.Put(kClear, kCodeBits);
            codes.Put(qGray(image.pixel(x, y)) < 128 ? 1 : 0, kCodeBits);
        }
    codes.Put(kEnd, kCodeBits);
    QByteArray gif("GIF89a");
    auto word = [&gif](int value) {
        gif.append(static_cast<char>(value & 0xFF)).append(static_cast<char>(value >> 8));
    };
    word(image.width());
    word(image.height());
    gif.append(static_cast<char>(0x81)).append('\0').append('\0'); // a global table of 4 colours
    gif.append(QByteArray("\xFF\xFF\xFF\x00\x00\x00\x00\x00\x00\x00\x00\x00", 12));
    gif.append(',');
    word(0);
    word(0);
    word(image.width());
    word(image.height());
    gif.append('\0').append('\x02'); // no local table; LZW minimum code size 2
    const QByteArray& data = codes.Bytes();
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        gif.append(static_cast<char>(block.size())).append(block);
    }
    gif.append('\0').append(';');
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size();
}

} // namespace

TEST_F(DeskWindow, ThePlaceOfTheWindowIsSavedHoweverItCloses)
{
    for (bool enter : {true, false}) {
        auto w = Make();
        w->show();
        w->resize(w->size() + QSize(37, 21));
        QCoreApplication::processEvents();
        const QRect expected(w->frameGeometry().topLeft(), w->size());
        if (enter)
            w->accept();
        else
            w->reject();
        EXPECT_EQ(SavedGeometry(SettingsFile()), expected) << (enter ? "Enter" : "Esc");
        QSettings store(SettingsFile(), QSettings::IniFormat);
        // The three settings still follow their own rule: only Esc keeps them.
        EXPECT_EQ(store.contains("QVXImageSize"), !enter);
    }
}

TEST_F(DeskWindow, TheWindowComesBackWhereItWasButAlwaysOnAScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect saved[] = {
        {screen.left() + 10, screen.top() + 20, 900, 650},     // where it was
        {screen.left() - 5000, screen.top() - 4000, 900, 650}, // on a screen that is gone
        {screen.right() + 300, screen.top(), 5000, 4000},      // larger than any screen, beside them
    };
    for (const QRect& rect : saved) {
        {
            QSettings store(SettingsFile(), QSettings::IniFormat);
            WriteWindowGeometry(store, {rect, false});
        }
        auto w = Make();
        const QRect expected = PlaceOnScreens(rect, AvailableScreens(), w->minimumSize());
        EXPECT_EQ(w->size(), expected.size());
        EXPECT_EQ(w->pos(), expected.topLeft());
        EXPECT_TRUE(screen.contains(w->pos())) << rect.x() << "," << rect.y();
        EXPECT_GE(w->width(), w->minimumWidth());
        EXPECT_GE(w->height(), w->minimumHeight());
    }
    // A place that fits the screen is kept exactly.
    const QSize minimum = Make()->minimumSize();
    if (screen.width() >= minimum.width() + 10 && screen.height() >= minimum.height() + 20) {
        const QRect fits(screen.topLeft() + QPoint(10, 20), minimum);
        {
            QSettings store(SettingsFile(), QSettings::IniFormat);
            WriteWindowGeometry(store, {fits, false});
        }
        auto w = Make();
        EXPECT_EQ(QRect(w->pos(), w->size()), fits);
    }
}

TEST_F(DeskWindow, AMaximizedWindowComesBackMaximized)
{
    {
        QSettings store(SettingsFile(), QSettings::IniFormat);
        WriteWindowGeometry(store, {QRect(0, 0, 900, 650), true});
    }
    auto w = Make();
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
}

TEST_F(DeskWindow, FilesDroppedOnARowFillThatRow)
{
    CTwinviewDlg& w = Window();
    const QString a = Png("a.png", 4, 4);
    const QString b = Drawing("b.vkd");
    const QString notes = Garbage("notes.txt");
    EXPECT_TRUE(DropUrls(File(1), {QUrl::fromLocalFile(a)}));
    EXPECT_EQ(File(1)->text(), a);
    EXPECT_TRUE(File(2)->text().isEmpty());
    EXPECT_TRUE(DropUrls(w.Control(ids::kSelectFile2), {QUrl::fromLocalFile(b)}));
    EXPECT_EQ(File(2)->text(), b);
    EXPECT_EQ(File(1)->text(), a);
    // A file that cannot be compared is refused while it is dragged.
    EXPECT_FALSE(DropUrls(File(1), {QUrl::fromLocalFile(notes)}));
    EXPECT_FALSE(DropUrls(w.Control(ids::kSelectFile1), {QUrl("https://example.org/a.png")}));
    EXPECT_EQ(File(1)->text(), a);
    // The title follows the dropped files, as it follows typing.
    EXPECT_TRUE(w.windowTitle().startsWith("a.png")) << w.windowTitle().toStdString();
}

TEST_F(DeskWindow, DroppedTextStillGoesIntoTheFileBox)
{
    Window();
    QMimeData data;
    data.setText("/plans/typed.vkd");
    const QPoint middle = File(1)->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(File(1), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(File(1), &drop);
    EXPECT_EQ(File(1)->text(), "/plans/typed.vkd");
}

TEST_F(DeskWindow, TwoFilesDroppedTogetherFillBothRowsInOrder)
{
    Window();
    const QString a = Png("a.png", 4, 4);
    const QString b = Png("b.png", 4, 4);
    EXPECT_TRUE(DropUrls(File(2), {QUrl::fromLocalFile(b), QUrl::fromLocalFile(a)}));
    EXPECT_EQ(File(1)->text(), b);
    EXPECT_EQ(File(2)->text(), a);
    EXPECT_FALSE(DropUrls(File(2), {QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl::fromLocalFile(a)}));
    EXPECT_EQ(File(1)->text(), b);
}

TEST_F(DeskWindow, SmallWheelStepsZoomOnceTheyMakeANotch)
{
    CompareLarge();
    CImageCtrl& view = *Window().View();
    ASSERT_DOUBLE_EQ(view.Model().Scale(), 1.0);
    Turn(view, -40);
    Turn(view, -40);
    EXPECT_DOUBLE_EQ(view.Model().Scale(), 1.0);
    Turn(view, -40);
    EXPECT_DOUBLE_EQ(view.Model().Scale(), CZoomModel::kZoomStep);
    // Two notches in one event zoom twice.
    Turn(view, -240);
    EXPECT_NEAR(view.Model().Scale(), std::pow(CZoomModel::kZoomStep, 3), 1e-9);
    // Back toward full resolution: a fine turn the other way starts afresh.
    Turn(view, -60);
    Turn(view, 100);
    EXPECT_NEAR(view.Model().Scale(), std::pow(CZoomModel::kZoomStep, 3), 1e-9);
    Turn(view, 20);
    EXPECT_NEAR(view.Model().Scale(), std::pow(CZoomModel::kZoomStep, 2), 1e-9);
    EXPECT_EQ(view.Wheel().Rest(), 0);
    Turn(view, 360);
    EXPECT_DOUBLE_EQ(view.Model().Scale(), 1.0);
    EXPECT_EQ(Window().View()->Model().State(), kZoomFullPartial);
}

// Run once as it comes and once with QT_SCALE_FACTOR=2 (a HiDPI screen).
TEST_F(DeskWindow, AtFullResolutionABitmapPixelIsADevicePixel)
{
    QImage checks(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < checks.height(); ++y)
        for (int x = 0; x < checks.width(); ++x)
            checks.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    QImage changed = checks.copy();
    changed.setPixel(200, 150, qRgb(255, 0, 0));
    const QString pathA = dir.filePath("a.png"), pathB = dir.filePath("b.png");
    ASSERT_TRUE(checks.save(pathA, "PNG"));
    ASSERT_TRUE(changed.save(pathB, "PNG"));
    Compare(pathA, pathB);
    CImageCtrl& view = *Window().View();
    view.FullResolution();
    const double ratio = view.viewport()->devicePixelRatioF();
    const double asked = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    EXPECT_DOUBLE_EQ(ratio, asked);
    ASSERT_DOUBLE_EQ(view.Model().Scale(), 1.0);
    // The bitmap fits the view: it is shown centred, each of its pixels on
    // one device pixel, so the device pixels alternate like the checks.
    const QImage shown = view.viewport()->grab().toImage();
    ASSERT_EQ(shown.size(), (QSizeF(view.viewport()->size()) * ratio).toSize());
    const QPoint middle(shown.width() / 2, shown.height() / 2);
    int alternations = 0;
    for (int dx = -20; dx < 20; ++dx) {
        const QPoint p = middle + QPoint(dx, 0);
        alternations += shown.pixel(p) != shown.pixel(p + QPoint(1, 0));
        alternations += shown.pixel(p) != shown.pixel(p + QPoint(0, 1));
    }
    EXPECT_EQ(alternations, 80);
    const PaintPlan plan = view.Model().Plan();
    EXPECT_EQ(plan.destination.Width(), 400);
    EXPECT_EQ(plan.destination.Height(), 300);
    // Told that it moved to another screen, the view measures itself again
    // and keeps its zoom.
    QEvent moved(QEvent::ScreenChangeInternal);
    QCoreApplication::sendEvent(&view, &moved);
    EXPECT_EQ(view.Model().Plan().destination, plan.destination);
    EXPECT_DOUBLE_EQ(view.Model().Scale(), 1.0);
    EXPECT_FALSE(view.Model().FitMode());
}

TEST_F(DeskWindow, EveryCommandShowsItsKeyInItsTip)
{
    CTwinviewDlg& w = Window();
    for (int command :
         {ids::kShowFirst, ids::kShowSecond, ids::kShowDifferences, ids::kBlink, ids::kHighlight, ids::kZoomIn,
          ids::kZoomOut, ids::kZoomFullResolution, ids::kZoomToWindow, ids::kZoomToDifferences}) {
        QAction* action = w.CommandAction(command);
        ASSERT_NE(action, nullptr) << command;
        const QKeySequence key = ShortcutsOfCommand(command).first();
        EXPECT_EQ(action->shortcut(), key) << command;
        EXPECT_EQ(action->toolTip(), texts.Get(command) + " (" + key.toString(QKeySequence::NativeText) + ")")
            << command;
    }
    EXPECT_EQ(w.Control(ids::kCompare)->toolTip(), texts.Get(ids::kCompare) + " (F5)");
}

TEST_F(DeskWindow, TheKeysRunTheirCommands)
{
    CTwinviewDlg& w = Window();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    File(1)->setText(Png("a.png", 40, 30));
    File(2)->setText(Png("b.png", 40, 30, qRgb(255, 255, 255), {5, 7}));
    File(1)->setFocus();
    QTest::keyClick(&w, Qt::Key_F5);
    ASSERT_EQ(ui.Ids(), (std::vector<int>{ids::kDifferencesDetected}));
    EXPECT_EQ(w.ViewMode(), kShowFirst);
    const struct {
        Qt::Key key;
        int mode;
    } modes[] = {{Qt::Key_3, kShowDifferences},
                 {Qt::Key_5, kHighlighting},
                 {Qt::Key_2, kShowSecond},
                 {Qt::Key_4, kBlinking},
                 {Qt::Key_1, kShowFirst}};
    for (const auto& mode : modes) {
        QTest::keyClick(&w, mode.key, Qt::ControlModifier);
        EXPECT_EQ(w.ViewMode(), mode.mode) << mode.key;
    }
    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(w.View()->Model().Scale(), 1.0);
    EXPECT_FALSE(w.View()->Model().FitMode());
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(w.View()->Model().FitMode());
}

TEST_F(DeskWindow, TabReachesTheToolbarButtonsAfterCompare)
{
    CTwinviewDlg& w = Window();
    QList<QWidget*> reached;
    QWidget* next = w.Control(ids::kCompare);
    for (int i = 0; i < 200 && reached.size() < 11; ++i) {
        next = next->nextInFocusChain();
        if (next->isVisible() && (next->focusPolicy() & Qt::TabFocus))
            reached << next;
    }
    QList<QWidget*> buttons;
    for (int bar : {ids::kViewToolBar, ids::kModeToolBar}) {
        auto* toolbar = static_cast<QToolBar*>(w.Control(bar));
        for (QAction* action : toolbar->actions())
            buttons << toolbar->widgetForAction(action);
    }
    ASSERT_EQ(buttons.size(), 10);
    EXPECT_EQ(reached.mid(0, 10), buttons);
    EXPECT_EQ(reached.value(10), w.Control(ids::kSettings));
}

TEST_F(DeskWindow, EnterOnAFocusedToolbarButtonRunsItsCommand)
{
    Compare(Png("a.png", 40, 30), Png("b.png", 40, 30, qRgb(255, 255, 255), {5, 7}));
    CTwinviewDlg& w = Window();
    auto* modes = static_cast<QToolBar*>(w.Control(ids::kModeToolBar));
    QWidget* button = modes->widgetForAction(w.CommandAction(ids::kShowDifferences));
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(w.ViewMode(), kShowDifferences);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(DeskWindow, HighlightShowsTheFadedFirstImageWithTheDifferencesInColour)
{
    const QString first = Png("a.png", 40, 30, qRgb(255, 255, 255), {5, 7});
    QImage second(40, 30, QImage::Format_RGB32);
    second.fill(qRgb(255, 255, 255));
    second.setPixel(20, 3, qRgb(0, 0, 0)); // ink only in the second
    second.setPixel(30, 20, qRgb(255, 0, 0));
    const QString secondPath = dir.filePath("b.png");
    ASSERT_TRUE(second.save(secondPath, "PNG"));
    Compare(first, secondPath);
    CTwinviewDlg& w = Window();
    EXPECT_FALSE(w.CommandAction(ids::kHighlight)->isChecked());
    ASSERT_TRUE(w.CommandAction(ids::kHighlight)->isEnabled());
    const IntRect view = w.View()->Model().View();
    w.OnCommand(ids::kHighlight);
    EXPECT_EQ(w.ViewMode(), kHighlighting);
    EXPECT_TRUE(w.CommandAction(ids::kHighlight)->isChecked());
    EXPECT_FALSE(w.CommandAction(ids::kShowDifferences)->isChecked());
    ASSERT_EQ(w.View()->Bitmap(), &w.HighlightBitmap());
    EXPECT_EQ(w.View()->Model().View(), view);
    const QImage& picture = w.HighlightBitmap();
    ASSERT_EQ(picture.size(), QSize(40, 30));
    // Red where only the first has ink, green where only the second has,
    // and the unchanged white background faded to a light grey.
    EXPECT_GT(qRed(picture.pixel(5, 7)), 200);
    EXPECT_LT(qGreen(picture.pixel(5, 7)), 50);
    EXPECT_GT(qGreen(picture.pixel(20, 3)), 150);
    EXPECT_LT(qRed(picture.pixel(20, 3)), 50);
    const QRgb background = picture.pixel(0, 0);
    EXPECT_EQ(qRed(background), qGreen(background));
    EXPECT_EQ(qGreen(background), qBlue(background));
    EXPECT_GT(qRed(background), 200);
    // The picture is the one "twinview compare --diff" writes.
    ImageDiffOptions options;
    options.picture = true;
    EXPECT_EQ(picture, DiffImages(w.FirstBitmap(), w.SecondBitmap(), options).picture);
    // The complement-of-XOR picture is unchanged beside it.
    w.OnCommand(ids::kShowDifferences);
    EXPECT_EQ(w.DifferenceBitmap().pixel(5, 7), qRgb(0, 0, 0));
    EXPECT_EQ(w.DifferenceBitmap().pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(DeskWindow, ANewComparisonMakesANewHighlightPicture)
{
    Compare(Png("a.png", 40, 30), Png("b.png", 40, 30, qRgb(255, 255, 255), {5, 7}));
    Window().OnCommand(ids::kHighlight);
    const QImage before = Window().HighlightBitmap();
    Compare(Png("c.png", 40, 30), Png("d.png", 40, 30, qRgb(255, 255, 255), {30, 20}));
    EXPECT_EQ(Window().ViewMode(), kShowFirst);
    Window().OnCommand(ids::kHighlight);
    EXPECT_NE(Window().HighlightBitmap(), before);
    EXPECT_GT(qGreen(Window().HighlightBitmap().pixel(30, 20)), 150);
}

TEST_F(DeskWindow, TheStatusLineShowsWhatEachComparisonFound)
{
    EXPECT_TRUE(Status().isEmpty());
    Compare(Png("a.png", 40, 30), Png("b.png", 40, 30, qRgb(255, 255, 255), {5, 7}));
    EXPECT_EQ(Status(), "One pixel differs (0.08 %)");
    Compare(Png("c.png", 40, 30), Png("d.png", 40, 30, qRgb(0, 0, 0)));
    EXPECT_EQ(Status(), "1,200 pixels differ (100.00 %)");
    Compare(Png("e.png", 40, 30), Png("f.png", 40, 30));
    EXPECT_EQ(Status(), "No pixels differ");
    Compare(Png("g.png", 640, 480), Png("h.png", 640, 481));
    EXPECT_EQ(Status(), "Sizes differ: 640 x 480 and 640 x 481");
    EXPECT_EQ(Window().StatusLine()->toolTip(), Status());
    // A missing file changes nothing; an unreadable one leaves nothing.
    Compare(dir.filePath("gone.png"), Png("i.png", 4, 4));
    EXPECT_EQ(Status(), "Sizes differ: 640 x 480 and 640 x 481");
    Compare(Garbage("broken.png"), Png("j.png", 4, 4));
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_TRUE(Window().StatusLine()->toolTip().isEmpty());
}

TEST_F(DeskWindow, TheCountIsWrittenInTheWindowsLocale)
{
    Window().setLocale(QLocale(QLocale::German, QLocale::Germany));
    QImage a(100, 100, QImage::Format_RGB32);
    a.fill(qRgb(255, 255, 255));
    QImage b = a.copy();
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 13; ++y)
            b.setPixel(x, y, qRgb(0, 0, 0));
    b.setPixel(50, 50, qRgb(1, 2, 3));
    const QString pathA = dir.filePath("a.png"), pathB = dir.filePath("b.png");
    ASSERT_TRUE(a.save(pathA, "PNG"));
    ASSERT_TRUE(b.save(pathB, "PNG"));
    Compare(pathA, pathB);
    EXPECT_EQ(Status(), "1.301 pixels differ (13,01 %)");
    if (qEnvironmentVariableIsSet("TWINVIEW_DESK_SHOT"))
        Window().grab().save(qEnvironmentVariable("TWINVIEW_DESK_SHOT"));
}

TEST_F(DeskWindow, GifFilesAreComparedAndOfferedWhereQtReadsThem)
{
    if (!QImageReader::supportedImageFormats().contains("gif"))
        GTEST_SKIP() << "no GIF plugin";
    QImage a(30, 20, QImage::Format_RGB32);
    a.fill(qRgb(255, 255, 255));
    QImage b = a.copy();
    b.setPixel(3, 4, qRgb(0, 0, 0));
    b.setPixel(4, 4, qRgb(0, 0, 0));
    const QString pathA = dir.filePath("a.gif"), pathB = dir.filePath("b.GIF");
    ASSERT_TRUE(WriteGif(pathA, a));
    ASSERT_TRUE(WriteGif(pathB, b));
    QImageReader reader(pathB);
    EXPECT_EQ(reader.format(), "gif");
    Compare(pathA, pathB);
    EXPECT_EQ(ui.Ids(), (std::vector<int>{ids::kDifferencesDetected}));
    EXPECT_EQ(Status(), "2 pixels differ (0.33 %)");
    EXPECT_EQ(Window().SecondBitmap().pixel(3, 4), qRgb(0, 0, 0));
    EXPECT_EQ(Window().SecondBitmap().pixel(5, 4), qRgb(255, 255, 255));
    ui.fileToPick = pathB;
    Window().OnSelectFile(1);
    EXPECT_EQ(File(1)->text(), pathB);
    ASSERT_FALSE(ui.fileDialogFilters.isEmpty());
    EXPECT_TRUE(ui.fileDialogFilters[0].contains("*.gif")) << ui.fileDialogFilters[0].toStdString();
}

TEST_F(DeskWindow, TheNextCompareWritesIntoTheLastDifferenceImageAndAFailedCheckKeepsIt)
{
    const QString a = Png("a.png", 300, 200);
    const QString b = Png("b.png", 300, 200, qRgb(255, 255, 255), {10, 20});
    Compare(a, b);
    const uchar* memory = Window().DifferenceBitmap().constBits();
    ASSERT_NE(memory, nullptr);
    Compare(b, a);
    EXPECT_EQ(Window().DifferenceBitmap().constBits(), memory) << "the same pixels reused";
    EXPECT_EQ(Window().DifferenceBitmap().pixel(10, 20) | 0xFF000000u, 0xFF000000u);
    Compare(a, dir.filePath("missing.png"));
    EXPECT_EQ(Window().DifferenceBitmap().constBits(), memory) << "a failed check keeps the comparison";
    EXPECT_EQ(Window().DifferenceBitmap().pixel(0, 0), 0xFFFFFFFFu);
}

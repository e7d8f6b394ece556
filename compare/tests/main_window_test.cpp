// The main window and its dialogs on the offscreen platform, with the
// recording fake engine and a capturing user interface: layout on resize,
// command states, blinking driven tick by tick, the context menu, Copy
// Image, settings saved on Esc but not on Enter, texts from a language
// library, the file, settings and About dialogs, and the help file.
#include "about_dlg.h"
#include "command_shortcuts.h"
#include "command_states.h"
#include "compare_fixture.h"
#include "file_filter.h"
#include "file_kind.h"
#include "image_ctrl.h"
#include "settings_dlg.h"
#include "string_ids.h"
#include "twinview_dlg.h"
#include "version_text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <dlfcn.h>

#include <memory>

namespace {

using Ids = std::vector<int>;

class MainWindow : public CompareFiles {
protected:
    std::unique_ptr<CTwinviewDlg> Make(const IStrings& strings)
    {
        TwinviewDlgContext context{ui, strings, *temp, &engine, true, SettingsFile(), dir.filePath("Twinview.pdf")};
        return std::make_unique<CTwinviewDlg>(context);
    }

    CTwinviewDlg& Window()
    {
        // Shown, as in the program: a hidden view has no client size yet.
        if (!window) {
            window = Make(texts);
            window->show();
            QCoreApplication::processEvents();
        }
        return *window;
    }

    QString SettingsFile() const { return dir.filePath("Twinview.ini"); }

    // Compares two 40 x 30 images one pixel apart.
    void CompareOnePixelApart() { Compare(Png("a.png", 40, 30), Png("b.png", 40, 30, qRgb(255, 255, 255), {5, 7})); }

    void Compare(const QString& a, const QString& b)
    {
        static_cast<QLineEdit*>(Window().Control(ids::kFile1))->setText(a);
        static_cast<QLineEdit*>(Window().Control(ids::kFile2))->setText(b);
        Window().OnCompare();
    }

    QRect Geometry(int id) { return Window().Control(id)->geometry(); }
    bool Enabled(int command) { return Window().CommandAction(command)->isEnabled(); }
    bool Checked(int command) { return Window().CommandAction(command)->isChecked(); }

    std::unique_ptr<CTwinviewDlg> window;
};

// The image shown by the view at this moment.
const QImage* Shown(CTwinviewDlg& window)
{
    return window.View()->Bitmap();
}

QMap<int, QAction*> MenuItems(QMenu& menu)
{
    QMap<int, QAction*> items;
    for (QAction* action : menu.actions())
        if (!action->isSeparator())
            items[action->data().toInt()] = action;
    return items;
}

} // namespace

TEST_F(MainWindow, GrowingTheWindowMovesAndStretchesTheControlsByTheTable)
{
    CTwinviewDlg& w = Window();
    w.show();
    QCoreApplication::processEvents();
    const int all[] = {ids::kImageView, ids::kFile1,       ids::kSelectFile1, ids::kFile2,   ids::kSelectFile2,
                       ids::kCompare,   ids::kViewToolBar, ids::kModeToolBar, ids::kSettings};
    QMap<int, QRect> before;
    for (int id : all)
        before[id] = Geometry(id);
    w.resize(w.size() + QSize(200, 100));
    QCoreApplication::processEvents();
    EXPECT_EQ(Geometry(ids::kImageView), before[ids::kImageView].adjusted(0, 0, 200, 100));
    for (int id : {ids::kFile1, ids::kFile2})
        EXPECT_EQ(Geometry(id), before[id].adjusted(0, 100, 200, 100)) << id;
    for (int id : {ids::kSelectFile1, ids::kSelectFile2})
        EXPECT_EQ(Geometry(id), before[id].translated(0, 100)) << id;
    EXPECT_EQ(Geometry(ids::kCompare), before[ids::kCompare].translated(200, 100));
    for (int id : {ids::kViewToolBar, ids::kModeToolBar, ids::kSettings})
        EXPECT_EQ(Geometry(id), before[id]) << id;
}

TEST_F(MainWindow, TheTitleNamesTheTwoFiles)
{
    CTwinviewDlg& w = Window();
    const QString caption = w.windowTitle();
    w.SetFiles("/plans/ground/a.vkd", "/plans/upper/b.png");
    EXPECT_TRUE(w.windowTitle().startsWith(QString::fromUtf8("a.vkd \u2013 b.png \u2013 ")))
        << w.windowTitle().toStdString();
    EXPECT_TRUE(w.windowTitle().endsWith(caption));
    static_cast<QLineEdit*>(w.Control(ids::kFile2))->clear();
    EXPECT_TRUE(w.windowTitle().startsWith(QString::fromUtf8("a.vkd \u2013 ? \u2013 ")))
        << w.windowTitle().toStdString();
    static_cast<QLineEdit*>(w.Control(ids::kFile1))->clear();
    EXPECT_EQ(w.windowTitle(), caption);
}

TEST_F(MainWindow, TheWindowCannotShrinkBelowItsFirstSize)
{
    CTwinviewDlg& w = Window();
    const QSize first = w.size();
    EXPECT_EQ(w.minimumSize(), first);
    w.show();
    const QRect view = Geometry(ids::kImageView);
    w.resize(200, 150);
    QCoreApplication::processEvents();
    EXPECT_GE(w.width(), first.width());
    EXPECT_GE(w.height(), first.height());
    EXPECT_EQ(Geometry(ids::kImageView), view);
}

TEST_F(MainWindow, BeforeAComparisonOnlyCompareAndSettingsAreOffered)
{
    for (int command : {ids::kShowFirst, ids::kShowSecond, ids::kShowDifferences, ids::kBlink, ids::kZoomIn,
                        ids::kZoomOut, ids::kZoomToDifferences, ids::kZoomFullResolution, ids::kZoomToWindow})
        EXPECT_FALSE(Enabled(command)) << command;
    EXPECT_TRUE(Window().Control(ids::kCompare)->isEnabled());
    EXPECT_EQ(Window().ViewMode(), -1);
}

TEST_F(MainWindow, AComparisonShowsTheFirstBitmapZoomedOnTheDifference)
{
    CompareOnePixelApart();
    CTwinviewDlg& w = Window();
    EXPECT_EQ(ui.Ids(), (Ids{ids::kDifferencesDetected}));
    EXPECT_EQ(w.ViewMode(), kShowFirst);
    EXPECT_EQ(Shown(w), &w.FirstBitmap());
    EXPECT_TRUE(Checked(ids::kShowFirst));
    EXPECT_FALSE(Checked(ids::kShowSecond));
    EXPECT_DOUBLE_EQ(w.View()->Model().Scale(), 1.0);
    EXPECT_EQ(w.View()->Model().Centre(), (IntPoint{5, 7}));
    // The whole small bitmap is visible at full resolution: no zoom either way.
    EXPECT_EQ(w.View()->Model().State(), kZoomFullWhole);
    EXPECT_FALSE(Enabled(ids::kZoomIn));
    EXPECT_FALSE(Enabled(ids::kZoomOut));
    EXPECT_TRUE(Enabled(ids::kZoomToWindow));
}

TEST_F(MainWindow, ModeButtonsShowTheirBitmapAndKeepTheZoom)
{
    CTwinviewDlg& w = Window();
    w.show();
    Compare(Png("a.png", 2000, 1500), Png("b.png", 2000, 1500, qRgb(255, 255, 255), {1000, 700}));
    ASSERT_EQ(w.View()->Model().State(), kZoomFullPartial);
    EXPECT_TRUE(Enabled(ids::kZoomOut));
    EXPECT_FALSE(Enabled(ids::kZoomIn));
    w.OnCommand(ids::kZoomOut);
    EXPECT_EQ(w.View()->Model().State(), kZoomScaledPartial);
    EXPECT_TRUE(Enabled(ids::kZoomIn));
    const IntRect view = w.View()->Model().View();
    w.OnCommand(ids::kShowDifferences);
    EXPECT_EQ(Shown(w), &w.DifferenceBitmap());
    EXPECT_TRUE(Checked(ids::kShowDifferences));
    EXPECT_FALSE(Checked(ids::kShowFirst));
    EXPECT_EQ(w.View()->Model().View(), view);
    w.OnCommand(ids::kShowSecond);
    EXPECT_EQ(Shown(w), &w.SecondBitmap());
    EXPECT_EQ(w.ViewMode(), kShowSecond);
    w.OnCommand(ids::kZoomToWindow);
    EXPECT_EQ(w.View()->Model().State(), kZoomScaledWhole);
    EXPECT_FALSE(Enabled(ids::kZoomOut));
    EXPECT_TRUE(w.View()->hasFocus() || QApplication::focusWidget() == nullptr);
}

TEST_F(MainWindow, BlinkingShowsTheSecondFirstAndSoOnUntilAModeButtonStopsIt)
{
    CompareOnePixelApart();
    CTwinviewDlg& w = Window();
    w.OnCommand(ids::kBlink);
    EXPECT_EQ(w.ViewMode(), kBlinking);
    EXPECT_TRUE(Checked(ids::kBlink));
    EXPECT_TRUE(w.BlinkTimer().isActive());
    EXPECT_EQ(w.BlinkTimer().interval(), 500);
    std::vector<const QImage*> shown;
    for (int i = 0; i < 4; ++i) {
        w.OnBlinkTimer();
        shown.push_back(Shown(w));
    }
    EXPECT_EQ(shown,
              (std::vector<const QImage*>{&w.SecondBitmap(), &w.FirstBitmap(), &w.SecondBitmap(), &w.FirstBitmap()}));
    w.OnCommand(ids::kShowDifferences);
    EXPECT_FALSE(w.BlinkTimer().isActive());
    EXPECT_EQ(Shown(w), &w.DifferenceBitmap());
}

TEST_F(MainWindow, ANewComparisonStopsARunningBlink)
{
    CompareOnePixelApart();
    CTwinviewDlg& w = Window();
    w.OnCommand(ids::kBlink);
    w.OnBlinkTimer();
    CompareOnePixelApart();
    EXPECT_EQ(Shown(w), &w.FirstBitmap());
    w.OnBlinkTimer(); // a tick still queued changes nothing
    EXPECT_EQ(Shown(w), &w.FirstBitmap());
}

TEST_F(MainWindow, AFailedSecondBitmapLeavesNoStaleBitmapsAndNoModes)
{
    CompareOnePixelApart();
    CTwinviewDlg& w = Window();
    ASSERT_EQ(w.ViewMode(), kShowFirst);
    ui.messages.clear();
    Compare(Png("c.png", 40, 30), Garbage("d.png"));
    EXPECT_EQ(ui.Ids(), (Ids{ids::kCannotRead}));
    EXPECT_EQ(w.ViewMode(), -1);
    EXPECT_TRUE(w.FirstBitmap().isNull());
    EXPECT_TRUE(w.SecondBitmap().isNull());
    EXPECT_TRUE(w.DifferenceBitmap().isNull());
    EXPECT_EQ(Shown(w), nullptr);
    for (int command : {ids::kShowFirst, ids::kShowSecond, ids::kShowDifferences, ids::kBlink})
        EXPECT_FALSE(Enabled(command));
}

TEST_F(MainWindow, DifferentSizesEndInModeMinusOne)
{
    CompareOnePixelApart();
    Compare(Png("c.png", 640, 480), Png("d.png", 640, 481));
    EXPECT_EQ(ui.Ids().back(), ids::kDifferentSize);
    EXPECT_EQ(Window().ViewMode(), -1);
    EXPECT_TRUE(Window().FirstBitmap().isNull());
}

TEST_F(MainWindow, AMissingFileKeepsThePreviousComparison)
{
    CompareOnePixelApart();
    Compare(dir.filePath("gone.png"), Png("c.png", 40, 30));
    EXPECT_EQ(ui.Ids().back(), ids::kWrongPath);
    EXPECT_EQ(Window().ViewMode(), kShowFirst);
    EXPECT_FALSE(Window().FirstBitmap().isNull());
}

TEST_F(MainWindow, TheContextMenuIsGreyedByTheViewsState)
{
    CTwinviewDlg& w = Window();
    std::unique_ptr<QMenu> empty = w.View()->CreateContextMenu();
    for (QAction* item : MenuItems(*empty))
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    EXPECT_EQ(MenuItems(*empty).size(), 6);

    CompareOnePixelApart(); // zoom state 3: whole bitmap at full resolution
    std::unique_ptr<QMenu> menu = w.View()->CreateContextMenu();
    const QMap<int, QAction*> items = MenuItems(*menu);
    EXPECT_EQ(items[ids::kCopyImage]->text(), "&Copy Image");
    EXPECT_TRUE(items[ids::kCopyImage]->isEnabled());
    EXPECT_FALSE(items[ids::kMenuZoomIn]->isEnabled());
    EXPECT_FALSE(items[ids::kMenuZoomOut]->isEnabled());
    EXPECT_TRUE(items[ids::kMenuZoomToWindow]->isEnabled());
    EXPECT_TRUE(items[ids::kMenuZoomFullResolution]->isEnabled());
    EXPECT_TRUE(items[ids::kMenuZoomToDifferences]->isEnabled());
}

TEST_F(MainWindow, ContextMenuZoomItemsRunTheWindowsCommands)
{
    CTwinviewDlg& w = Window();
    w.show();
    Compare(Png("a.png", 2000, 1500), Png("b.png", 2000, 1500, qRgb(255, 255, 255), {10, 10}));
    std::unique_ptr<QMenu> menu = w.View()->CreateContextMenu();
    MenuItems(*menu)[ids::kMenuZoomToWindow]->trigger();
    EXPECT_TRUE(w.View()->Model().FitMode());
    EXPECT_FALSE(Enabled(ids::kZoomOut)); // the window took the new state
    menu = w.View()->CreateContextMenu();
    MenuItems(*menu)[ids::kMenuZoomFullResolution]->trigger();
    EXPECT_DOUBLE_EQ(w.View()->Model().Scale(), 1.0);
}

TEST_F(MainWindow, CopyImagePutsTheShownBitmapOnTheClipboard)
{
    CompareOnePixelApart();
    CTwinviewDlg& w = Window();
    w.OnCommand(ids::kShowDifferences);
    QApplication::clipboard()->setText("something else");
    std::unique_ptr<QMenu> menu = w.View()->CreateContextMenu();
    MenuItems(*menu)[ids::kCopyImage]->trigger();
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), QSize(40, 30));
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), w.DifferenceBitmap());
    EXPECT_EQ(copied.pixel(5, 7), qRgb(0, 0, 0));
}

TEST_F(MainWindow, SettingsReachTheFileOnEscAndNotOnEnter)
{
    ui.onModal = [](QDialog& dialog) {
        auto& settings = static_cast<CSettingsDlg&>(dialog);
        settings.ImageSizeBox()->setValue(2500);
        settings.accept();
        return dialog.result();
    };
    {
        auto w = Make(texts);
        w->show();
        w->OnSettings();
        EXPECT_EQ(w->Settings().imageSize, 2500);
        w->Control(ids::kFile1)->setFocus();
        QTest::keyClick(w->Control(ids::kFile1), Qt::Key_Return);
        EXPECT_FALSE(w->isVisible());
        // Only the window's place is kept; the settings are not.
        EXPECT_FALSE(QSettings(SettingsFile(), QSettings::IniFormat).contains("QVXImageSize"));
    }
    {
        auto w = Make(texts);
        w->show();
        w->OnSettings();
        QTest::keyClick(w.get(), Qt::Key_Escape);
        EXPECT_FALSE(w->isVisible());
        QSettings store(SettingsFile(), QSettings::IniFormat);
        EXPECT_EQ(store.value("QVXImageSize").toInt(), 2500);
    }
    auto w = Make(texts);
    EXPECT_EQ(w->Settings().imageSize, 2500);
}

TEST_F(MainWindow, TheCloseBoxSavesTheSettingsToo)
{
    ui.onModal = [](QDialog& dialog) {
        auto& settings = static_cast<CSettingsDlg&>(dialog);
        settings.ImageSizeBox()->setValue(77);
        settings.accept();
        return dialog.result();
    };
    auto w = Make(texts);
    w->show();
    w->OnSettings();
    w->close();
    QSettings store(SettingsFile(), QSettings::IniFormat);
    EXPECT_EQ(store.value("QVXImageSize").toInt(), 77);
}

TEST_F(MainWindow, EnterOnTheCompareButtonComparesInsteadOfClosing)
{
    CTwinviewDlg& w = Window();
    w.show();
    static_cast<QLineEdit*>(w.Control(ids::kFile1))->setText(Png("a.png", 4, 4));
    static_cast<QLineEdit*>(w.Control(ids::kFile2))->setText(Png("b.png", 4, 4));
    w.Control(ids::kCompare)->setFocus();
    QTest::keyClick(w.Control(ids::kCompare), Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(ui.Ids(), (Ids{ids::kNoDifferences}));
}

TEST_F(MainWindow, TipsButtonsAndMenusTakeTheLanguageLibrarysTexts)
{
    void* library = ::dlopen(TWINVIEW_TEST_LANGUAGE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    {
        const CStringTable testTexts(library);
        auto w = Make(testTexts);
        EXPECT_EQ(w->Control(ids::kCompare)->toolTip(),
                  TipWithShortcut("Test: compare tip", ShortcutsOfCommand(ids::kCompare)));
        EXPECT_EQ(static_cast<QPushButton*>(w->Control(ids::kCompare))->text(), "Test: Compare");
        EXPECT_EQ(w->Control(ids::kSettings)->toolTip(), "Test: settings tip");
        EXPECT_EQ(w->CommandAction(ids::kZoomIn)->toolTip(),
                  TipWithShortcut("Test: zoom in tip", ShortcutsOfCommand(ids::kZoomIn)));
        // Without string 7001 there is no "?" menu.
        EXPECT_EQ(w->HelpMenuButton(), nullptr);
        std::unique_ptr<QMenu> menu = w->View()->CreateContextMenu();
        EXPECT_EQ(MenuItems(*menu)[ids::kCopyImage]->text(), "Test: copy");
        EXPECT_EQ(MenuItems(*menu)[ids::kMenuZoomIn]->text(), "Test: zoom in");
    }
    ::dlclose(library);
}

TEST_F(MainWindow, BuiltInTipsAndTheHelpMenu)
{
    CTwinviewDlg& w = Window();
    EXPECT_EQ(w.Control(ids::kFile1)->toolTip(), texts.Get(ids::kFile1));
    EXPECT_EQ(w.Control(ids::kSelectFile2)->toolTip(), texts.Get(ids::kFile2));
    EXPECT_EQ(w.CommandAction(ids::kBlink)->toolTip(),
              TipWithShortcut("Blink differences", ShortcutsOfCommand(ids::kBlink)));
    EXPECT_EQ(w.CommandAction(ids::kZoomToWindow)->toolTip(),
              TipWithShortcut("Zoom to window", ShortcutsOfCommand(ids::kZoomToWindow)));
    ASSERT_NE(w.HelpMenuButton(), nullptr);
    const QList<QAction*> items = w.HelpMenuButton()->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "&About Twinview...");
    EXPECT_EQ(items[1]->text(), "&Help...");
    EXPECT_EQ(items[1]->shortcut(), QKeySequence(QKeySequence::HelpContents));
}

TEST_F(MainWindow, SelectFileTakesASupportedFileAndRefusesOthers)
{
    CTwinviewDlg& w = Window();
    auto* file1 = static_cast<QLineEdit*>(w.Control(ids::kFile1));
    auto* file2 = static_cast<QLineEdit*>(w.Control(ids::kFile2));
    file1->setText("typed by hand");
    ui.fileToPick = "/plans/b.VKD";
    w.OnSelectFile(2);
    EXPECT_EQ(file2->text(), "/plans/b.VKD");
    EXPECT_EQ(file1->text(), "typed by hand");
    EXPECT_EQ(ui.fileDialogFilters.size(), 3);
    ui.fileToPick = "/plans/notes.txt";
    w.OnSelectFile(1);
    EXPECT_EQ(file1->text(), "typed by hand");
    ASSERT_EQ(ui.Ids(), (Ids{ids::kUnsupportedFileType}));
    // The extensions of the table, then those of the extra image plugins.
    EXPECT_EQ(ui.messages[0].text,
              "The file type you have selected is not supported. Please choose a file "
              "with a " +
                  SelectableExtensions(ExtraRasterExtensions()) + " extension.");
    EXPECT_TRUE(ui.messages[0].text.contains("with a .VKD, .BMP, .PNG, .JPG"));
    ui.fileToPick.clear();
    w.OnSelectFile(1);
    EXPECT_EQ(file1->text(), "typed by hand");
}

TEST_F(MainWindow, TheSettingsDialogChecksTheRangeAndPicksAColour)
{
    CSettingsDlg dialog({1000, false, 0x0000FF}, texts, ui);
    EXPECT_EQ(dialog.ImageSizeBox()->minimum(), 1);
    EXPECT_EQ(dialog.ImageSizeBox()->maximum(), 10000);
    EXPECT_FALSE(dialog.SelectColourButton()->isEnabled());
    dialog.ChangeColourBox()->click();
    EXPECT_TRUE(dialog.SelectColourButton()->isEnabled());
    ui.colourToPick = QColor(1, 2, 3);
    dialog.SelectColourButton()->click();
    EXPECT_EQ(ui.colourDialogStart, QColor(255, 0, 0));
    EXPECT_EQ(dialog.Values().colour, 0x030201u);
    dialog.ChangeColourBox()->click();
    EXPECT_FALSE(dialog.SelectColourButton()->isEnabled());

    for (const char* typed : {"0", "10001"}) {
        ui.messages.clear();
        dialog.show();
        dialog.ImageSizeBox()->findChild<QLineEdit*>()->setText(typed);
        dialog.OkButton()->click();
        EXPECT_TRUE(dialog.isVisible()) << typed;
        ASSERT_EQ(ui.Ids(), (Ids{ids::kImageSizeRange})) << typed;
        EXPECT_EQ(ui.messages[0].text, "Please enter an integer between 1 and 10000.");
    }
    dialog.ImageSizeBox()->findChild<QLineEdit*>()->setText("10000");
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Values().imageSize, 10000);
}

TEST_F(MainWindow, CancellingTheSettingsDialogChangesNothing)
{
    ui.onModal = [](QDialog& dialog) {
        static_cast<CSettingsDlg&>(dialog).ImageSizeBox()->setValue(5);
        dialog.reject();
        return dialog.result();
    };
    Window().OnSettings();
    EXPECT_EQ(Window().Settings().imageSize, 1000);
    EXPECT_EQ(ui.lastDialogTitle, "Settings");
}

TEST_F(MainWindow, TheAboutBoxShowsTheVersion)
{
    CAboutDlg about(texts);
    EXPECT_EQ(about.windowTitle(), "About Twinview");
    EXPECT_EQ(about.BuildLabel()->text(), ProgramVersionText());
    Window().OnAbout();
    EXPECT_EQ(ui.lastDialogTitle, "About Twinview");
}

TEST_F(MainWindow, HelpOpensTheGuideBesideTheProgramOrSaysItIsMissing)
{
    Window().OnHelp();
    ASSERT_EQ(ui.Ids(), (Ids{ids::kHelpMissing}));
    EXPECT_TRUE(ui.messages[0].text.contains(dir.filePath("Twinview.pdf")));
    QFile guide(dir.filePath("Twinview.pdf"));
    ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
    guide.write("%PDF-1.4\n");
    guide.close();
    Window().OnHelp();
    ASSERT_EQ(ui.openedDocuments.size(), 1u);
    EXPECT_EQ(ui.openedDocuments[0], dir.filePath("Twinview.pdf"));
}

TEST_F(MainWindow, TemporaryBitmapsGoWithTheWindow)
{
    Compare(Drawing("a.vkd"), Drawing("b.vkd"));
    ASSERT_EQ(Window().ViewMode(), kShowFirst);
    const QString bitmap1 = Window().Comparison().TemporaryBitmap1();
    const QString bitmap2 = Window().Comparison().TemporaryBitmap2();
    EXPECT_TRUE(QFileInfo::exists(bitmap1));
    EXPECT_TRUE(QFileInfo::exists(bitmap2));
    window.reset();
    EXPECT_FALSE(QFileInfo::exists(bitmap1));
    EXPECT_FALSE(QFileInfo::exists(bitmap2));
}

TEST_F(MainWindow, StartingFilesAppearInTheBoxesWithoutComparing)
{
    Window().SetFiles("/p/a.vkd", "/p/b.vkd");
    EXPECT_EQ(static_cast<QLineEdit*>(Window().Control(ids::kFile1))->text(), "/p/a.vkd");
    EXPECT_EQ(static_cast<QLineEdit*>(Window().Control(ids::kFile2))->text(), "/p/b.vkd");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(fake->Count("Documents.Open"), 0);
}

// The main window's commands: Compare, the view modes and blinking, zoom,
// the file dialogs, Settings, About, Help, and closing.
#include "twinview_dlg.h"

#include "about_dlg.h"
#include "command_states.h"
#include "difference_summary.h"
#include "file_filter.h"
#include "file_kind.h"
#include "image_ctrl.h"
#include "image_diff.h"
#include "settings_dlg.h"
#include "string_ids.h"
#include "text_table.h"
#include "user_interface.h"
#include "wait_cursor.h"
#include "window_geometry.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>

#include <utility>

void CTwinviewDlg::OnCommand(int command)
{
    switch (command) {
    case ids::kCompare: OnCompare(); return;
    case ids::kShowFirst: ShowMode(kShowFirst); break;
    case ids::kShowSecond: ShowMode(kShowSecond); break;
    case ids::kShowDifferences: ShowMode(kShowDifferences); break;
    case ids::kBlink: StartBlinking(); break;
    case ids::kHighlight: ShowMode(kHighlighting); break;
    case ids::kZoomIn: m_view->ZoomIn(); break;
    case ids::kZoomOut: m_view->ZoomOut(); break;
    case ids::kZoomToDifferences: m_view->ZoomToDifferences(); break;
    case ids::kZoomFullResolution: m_view->FullResolution(); break;
    case ids::kZoomToWindow: m_view->ZoomToWindow(); break;
    default: return;
    }
    UpdateCommandStates();
    m_view->setFocus();
}

void CTwinviewDlg::OnCompare()
{
    m_view->Reset();
    m_blinker.Clear();
    CompareOutcome outcome;
    {
        CWaitCursor wait;
        // The old difference image becomes the new one's memory; a failed
        // check gives it back.
        m_highlight = QImage();
        m_compare.Recycle(std::exchange(m_difference, QImage()));
        outcome = m_compare.Run(m_file1->text(), m_file2->text(), m_settings);
        m_difference = m_compare.TakeRecycled();
    }
    ApplyOutcome(std::move(outcome));
    UpdateCommandStates();
    m_view->setFocus();
}

// A failed check keeps the previous comparison; any later failure leaves
// nothing to show.
void CTwinviewDlg::ApplyOutcome(CompareOutcome outcome)
{
    if (outcome.status == CompareStatus::CheckFailed)
        return;
    ShowSummary(outcome);
    m_highlight = QImage();
    m_first = std::move(outcome.first);
    m_second = std::move(outcome.second);
    m_difference = std::move(outcome.difference);
    if (outcome.status == CompareStatus::Failed) {
        m_viewMode = kNoComparison;
        return;
    }
    if (outcome.differenceBox)
        m_view->SetDifferenceBox(*outcome.differenceBox);
    m_view->ShowBitmap(&m_first);
    m_view->viewport()->repaint();
    m_viewMode = kShowFirst;
}

// The count and share of differing pixels after a comparison, the sizes
// when they differ, nothing after any other failure.
void CTwinviewDlg::ShowSummary(const CompareOutcome& outcome)
{
    QString text;
    if (outcome.status == CompareStatus::Compared) {
        const std::int64_t total = static_cast<std::int64_t>(outcome.difference.width()) * outcome.difference.height();
        text = DifferenceCountText(m_context.strings, locale(), outcome.differingPixels, total);
    } else if (outcome.differentSizes) {
        text = SizesDifferText(m_context.strings, outcome.differentSizes->first, outcome.differentSizes->second);
    }
    m_statusLine->setText(text);
    // The line may be cut off in a narrow window; its tip shows it whole.
    m_statusLine->setToolTip(text);
}

const QImage* CTwinviewDlg::BitmapOfMode(int mode)
{
    switch (mode) {
    case kShowFirst: return &m_first;
    case kShowSecond: return &m_second;
    case kShowDifferences: return &m_difference;
    case kHighlighting: return HighlightPicture();
    default: return nullptr;
    }
}

// The picture of "twinview compare --diff": the first image faded, the
// differences in strong colours. Made once per comparison, when asked for.
const QImage* CTwinviewDlg::HighlightPicture()
{
    if (m_highlight.isNull() && !m_first.isNull() && !m_second.isNull()) {
        CWaitCursor wait;
        ImageDiffOptions options;
        options.picture = true;
        m_highlight = DiffImages(m_first, m_second, options).picture;
    }
    return &m_highlight;
}

void CTwinviewDlg::ShowMode(int mode)
{
    if (m_viewMode < 0)
        return;
    m_blinkTimer.stop();
    m_viewMode = mode;
    m_view->ShowBitmap(BitmapOfMode(mode));
}

void CTwinviewDlg::StartBlinking()
{
    if (m_viewMode < 0)
        return;
    m_viewMode = kBlinking;
    m_blinkTimer.start();
    m_blinker.Start();
}

void CTwinviewDlg::OnBlinkTimer()
{
    const std::optional<CBlinker::Bitmap> next = m_blinker.Tick();
    if (!next)
        return;
    m_view->ShowBitmap(*next == CBlinker::Bitmap::Second ? &m_second : &m_first);
    m_view->viewport()->repaint();
}

void CTwinviewDlg::UpdateCommandStates()
{
    const int zoomState = m_view->Model().State();
    for (int command :
         {ids::kShowFirst, ids::kShowSecond, ids::kShowDifferences, ids::kBlink, ids::kHighlight, ids::kZoomIn,
          ids::kZoomOut, ids::kZoomToDifferences, ids::kZoomFullResolution, ids::kZoomToWindow}) {
        const CommandState state = MainCommandState(command, m_viewMode, zoomState);
        QAction* action = CommandAction(command);
        action->setEnabled(state.enabled);
        action->setChecked(state.checked);
    }
}

void CTwinviewDlg::OnSelectFile(int which)
{
    const QStringList extraRasters = ExtraRasterExtensions();
    const QString path =
        m_context.ui.OpenFileName(m_context.strings.Get(ids::kSelectFileTitle),
                                  FileDialogFilters(m_context.strings.Get(ids::kFileFilter), extraRasters));
    if (path.isEmpty())
        return;
    if (!IsSupported(path)) {
        m_context.ui.ShowMessage(
            {ids::kUnsupportedFileType,
             m_context.strings.Format(ids::kUnsupportedFileType, {SelectableExtensions(extraRasters)})},
            m_context.strings.Get(ids::kAppTitle));
        return;
    }
    // Only the chosen box changes: text typed into the other one stays.
    (which == 1 ? m_file1 : m_file2)->setText(path);
}

void CTwinviewDlg::OnFilesDropped(int row, const QStringList& files)
{
    if (files.size() >= 2) {
        m_file1->setText(files[0]);
        m_file2->setText(files[1]);
    } else if (files.size() == 1) {
        (row == 1 ? m_file1 : m_file2)->setText(files[0]);
    }
}

void CTwinviewDlg::OnSettings()
{
    CSettingsDlg dialog(m_settings, m_context.strings, m_context.ui, this);
    if (m_context.ui.RunModal(dialog) == QDialog::Accepted)
        m_settings = dialog.Values();
}

void CTwinviewDlg::OnAbout()
{
    CAboutDlg dialog(m_context.strings, this);
    m_context.ui.RunModal(dialog);
}

void CTwinviewDlg::OnHelp()
{
    const QString& path = m_context.helpFile;
    if (QFileInfo(path).isFile() && m_context.ui.OpenDocument(path))
        return;
    m_context.ui.ShowMessage({ids::kHelpMissing, m_context.strings.Format(ids::kHelpMissing, {path})},
                             m_context.strings.Get(ids::kAppTitle));
}

void CTwinviewDlg::done(int result)
{
    m_blinkTimer.stop();
    // The place of the window is kept however it closes; the three
    // settings only on Cancel.
    SaveGeometry();
    if (result == QDialog::Rejected)
        SaveSettings();
    CResizingDialog::done(result);
}

void CTwinviewDlg::SaveSettings() const
{
    QSettings store(m_context.settingsFile, QSettings::IniFormat);
    WriteSettings(store, m_settings);
}

// Back where the window was closed, but on a screen there is now.
void CTwinviewDlg::RestoreGeometry()
{
    QSettings store(m_context.settingsFile, QSettings::IniFormat);
    const std::optional<WindowGeometry> saved = ReadWindowGeometry(store);
    if (!saved)
        return;
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    const QRect placed = PlaceOnScreens(saved->rect, screens, minimumSize());
    resize(placed.size());
    move(placed.topLeft());
    if (saved->maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CTwinviewDlg::SaveGeometry() const
{
    WindowGeometry geometry;
    geometry.maximized = isMaximized();
    geometry.rect = geometry.maximized ? normalGeometry() : QRect(frameGeometry().topLeft(), size());
    QSettings store(m_context.settingsFile, QSettings::IniFormat);
    WriteWindowGeometry(store, geometry);
}

// Enter presses the focused button, and elsewhere closes the window without
// saving the settings (OK); Esc goes to reject() (Cancel), which saves them.
void CTwinviewDlg::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier)) {
        CResizingDialog::keyPressEvent(event);
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
        button->click();
        return;
    }
    accept();
}

// The main window's controls, toolbars, "?" menu and layout.
#include "twinview_dlg.h"

#include "command_shortcuts.h"
#include "file_drop_target.h"
#include "image_ctrl.h"
#include "string_ids.h"
#include "text_table.h"
#include "toolbar_ex.h"

#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kRowHeight = 28;
constexpr int kSelectWidth = 130;
constexpr int kCompareWidth = 100;
constexpr int kMinClientWidth = 800;
constexpr int kClientHeight = 600;
constexpr int kMinStatusWidth = 220;

struct ToolButton {
    int command;
    const char* icon;
};

const ToolButton kViewButtons[] = {
    {ids::kZoomToWindow, ":/icons/zoom-window.png"},
    {ids::kZoomFullResolution, ":/icons/zoom-full.png"},
    {ids::kZoomIn, ":/icons/zoom-in.png"},
    {ids::kZoomOut, ":/icons/zoom-out.png"},
    {ids::kZoomToDifferences, ":/icons/zoom-differences.png"},
};

const ToolButton kModeButtons[] = {
    {ids::kShowFirst, ":/icons/show-first.png"},
    {ids::kShowSecond, ":/icons/show-second.png"},
    {ids::kShowDifferences, ":/icons/show-differences.png"},
    {ids::kBlink, ":/icons/blink.png"},
    {ids::kHighlight, ":/icons/highlight.png"},
};

QString ControlName(int id)
{
    return QStringLiteral("control%1").arg(id);
}

} // namespace

CTwinviewDlg::CTwinviewDlg(const TwinviewDlgContext& context, QWidget* parent)
    : CResizingDialog(parent), m_context(context),
      m_compare(context.ui, context.strings, context.tempDir, context.engine, context.engineReady)
{
    setWindowTitle(m_context.strings.Get(ids::kMainCaption));
    setWindowIcon(QIcon(":/icons/twinview.png"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    CreateHelpMenu();
    CreateControls();
    CreateToolBars();
    CreateCompareKey();
    AcceptDrops();
    SetTabOrder();
    PlaceControls();
    RegisterLayout();
    m_blinkTimer.setInterval(kBlinkIntervalMs);
    connect(&m_blinkTimer, &QTimer::timeout, this, &CTwinviewDlg::OnBlinkTimer);
    QSettings store(m_context.settingsFile, QSettings::IniFormat);
    m_settings = ReadSettings(store);
    RestoreGeometry();
    UpdateCommandStates();
}

CTwinviewDlg::~CTwinviewDlg() = default;

void CTwinviewDlg::SetFiles(const QString& file1, const QString& file2)
{
    if (!file1.isEmpty())
        m_file1->setText(file1);
    if (!file2.isEmpty())
        m_file2->setText(file2);
}

// The title names the two files before the program's caption, so that the
// windows of several comparisons can be told apart in the task bar.
void CTwinviewDlg::UpdateTitle()
{
    const QString caption = m_context.strings.Get(ids::kMainCaption);
    const QString name1 = QFileInfo(m_file1->text().trimmed()).fileName();
    const QString name2 = QFileInfo(m_file2->text().trimmed()).fileName();
    if (name1.isEmpty() && name2.isEmpty()) {
        setWindowTitle(caption);
        return;
    }
    const QString none = QStringLiteral("?");
    setWindowTitle(QStringLiteral("%1 \u2013 %2 \u2013 %3")
                       .arg(name1.isEmpty() ? none : name1, name2.isEmpty() ? none : name2, caption));
}

QWidget* CTwinviewDlg::Control(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

QAction* CTwinviewDlg::CommandAction(int command) const
{
    QAction* action = m_viewBar->Action(command);
    return action ? action : m_modeBar->Action(command);
}

QPushButton* CTwinviewDlg::NewButton(int id, int textId)
{
    auto* button = new QPushButton(m_context.strings.Get(textId), this);
    button->setObjectName(ControlName(id));
    button->setToolTip(m_context.strings.Get(id));
    // Enter presses the focused button and otherwise closes the window
    // (keyPressEvent); no button is pressed by Enter on its own.
    button->setAutoDefault(false);
    m_controls[id] = button;
    return button;
}

void CTwinviewDlg::CreateControls()
{
    for (auto [id, edit] : {std::pair{ids::kFile1, &m_file1}, std::pair{ids::kFile2, &m_file2}}) {
        *edit = new QLineEdit(this);
        (*edit)->setObjectName(ControlName(id));
        (*edit)->setToolTip(m_context.strings.Get(id));
        m_controls[id] = *edit;
        connect(*edit, &QLineEdit::textChanged, this, &CTwinviewDlg::UpdateTitle);
    }
    connect(NewButton(ids::kSelectFile1, ids::kSelectFile1Text), &QPushButton::clicked, this,
            [this] { OnSelectFile(1); });
    connect(NewButton(ids::kSelectFile2, ids::kSelectFile2Text), &QPushButton::clicked, this,
            [this] { OnSelectFile(2); });
    connect(NewButton(ids::kCompare, ids::kCompareText), &QPushButton::clicked, this, &CTwinviewDlg::OnCompare);
    connect(NewButton(ids::kSettings, ids::kSettingsText), &QPushButton::clicked, this, &CTwinviewDlg::OnSettings);
    m_view = new CImageCtrl(m_context.strings, this);
    m_view->setObjectName(ControlName(ids::kImageView));
    m_controls[ids::kImageView] = m_view;
    connect(m_view, &CImageCtrl::commandRequested, this, &CTwinviewDlg::OnCommand);
    connect(m_view, &CImageCtrl::zoomStateChanged, this, [this] { UpdateCommandStates(); });
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QStringLiteral("statusLine"));
    m_statusLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_statusLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

// F5 compares from anywhere in the window; the button's tip names the key.
void CTwinviewDlg::CreateCompareKey()
{
    const QList<QKeySequence> keys = ShortcutsOfCommand(ids::kCompare);
    auto* compare = new QAction(this);
    compare->setShortcuts(keys);
    connect(compare, &QAction::triggered, this, &CTwinviewDlg::OnCompare);
    addAction(compare);
    Control(ids::kCompare)->setToolTip(TipWithShortcut(m_context.strings.Get(ids::kCompare), keys));
}

// A file dropped on a row's box or button fills that row; two files dropped
// together fill both rows.
void CTwinviewDlg::AcceptDrops()
{
    m_drops = new CFileDropTarget(this);
    m_drops->Watch(m_file1, 1);
    m_drops->Watch(Control(ids::kSelectFile1), 1);
    m_drops->Watch(m_file2, 2);
    m_drops->Watch(Control(ids::kSelectFile2), 2);
    connect(m_drops, &CFileDropTarget::filesDropped, this, &CTwinviewDlg::OnFilesDropped);
}

// Tab goes through the file rows, Compare, the buttons of both toolbars,
// Settings, "?" and the view.
void CTwinviewDlg::SetTabOrder()
{
    QList<QWidget*> order{m_file1, Control(ids::kSelectFile1), m_file2, Control(ids::kSelectFile2),
                          Control(ids::kCompare)};
    for (CToolBarEx* bar : {m_viewBar, m_modeBar})
        for (QAction* action : bar->actions())
            if (QWidget* button = bar->widgetForAction(action))
                order << button;
    order << Control(ids::kSettings);
    if (m_helpMenuButton)
        order << m_helpMenuButton;
    order << m_view;
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void CTwinviewDlg::CreateToolBars()
{
    m_viewBar = new CToolBarEx(m_context.strings, this);
    m_modeBar = new CToolBarEx(m_context.strings, this);
    for (const ToolButton& button : kViewButtons)
        m_viewBar->AddCommand(button.command, button.icon);
    for (const ToolButton& button : kModeButtons)
        m_modeBar->AddCommand(button.command, button.icon);
    for (auto [id, bar] : {std::pair{ids::kViewToolBar, m_viewBar}, std::pair{ids::kModeToolBar, m_modeBar}}) {
        bar->setObjectName(ControlName(id));
        m_controls[id] = bar;
        connect(bar, &CToolBarEx::commandTriggered, this, &CTwinviewDlg::OnCommand);
    }
}

// About and Help, in a "?" menu beside Settings; F1 opens the help. With no
// text for the About item the menu is left out.
void CTwinviewDlg::CreateHelpMenu()
{
    const QString aboutText = m_context.strings.Get(ids::kAboutItem);
    if (aboutText.isEmpty())
        return;
    auto* menu = new QMenu(this);
    menu->addAction(aboutText, this, &CTwinviewDlg::OnAbout);
    QAction* help = menu->addAction(m_context.strings.Get(ids::kHelpItem), this, &CTwinviewDlg::OnHelp);
    help->setShortcut(QKeySequence::HelpContents);
    addAction(help); // so that F1 works anywhere in the window
    m_helpMenuButton = new QToolButton(this);
    m_helpMenuButton->setText(m_context.strings.Get(ids::kHelpMenuText));
    m_helpMenuButton->setToolTip(m_context.strings.Get(ids::kHelpMenuTip));
    m_helpMenuButton->setPopupMode(QToolButton::InstantPopup);
    m_helpMenuButton->setMenu(menu);
}

// The toolbars, Settings and "?" along the top; the view below them; the
// two file rows with Compare at the bottom.
void CTwinviewDlg::PlaceControls()
{
    const QSize viewBar = m_viewBar->sizeHint();
    const QSize modeBar = m_modeBar->sizeHint();
    const int barHeight = std::max(viewBar.height(), modeBar.height());
    m_viewBar->setGeometry(kMargin, kGap, viewBar.width(), barHeight);
    m_modeBar->setGeometry(m_viewBar->geometry().right() + 1 + kMargin, kGap, modeBar.width(), barHeight);
    QWidget* settings = Control(ids::kSettings);
    const int buttonTop = kGap + (barHeight - kRowHeight) / 2;
    const int settingsWidth = std::max(settings->sizeHint().width(), 90);
    settings->setGeometry(m_modeBar->geometry().right() + 1 + 2 * kMargin, buttonTop, settingsWidth, kRowHeight);
    int topRight = settings->geometry().right() + 1;
    if (m_helpMenuButton) {
        m_helpMenuButton->setGeometry(topRight + kGap, buttonTop, kRowHeight + 8, kRowHeight);
        topRight = m_helpMenuButton->geometry().right() + 1;
    }
    const int width = std::max(kMinClientWidth, topRight + 2 * kMargin + kMinStatusWidth + kMargin);
    const int statusLeft = topRight + 2 * kMargin;
    m_statusLine->setGeometry(statusLeft, buttonTop, width - kMargin - statusLeft, kRowHeight);
    const int row2 = kClientHeight - kMargin - kRowHeight;
    const int row1 = row2 - kGap - kRowHeight;
    const int viewTop = kGap + barHeight + kGap;
    m_view->setGeometry(kMargin, viewTop, width - 2 * kMargin, row1 - kMargin - viewTop);
    const int compareLeft = width - kMargin - kCompareWidth;
    const int editLeft = kMargin + kSelectWidth + kMargin;
    Control(ids::kSelectFile1)->setGeometry(kMargin, row1, kSelectWidth, kRowHeight);
    Control(ids::kSelectFile2)->setGeometry(kMargin, row2, kSelectWidth, kRowHeight);
    m_file1->setGeometry(editLeft, row1, compareLeft - kMargin - editLeft, kRowHeight);
    m_file2->setGeometry(editLeft, row2, compareLeft - kMargin - editLeft, kRowHeight);
    Control(ids::kCompare)->setGeometry(compareLeft, row1, kCompareWidth, 2 * kRowHeight + kGap);
    resize(width, kClientHeight);
}

void CTwinviewDlg::RegisterLayout()
{
    StartLayout();
    AddControl(m_view, kStretchX | kStretchY);
    AddControl(m_file1, kMoveY | kStretchX);
    AddControl(Control(ids::kSelectFile1), kMoveY);
    AddControl(m_file2, kMoveY | kStretchX);
    AddControl(Control(ids::kSelectFile2), kMoveY);
    AddControl(Control(ids::kCompare), kMoveX | kMoveY);
    AddControl(m_viewBar, 0);
    AddControl(m_modeBar, 0);
    AddControl(Control(ids::kSettings), 0);
    if (m_helpMenuButton)
        AddControl(m_helpMenuButton, 0);
    AddControl(m_statusLine, kStretchX);
}

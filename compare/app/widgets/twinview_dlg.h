// The main window: two file boxes with their Select File buttons, Compare,
// the image view, the view and mode toolbars, Settings, the "?" menu and a
// status line with what the last comparison found. Files can be dropped on
// the file rows; the window comes back where it was closed.
#pragma once

#include "blinker.h"
#include "compare_command.h"
#include "resizing_dialog.h"
#include "settings.h"

#include <QImage>
#include <QTimer>

#include <map>

class CDraftoraEngine;
class CFileDropTarget;
class CImageCtrl;
class CPrivateTempDir;
class CToolBarEx;
class IStrings;
class IUserInterface;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

struct TwinviewDlgContext {
    IUserInterface& ui;
    const IStrings& strings;
    CPrivateTempDir& tempDir;
    CDraftoraEngine* engine = nullptr; // null, or not ready: raster files only
    bool engineReady = false;
    QString settingsFile; // the INI file of the three settings
    QString helpFile;     // Twinview.pdf beside the program
};

class CTwinviewDlg : public CResizingDialog {
    Q_OBJECT

public:
    static constexpr int kBlinkIntervalMs = 500;

    explicit CTwinviewDlg(const TwinviewDlgContext& context, QWidget* parent = nullptr);
    ~CTwinviewDlg() override;

    void SetFiles(const QString& file1, const QString& file2);

    int ViewMode() const { return m_viewMode; }
    const TwinviewSettings& Settings() const { return m_settings; }
    CImageCtrl* View() const { return m_view; }
    // A control or toolbar button by its number; null when absent.
    QWidget* Control(int id) const;
    QAction* CommandAction(int command) const;
    // The "?" menu button; null when string 7001 is empty.
    QToolButton* HelpMenuButton() const { return m_helpMenuButton; }
    QTimer& BlinkTimer() { return m_blinkTimer; }
    const QImage& FirstBitmap() const { return m_first; }
    const QImage& SecondBitmap() const { return m_second; }
    const QImage& DifferenceBitmap() const { return m_difference; }
    // The picture of the highlight mode, made when first shown.
    const QImage& HighlightBitmap() const { return m_highlight; }
    // What the last comparison found: the count and share of differing
    // pixels, or the two sizes when they differ.
    QLabel* StatusLine() const { return m_statusLine; }
    const CCompareCommand& Comparison() const { return m_compare; }

public slots:
    // The commands of the toolbars, the buttons and the context menu.
    void OnCommand(int command);
    void OnCompare();
    void OnSelectFile(int which);
    void OnSettings();
    void OnAbout();
    void OnHelp();
    void OnBlinkTimer();
    void OnFilesDropped(int row, const QStringList& files);
    // Cancel, Esc and the close box save the settings; OK (Enter) does not.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void CreateToolBars();
    void CreateHelpMenu();
    void CreateCompareKey();
    void AcceptDrops();
    void SetTabOrder();
    void PlaceControls();
    void RegisterLayout();
    QPushButton* NewButton(int id, int textId);
    void ShowMode(int mode);
    void StartBlinking();
    const QImage* BitmapOfMode(int mode);
    const QImage* HighlightPicture();
    void ApplyOutcome(CompareOutcome outcome);
    void ShowSummary(const CompareOutcome& outcome);
    void UpdateCommandStates();
    void UpdateTitle();
    void SaveSettings() const;
    void RestoreGeometry();
    void SaveGeometry() const;

    TwinviewDlgContext m_context;
    TwinviewSettings m_settings;
    CCompareCommand m_compare;
    QImage m_first;
    QImage m_second;
    QImage m_difference;
    QImage m_highlight;
    int m_viewMode = -1;
    CBlinker m_blinker;
    QTimer m_blinkTimer;

    QLineEdit* m_file1 = nullptr;
    QLineEdit* m_file2 = nullptr;
    CImageCtrl* m_view = nullptr;
    CToolBarEx* m_viewBar = nullptr;
    CToolBarEx* m_modeBar = nullptr;
    QToolButton* m_helpMenuButton = nullptr;
    QLabel* m_statusLine = nullptr;
    CFileDropTarget* m_drops = nullptr;
    std::map<int, QWidget*> m_controls;
};

// The real user interface: Qt's message boxes, file and colour dialogs, and
// the desktop's "open" for documents.
#pragma once

#include "user_interface.h"

#include <QPointer>
#include <QWidget>

class CQtUserInterface : public IUserInterface {
public:
    // The main window, parent of every box and brought back to the front
    // after rendering. May be set late (it is made after this object).
    void SetMainWindow(QWidget* window) { m_window = window; }

    void ShowMessage(const UserMessage& message, const QString& caption) override;
    QString OpenFileName(const QString& title, const QStringList& filters) override;
    std::optional<QColor> ChooseColour(const QColor& initial, const QString& title) override;
    int RunModal(QDialog& dialog) override;
    bool OpenDocument(const QString& path) override;
    void BringToFront() override;

private:
    QPointer<QWidget> m_window;
};

// Message texts keep the line ends of the string tables ("\r\n"); a box
// wants "\n".
QString DisplayText(const QString& text);

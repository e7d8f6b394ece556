// Everything through which Twinview waits for the user: message boxes, file
// and colour pickers, its own modal dialogs, and the desktop's handling of
// documents. The program shows real windows; tests put a recorder in its
// place, so that no test ever waits on a modal window.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;

struct UserMessage {
    int stringId = 0; // the text's number; 0 for a text of the engine
    QString text;
};

class IUserInterface {
public:
    virtual ~IUserInterface() = default;

    // A box with one OK button and an exclamation icon.
    virtual void ShowMessage(const UserMessage& message, const QString& caption) = 0;
    // The path of an existing file the user picked; empty when cancelled.
    virtual QString OpenFileName(const QString& title, const QStringList& filters) = 0;
    // The colour the user picked, starting at `initial`; none when cancelled.
    virtual std::optional<QColor> ChooseColour(const QColor& initial, const QString& title) = 0;
    // Runs one of the program's own dialogs modally; its result code.
    virtual int RunModal(QDialog& dialog) = 0;
    // Opens a document with the desktop's application for it.
    virtual bool OpenDocument(const QString& path) = 0;
    // Brings the main window back to the front after the engine had it.
    virtual void BringToFront() = 0;
};

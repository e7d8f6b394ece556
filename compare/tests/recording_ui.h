// A user interface that records what the program asks and answers from a
// script, so that no test waits on a modal window.
#pragma once

#include "user_interface.h"

#include <QDialog>

#include <functional>
#include <vector>

struct ShownMessage {
    int stringId;
    QString text;
    QString caption;
};

class RecordingUi : public IUserInterface {
public:
    void ShowMessage(const UserMessage& message, const QString& caption) override
    {
        messages.push_back({message.stringId, message.text, caption});
    }
    QString OpenFileName(const QString& title, const QStringList& filters) override
    {
        fileDialogTitle = title;
        fileDialogFilters = filters;
        return fileToPick;
    }
    std::optional<QColor> ChooseColour(const QColor& initial, const QString&) override
    {
        colourDialogStart = initial;
        return colourToPick;
    }
    int RunModal(QDialog& dialog) override
    {
        ++modalDialogs;
        lastDialogTitle = dialog.windowTitle();
        return onModal ? onModal(dialog) : QDialog::Rejected;
    }
    bool OpenDocument(const QString& path) override
    {
        openedDocuments.push_back(path);
        return true;
    }
    void BringToFront() override { ++broughtToFront; }

    std::vector<int> Ids() const
    {
        std::vector<int> ids;
        for (const ShownMessage& m : messages)
            ids.push_back(m.stringId);
        return ids;
    }

    // Script.
    QString fileToPick;
    std::optional<QColor> colourToPick;
    std::function<int(QDialog&)> onModal;

    // Records.
    std::vector<ShownMessage> messages;
    QString fileDialogTitle;
    QStringList fileDialogFilters;
    QColor colourDialogStart;
    int modalDialogs = 0;
    QString lastDialogTitle;
    std::vector<QString> openedDocuments;
    int broughtToFront = 0;
};

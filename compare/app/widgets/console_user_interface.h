// The user interface of a run without a user (the -screenshot switch):
// messages go to standard output, and every question is answered "cancel".
#pragma once

#include "user_interface.h"

#include <QStringList>

class CConsoleUserInterface : public IUserInterface {
public:
    void ShowMessage(const UserMessage& message, const QString& caption) override;
    QString OpenFileName(const QString&, const QStringList&) override { return {}; }
    std::optional<QColor> ChooseColour(const QColor&, const QString&) override { return std::nullopt; }
    int RunModal(QDialog& dialog) override;
    bool OpenDocument(const QString&) override { return false; }
    void BringToFront() override {}

    // The numbers of the messages shown so far.
    const QList<int>& Shown() const { return m_shown; }

private:
    QList<int> m_shown;
};

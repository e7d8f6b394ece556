#include "console_user_interface.h"

#include "qt_user_interface.h"

#include <QDialog>

#include <cstdio>

void CConsoleUserInterface::ShowMessage(const UserMessage& message, const QString& caption)
{
    m_shown << message.stringId;
    std::printf("%s: %s\n", caption.toLocal8Bit().constData(), DisplayText(message.text).toLocal8Bit().constData());
    std::fflush(stdout);
}

int CConsoleUserInterface::RunModal(QDialog&)
{
    return QDialog::Rejected;
}

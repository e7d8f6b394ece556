#include "qt_user_interface.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QUrl>

namespace {

// The wait cursor of a running command is lifted while the user reads a
// box, and put back afterwards.
class CursorForUser {
public:
    CursorForUser() : m_waiting(QGuiApplication::overrideCursor() != nullptr)
    {
        if (m_waiting)
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~CursorForUser()
    {
        if (m_waiting)
            QGuiApplication::restoreOverrideCursor();
    }
    CursorForUser(const CursorForUser&) = delete;
    CursorForUser& operator=(const CursorForUser&) = delete;

private:
    bool m_waiting;
};

} // namespace

QString DisplayText(const QString& text)
{
    QString display = text;
    display.replace("\r\n", "\n");
    return display.trimmed();
}

void CQtUserInterface::ShowMessage(const UserMessage& message, const QString& caption)
{
    CursorForUser cursor;
    QMessageBox box(QMessageBox::Warning, caption, DisplayText(message.text), QMessageBox::Ok, m_window);
    box.exec();
}

QString CQtUserInterface::OpenFileName(const QString& title, const QStringList& filters)
{
    QFileDialog dialog(m_window, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<QColor> CQtUserInterface::ChooseColour(const QColor& initial, const QString& title)
{
    QColorDialog dialog(initial, m_window);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

int CQtUserInterface::RunModal(QDialog& dialog)
{
    CursorForUser cursor;
    return dialog.exec();
}

bool CQtUserInterface::OpenDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void CQtUserInterface::BringToFront()
{
    if (!m_window)
        return;
    m_window->raise();
    m_window->activateWindow();
}

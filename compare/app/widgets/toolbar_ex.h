// A flat toolbar of 32 x 32 buttons whose tool tips are the texts of their
// command numbers, followed by the command's key; the buttons take the
// keyboard focus with Tab.
#pragma once

#include <QToolBar>

#include <map>

class IStrings;

class CToolBarEx : public QToolBar {
    Q_OBJECT

public:
    CToolBarEx(const IStrings& strings, QWidget* parent = nullptr);

    // A checkable button for `command` with the icon at `iconPath`; the
    // command's keys trigger it anywhere in the window.
    QAction* AddCommand(int command, const QString& iconPath);
    // Null when the toolbar has no such command.
    QAction* Action(int command) const;

signals:
    void commandTriggered(int command);

private:
    const IStrings& m_strings;
    std::map<int, QAction*> m_actions;
};

#include "toolbar_ex.h"

#include "command_shortcuts.h"
#include "text_table.h"

#include <QIcon>
#include <QKeySequence>

CToolBarEx::CToolBarEx(const IStrings& strings, QWidget* parent) : QToolBar(parent), m_strings(strings)
{
    setIconSize(QSize(32, 32));
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

QAction* CToolBarEx::AddCommand(int command, const QString& iconPath)
{
    const QString text = m_strings.Get(command);
    QAction* action = addAction(QIcon(iconPath), text);
    const QList<QKeySequence> keys = ShortcutsOfCommand(command);
    action->setShortcuts(keys);
    action->setToolTip(TipWithShortcut(text, keys));
    action->setCheckable(true);
    action->setData(command);
    // The checked state follows the command states, not the click.
    connect(action, &QAction::triggered, this, [this, action, command] {
        action->setChecked(!action->isChecked());
        emit commandTriggered(command);
    });
    // Tab reaches every button, and Space or Enter presses it.
    if (QWidget* button = widgetForAction(action))
        button->setFocusPolicy(Qt::TabFocus);
    m_actions[command] = action;
    return action;
}

QAction* CToolBarEx::Action(int command) const
{
    const auto found = m_actions.find(command);
    return found == m_actions.end() ? nullptr : found->second;
}

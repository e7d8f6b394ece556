#include "command_shortcuts.h"

#include "string_ids.h"

QList<QKeySequence> ShortcutsOfCommand(int command)
{
    switch (command) {
    case ids::kCompare: return {QKeySequence(Qt::Key_F5)};
    case ids::kShowFirst: return {QKeySequence(Qt::CTRL | Qt::Key_1)};
    case ids::kShowSecond: return {QKeySequence(Qt::CTRL | Qt::Key_2)};
    case ids::kShowDifferences: return {QKeySequence(Qt::CTRL | Qt::Key_3)};
    case ids::kBlink: return {QKeySequence(Qt::CTRL | Qt::Key_4)};
    case ids::kHighlight: return {QKeySequence(Qt::CTRL | Qt::Key_5)};
    // Ctrl+= too: on many keyboards "+" needs Shift, "=" is the same key.
    case ids::kZoomIn: return {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)};
    case ids::kZoomOut: return {QKeySequence(Qt::CTRL | Qt::Key_Minus)};
    case ids::kZoomFullResolution: return {QKeySequence(Qt::CTRL | Qt::Key_0)};
    case ids::kZoomToWindow: return {QKeySequence(Qt::CTRL | Qt::Key_F)};
    case ids::kZoomToDifferences: return {QKeySequence(Qt::CTRL | Qt::Key_D)};
    default: return {};
    }
}

QString TipWithShortcut(const QString& tip, const QList<QKeySequence>& keys)
{
    if (keys.isEmpty() || keys.first().isEmpty())
        return tip;
    return QStringLiteral("%1 (%2)").arg(tip, keys.first().toString(QKeySequence::NativeText));
}

// The keys of the main window's commands, and tool tips that name them.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The keys of `command` (1004, the view modes, the zoom commands), the one
// shown in tips first; empty for a command without keys.
QList<QKeySequence> ShortcutsOfCommand(int command);

// "Zoom in (Ctrl++)": the tip with the first key, as the platform writes
// it; the tip alone when there is no key.
QString TipWithShortcut(const QString& tip, const QList<QKeySequence>& keys);

// Files dropped on the main window's file rows.
#pragma once

#include <QStringList>

class QMimeData;

// The local files of a drop, in the order given, when the drop holds one or
// two of them and each is a file Twinview compares; empty otherwise (a
// drop of text, of remote URLs, of a directory, of three files), so that
// the window can refuse the drop while it is dragged.
QStringList DroppedFiles(const QMimeData& data);

// Lets files be dropped on widgets of the main window's file rows: a drag
// of one or two files Twinview compares is accepted, anything else refused
// while it is dragged.
#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

class CFileDropTarget : public QObject {
    Q_OBJECT

public:
    explicit CFileDropTarget(QObject* parent = nullptr);

    // Takes drops on `widget` for file row `row` (1 or 2).
    void Watch(QWidget* widget, int row);

signals:
    // The dropped files (one or two) on file row `row`.
    void filesDropped(int row, const QStringList& files);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

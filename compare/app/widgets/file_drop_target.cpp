#include "file_drop_target.h"

#include "dropped_files.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace {

const char* const kRowProperty = "twinviewFileRow";

// Accepts or refuses a drag or drop by its contents; true when accepted.
bool Judge(QDropEvent& event)
{
    if (DroppedFiles(*event.mimeData()).isEmpty()) {
        event.ignore();
        return false;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
    return true;
}

} // namespace

CFileDropTarget::CFileDropTarget(QObject* parent) : QObject(parent) {}

void CFileDropTarget::Watch(QWidget* widget, int row)
{
    widget->setAcceptDrops(true);
    widget->setProperty(kRowProperty, row);
    widget->installEventFilter(this);
}

// Drags of URLs are decided here; the widget's own handling never sees them
// (a line edit would insert "file:///..."). Plain text still goes to it.
bool CFileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    const bool dragOrDrop =
        event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop;
    if (!dragOrDrop)
        return QObject::eventFilter(watched, event);
    const QMimeData* data = static_cast<QDropEvent*>(event)->mimeData();
    if (!data || !data->hasUrls())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: Judge(*static_cast<QDropEvent*>(event)); return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (Judge(*drop))
            emit filesDropped(watched->property(kRowProperty).toInt(), DroppedFiles(*drop->mimeData()));
        return true;
    }
    default: return QObject::eventFilter(watched, event);
    }
}

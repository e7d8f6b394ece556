#include "image_ctrl.h"

#include "command_states.h"
#include "string_ids.h"
#include "text_table.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

QRect ToQRect(const IntRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

IntPoint ToPoint(const QPointF& p)
{
    return {static_cast<int>(p.x()), static_cast<int>(p.y())};
}

bool IsDragButton(Qt::MouseButton button)
{
    return button == Qt::LeftButton || button == Qt::MiddleButton;
}

void SetBar(QScrollBar* bar, const ScrollBarState& state)
{
    // Disabled rather than hidden, so that the client keeps its size.
    bar->setEnabled(state.Enabled());
    bar->setRange(0, state.Enabled() ? state.range - state.page : 0);
    bar->setPageStep(std::max(state.page, 1));
    bar->setSingleStep(1);
    bar->setValue(state.position);
}

} // namespace

CImageCtrl::CImageCtrl(const IStrings& strings, QWidget* parent) : QAbstractScrollArea(parent), m_strings(strings)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Window);
    UpdateScrollBars();
}

void CImageCtrl::Reset()
{
    m_bitmap = nullptr;
    m_dragging = false;
    m_model.Reset();
    AfterZoom();
}

void CImageCtrl::SetDifferenceBox(const IntRect& inclusiveBox)
{
    m_model.SetDifferenceBox(inclusiveBox);
}

void CImageCtrl::ShowBitmap(const QImage* bitmap)
{
    m_bitmap = bitmap && !bitmap->isNull() ? bitmap : nullptr;
    if (m_bitmap) {
        m_model.SetClientSize(viewport()->width(), viewport()->height());
        m_model.ShowBitmap(m_bitmap->width(), m_bitmap->height());
    }
    AfterZoom();
}

void CImageCtrl::ZoomIn()
{
    m_model.ZoomIn();
    AfterZoom();
}

void CImageCtrl::ZoomOut()
{
    m_model.ZoomOut();
    AfterZoom();
}

void CImageCtrl::ZoomToWindow()
{
    m_model.ZoomToWindow();
    AfterZoom();
}

void CImageCtrl::FullResolution()
{
    m_model.FullResolution();
    AfterZoom();
}

void CImageCtrl::ZoomToDifferences()
{
    m_model.ZoomToDifferences();
    AfterZoom();
}

void CImageCtrl::CopyImage()
{
    if (!m_bitmap)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(m_bitmap->copy());
}

std::unique_ptr<QMenu> CImageCtrl::CreateContextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* copy = menu->addAction(m_strings.Get(ids::kCopyImage), this, &CImageCtrl::CopyImage);
    copy->setData(ids::kCopyImage);
    copy->setEnabled(ContextItemEnabled(ids::kCopyImage, m_bitmap != nullptr, m_model.State()));
    menu->addSeparator();
    AddMenuItem(*menu, ids::kMenuZoomIn, ids::kZoomIn);
    AddMenuItem(*menu, ids::kMenuZoomOut, ids::kZoomOut);
    AddMenuItem(*menu, ids::kMenuZoomToWindow, ids::kZoomToWindow);
    AddMenuItem(*menu, ids::kMenuZoomFullResolution, ids::kZoomFullResolution);
    AddMenuItem(*menu, ids::kMenuZoomToDifferences, ids::kZoomToDifferences);
    return menu;
}

void CImageCtrl::AddMenuItem(QMenu& menu, int item, int command)
{
    QAction* action = menu.addAction(m_strings.Get(item), this, [this, command] { emit commandRequested(command); });
    action->setData(item);
    action->setEnabled(ContextItemEnabled(item, m_bitmap != nullptr, m_model.State()));
}

void CImageCtrl::paintEvent(QPaintEvent*)
{
    if (!m_bitmap)
        return;
    QPainter painter(viewport());
    const PaintPlan plan = m_model.Plan();
    const QRect destination = ToQRect(plan.destination);
    const QRegion margins = QRegion(viewport()->rect()).subtracted(destination);
    for (const QRect& margin : margins)
        painter.fillRect(margin, Qt::gray);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(destination, *m_bitmap, ToQRect(plan.source));
}

void CImageCtrl::resizeEvent(QResizeEvent*)
{
    m_model.Resize(viewport()->width(), viewport()->height());
    AfterZoom();
}

void CImageCtrl::mousePressEvent(QMouseEvent* event)
{
    if (!IsDragButton(event->button()))
        return;
    m_dragging = true;
    m_dragPoint = ToPoint(event->position());
    setFocus(Qt::MouseFocusReason);
}

void CImageCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const IntPoint point = ToPoint(event->position());
    m_model.Drag(m_dragPoint, point);
    m_dragPoint = point;
    UpdateScrollBars();
    viewport()->update();
}

void CImageCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (IsDragButton(event->button()))
        m_dragging = false;
}

void CImageCtrl::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int delta = event->angleDelta().y();
    // A sideways turn (touchpads) is no zoom at all.
    if (!m_bitmap || delta == 0)
        return;
    if (delta < 0) {
        ZoomOut();
        return;
    }
    const std::optional<IntPoint> under = m_model.WheelZoomIn(ToPoint(event->position()));
    AfterZoom();
    if (under)
        QCursor::setPos(viewport()->mapToGlobal(QPoint(under->x, under->y)));
}

void CImageCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    setFocus(Qt::PopupFocusReason);
    std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(event->globalPos());
}

void CImageCtrl::scrollContentsBy(int dx, int dy)
{
    if (m_updatingBars)
        return;
    if (dx != 0)
        m_model.ScrollHorizontally(horizontalScrollBar()->value());
    if (dy != 0)
        m_model.ScrollVertically(verticalScrollBar()->value());
    UpdateScrollBars();
    viewport()->update();
}

void CImageCtrl::AfterZoom()
{
    UpdateScrollBars();
    viewport()->update();
    emit zoomStateChanged(m_model.State());
}

void CImageCtrl::UpdateScrollBars()
{
    m_updatingBars = true;
    SetBar(horizontalScrollBar(), m_model.HorizontalBar());
    SetBar(verticalScrollBar(), m_model.VerticalBar());
    m_updatingBars = false;
}

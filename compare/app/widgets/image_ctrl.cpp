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
    m_wheel.Clear();
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
        const QSize client = Device().ToDevice(viewport()->size());
        m_model.SetClientSize(client.width(), client.height());
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
    // The plan is in device pixels; so is the painter from here on.
    const CDevicePixels device = Device();
    painter.scale(1.0 / device.Ratio(), 1.0 / device.Ratio());
    const PaintPlan plan = m_model.Plan();
    const QRect destination = ToQRect(plan.destination);
    const QRect client(QPoint(0, 0), device.ToDevice(viewport()->size()));
    const QRegion margins = QRegion(client).subtracted(destination);
    for (const QRect& margin : margins)
        painter.fillRect(margin, Qt::gray);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(destination, *m_bitmap, ToQRect(plan.source));
}

void CImageCtrl::resizeEvent(QResizeEvent*)
{
    FollowClientSize();
}

// Moved to a screen of another pixel ratio, the view has as many logical
// pixels as before but not as many device pixels.
bool CImageCtrl::event(QEvent* event)
{
    if (event->type() == QEvent::ScreenChangeInternal)
        FollowClientSize();
    return QAbstractScrollArea::event(event);
}

void CImageCtrl::FollowClientSize()
{
    const QSize client = Device().ToDevice(viewport()->size());
    m_model.Resize(client.width(), client.height());
    AfterZoom();
}

void CImageCtrl::mousePressEvent(QMouseEvent* event)
{
    if (!IsDragButton(event->button()))
        return;
    m_dragging = true;
    m_dragPoint = Device().ToDevice(event->position());
    setFocus(Qt::MouseFocusReason);
}

void CImageCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const IntPoint point = Device().ToDevice(event->position());
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

// Each whole notch of the turn zooms one step; small steps of fine wheels
// and touchpads add up to a notch first.
void CImageCtrl::wheelEvent(QWheelEvent* event)
{
    event->accept();
    const int delta = event->angleDelta().y();
    // A sideways turn (touchpads) is no zoom at all.
    if (!m_bitmap || delta == 0)
        return;
    const int notches = m_wheel.Add(delta);
    if (notches < 0) {
        for (int i = 0; i < -notches; ++i)
            m_model.ZoomOut();
        AfterZoom();
    } else if (notches > 0) {
        WheelZoomIn(notches, event->position());
    }
}

// Zooms in at the mouse: the bitmap point under it stays under it, the
// pointer following where the view had to move it.
void CImageCtrl::WheelZoomIn(int notches, QPointF position)
{
    const CDevicePixels device = Device();
    IntPoint point = device.ToDevice(position);
    bool moved = false;
    for (int i = 0; i < notches; ++i) {
        const std::optional<IntPoint> under = m_model.WheelZoomIn(point);
        if (under) {
            point = *under;
            moved = true;
        }
    }
    AfterZoom();
    if (moved)
        QCursor::setPos(viewport()->mapToGlobal(device.ToLogical(point)));
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

CDevicePixels CImageCtrl::Device() const
{
    return CDevicePixels(viewport()->devicePixelRatioF());
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

// The image view: shows one bitmap with zoom, scroll bars, dragging with the
// left or middle button, the wheel, and a context menu. Its zoom model
// counts in device pixels: at full resolution one bitmap pixel is one pixel
// of the screen, on HiDPI screens too.
#pragma once

#include "device_pixels.h"
#include "wheel_notches.h"
#include "zoom_model.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <memory>

class IStrings;
class QMenu;

class CImageCtrl : public QAbstractScrollArea {
    Q_OBJECT

public:
    CImageCtrl(const IStrings& strings, QWidget* parent = nullptr);

    // Forgets the bitmap and the difference box (a new comparison begins).
    void Reset();
    void SetDifferenceBox(const IntRect& inclusiveBox);
    // Shows `bitmap` (not owned; null shows nothing). The first bitmap after
    // Reset sets the zoom; later ones keep zoom and position.
    void ShowBitmap(const QImage* bitmap);
    const QImage* Bitmap() const { return m_bitmap; }
    const CZoomModel& Model() const { return m_model; }
    // The wheel's turn not yet completed to a notch.
    const CWheelNotches& Wheel() const { return m_wheel; }

    void ZoomIn();
    void ZoomOut();
    void ZoomToWindow();
    void FullResolution();
    void ZoomToDifferences();
    // Puts a copy of the shown bitmap on the clipboard.
    void CopyImage();

    // The context menu, its items greyed for the present state.
    std::unique_ptr<QMenu> CreateContextMenu();

signals:
    // After every zoom change.
    void zoomStateChanged(int state);
    // A context menu item asks the main window for one of its commands.
    void commandRequested(int command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    CDevicePixels Device() const;
    void FollowClientSize();
    void WheelZoomIn(int notches, QPointF position);
    void AfterZoom();
    void UpdateScrollBars();
    void AddMenuItem(QMenu& menu, int item, int command);

    const IStrings& m_strings;
    CZoomModel m_model;
    const QImage* m_bitmap = nullptr;
    bool m_dragging = false;
    IntPoint m_dragPoint;
    bool m_updatingBars = false;
    CWheelNotches m_wheel;
};

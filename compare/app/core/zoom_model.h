// Which part of a bitmap the image view shows, and at what scale: zooming,
// fitting, panning and scrolling, without a window, so that tests can drive
// it. Sizes and positions are in bitmap pixels unless named "client" (the
// pixels of the view's drawing area).
#pragma once

#include "int_rect.h"

#include <optional>

// 0: full resolution, part of the bitmap hidden; 1: another scale, part
// hidden; 2: the whole bitmap visible at another scale; 3: the whole bitmap
// visible at full resolution.
enum ZoomState { kZoomFullPartial = 0, kZoomScaledPartial = 1, kZoomScaledWhole = 2, kZoomFullWhole = 3 };

struct IntPoint {
    int x = 0;
    int y = 0;
    bool operator==(const IntPoint& other) const { return x == other.x && y == other.y; }
};

struct ScrollBarState {
    int range = 0;    // the bitmap's width or height
    int page = 0;     // the view rectangle's width or height
    int position = 0; // its left or top
    bool Enabled() const { return page < range; }
};

// Where the view rectangle of the bitmap is drawn in the client area.
struct PaintPlan {
    IntRect source;      // the view rectangle
    IntRect destination; // in client pixels; the rest of the client is margin
};

class CZoomModel {
public:
    static constexpr double kZoomStep = 1.2;

    // Forgets the bitmap, the difference box and fit mode; scale 1.
    void Reset();
    void SetClientSize(int width, int height);
    // A new client size: fit again in fit mode, else keep centre and scale.
    void Resize(int width, int height);
    // The differing pixels, both ends included.
    void SetDifferenceBox(const IntRect& inclusiveBox);

    // Shows a bitmap of this size. The first one since Reset is zoomed to the
    // differences when they are known, else to the window; later ones keep
    // the zoom and position. True for the first.
    bool ShowBitmap(int width, int height);

    void ZoomToWindow();
    void FullResolution();
    // Without a difference box (the files were equal) this fits the window.
    void ZoomToDifferences();
    void ZoomIn();
    void ZoomOut();

    // A drag of the mouse from `from` to `to` (client pixels): the bitmap
    // follows the mouse.
    void Drag(IntPoint from, IntPoint to);
    // A wheel turn away from the user at `client`: zooms in there. Returns
    // where the bitmap point under the mouse now lies, when the mouse was
    // over the bitmap.
    std::optional<IntPoint> WheelZoomIn(IntPoint client);
    void ScrollHorizontally(int position);
    void ScrollVertically(int position);

    bool HasBitmap() const { return m_bitmapWidth > 0 && m_bitmapHeight > 0; }
    int State() const { return m_state; }
    double Scale() const { return m_scale; }
    IntPoint Centre() const { return m_centre; }
    const IntRect& View() const { return m_view; }
    bool FitMode() const { return m_fitMode; }
    bool DifferencesKnown() const { return m_differencesKnown; }
    ScrollBarState HorizontalBar() const;
    ScrollBarState VerticalBar() const;
    PaintPlan Plan() const;
    // The bitmap point under a client point; none outside the bitmap.
    std::optional<IntPoint> ClientToBitmap(IntPoint client) const;
    IntPoint BitmapToClient(IntPoint bitmap) const;

private:
    IntPoint MapToBitmap(IntPoint client) const;
    IntRect WholeBitmap() const { return {0, 0, m_bitmapWidth, m_bitmapHeight}; }
    void LeaveFitMode();
    void Fit();
    void Place();
    void Clamp();
    void UpdateState();
    void ClampCentre(double scale);
    int HalfClientWidth(double scale) const;
    int HalfClientHeight(double scale) const;

    int m_bitmapWidth = 0;
    int m_bitmapHeight = 0;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    double m_scale = 1.0;
    IntPoint m_centre;
    IntRect m_view;
    IntRect m_differenceBox;
    bool m_differencesKnown = false;
    bool m_fitMode = false;
    bool m_firstShown = false;
    int m_state = kZoomScaledPartial;
};

// The order in which blinking shows the two bitmaps: the second first, then
// in turn. The phase is kept when blinking stops, so blinking again goes on
// where it left off; only the first blink ever starts with the second.
#pragma once

#include <optional>

class CBlinker {
public:
    enum class Bitmap { First, Second };

    // Blinking starts (the caller starts its 500 ms timer).
    void Start() { m_active = true; }
    // A new comparison: a timer still running no longer changes the picture.
    void Clear() { m_active = false; }
    bool Active() const { return m_active; }

    // One timer tick: the bitmap to show now, none while inactive.
    std::optional<Bitmap> Tick();

private:
    bool m_active = false;
    Bitmap m_next = Bitmap::Second;
};

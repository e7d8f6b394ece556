// Turns wheel events into whole notches. A classic mouse wheel sends 120
// units (one notch) per event; high-resolution wheels and touchpads send
// many small steps, which add up to a notch before anything zooms.
#pragma once

class CWheelNotches {
public:
    static constexpr int kUnitsPerNotch = 120;
    // The most notches one event may turn: a forged or runaway delta of
    // millions of units must not zoom for seconds.
    static constexpr int kMostNotchesPerEvent = 10;

    // Adds one event's delta (positive: away from the user) and returns the
    // whole notches it completes, keeping the rest for the next event. A
    // turn in the other direction drops what was left of the last one.
    int Add(int delta);
    // Forgets the rest (the bitmap changed, or the wheel left the view).
    void Clear() { m_rest = 0; }
    int Rest() const { return m_rest; }

private:
    int m_rest = 0;
};

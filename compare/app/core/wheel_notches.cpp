#include "wheel_notches.h"

#include <algorithm>

int CWheelNotches::Add(int delta)
{
    if ((delta > 0 && m_rest < 0) || (delta < 0 && m_rest > 0))
        m_rest = 0;
    // Both terms are below 2^31 in size; their sum may not be.
    const long long total = static_cast<long long>(m_rest) + delta;
    const long long notches = total / kUnitsPerNotch; // rounds toward zero
    m_rest = static_cast<int>(total - notches * kUnitsPerNotch);
    return static_cast<int>(std::clamp<long long>(notches, -kMostNotchesPerEvent, kMostNotchesPerEvent));
}

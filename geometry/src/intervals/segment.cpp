#include <cmath>
#include <initializer_list>

#include "core/tolerances.h"
#include "tessaly/intervals.h"

using tessaly::kLengthTolerance;

G3Segment::G3Segment(const double* p, const double* q, int u, int s, void* data, int index)
    : m_UserData(data), m_U(u), m_S(s), m_Index(index)
{
    // The start is the end with the smaller s coordinate, p on a tie.
    m_Reversed = q[s] < p[s];
    const double* start = m_Reversed ? q : p;
    const double* end = m_Reversed ? p : q;
    for (int axis = 0; axis < 3; ++axis) {
        m_Start[axis] = start[axis];
        m_End[axis] = end[axis];
    }
    const double du = m_End[u] - m_Start[u];
    const double ds = m_End[s] - m_Start[s];
    m_Length = std::hypot(du, ds);
    if (m_Length > kLengthTolerance) {
        m_A = ds / m_Length;
        m_B = -du / m_Length;
        m_C = -(m_A * m_Start[u] + m_B * m_Start[s]);
        m_DominantAxis = std::fabs(m_A) > std::fabs(m_B) ? s : u;
    } else {
        m_A = ds;
        m_B = -du;
        m_C = 0.0;
        m_DominantAxis = u;
    }
    for (int axis : {u, s}) {
        m_Lower[axis] = std::fmin(m_Start[axis], m_End[axis]);
        m_Upper[axis] = std::fmax(m_Start[axis], m_End[axis]);
    }
}

#include "app/TimerPrecision.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <timeapi.h>
#elif defined(__linux__)
#include <sys/prctl.h>
#endif

namespace velor {

TimerPrecision::TimerPrecision() {
#ifdef _WIN32
    m_raised = timeBeginPeriod(1) == TIMERR_NOERROR;
#elif defined(__linux__)
    const int previous = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    if (previous > 0) {
        m_previous = static_cast<unsigned long>(previous);
        m_raised = prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0) == 0;
    }
#endif
}

TimerPrecision::~TimerPrecision() {
    if (!m_raised) {
        return;
    }
#ifdef _WIN32
    timeEndPeriod(1);
#elif defined(__linux__)
    prctl(PR_SET_TIMERSLACK, m_previous, 0, 0, 0);
#endif
}

}  // namespace velor

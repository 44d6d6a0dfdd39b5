#include "cli/platform/TimerSlack.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace velor::cli {

void TightenTimerSlack() {
#ifdef __linux__
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
#endif
}

}  // namespace velor::cli

#pragma once
// The commands that talk to devices ask the kernel for tight timers before any thread starts.

namespace velor::cli {

// Every read ends by a 1 ms gap timer; the default 50 us slack on it costs throughput. Inherited
// by the threads started afterwards. Does nothing where the kernel has no such setting.
void TightenTimerSlack();

}  // namespace velor::cli

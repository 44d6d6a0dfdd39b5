#pragma once
// The Win32 backend with the maker of its transfer events in the caller's hand, so that a test can
// let event creation fail the way CreateEventA does when the process runs out of handles.

#include <functional>
#include <memory>

#include "serial/SerialBackend.h"

namespace velor {

// Returns a new manual-reset, signalled event handle, or null on failure.
using TEventFactory = std::function<void*()>;

std::unique_ptr<ISerialBackend> MakeWin32Backend(TEventFactory newEvent);

}  // namespace velor

#pragma once
// The one place where the window catches what a handler raised: the error box of the window
// system's default handler. Nothing else swallows exceptions.

#include <functional>

#include "app/Host.h"

namespace velor {

// Runs handler; an exception that ends it is shown with host.ShowError (full-stop rule applied).
// Returns false when the handler ended with an exception.
bool RunHandler(IHost& host, const std::function<void()>& handler);

}  // namespace velor

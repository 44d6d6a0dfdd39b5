#include "mainform/RunHandler.h"

#include <exception>

#include "app/Conversions.h"

namespace velor {

bool RunHandler(IHost& host, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        host.ShowError(ErrorBoxText(e.what()));
        return false;
    }
}

}  // namespace velor

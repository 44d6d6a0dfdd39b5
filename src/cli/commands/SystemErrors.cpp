#include "cli/commands/SystemErrors.h"

#include "app/Conversions.h"
#include "cli/Commands.h"
#include "firmware/ReadTextFile.h"
#include "serial/EComPort.h"
#include "skin/TsGauge.h"

namespace velor::cli {

int ExitCodeOfErrors(IHost& host, const std::function<int()>& operation) {
    return ExitCodeOfErrors(host, nullptr, operation);
}

int ExitCodeOfErrors(IHost& host, const std::function<std::string(const EComPort&)>& portHint,
                     const std::function<int()>& operation) {
    try {
        return operation();
    } catch (const EComPort& e) {
        const std::string hint = portHint ? portHint(e) : std::string();
        host.ShowError(ErrorBoxText(e.what()) + (hint.empty() ? "" : "\n" + hint));
        return kExitPortError;
    } catch (const EConvertError& e) {
        host.ShowError(ErrorBoxText(e.what()));
    } catch (const ERangeError& e) {
        host.ShowError(ErrorBoxText(e.what()));
    } catch (const EFOpenError& e) {
        host.ShowError(ErrorBoxText(e.what()));
    }
    return kExitRefused;
}

}  // namespace velor::cli

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

int ExitCodeOfErrors(IHost& host, const std::function<PortErrorLines(const EComPort&)>& portHint,
                     const std::function<int()>& operation) {
    try {
        return operation();
    } catch (const EComPort& e) {
        const PortErrorLines lines = portHint ? portHint(e) : PortErrorLines{};
        host.ShowError((lines.before.empty() ? "" : lines.before + "\n") + ErrorBoxText(e.what()) +
                       (lines.after.empty() ? "" : "\n" + lines.after));
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

#include "protocol/PortSession.h"

#include "app/Conversions.h"
#include "protocol/PortSetup.h"
#include "serial/BaudRates.h"

namespace velor {

PortSession::PortSession(MainWindowModel& form, IHost& host,
                         std::shared_ptr<const FirmwareImage>& image)
    : m_session(form, host, m_port, image) {
    m_dispatcher.SetErrorReport([this, &host](const std::string& message) {
        const std::string text = ErrorBoxText(message);
        m_session.Events().OnPortErrorReport(text);
        host.ShowError(text);
    });
    m_port.SetDispatcher(m_dispatcher);
    ApplyFormSettings(m_port);
    form.cbBaudRate.Items = BaudRateItems();
}

void ChoosePort(MainWindowModel& form, const std::string& port, int baudIndex) {
    form.cbPort.Items = {port};
    form.cbPort.ItemIndex = 0;
    form.cbBaudRate.Items = BaudRateItems();
    form.cbBaudRate.ItemIndex = baudIndex;
}

}  // namespace velor

#include "protocol/DeviceSession.h"

#include "protocol/Flashing.h"
#include "protocol/Identification.h"
#include "protocol/Texts.h"

namespace velor {

namespace {

// Marks the window busy with a device operation for as long as it runs, exceptions included.
class ActivityScope {
  public:
    ActivityScope(MainWindowModel& form, DeviceActivity activity) : m_form(form) {
        m_form.Activity = activity;
    }
    ~ActivityScope() { m_form.Activity = DeviceActivity::Idle; }
    ActivityScope(const ActivityScope&) = delete;
    ActivityScope& operator=(const ActivityScope&) = delete;

    void Switch(DeviceActivity activity) { m_form.Activity = activity; }

  private:
    MainWindowModel& m_form;
};

SessionOutcome OutcomeOf(FlashResult result) {
    switch (result) {
        case FlashResult::Completed:
            return SessionOutcome::Done;
        case FlashResult::Refused:
            return SessionOutcome::Refused;
        case FlashResult::Failed:
            return SessionOutcome::Failed;
        case FlashResult::Stopped:
            return SessionOutcome::Stopped;
    }
    return SessionOutcome::None;
}

// Identification ends without a description: at a gate, or stopped before its next command.
SessionOutcome OutcomeOf(IdentifyResult result) {
    return result == IdentifyResult::Stopped ? SessionOutcome::Stopped : SessionOutcome::Refused;
}

}  // namespace

DeviceSession::DeviceSession(MainWindowModel& form, IHost& host, TBComPort& port,
                             std::shared_ptr<const FirmwareImage>& image)
    : m_form(form),
      m_host(host),
      m_port(port),
      m_image(image),
      m_link(form, host, port, m_buffers, m_info),
      m_context{form, host, port, m_buffers, m_info, m_link, m_stop} {}

void DeviceSession::ButtonConectClick() {
    if (m_form.Activity != DeviceActivity::Idle) {
        return;
    }
    ActivityScope busy(m_form, DeviceActivity::Identifying);
    m_outcome = SessionOutcome::None;
    m_host.MessageBeep(BeepKind::Question);
    const IdentifyResult identified = IdentifyDevice(m_context, IdentifyVariant::Detect);
    if (identified != IdentifyResult::Described) {
        m_outcome = OutcomeOf(identified);
        return;
    }
    m_form.ButtonOpenHex.Enabled = true;
    m_host.MessageBeep(BeepKind::Asterisk);
    m_host.ShowMessage(texts::kDetectedHead + m_form.MemoAbout.Text());
    m_host.ShowMessage(texts::kDetectPaused);
    m_form.LabelNameOfHex = texts::kStatusOpenHex;
    m_form.Focus = FocusTarget::ButtonOpenHex;
    m_outcome = SessionOutcome::Done;
}

void DeviceSession::ButtonWriteClick() {
    if (m_form.Activity != DeviceActivity::Idle) {
        return;
    }
    ActivityScope busy(m_form, DeviceActivity::Identifying);
    m_outcome = SessionOutcome::None;
    m_flash = FlashState{};
    // The write keeps the image it was started with; one loaded meanwhile serves the next write.
    const std::shared_ptr<const FirmwareImage> image = m_image;
    const IdentifyResult identified = IdentifyDevice(m_context, IdentifyVariant::Write);
    if (identified != IdentifyResult::Described) {
        m_outcome = OutcomeOf(identified);
        return;
    }
    busy.Switch(DeviceActivity::Writing);
    const FlashResult result = FlashDevice(m_context, image, m_flash);
    m_outcome = OutcomeOf(result);
    if ((result == FlashResult::Completed || result == FlashResult::Failed) && m_image != image) {
        m_form.ButtonWrite.Enabled = true;
    }
}

void DeviceSession::StopKey() {
    if (m_form.ProgressbarReadWrite.Progress() == 0) {
        return;
    }
    m_buffers.AbortRequested = true;
    m_form.ButtonConect.Enabled = true;
    m_form.ButtonOpenHex.Enabled = true;
    m_form.ButtonWrite.Enabled = true;
    m_form.cbPort.Enabled = true;
    m_form.cbBaudRate.Enabled = true;
    m_form.LabelNameOfHex = texts::kStatusStopped;
    m_host.ShowMessage(texts::kStopped);
}

void DeviceSession::ResetKey() {
    if (m_form.Activity != DeviceActivity::Idle) {
        return;
    }
    m_outcome = SessionOutcome::None;
    OpenChosenPort(m_port, m_form);
    m_link.ResetDevice();
    m_port.ClosePort();
    m_host.ShowMessage(texts::kDeviceReset);
    m_outcome = SessionOutcome::Done;
}

}  // namespace velor

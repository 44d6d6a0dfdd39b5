// velor_session_*: one device on one port. Every operation builds its own window model, host,
// port and session on the calling thread (as the gang runs each device), so a session may be
// used from any thread, one operation at a time.
#include <algorithm>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/MainWindowModel.h"
#include "lib/LibHost.h"
#include "lib/LibImage.h"
#include "lib/LibSession.h"
#include "lib/SessionEventsBridge.h"
#include "lib/Utf8.h"
#include "protocol/PortSession.h"
#include "serial/BaudRates.h"
#include "velor/velor.h"

using velor::lib::HandleTag;
using velor::lib::SessionBody;

namespace {

SessionBody* Body(const velor_session* session) {
    return velor::lib::BodyOf<SessionBody>(const_cast<velor_session*>(session), HandleTag::Session);
}

// The body of a live session handle, or the status that says why there is none.
int Live(const velor_session* session, SessionBody*& body) {
    body = Body(session);
    if (body == nullptr) {
        return session == nullptr ? VELOR_E_NULL : VELOR_E_BAD_HANDLE;
    }
    return VELOR_OK;
}

// Whether this thread is running an operation of the session (inside its callback).
bool OnRunnerThread(const SessionBody& body) {
    return body.running && body.runner.load() == std::this_thread::get_id();
}

// Claims the session for one operation, or says why it cannot.
int Claim(SessionBody& body) {
    if (body.closed) {
        return VELOR_E_CLOSED;
    }
    bool expected = false;
    if (!body.running.compare_exchange_strong(expected, true)) {
        return OnRunnerThread(body) ? VELOR_E_REENTRANT : VELOR_E_BUSY;
    }
    body.runner = std::this_thread::get_id();
    body.stop = false;
    return VELOR_OK;
}

enum class Operation { Identify, Write, Reset };

// One operation from start to outcome on the calling thread.
void Run(SessionBody& body, Operation operation,
         std::shared_ptr<const velor::FirmwareImage> image) {
    velor::lib::SessionEventsBridge bridge(body.callback, body.user, body.stop);
    velor::lib::LibHost host;
    std::string escaped;
    try {
        velor::MainWindowModel form;
        velor::ChoosePort(form, body.port, body.baudIndex);
        velor::PortSession port(form, host, image);
        port.Session().SetStopRequest([&body] { return body.stop.load(); });
        const velor::ListenScope listening(port.Events(), bridge);
        host.SetTurnHandler([&port] { port.ServePending(); });
        try {
            switch (operation) {
                case Operation::Identify:
                    port.Session().ButtonConectClick();
                    break;
                case Operation::Write:
                    port.Session().ButtonWriteClick();
                    break;
                case Operation::Reset:
                    port.Session().ResetKey();
                    break;
            }
        } catch (const std::exception& e) {
            // The session told it as its end; the text stays for an end that never came.
            escaped = e.what();
        }
        host.SetTurnHandler(nullptr);
    } catch (const std::exception& e) {
        // Closing a port that vanished under it may raise as well.
        if (escaped.empty()) {
            escaped = e.what();
        }
    }

    const std::lock_guard<std::mutex> lock(body.resultMutex);
    velor_outcome& o = body.outcome;
    if (bridge.Ended()) {
        const velor::OperationEnded& end = bridge.End();
        o.kind = velor::lib::KindCode(end.Kind);
        o.reason = velor::lib::ReasonCode(end.Reason);
        o.port_message = end.PortMessage;
        o.os_error = end.OsError;
        o.bytes = end.Progress.Bytes;
        o.bytes_total = end.Progress.BytesTotal;
        o.failed_attempts = end.Calibration.FailedAttempts;
        o.erase_delay = end.Calibration.EraseDelay;
        o.write_delay = end.Calibration.WriteDelay;
        o.program_delay = end.Calibration.ProgramDelay;
        body.message = !end.Message.empty() ? end.Message : host.FirstError();
    } else {
        o = velor_outcome{VELOR_OUTCOME_ERROR, VELOR_REASON_ERROR, 0, 0, 0, 0, 0, 0, 0, 0};
        body.message = !host.FirstError().empty() ? host.FirstError() : escaped;
    }
    if (bridge.Identified()) {
        body.identified = true;
        body.device = bridge.Device();
    }
}

int Operate(velor_session* session, Operation operation, const velor_image* image) {
    SessionBody* body = nullptr;
    if (const int status = Live(session, body); status != VELOR_OK) {
        return status;
    }
    std::shared_ptr<const velor::FirmwareImage> firmware;
    if (operation == Operation::Write) {
        const auto* imageBody =
            velor::lib::BodyOf<const velor::lib::ImageBody>(image, HandleTag::Image);
        if (imageBody == nullptr) {
            return image == nullptr ? VELOR_E_NULL : VELOR_E_BAD_HANDLE;
        }
        firmware = imageBody->image;  // a refused load: the write says there is no image
    }
    const int claimed = Claim(*body);
    if (claimed != VELOR_OK) {
        return claimed;
    }
    int status = VELOR_OK;
    try {
        Run(*body, operation, std::move(firmware));
    } catch (...) {
        status = VELOR_E_INTERNAL;
    }
    body->runner = std::thread::id();
    body->running = false;
    return status;
}

// A call that must not come while an operation runs.
int IdleBody(velor_session* session, SessionBody*& body) {
    if (const int status = Live(session, body); status != VELOR_OK) {
        return status;
    }
    if (body->running) {
        return OnRunnerThread(*body) ? VELOR_E_REENTRANT : VELOR_E_BUSY;
    }
    return VELOR_OK;
}

}  // namespace

extern "C" {

int velor_session_open(const char* port, uint32_t baud, velor_session** out) {
    if (port == nullptr || out == nullptr) {
        return VELOR_E_NULL;
    }
    *out = nullptr;
    const std::string name(port);
    if (!velor::lib::IsUtf8(name)) {
        return VELOR_E_NOT_UTF8;
    }
    if (name.empty()) {
        return VELOR_E_INVALID;
    }
    int baudIndex = velor::kDefaultBaudIndex;
    if (baud != 0) {
        const auto& table = velor::kBaudRateTable;
        const auto found = std::find(table.begin(), table.end(), baud);
        if (found == table.end()) {
            return VELOR_E_INVALID;
        }
        baudIndex = static_cast<int>(found - table.begin());
    }
    try {
        auto handle = std::make_unique<velor_session>(HandleTag::Session);
        handle->body->port = name;
        handle->body->baudIndex = baudIndex;
        *out = handle.release();
        return VELOR_OK;
    } catch (...) {
        return VELOR_E_INTERNAL;
    }
}

int velor_session_set_events(velor_session* session, velor_event_fn callback, void* user) {
    SessionBody* body = nullptr;
    const int status = IdleBody(session, body);
    if (status != VELOR_OK) {
        return status;
    }
    body->callback = callback;
    body->user = user;
    return VELOR_OK;
}

int velor_session_identify(velor_session* session) {
    return Operate(session, Operation::Identify, nullptr);
}

int velor_session_write(velor_session* session, const velor_image* image) {
    return Operate(session, Operation::Write, image);
}

int velor_session_reset(velor_session* session) {
    return Operate(session, Operation::Reset, nullptr);
}

int velor_session_stop(velor_session* session) {
    SessionBody* body = nullptr;
    if (const int status = Live(session, body); status != VELOR_OK) {
        return status;
    }
    if (!body->running) {
        return VELOR_E_IDLE;
    }
    body->stop = true;
    return VELOR_OK;
}

int velor_session_outcome(const velor_session* session, velor_outcome* out) {
    SessionBody* body = nullptr;
    const int status = Live(session, body);
    if (status != VELOR_OK || out == nullptr) {
        return status != VELOR_OK ? status : VELOR_E_NULL;
    }
    const std::lock_guard<std::mutex> lock(body->resultMutex);
    *out = body->outcome;
    return VELOR_OK;
}

const char* velor_session_message(const velor_session* session) {
    const SessionBody* body = Body(session);
    if (body == nullptr) {
        return "";
    }
    const std::lock_guard<std::mutex> lock(body->resultMutex);
    return body->message.c_str();
}

int velor_session_device(const velor_session* session, velor_device* out) {
    SessionBody* body = nullptr;
    const int status = Live(session, body);
    if (status != VELOR_OK || out == nullptr) {
        return status != VELOR_OK ? status : VELOR_E_NULL;
    }
    const std::lock_guard<std::mutex> lock(body->resultMutex);
    if (!body->identified) {
        return VELOR_E_NO_DEVICE;
    }
    out->bootloader_version = body->device.BootloaderVersion.c_str();
    out->pages = body->device.Pages;
    out->blocks_per_page = body->device.BlocksPerPage;
    out->block_size = body->device.BlockSize;
    out->description = body->device.Description.c_str();
    return VELOR_OK;
}

int velor_session_close(velor_session* session) {
    SessionBody* body = nullptr;
    const int status = IdleBody(session, body);
    if (status != VELOR_OK) {
        return status;
    }
    body->closed = true;
    return VELOR_OK;
}

int velor_session_free(velor_session* session) {
    if (session == nullptr) {
        return VELOR_OK;
    }
    SessionBody* body = nullptr;
    const int status = IdleBody(session, body);
    if (status != VELOR_OK) {
        return status;
    }
    velor::lib::FreeHandle(session);
    return VELOR_OK;
}

}  // extern "C"

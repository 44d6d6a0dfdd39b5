// The version, the words of the codes and the port list.
#include <memory>
#include <string>
#include <vector>

#include "lib/Handles.h"
#include "protocol/SessionEvents.h"
#include "serial/PortDescription.h"
#include "velor/velor.h"

namespace velor::lib {

struct PortListBody {
    std::vector<std::string> names;
    std::vector<std::string> descriptions;
};

}  // namespace velor::lib

struct velor_port_list : velor::lib::Handle<velor::lib::PortListBody> {
    using Handle::Handle;
};

namespace {

using velor::OutcomeKind;
using velor::OutcomeReason;

const velor::lib::PortListBody* Body(const velor_port_list* list) {
    return velor::lib::BodyOf<const velor::lib::PortListBody>(list,
                                                              velor::lib::HandleTag::PortList);
}

}  // namespace

extern "C" {

const char* velor_version(void) {
    return VELOR_VERSION_TEXT;
}

const char* velor_status_text(int status) {
    switch (status) {
        case VELOR_OK:
            return "ok";
        case VELOR_E_NULL:
            return "a required pointer is NULL";
        case VELOR_E_CLOSED:
            return "the session is closed";
        case VELOR_E_BAD_HANDLE:
            return "not a live handle";
        case VELOR_E_BUSY:
            return "another operation runs on this session";
        case VELOR_E_REENTRANT:
            return "called from the session's own event callback";
        case VELOR_E_NOT_UTF8:
            return "a string is not valid UTF-8";
        case VELOR_E_INVALID:
            return "an argument is out of range";
        case VELOR_E_IDLE:
            return "nothing runs to stop";
        case VELOR_E_FILE:
            return "the firmware file cannot be read";
        case VELOR_E_REFUSED_TEXT:
            return "the firmware text was refused";
        case VELOR_E_PORT_LIST:
            return "the port list cannot be read";
        case VELOR_E_RANGE:
            return "an index past the end of the list";
        case VELOR_E_NO_DEVICE:
            return "no device identified yet";
        case VELOR_E_INTERNAL:
            return "an unexpected failure inside the library";
        default:
            return "unknown status";
    }
}

const char* velor_outcome_name(int kind) {
    switch (kind) {
        case VELOR_OUTCOME_DONE:
            return velor::OutcomeKindName(OutcomeKind::Done);
        case VELOR_OUTCOME_REFUSED:
            return velor::OutcomeKindName(OutcomeKind::Refused);
        case VELOR_OUTCOME_FAILED:
            return velor::OutcomeKindName(OutcomeKind::Failed);
        case VELOR_OUTCOME_STOPPED:
            return velor::OutcomeKindName(OutcomeKind::Stopped);
        case VELOR_OUTCOME_PORT_ERROR:
            return velor::OutcomeKindName(OutcomeKind::PortError);
        case VELOR_OUTCOME_ERROR:
            return velor::OutcomeKindName(OutcomeKind::Error);
        default:
            return "none";
    }
}

const char* velor_reason_name(int reason) {
    static constexpr OutcomeReason kReasons[] = {
        OutcomeReason::Done,
        OutcomeReason::NoReply,
        OutcomeReason::UnknownBootloader,
        OutcomeReason::SameRelease,
        OutcomeReason::NewerRelease,
        OutcomeReason::UnknownRelease,
        OutcomeReason::GarbledDescription,
        OutcomeReason::NoImage,
        OutcomeReason::FailureRule,
        OutcomeReason::StopRequest,
        OutcomeReason::PortBusy,
        OutcomeReason::PortMissing,
        OutcomeReason::PortLost,
        OutcomeReason::OtherError,
    };
    if (reason < 0 || reason >= static_cast<int>(std::size(kReasons))) {
        return "";
    }
    return velor::OutcomeReasonName(kReasons[reason]);
}

int velor_ports(velor_port_list** out) {
    if (out == nullptr) {
        return VELOR_E_NULL;
    }
    *out = nullptr;
    try {
        auto handle = std::make_unique<velor_port_list>(velor::lib::HandleTag::PortList);
        for (const velor::PortDescription& port : velor::DescribeSerialPorts()) {
            handle->body->names.push_back(port.Name);
            handle->body->descriptions.push_back(velor::DescriptionText(port));
        }
        *out = handle.release();
        return VELOR_OK;
    } catch (...) {
        return VELOR_E_PORT_LIST;
    }
}

size_t velor_port_list_count(const velor_port_list* list) {
    const auto* body = Body(list);
    return body ? body->names.size() : 0;
}

int velor_port_list_get(const velor_port_list* list, size_t index, const char** name,
                        const char** description) {
    const auto* body = Body(list);
    if (body == nullptr) {
        return list == nullptr ? VELOR_E_NULL : VELOR_E_BAD_HANDLE;
    }
    if (index >= body->names.size()) {
        return VELOR_E_RANGE;
    }
    if (name != nullptr) {
        *name = body->names[index].c_str();
    }
    if (description != nullptr) {
        *description = body->descriptions[index].c_str();
    }
    return VELOR_OK;
}

void velor_port_list_free(velor_port_list* list) {
    if (Body(list) != nullptr) {
        velor::lib::FreeHandle(list);
    }
}

}  // extern "C"

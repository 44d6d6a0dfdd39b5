#pragma once
// A port on the scriptable backend, with the test's handle on the backend's state.

#include <memory>
#include <string>

#include "serial/TBComPort.h"
#include "serial/platform/FakeBackend.h"

namespace velor::testing {

struct FakePort {
    std::shared_ptr<fake::State> state = std::make_shared<fake::State>();
    TBComPort port{fake::MakeBackend(state)};

    void Fail(fake::Op op) { state->Failing.insert(op); }
    void Heal() { state->Failing.clear(); }
    void ClearLog() { state->Calls.clear(); }
};

// The message an operation raised, or "" when it raised nothing.
template <typename F>
std::string MessageOf(F&& operation) {
    try {
        operation();
    } catch (const EComPort& e) {
        return e.what();
    }
    return "";
}

inline std::string Text(TComMessage m) {
    return ComMessageText(m);
}

}  // namespace velor::testing

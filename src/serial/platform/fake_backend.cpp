#include <algorithm>

#include "serial/platform/FakeBackend.h"

namespace velor::fake {

std::vector<std::string> State::CallNames() const {
    std::vector<std::string> names;
    for (const auto& call : Calls) {
        names.push_back(call.substr(0, call.find(' ')));
    }
    return names;
}

void State::PushEvent(uint32_t codes, IEventWait::Result result) {
    {
        std::lock_guard lock(Mutex);
        Events.push_back({result, codes});
    }
    EventsChanged.notify_all();
}

namespace {

class FakeEventWait final : public IEventWait {
  public:
    explicit FakeEventWait(std::shared_ptr<State> state) : m_state(std::move(state)) {}
    void RequestStop() override {
        {
            std::lock_guard lock(m_state->Mutex);
            m_stop = true;
        }
        m_state->EventsChanged.notify_all();
    }
    Result Wait(uint32_t& events) override {
        std::unique_lock lock(m_state->Mutex);
        ++m_state->WaitsStarted;
        m_state->EventsChanged.notify_all();
        m_state->EventsChanged.wait(lock, [&] { return m_stop || !m_state->Events.empty(); });
        if (m_stop)
            return Result::Stopped;
        const State::Event e = m_state->Events.front();
        m_state->Events.pop_front();
        events = e.Codes;
        return e.Result;
    }

  private:
    std::shared_ptr<State> m_state;
    bool m_stop = false;  // guarded by the state's mutex
};

class FakeIoBlock : public TIoBlock {
  public:
    explicit FakeIoBlock(std::shared_ptr<State> state) : m_state(std::move(state)) {
        std::lock_guard lock(m_state->Mutex);
        ++m_state->LiveIoBlocks;
    }
    ~FakeIoBlock() override {
        std::lock_guard lock(m_state->Mutex);
        --m_state->LiveIoBlocks;
    }
    uint32_t Pending = 0;  // bytes a pending transfer will report
    uint32_t Count = 0;

  private:
    std::shared_ptr<State> m_state;
};

class FakeBackend final : public ISerialBackend {
  public:
    explicit FakeBackend(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    TOpenStatus Open(const std::string& port) override {
        std::lock_guard lock(m_state->Mutex);
        Log("Open " + port);
        if (m_state->Fails(Op::Open)) {
            return {TOpenResult::OtherError, "scripted"};
        }
        if (m_state->OpenAnswer.Result == TOpenResult::Opened) {
            m_state->DeviceHeld = true;
        }
        return m_state->OpenAnswer;
    }
    void Close() override {
        std::lock_guard lock(m_state->Mutex);
        if (m_state->DeviceHeld) {
            Log("Close");
        }
        m_state->DeviceHeld = false;
    }
    bool DeviceGone() override {
        std::lock_guard lock(m_state->Mutex);
        return m_state->Gone;
    }
    bool SetupComm(int32_t in, int32_t out) override {
        return Do(Op::SetupComm, "SetupComm " + std::to_string(in) + " " + std::to_string(out));
    }
    bool SetCommState(const TDcb& dcb) override {
        std::lock_guard lock(m_state->Mutex);
        Log("SetCommState " + std::to_string(dcb.BaudRate));
        if (!m_state->DeviceHeld || m_state->Fails(Op::SetCommState))
            return false;
        m_state->Dcb = dcb;
        return true;
    }
    bool SetCommTimeouts(const TDeviceTimeouts& t) override {
        std::lock_guard lock(m_state->Mutex);
        Log("SetCommTimeouts");
        if (!m_state->DeviceHeld || m_state->Fails(Op::SetCommTimeouts))
            return false;
        m_state->Timeouts = t;
        return true;
    }
    bool EscapeCommFunction(uint32_t f) override {
        return Do(Op::EscapeCommFunction, "EscapeCommFunction " + std::to_string(f));
    }
    bool PurgeComm(uint32_t flags) override {
        std::lock_guard lock(m_state->Mutex);
        Log("PurgeComm " + std::to_string(flags));
        if (!m_state->DeviceHeld || m_state->Fails(Op::PurgeComm))
            return false;
        if (flags & kPurgeRxClear)
            m_state->Input.clear();
        return true;
    }
    bool ClearCommError(uint32_t& errors, uint32_t& inQueue) override {
        std::lock_guard lock(m_state->Mutex);
        Log("ClearCommError");
        if (!m_state->DeviceHeld || m_state->Fails(Op::ClearCommError))
            return false;
        errors = m_state->ErrorFlags;
        m_state->ErrorFlags = 0;
        inQueue = static_cast<uint32_t>(m_state->Input.size());
        return true;
    }
    bool GetCommModemStatus(uint32_t& status) override {
        std::lock_guard lock(m_state->Mutex);
        Log("GetCommModemStatus");
        if (!m_state->DeviceHeld || m_state->Fails(Op::GetCommModemStatus))
            return false;
        status = m_state->ModemStatus;
        return true;
    }
    std::unique_ptr<TIoBlock> NewIoBlock() override {
        return std::make_unique<FakeIoBlock>(m_state);
    }
    TStartResult StartWrite(TIoBlock& block, const char* buffer, uint32_t count,
                            uint32_t& transferred) override {
        std::lock_guard lock(m_state->Mutex);
        Log("StartWrite " + std::to_string(count));
        if (!m_state->DeviceHeld || m_state->Fails(Op::StartWrite))
            return TStartResult::Failed;
        m_state->Written.append(buffer, count);
        return Finish(static_cast<FakeIoBlock&>(block), count, transferred);
    }
    TStartResult StartRead(TIoBlock& block, char* buffer, uint32_t count,
                           uint32_t& transferred) override {
        std::lock_guard lock(m_state->Mutex);
        Log("StartRead " + std::to_string(count));
        if (!m_state->DeviceHeld || m_state->Fails(Op::StartRead))
            return TStartResult::Failed;
        const auto n = std::min<std::size_t>(count, m_state->Input.size());
        std::copy_n(m_state->Input.begin(), n, buffer);
        m_state->Input.erase(0, n);
        return Finish(static_cast<FakeIoBlock&>(block), static_cast<uint32_t>(n), transferred);
    }
    bool WaitIoBlock(TIoBlock&) override {
        std::lock_guard lock(m_state->Mutex);
        Log("WaitIoBlock");
        return !m_state->Fails(Op::WaitIoBlock);
    }
    bool GetIoResult(TIoBlock& block, uint32_t& transferred) override {
        std::lock_guard lock(m_state->Mutex);
        Log("GetIoResult");
        auto& io = static_cast<FakeIoBlock&>(block);
        io.Count += io.Pending;
        io.Pending = 0;
        transferred = io.Count;
        return !m_state->Fails(Op::GetIoResult);
    }
    bool SetCommMask(uint32_t mask) override {
        return Do(Op::SetCommMask, "SetCommMask " + std::to_string(mask));
    }
    std::unique_ptr<IEventWait> NewEventWait() override {
        std::lock_guard lock(m_state->Mutex);
        if (m_state->NoEventWait)
            return nullptr;
        return std::make_unique<FakeEventWait>(m_state);
    }

  private:
    void Log(std::string call) { m_state->Calls.push_back(std::move(call)); }
    bool Do(Op op, std::string call) {
        std::lock_guard lock(m_state->Mutex);
        Log(std::move(call));
        return m_state->DeviceHeld && !m_state->Fails(op);
    }
    TStartResult Finish(FakeIoBlock& io, uint32_t count, uint32_t& transferred) {
        if (m_state->TransfersPend) {
            io.Count = 0;
            io.Pending = count;
            transferred = 0;
            return TStartResult::Pending;
        }
        io.Count = count;
        transferred = count;
        return TStartResult::Completed;
    }

    std::shared_ptr<State> m_state;
};

}  // namespace

std::unique_ptr<ISerialBackend> MakeBackend(std::shared_ptr<State> state) {
    return std::make_unique<FakeBackend>(std::move(state));
}

}  // namespace velor::fake

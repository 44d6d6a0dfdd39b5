#include "FaultPlan.h"

#include <algorithm>

namespace devsim {

FaultPlan::FaultPlan(FaultOptions options)
    : m_options(std::move(options)), m_random(m_options.seed) {}

bool FaultPlan::Chance(double p) {
    // Drawn even when p is 0, so that adding one kind of fault leaves the others' draws alone.
    const double roll = std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
    return roll < p;
}

FrameFate FaultPlan::Next(bool flashing) {
    FrameFate fate;
    ++m_frames;
    if (flashing) {
        ++m_flashingFrames;
        fate.unplug = m_options.unplugAfter > 0 && m_flashingFrames >= m_options.unplugAfter;
    }
    fate.lost = Chance(m_options.dropProb);
    fate.garble = Chance(m_options.garbageProb);
    if (Chance(m_options.lateProb)) {
        fate.extraDelayMs = m_options.lateMs;
    }
    if (Chance(m_options.noiseProb)) {
        const int count = std::uniform_int_distribution<int>(1, 6)(m_random);
        for (int i = 0; i < count; ++i) {
            fate.noise += static_cast<char>(std::uniform_int_distribution<int>(1, 255)(m_random));
        }
        // Before the reply in about half the bursts, otherwise somewhere inside it.
        if (Chance(0.5)) {
            fate.noiseSpot = std::uniform_real_distribution<double>(0.0, 1.0)(m_random);
        }
    }
    fate.dup = Chance(m_options.dupProb);
    const auto scripted = m_options.scripted.find(m_frames);
    if (scripted != m_options.scripted.end()) {
        const ScriptedFault& s = scripted->second;
        fate.lost = fate.lost || s.drop;
        fate.garbleAt = s.garbleAt;
        fate.garbleTo = s.garbleTo;
        fate.extraDelayMs += s.lateMs;
        fate.dup = fate.dup || s.dup;
        if (!s.noise.empty()) {
            fate.noise = s.noise;
            fate.noiseAt = s.noiseAt;
        }
    }
    return fate;
}

void FaultPlan::Corrupt(const FrameFate& fate, std::string& reply) {
    Garble(fate, reply);
    if (fate.dup) {
        reply += reply;
    }
    const std::size_t at =
        fate.noiseAt > 0
            ? std::min(fate.noiseAt - 1, reply.size())
            : static_cast<std::size_t>(fate.noiseSpot * static_cast<double>(reply.size()));
    reply.insert(std::min(at, reply.size()), fate.noise);
}

void FaultPlan::Garble(const FrameFate& fate, std::string& reply) {
    if (reply.empty()) {
        return;
    }
    if (fate.garbleAt >= 1 && fate.garbleAt <= reply.size()) {
        reply[fate.garbleAt - 1] = fate.garbleTo;
    }
    if (fate.garble) {
        const auto at = std::uniform_int_distribution<std::size_t>(0, reply.size() - 1)(m_random);
        // Another printable character: what a bit error on the line leaves in place of one.
        const char was = reply[at];
        char now = was;
        while (now == was) {
            now = static_cast<char>(std::uniform_int_distribution<int>(0x20, 0x7E)(m_random));
        }
        reply[at] = now;
    }
}

std::string_view FrameCode(std::string_view frame) {
    return frame.size() >= 3 ? frame.substr(1, 2) : std::string_view();
}

}  // namespace devsim

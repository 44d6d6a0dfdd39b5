#pragma once
// Seeded random faults of the line and the device, and faults scripted for given frames: which
// frames are lost, which replies arrive late, garbled, twice or with stray characters before or
// inside them, and when the device vanishes. The same seed and the same frames give the same
// faults.

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <string_view>

namespace devsim {

struct ScriptedFault {
    bool drop = false;
    std::size_t garbleAt = 0;  // the reply's character at this position (from 1) arrives as
    char garbleTo = 0;         // this one: "g8484;" with 3 and '5' arrives as "g8584;"
    int lateMs = 0;            // extra delay of the reply
    bool dup = false;          // the reply twice
    std::size_t noiseAt = 0;   // these stray characters before the reply's character at this
    std::string noise;         // position (from 1; past the end: after the reply)
};

struct FaultOptions {
    std::uint64_t seed = 1;
    double dropProb = 0;     // frame lost: no effect, no reply
    double garbageProb = 0;  // one character of the reply replaced; the effect is applied
    double lateProb = 0;     // reply delayed by lateMs; later replies queue behind it
    int lateMs = 200;
    double noiseProb = 0;  // a burst of stray characters before or inside the reply
    double dupProb = 0;    // the reply sent twice in one piece (a device, adapter or line echo)
    long unplugAfter = 0;  // the device vanishes at this erase/write/program frame (0: never)
    std::map<long, ScriptedFault> scripted;  // by frame number, counted from 1
};

// What befalls one frame and its reply.
struct FrameFate {
    bool lost = false;
    bool unplug = false;  // the device is gone before it handles the frame
    int extraDelayMs = 0;
    bool garble = false;
    std::size_t garbleAt = 0;  // the scripted garble
    char garbleTo = 0;
    bool dup = false;
    std::string noise;
    double noiseSpot = 0;     // where the noise falls: 0 before the reply, up to 1 before its end
    std::size_t noiseAt = 0;  // scripted: before the reply's character at this index instead
};

class FaultPlan {
  public:
    explicit FaultPlan(FaultOptions options);

    // The fate of the next frame; flashing: an erase, write or program frame.
    FrameFate Next(bool flashing);
    // Applies a fate's garbling to a reply.
    void Garble(const FrameFate& fate, std::string& reply);
    // Garbles, doubles and adds the noise: the reply as the line delivers it.
    void Corrupt(const FrameFate& fate, std::string& reply);

  private:
    bool Chance(double p);

    FaultOptions m_options;
    std::mt19937_64 m_random;
    long m_frames = 0;
    long m_flashingFrames = 0;
};

// The command code of a frame ("g" + two digits ...), empty when it has none.
std::string_view FrameCode(std::string_view frame);

}  // namespace devsim

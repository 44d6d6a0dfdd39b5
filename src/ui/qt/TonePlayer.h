#pragma once
// The tone player that lives in the loadable module velor-tones (Qt Multimedia), so that the
// program loads the audio stack only when the first tone plays.

namespace velor::ui {

class ITonePlayer {
  public:
    virtual ~ITonePlayer() = default;
    // Starts a sine of the frequency for the duration and returns at once.
    virtual void Start(int hertz, int milliseconds) = 0;
};

// The module's one entry point, ITonePlayer* (): a new player (null when the machine has no
// audio output), owned by the caller.
inline constexpr const char* kCreateTonePlayerSymbol = "velor_create_tone_player";

}  // namespace velor::ui

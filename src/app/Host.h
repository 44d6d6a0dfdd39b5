#pragma once
// Every side effect an operation of the flasher has on the world outside its model. The desktop
// window implements it with Qt, velor-flash for a terminal, tests with a recorder.

#include <string>

namespace velor {

// MessageBeep kinds, with the system's codes.
enum class BeepKind : unsigned {
    Hand = 16,
    Question = 32,
    Exclamation = 48,
    Asterisk = 64,
};

class IHost {
  public:
    virtual ~IHost() = default;

    // A modal box with the text (UTF-8), one "OK" button and the application title as caption;
    // returns when the operator has closed it.
    virtual void ShowMessage(const std::string& text) = 0;
    // The error box of an exception that ended a handler (the text already has its full stop).
    virtual void ShowError(const std::string& text) = 0;
    virtual void MessageBeep(BeepKind kind) = 0;
    // A tone of the given frequency and duration; returns when it has played.
    virtual void Tone(int hertz, int milliseconds) = 0;
    // A blocking sleep of the calling thread: nothing is handled meanwhile.
    virtual void Sleep(int milliseconds) = 0;
    // Lets the window system handle what is pending; key and click handlers may run nested here.
    virtual void ProcessEvents() = 0;
    virtual void BringToFront() = 0;
    // The time of day in the system's long time format (regional settings).
    virtual std::string LongTimeOfDay() = 0;
};

}  // namespace velor

#pragma once
// How long the skin takes to show or hide a window: the same both ways, shorter for dialogs and
// message boxes than for windows.

namespace velor {

enum class WindowKind { Window, Dialog };

inline constexpr int kWindowAnimationMs = 70;
inline constexpr int kDialogAnimationMs = 50;

constexpr int AnimationMs(WindowKind kind) {
    return kind == WindowKind::Dialog ? kDialogAnimationMs : kWindowAnimationMs;
}

}  // namespace velor

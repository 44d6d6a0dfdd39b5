#pragma once
// Makes the painted gauge and bar readable by assistive tools: progress-bar role, name, and the
// current value through the value interface.

namespace velor::ui {

// The skin manager installs the factory for its lifetime.
void InstallSkinAccessibility();
void RemoveSkinAccessibility();

}  // namespace velor::ui

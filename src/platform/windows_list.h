// Top-level windows of the whole desktop, by class name: how a second start of the launcher
// finds the first one.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace orlo::platform {

using WindowHandle = std::uintptr_t;

// Every top-level window whose class name equals `class_name`, in the desktop's order.
std::vector<WindowHandle> TopLevelWindowsOfClass(std::string_view class_name);

// Shows the window normally, makes it top-most and then not top-most again (without moving
// or sizing it) and gives it the foreground.
void BringWindowToFront(WindowHandle window);

}  // namespace orlo::platform

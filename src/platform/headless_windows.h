// What tests read back from the headless windows (Linux build only; Windows has real ones).
#pragma once
#include "platform/windows_list.h"

namespace orlo::platform {

// The window BringWindowToFront last acted on; 0 before any, or once that window is gone.
WindowHandle HeadlessFrontWindow();

// Whether the form was minimised and not shown again since.
bool HeadlessMinimized(WindowHandle window);

// The user closes the window: its close event runs when it has one, otherwise it hides.
void HeadlessClose(WindowHandle window);

}  // namespace orlo::platform

// The emulated display of the Linux build, which tests set up (Windows has a real one).
#pragma once
#include "platform/display.h"

namespace orlo::platform {

struct HeadlessDisplay {
    int width = 1280;  // the current mode
    int height = 1024;
    int bits = 32;
    int frequency = 60;
    std::vector<DisplayMode> modes;
    std::vector<DisplayDevice> devices;
    bool settings_readable = true;  // false: reading the current settings fails
    int change_result = 0;          // what a change of colour depth returns; only 0 applies it
    int changes = 0;                // how many changes were asked for
    std::string last_device = "-";  // the device the last read or change named ("" = current)
};

// The process's emulated display, made with defaults on first use.
HeadlessDisplay& HeadlessDisplayState();
// Back to the defaults: 32 bits, one primary device "\\.\DISPLAY1", a few modes that repeat
// sizes at 16 and 32 bits and two refresh rates.
void ResetHeadlessDisplay();

}  // namespace orlo::platform

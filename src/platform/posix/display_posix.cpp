// An emulated display: Linux builds have no desktop to query, and tests shape this one.
#include <algorithm>

#include "platform/display.h"
#include "platform/headless_display.h"

namespace orlo::platform {
namespace {

HeadlessDisplay DefaultDisplay() {
    HeadlessDisplay d;
    // As a real adapter lists them: every size at each depth and refresh rate.
    d.modes = {
        {640, 480, 16, 60},  {640, 480, 32, 60},   {800, 600, 16, 60},   {800, 600, 32, 60},
        {800, 600, 32, 75},  {1024, 768, 16, 60},  {1024, 768, 32, 60},  {1024, 768, 32, 75},
        {1280, 720, 32, 60}, {1280, 1024, 16, 60}, {1280, 1024, 32, 60},
    };
    d.devices = {{"\\\\.\\DISPLAY1", kDisplayPrimaryDevice | 1}};
    return d;
}

bool KnownDevice(const HeadlessDisplay& d, const std::string& device) {
    return device.empty() ||
           std::any_of(d.devices.begin(), d.devices.end(), [&](const DisplayDevice& x) { return x.name == device; });
}

}  // namespace

HeadlessDisplay& HeadlessDisplayState() {
    static HeadlessDisplay display = DefaultDisplay();
    return display;
}

void ResetHeadlessDisplay() { HeadlessDisplayState() = DefaultDisplay(); }

int DisplayBitsPerPixel() { return HeadlessDisplayState().bits; }

std::vector<DisplayMode> DisplayModes() { return HeadlessDisplayState().modes; }

std::vector<DisplayDevice> DisplayDevices() { return HeadlessDisplayState().devices; }

std::optional<DisplayMode> DisplaySettings(const std::string& device) {
    auto& d = HeadlessDisplayState();
    d.last_device = device;
    if (!d.settings_readable || !KnownDevice(d, device)) return std::nullopt;
    return DisplayMode{d.width, d.height, d.bits, d.frequency};
}

int ChangeDisplayBits(const std::string& device, int bits) {
    auto& d = HeadlessDisplayState();
    d.last_device = device;
    ++d.changes;
    // DISP_CHANGE_BADPARAM, as the system answers for a device it does not have.
    if (!KnownDevice(d, device)) return -5;
    if (d.change_result == 0) d.bits = bits;
    return d.change_result;
}

}  // namespace orlo::platform

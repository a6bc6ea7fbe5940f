// The display: colour depth, modes and devices, and changing the colour depth.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orlo::platform {

// Bits per pixel of the display device's drawing surface.
int DisplayBitsPerPixel();

struct DisplayMode {
    int width = 0;
    int height = 0;
    int bits = 0;
    int frequency = 0;
};
// Every mode the current display device offers, in the order the system lists them
// (sizes repeat at each colour depth and refresh rate).
std::vector<DisplayMode> DisplayModes();

// Display device state flag marking the primary device.
inline constexpr std::uint32_t kDisplayPrimaryDevice = 4;

struct DisplayDevice {
    std::string name;  // e.g. "\\.\DISPLAY1"
    std::uint32_t state_flags = 0;
};
std::vector<DisplayDevice> DisplayDevices();

// The current settings of the named device; an empty name means the current display.
// Empty when they cannot be read.
std::optional<DisplayMode> DisplaySettings(const std::string& device);

// Changes the device's colour depth for this session only (not stored in the registry).
// Returns the system's result code, 0 on success; an empty name means the current display.
int ChangeDisplayBits(const std::string& device, int bits);

}  // namespace orlo::platform

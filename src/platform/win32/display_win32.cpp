#include <windows.h>

#include <cwchar>
#include <memory>
#include <string_view>
#include <type_traits>

#include "platform/display.h"
#include "platform/win32/wide.h"

namespace orlo::platform {
namespace {

using UniqueDC = std::unique_ptr<std::remove_pointer_t<HDC>, decltype(&DeleteDC)>;

DEVMODEW EmptyDevMode() {
    DEVMODEW dm = {};
    dm.dmSize = sizeof dm;
    return dm;
}

DisplayMode ModeOf(const DEVMODEW& dm) {
    return {static_cast<int>(dm.dmPelsWidth), static_cast<int>(dm.dmPelsHeight), static_cast<int>(dm.dmBitsPerPel),
            static_cast<int>(dm.dmDisplayFrequency)};
}

}  // namespace

int DisplayBitsPerPixel() {
    UniqueDC dc(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr), &DeleteDC);
    if (!dc) return 0;
    return GetDeviceCaps(dc.get(), BITSPIXEL);
}

std::vector<DisplayMode> DisplayModes() {
    std::vector<DisplayMode> modes;
    DEVMODEW dm = EmptyDevMode();
    for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &dm); ++i) {
        modes.push_back(ModeOf(dm));
        dm = EmptyDevMode();
    }
    return modes;
}

std::vector<DisplayDevice> DisplayDevices() {
    std::vector<DisplayDevice> devices;
    DISPLAY_DEVICEW dd = {};
    dd.cb = sizeof dd;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &dd, 0); ++i) {
        // The name fills its 32 characters with no terminator when it is that long.
        devices.push_back({win32::Narrow(std::wstring_view(dd.DeviceName, wcsnlen(dd.DeviceName, 32))), dd.StateFlags});
        dd = {};
        dd.cb = sizeof dd;
    }
    return devices;
}

std::optional<DisplayMode> DisplaySettings(const std::string& device) {
    std::wstring name = win32::Widen(device);
    DEVMODEW dm = EmptyDevMode();
    if (!EnumDisplaySettingsW(device.empty() ? nullptr : name.c_str(), ENUM_CURRENT_SETTINGS, &dm)) return std::nullopt;
    return ModeOf(dm);
}

int ChangeDisplayBits(const std::string& device, int bits) {
    std::wstring name = win32::Widen(device);
    const wchar_t* device_name = device.empty() ? nullptr : name.c_str();
    // Start from the current mode so only the depth changes; without it, the system fills the
    // fields left out from the current mode anyway.
    DEVMODEW dm = EmptyDevMode();
    if (!EnumDisplaySettingsW(device_name, ENUM_CURRENT_SETTINGS, &dm)) {
        dm = EmptyDevMode();
        dm.dmFields = 0;
    }
    dm.dmBitsPerPel = static_cast<DWORD>(bits);
    dm.dmFields |= DM_BITSPERPEL;
    // Flags 0: for this session only, not written to the registry.
    return static_cast<int>(ChangeDisplaySettingsExW(device_name, &dm, nullptr, 0, nullptr));
}

}  // namespace orlo::platform

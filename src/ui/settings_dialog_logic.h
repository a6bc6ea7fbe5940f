// The game settings dialog without its window: the display-mode list and the copying between
// the launcher's game settings and what the dialog's controls hold.
#pragma once
#include <string>
#include <vector>

#include "core/launcher_state.h"
#include "platform/display.h"

namespace orlo::ui {

// "%dx%d" texts of the modes wider than 640, each size once, by width then height;
// {"800x600", "1024x768"} when there is none.
std::vector<std::string> EnumDisplayModes(const std::vector<platform::DisplayMode>& modes);

// What the dialog's controls hold.
struct SettingsDialogState {
    bool chkMainI = true;  // "经典界面", checked and disabled
    bool chkWindow = true;
    bool chkVBlank = true;
    bool chk3D = true;
    std::vector<std::string> screen_sizes;  // cbbScreenSize entries
    int screen_size_index = -1;             // selected entry, -1 for none
};

// Settings into the controls, before the dialog is shown. A size not in the list selects
// "1024x768", or else the first entry.
void LoadConfig(SettingsDialogState& dialog, const LauncherSettings& settings);

// The controls back into the settings when the dialog closes with OK; nothing otherwise.
// A selection that is not "<width>x<height>" leaves the stored size as it was.
void FormCloseQuery(const SettingsDialogState& dialog, bool ok, LauncherSettings& settings);

}  // namespace orlo::ui

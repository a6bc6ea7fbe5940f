// The launcher's top-level windows, created in their fixed order at start-up. The splash
// window comes first and is the application's main window: its class name is what a second
// start looks for, its caption is the title. The others are shells that the skin and the
// dialogs fill.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/client_app.h"
#include "platform/forms.h"

namespace orlo {

// The launcher's home directory (the executable's), recorded when the main window is made.
std::filesystem::path& uHomePath();

struct LauncherWindows {
    std::unique_ptr<platform::Form> splash;  // TSplashForm_Login_OrloM2
    std::unique_ptr<platform::Form> main;    // TMainForm
    std::vector<std::unique_ptr<platform::Form>> dialogs;
};

LauncherWindows CreateLauncherWindows(const std::string& title, TuClientApp& app);

}  // namespace orlo

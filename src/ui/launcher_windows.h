// The launcher's windows, created in their fixed order at start-up: the splash (backdrop)
// window first, as the application's main window; the skinned main window, which loads its skin
// and opens the controller; then the dialogs.
#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/client_app.h"
#include "core/startup.h"
#include "platform/forms.h"
#include "ui/main_form.h"
#include "ui/settings_form.h"
#include "ui/splash_form.h"

namespace orlo::ui {

// The launcher's home directory (the executable's), recorded when the main window is made.
std::filesystem::path& uHomePath();

struct LauncherWindows final : LauncherWindowsHandle {
    std::unique_ptr<TSplashForm> splash;  // TSplashForm_Login_OrloM2
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TFrmSetting> settings;
    std::vector<std::unique_ptr<platform::Form>> dialogs;  // the account dialogs' shells
    void Show() override { splash->form().Show(); }
    ~LauncherWindows() override;
};

// `skin_block` is the packed skin as the launcher file holds it (read from the executable when
// none is given).
std::unique_ptr<LauncherWindows> CreateLauncherWindows(const std::string& title,
                                                       TuClientApp& app,
                                                       std::optional<Bytes> skin_block = std::nullopt);

// What start-up needs from this layer.
LauncherParts DefaultLauncherParts();

}  // namespace orlo::ui

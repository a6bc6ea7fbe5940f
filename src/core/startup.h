// The launcher process, from entry to exit.
#pragma once
#include <functional>
#include <memory>
#include <string>

namespace orlo {

class TuClientApp;

// The windows of a running launcher, made by the user-interface layer.
class LauncherWindowsHandle {
  public:
    virtual ~LauncherWindowsHandle() = default;
    // Shows the application's main window (the splash), which shows the rest.
    virtual void Show() = 0;
};

// What start-up asks of the layers above it.
struct LauncherParts {
    // The colour-depth check, before any window exists.
    std::function<void()> prepare_display;
    // The windows in their fixed order; the main window loads its skin and opens the controller.
    std::function<std::unique_ptr<LauncherWindowsHandle>(const std::string& title, TuClientApp& app)> create_windows;
};

// Returns the process exit code.
int RunLauncher(const LauncherParts& parts);

// Makes the executable's directory the current one when it is not, so relative file
// operations work from a shortcut whose working directory is elsewhere.
void UseExecutableDirectory();

}  // namespace orlo

#include <windows.h>

#include "core/startup.h"
#include "ui/launcher_windows.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return orlo::RunLauncher(orlo::ui::DefaultLauncherParts());
    } catch (...) {
        return 1;
    }
}

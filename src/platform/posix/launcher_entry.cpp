#include "core/startup.h"
#include "ui/launcher_windows.h"

int main() {
    try {
        return orlo::RunLauncher(orlo::ui::DefaultLauncherParts());
    } catch (...) {
        return 1;
    }
}

#include <windows.h>

#include "core/startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return orlo::RunLauncher();
    } catch (...) {
        return 1;
    }
}

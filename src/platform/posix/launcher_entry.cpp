#include "core/startup.h"

int main() {
    try {
        return orlo::RunLauncher();
    } catch (...) {
        return 1;
    }
}

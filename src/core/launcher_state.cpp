#include "core/launcher_state.h"

namespace orlo {

LauncherSettings& g_Settings() {
    static LauncherSettings settings;
    return settings;
}

}  // namespace orlo

#include "core/launcher_state.h"

namespace orlo {

LauncherSettings& g_Settings() {
    static LauncherSettings settings;
    return settings;
}

std::vector<std::string>& RunningClients() {
    static std::vector<std::string> list;
    return list;
}

}  // namespace orlo

#include "core/startup.h"

#include "core/profile.h"

namespace orlo {

int RunLauncher() {
    // A launcher whose profile cannot be read ends quietly: there is nothing to show the
    // player that would help, and the operator sees it at once.
    if (!LoadExeInfo(ProcessProfile())) return 0;
    return 0;
}

}  // namespace orlo

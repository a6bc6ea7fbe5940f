#include "core/single_instance.h"

#include "core/format.h"
#include "platform/windows_list.h"

namespace orlo {

std::string InstanceMutexName(std::string_view title) {
    return Sprintf("_Orlo_LOGIN_%.*s", static_cast<int>(title.size()), title.data());
}

void ActivateRunningInstance() {
    for (platform::WindowHandle window : platform::TopLevelWindowsOfClass(kSplashClassName)) {
        platform::BringWindowToFront(window);
    }
}

}  // namespace orlo

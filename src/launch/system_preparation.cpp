#include "launch/system_preparation.h"

#include <string>

#include "platform/display.h"
#include "platform/firewall.h"
#include "platform/system.h"

namespace orlo {

int GetColorDepth() { return platform::DisplayBitsPerPixel(); }

void ForceTrueColor() {
    // The last device flagged primary wins; none means the current display.
    std::string device;
    for (const auto& d : platform::DisplayDevices())
        if (d.state_flags & platform::kDisplayPrimaryDevice) device = d.name;

    auto settings = platform::DisplaySettings(device);
    if (!settings || settings->bits == 32) return;

    int code = platform::ChangeDisplayBits(device, 32);
    if (code == 0) return;
    platform::ShowMessageBox(
        "由于您的显示器颜色位数被非法篡改,且尝试修正失败,游戏无法开启\r\n请您手动修改颜色位数为32位真彩色!"
        "\r\n错误原因:" +
            std::to_string(code),
        "提示", platform::MessageIcon::Error);
}

void AddFirewallException(const std::string& name, const std::filesystem::path& path) {
    platform::AddFirewallApplication(name, path);
}

}  // namespace orlo

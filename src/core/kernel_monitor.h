// The anti-cheat monitor: made with the client application object, reports through a callback
// that shows the text in red. Its watching is not written yet; the speed check is a switch.
#pragma once
#include <functional>
#include <string>

namespace orlo {

class TDMKernelMonitor {
  public:
    explicit TDMKernelMonitor(std::function<void(const std::string&)> on_report) : on_report_(std::move(on_report)) {}
    void SetSpeedCheck(bool on) { speed_check_ = on; }
    bool SpeedCheck() const { return speed_check_; }

  private:
    std::function<void(const std::string&)> on_report_;
    bool speed_check_ = false;
};

}  // namespace orlo

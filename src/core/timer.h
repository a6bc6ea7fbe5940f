// A timer in the style of the window framework: an interval, an enabled flag and a handler,
// running on the process's event loop.
#pragma once
#include <chrono>
#include <functional>
#include <optional>

#include "platform/event_loop.h"

namespace orlo {

class TTimer {
  public:
    TTimer(std::chrono::milliseconds interval,
           std::function<void()> on_timer,
           platform::EventLoop& loop = platform::MainLoop());
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    void SetEnabled(bool enabled);
    bool Enabled() const { return id_.has_value(); }
    void SetInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds Interval() const { return interval_; }

  private:
    std::chrono::milliseconds interval_;
    std::function<void()> on_timer_;
    platform::EventLoop& loop_;
    std::optional<platform::TimerId> id_;
};

}  // namespace orlo

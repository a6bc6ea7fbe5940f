#include "core/timer.h"

namespace orlo {

TTimer::TTimer(std::chrono::milliseconds interval, std::function<void()> on_timer, platform::EventLoop& loop)
    : interval_(interval), on_timer_(std::move(on_timer)), loop_(loop) {}

TTimer::~TTimer() { SetEnabled(false); }

void TTimer::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    if (enabled) {
        id_ = loop_.SetTimer(interval_, [this] {
            if (on_timer_) on_timer_();
        });
    } else {
        loop_.KillTimer(*id_);
        id_.reset();
    }
}

void TTimer::SetInterval(std::chrono::milliseconds interval) {
    interval_ = interval;
    if (Enabled()) {
        SetEnabled(false);
        SetEnabled(true);
    }
}

}  // namespace orlo

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "platform/event_loop.h"
#include "platform/system.h"

#include <atomic>
#include <cerrno>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <tuple>

namespace orlo::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Windows raises shorter intervals to this (USER_TIMER_MINIMUM); so do we, so that a 0 ms
// timer cannot starve the loop here either.
constexpr std::chrono::milliseconds kMinimumInterval{10};

template <typename F>
void RunGuarded(F& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

class PosixEventLoop final : public EventLoop {
  public:
    PosixEventLoop() : wake_fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~PosixEventLoop() override {
        if (wake_fd_ >= 0) close(wake_fd_);
    }

    TimerId SetTimer(std::chrono::milliseconds interval, std::function<void()> callback) override {
        TimerId id = next_timer_id_;
        while (id == 0 || timers_.count(id)) ++id;
        next_timer_id_ = id + 1;
        Timer timer;
        timer.interval = interval < kMinimumInterval ? kMinimumInterval : interval;
        timer.callback = std::make_shared<std::function<void()>>(std::move(callback));
        timers_[id] = std::move(timer);
        Schedule(id, Clock::now());
        return id;
    }

    void KillTimer(TimerId id) override {
        auto it = timers_.find(id);
        if (it == timers_.end()) return;
        schedule_.erase(it->second.slot);
        timers_.erase(it);
    }

    void Post(std::function<void()> task) override {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            wake = !wake_pending_;
            wake_pending_ = true;
        }
        if (wake) Wake();
    }

    void Quit() override {
        quit_ = true;
        Wake();
    }

    bool QuitRequested() const override { return quit_; }

    void Run() override {
        if (quit_) {
            // One turn: everything already pending, like draining the message queue without
            // waiting; work that keeps producing more work still ends once a pass finds nothing.
            while (Turn(false)) {
            }
            return;
        }
        while (!quit_) Turn(true);
    }

    std::uint32_t Now() const override { return TickCount(); }

    // A nested run, as a modal form makes: turns until `done` says so or the loop is ended.
    void RunUntil(const std::function<bool()>& done) {
        while (!quit_ && !done()) Turn(true);
    }

  private:
    // Due time, then a sequence number so timers due together fire in the order they were set.
    using Slot = std::tuple<Clock::time_point, std::uint64_t, TimerId>;

    struct Timer {
        std::chrono::milliseconds interval{};
        std::shared_ptr<std::function<void()>> callback;
        Slot slot;
    };

    void Schedule(TimerId id, Clock::time_point from) {
        auto& timer = timers_[id];
        timer.slot = Slot{from + timer.interval, ++sequence_, id};
        schedule_.insert(timer.slot);
    }

    void Wake() {
        if (wake_fd_ < 0) return;
        std::uint64_t one = 1;
        while (write(wake_fd_, &one, sizeof one) < 0 && errno == EINTR) {
        }
    }

    // Returns whether anything ran.
    bool Turn(bool wait) {
        int timeout = 0;
        if (wait) {
            timeout = -1;
            if (!schedule_.empty()) {
                auto due = std::get<0>(*schedule_.begin());
                auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()).count();
                timeout = left < 0 ? 0 : left > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(left);
            }
        }
        if (wake_fd_ >= 0) {
            pollfd p{wake_fd_, POLLIN, 0};
            int n = poll(&p, 1, timeout);
            if (n > 0 && (p.revents & POLLIN)) {
                // Drained before taking the batch: a post after this point writes again.
                std::uint64_t count = 0;
                while (read(wake_fd_, &count, sizeof count) < 0 && errno == EINTR) {
                }
            }
        }
        bool ran = RunTasks();
        return FireDueTimers() || ran;
    }

    bool RunTasks() {
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard lock(mutex_);
            batch.swap(tasks_);
            wake_pending_ = false;
        }
        for (auto& task : batch) RunGuarded(task);
        return !batch.empty();
    }

    bool FireDueTimers() {
        bool fired = false;
        const auto now = Clock::now();
        while (!schedule_.empty() && std::get<0>(*schedule_.begin()) <= now) {
            auto slot = *schedule_.begin();
            schedule_.erase(schedule_.begin());
            TimerId id = std::get<2>(slot);
            // Re-armed before the call, so the callback may kill it; counted from now, as
            // Windows does, so a stalled loop does not fire a burst of catch-up ticks.
            Schedule(id, now);
            auto callback = timers_[id].callback;
            RunGuarded(*callback);
            fired = true;
        }
        return fired;
    }

    int wake_fd_ = -1;
    std::map<TimerId, Timer> timers_;
    std::set<Slot> schedule_;
    std::uint64_t sequence_ = 0;
    TimerId next_timer_id_ = 1;
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    bool wake_pending_ = false;
    std::atomic<bool> quit_{false};
};

}  // namespace

std::unique_ptr<EventLoop> CreateEventLoop() { return std::make_unique<PosixEventLoop>(); }

void RunLoopUntil(EventLoop& loop, const std::function<bool()>& done) {
    if (auto* posix = dynamic_cast<PosixEventLoop*>(&loop)) posix->RunUntil(done);
}

}  // namespace orlo::platform

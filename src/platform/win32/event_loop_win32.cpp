#include <windows.h>

#include "platform/event_loop.h"
#include "platform/win32/handles.h"

#include <atomic>
#include <deque>
#include <map>
#include <mutex>

namespace orlo::platform {
namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
constexpr wchar_t kLoopClass[] = L"OrloEventLoopWindow";

// Exceptions must not unwind through the window procedure (and so through user32).
template <typename F>
void RunGuarded(F& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}

class Win32EventLoop final : public EventLoop {
  public:
    Win32EventLoop() {
        static std::once_flag registered;
        std::call_once(registered, [] {
            WNDCLASSEXW wc = {};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &Win32EventLoop::WindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = kLoopClass;
            RegisterClassExW(&wc);
        });
        // A message-only window: it receives timers and wake-ups and never shows up in the
        // desktop's list of top-level windows.
        window_ = win32::UniqueWindow(
            CreateWindowExW(0, kLoopClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this));
    }

    ~Win32EventLoop() override {
        if (!window_) return;
        for (const auto& [id, callback] : timers_) ::KillTimer(window_.get(), id);
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
        window_.reset();
    }

    TimerId SetTimer(std::chrono::milliseconds interval, std::function<void()> callback) override {
        if (!window_) return 0;
        TimerId id = next_timer_id_;
        while (id == 0 || timers_.count(id)) ++id;
        next_timer_id_ = id + 1;
        auto ms = interval.count() < 0 ? 0 : interval.count();
        UINT elapse = ms > 0x7FFFFFFF ? 0x7FFFFFFFu : static_cast<UINT>(ms);
        if (!::SetTimer(window_.get(), id, elapse, nullptr)) return 0;
        timers_[id] = std::make_shared<std::function<void()>>(std::move(callback));
        return id;
    }

    void KillTimer(TimerId id) override {
        if (timers_.erase(id) && window_) ::KillTimer(window_.get(), id);
    }

    void Post(std::function<void()> task) override {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            wake = !wake_pending_;
            wake_pending_ = true;
        }
        // One wake-up per batch: the handler takes every task queued until then.
        if (wake && window_) PostMessageW(window_.get(), kWakeMessage, 0, 0);
    }

    void Quit() override {
        quit_ = true;
        // Only needed when asked from another thread; on the loop's thread Run sees the flag
        // as soon as the current message returns.
        if (window_) PostMessageW(window_.get(), kWakeMessage, 0, 0);
    }

    bool QuitRequested() const override { return quit_; }

    void Run() override {
        MSG msg;
        if (quit_) {
            // One turn: whatever is pending now, including tasks posted before Run.
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            RunTasks();
            return;
        }
        while (!quit_) {
            BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) {
                quit_ = true;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    std::uint32_t Now() const override { return GetTickCount(); }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            if (message == WM_TIMER) {
                self->FireTimer(static_cast<TimerId>(wparam));
                return 0;
            }
            if (message == kWakeMessage) {
                self->RunTasks();
                return 0;
            }
        }
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }

    void FireTimer(TimerId id) {
        auto it = timers_.find(id);
        if (it == timers_.end()) return;
        // Held here so the callback survives killing its own timer.
        auto callback = it->second;
        RunGuarded(*callback);
    }

    void RunTasks() {
        std::deque<std::function<void()>> batch;
        {
            std::lock_guard lock(mutex_);
            batch.swap(tasks_);
            wake_pending_ = false;
        }
        for (auto& task : batch) RunGuarded(task);
    }

    win32::UniqueWindow window_;
    std::map<TimerId, std::shared_ptr<std::function<void()>>> timers_;
    TimerId next_timer_id_ = 1;
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
    bool wake_pending_ = false;
    std::atomic<bool> quit_{false};
};

}  // namespace

std::unique_ptr<EventLoop> CreateEventLoop() { return std::make_unique<Win32EventLoop>(); }

}  // namespace orlo::platform

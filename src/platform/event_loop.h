// The one event loop of the process, on the main thread: timers, tasks posted from any
// thread, and (on Windows) the window messages. Win32: the message loop with SetTimer and
// PostMessage. POSIX: a poll loop with the same behaviour.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace orlo::platform {

using TimerId = std::uint32_t;

class EventLoop {
  public:
    virtual ~EventLoop() = default;

    // A repeating timer on the loop's thread; kill it to stop it (also from its own callback).
    virtual TimerId SetTimer(std::chrono::milliseconds interval, std::function<void()> callback) = 0;
    virtual void KillTimer(TimerId id) = 0;

    // Runs `task` on the loop's thread at its next turn. Safe from any thread, also while the
    // loop is not running yet; tasks run in the order they were posted.
    virtual void Post(std::function<void()> task) = 0;

    // Ends Run after the current turn. Asked before Run, Run still makes one turn (handles
    // what is pending) and returns: that is how the launcher ends quietly at start-up.
    virtual void Quit() = 0;
    virtual bool QuitRequested() const = 0;

    // Runs until Quit. Must be called on the thread that created the loop.
    virtual void Run() = 0;

    // Milliseconds on the loop's clock (a monotonic tick count).
    virtual std::uint32_t Now() const = 0;
};

std::unique_ptr<EventLoop> CreateEventLoop();

// The process's loop, made on first use by the main thread.
EventLoop& MainLoop();

}  // namespace orlo::platform

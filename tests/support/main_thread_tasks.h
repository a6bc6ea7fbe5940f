// Stands in for the main loop's task queue: workers post, the test thread runs what arrived.
#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace orlo::testing {

class MainThreadTasks {
  public:
    std::function<void(std::function<void()>)> Poster() {
        return [this](std::function<void()> task) {
            std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
            cv_.notify_all();
        };
    }

    // Runs posted tasks on this thread until `done` holds or `limit` passes.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::vector<std::function<void()>> batch;
            {
                std::unique_lock lock(mutex_);
                cv_.wait_for(lock, std::chrono::milliseconds(20), [&] { return !tasks_.empty(); });
                batch.swap(tasks_);
            }
            for (auto& task : batch) task();
        }
        return true;
    }

  private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::function<void()>> tasks_;
};

}  // namespace orlo::testing

#include "platform/event_loop.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace orlo::platform {
namespace {

using namespace std::chrono_literals;

// A hung loop fails the test instead of hanging the run.
void RunWithDeadline(EventLoop& loop, bool& timed_out) {
    timed_out = false;
    TimerId deadline = loop.SetTimer(10s, [&] {
        timed_out = true;
        loop.Quit();
    });
    loop.Run();
    loop.KillTimer(deadline);
}

TEST(EventLoopTimers, FireInOrderOfDueTimeNotOfSetting) {
    auto loop = CreateEventLoop();
    std::string fired;
    // Set out of order on purpose; each fires once and kills itself.
    struct Case {
        char name;
        std::chrono::milliseconds interval;
    };
    const Case cases[] = {{'c', 90ms}, {'a', 20ms}, {'b', 50ms}};
    for (const auto& c : cases) {
        auto id = std::make_shared<TimerId>(0);
        *id = loop->SetTimer(c.interval, [&, id, name = c.name] {
            loop->KillTimer(*id);
            fired += name;
            if (fired.size() == 3) loop->Quit();
        });
        ASSERT_NE(*id, 0u);
    }
    bool timed_out;
    RunWithDeadline(*loop, timed_out);
    EXPECT_FALSE(timed_out);
    EXPECT_EQ(fired, "abc");
}

TEST(EventLoopTimers, RepeatUntilTheCallbackKillsItsOwnTimer) {
    auto loop = CreateEventLoop();
    int ticks = 0;
    int ticks_when_quit = -1;
    TimerId id = 0;
    // The captured string lives in the callback: the sanitizers see it if killing the timer
    // destroyed the running callback.
    id = loop->SetTimer(10ms, [&, text = std::string(64, 'x')] {
        ++ticks;
        if (ticks == 5) {
            loop->KillTimer(id);
            EXPECT_EQ(text.size(), 64u);
            // A new timer from inside a callback; by the time it fires, the killed one has had
            // every chance to fire again.
            loop->SetTimer(100ms, [&] {
                ticks_when_quit = ticks;
                loop->Quit();
            });
        }
    });
    bool timed_out;
    RunWithDeadline(*loop, timed_out);
    EXPECT_FALSE(timed_out);
    EXPECT_EQ(ticks_when_quit, 5);
}

TEST(EventLoopTimers, KillingOneTimerLeavesTheOthers) {
    auto loop = CreateEventLoop();
    int killed_ticks = 0;
    int kept_ticks = 0;
    TimerId killed = loop->SetTimer(10ms, [&] { ++killed_ticks; });
    loop->KillTimer(killed);
    loop->KillTimer(killed);  // twice, and an id never handed out, are both harmless
    loop->KillTimer(0xFFFF);
    loop->SetTimer(10ms, [&] {
        if (++kept_ticks == 3) loop->Quit();
    });
    bool timed_out;
    RunWithDeadline(*loop, timed_out);
    EXPECT_FALSE(timed_out);
    EXPECT_EQ(killed_ticks, 0);
    EXPECT_EQ(kept_ticks, 3);
}

TEST(EventLoopTimers, ThrowingCallbacksAndTasksDoNotEndTheLoop) {
    auto loop = CreateEventLoop();
    int throws = 0;
    loop->SetTimer(10ms, [&] {
        if (++throws < 3) throw std::runtime_error("timer");
        loop->Post([] { throw 42; });
        loop->Post([&] { loop->Quit(); });
    });
    bool timed_out;
    RunWithDeadline(*loop, timed_out);
    EXPECT_FALSE(timed_out);
    EXPECT_EQ(throws, 3);
}

TEST(EventLoopTasks, PostedFromSeveralThreadsRunOnTheLoopThreadInPostOrder) {
    auto loop = CreateEventLoop();
    constexpr int kThreads = 4;
    constexpr int kTasksEach = 500;
    const auto loop_thread = std::this_thread::get_id();
    std::vector<std::vector<int>> seen(kThreads);
    int total = 0;
    int off_thread = 0;
    std::atomic<bool> go{false};
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([&, t] {
            while (!go) std::this_thread::yield();
            for (int i = 0; i < kTasksEach; ++i) {
                loop->Post([&, t, i] {
                    if (std::this_thread::get_id() != loop_thread) ++off_thread;
                    seen[t].push_back(i);
                    if (++total == kThreads * kTasksEach) loop->Quit();
                });
                if (i % 50 == 0) std::this_thread::yield();
            }
        });
    }
    // Half of the posting happens before the loop runs, half while it does.
    go = true;
    std::this_thread::sleep_for(1ms);
    bool timed_out;
    RunWithDeadline(*loop, timed_out);
    for (auto& p : posters) p.join();
    EXPECT_FALSE(timed_out);
    EXPECT_EQ(off_thread, 0);
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE(t);
        ASSERT_EQ(seen[t].size(), static_cast<size_t>(kTasksEach));
        for (int i = 0; i < kTasksEach; ++i) ASSERT_EQ(seen[t][i], i);
    }
}

TEST(EventLoopTasks, PostedFromATaskRunAfterIt) {
    auto loop = CreateEventLoop();
    std::string order;
    loop->Post([&] {
        order += '1';
        loop->Post([&] {
            order += '3';
            loop->Quit();
        });
        order += '2';
    });
    bool timed_out;
    RunWithDeadline(*loop, timed_out);
    EXPECT_FALSE(timed_out);
    EXPECT_EQ(order, "123");
}

TEST(EventLoopQuit, BeforeRunMakesOneTurnThatRunsPendingTasks) {
    auto loop = CreateEventLoop();
    std::string order;
    bool slow_timer_fired = false;
    loop->SetTimer(60s, [&] { slow_timer_fired = true; });
    for (char c : std::string("abc")) loop->Post([&, c] { order += c; });
    EXPECT_FALSE(loop->QuitRequested());
    loop->Quit();
    EXPECT_TRUE(loop->QuitRequested());
    loop->Run();  // returns without waiting for the timer
    EXPECT_EQ(order, "abc");
    EXPECT_FALSE(slow_timer_fired);
    EXPECT_TRUE(loop->QuitRequested());
}

// Where the request to end comes from; Run returns in each case and nothing runs the timer
// that asked again.
enum class QuitFrom { Timer, Task, OtherThread };

class EventLoopQuitFrom : public testing::TestWithParam<QuitFrom> {};

TEST_P(EventLoopQuitFrom, EndsRun) {
    auto loop = CreateEventLoop();
    int ticks = 0;
    std::thread other;
    loop->SetTimer(10ms, [&] {
        ++ticks;
        switch (GetParam()) {
            case QuitFrom::Timer:
                loop->Quit();
                break;
            case QuitFrom::Task:
                loop->Post([&] { loop->Quit(); });
                break;
            case QuitFrom::OtherThread:
                if (!other.joinable()) other = std::thread([&] { loop->Quit(); });
                break;
        }
    });
    bool timed_out;
    RunWithDeadline(*loop, timed_out);
    if (other.joinable()) other.join();
    EXPECT_FALSE(timed_out);
    EXPECT_TRUE(loop->QuitRequested());
    if (GetParam() == QuitFrom::Timer) {
        EXPECT_EQ(ticks, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Sources,
                         EventLoopQuitFrom,
                         testing::Values(QuitFrom::Timer, QuitFrom::Task, QuitFrom::OtherThread),
                         [](const testing::TestParamInfo<QuitFrom>& info) {
                             switch (info.param) {
                                 case QuitFrom::Timer:
                                     return std::string("Timer");
                                 case QuitFrom::Task:
                                     return std::string("Task");
                                 case QuitFrom::OtherThread:
                                     return std::string("OtherThread");
                             }
                             return std::string("Unknown");
                         });

TEST(EventLoopClock, NowAndTickCountFollowRealTime) {
    auto loop = CreateEventLoop();
    std::uint32_t loop_start = loop->Now();
    std::uint32_t tick_start = TickCount();
    std::this_thread::sleep_for(50ms);
    // Lower bounds only; the tick count may be as coarse as 16 ms.
    EXPECT_GE(static_cast<std::uint32_t>(loop->Now() - loop_start), 30u);
    EXPECT_GE(static_cast<std::uint32_t>(TickCount() - tick_start), 30u);
}

}  // namespace
}  // namespace orlo::platform

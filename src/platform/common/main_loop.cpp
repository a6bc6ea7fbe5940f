#include "platform/event_loop.h"

namespace orlo::platform {

EventLoop& MainLoop() {
    static std::unique_ptr<EventLoop> loop = CreateEventLoop();
    return *loop;
}

}  // namespace orlo::platform

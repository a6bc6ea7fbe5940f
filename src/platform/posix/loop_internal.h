// What the headless half shares between its files.
#pragma once
#include <functional>

#include "platform/event_loop.h"

namespace orlo::platform {

// A nested run of the loop, as a modal form makes: until `done` or the loop's end.
void RunLoopUntil(EventLoop& loop, const std::function<bool()>& done);

}  // namespace orlo::platform

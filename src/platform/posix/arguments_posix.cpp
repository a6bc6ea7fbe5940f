#include "platform/arguments.h"

namespace orlo::platform {

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

}  // namespace orlo::platform

// Command-line arguments as UTF-8 (Windows hands narrow programs ANSI arguments).
#pragma once
#include <string>
#include <vector>

namespace orlo::platform {

std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace orlo::platform

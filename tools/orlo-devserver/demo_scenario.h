// The scenario served when no config is given: a small operator with three zones.
#pragma once
#include <string_view>

namespace orlo::devserver {

// A config text in the same format as --config files, so the demo also checks the parser.
std::string_view DemoConfig();

}  // namespace orlo::devserver

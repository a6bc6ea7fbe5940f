// Headless shell: records what would be opened; tests set what the registry and shell answer.
#include "platform/shell.h"

namespace orlo::platform {

std::vector<HeadlessShellCall>& HeadlessShellCalls() {
    static std::vector<HeadlessShellCall> calls;
    return calls;
}

std::string& HeadlessBrowserCommand() {
    static std::string command;
    return command;
}

int& HeadlessShellResultForVerbOpen() {
    static int result = 0;
    return result;
}

std::string DefaultBrowserCommand() { return HeadlessBrowserCommand(); }

int ShellOpen(const std::string& file, const std::string& parameters, bool verb_open) {
    HeadlessShellCalls().push_back({file, parameters, verb_open});
    return verb_open ? HeadlessShellResultForVerbOpen() : 0;
}

}  // namespace orlo::platform

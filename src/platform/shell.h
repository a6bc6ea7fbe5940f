// The shell's ways of opening things, and where the system says its web browser is.
#pragma once
#include <string>
#include <vector>

namespace orlo::platform {

// The default value of HKEY_CLASSES_ROOT "HTTP\shell\open\command"; empty when there is none.
std::string DefaultBrowserCommand();

// Opens `file` through the shell, with the verb "open" or the default verb, parameters and
// the normal show state. 0 on success, else the shell's error code (2 = file not found).
int ShellOpen(const std::string& file, const std::string& parameters, bool verb_open);

#ifndef _WIN32
// Headless: what ShellOpen was asked, and what the emulated registry and shell answer.
struct HeadlessShellCall {
    std::string file, parameters;
    bool verb_open;
};
std::vector<HeadlessShellCall>& HeadlessShellCalls();
std::string& HeadlessBrowserCommand();
int& HeadlessShellResultForVerbOpen();
#endif

}  // namespace orlo::platform

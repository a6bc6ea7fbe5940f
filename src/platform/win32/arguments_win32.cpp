#include <windows.h>
#include <shellapi.h>

#include "platform/arguments.h"
#include "platform/win32/wide.h"

namespace orlo::platform {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(win32::Narrow(wide[i]));
    LocalFree(wide);
    return out;
}

}  // namespace orlo::platform

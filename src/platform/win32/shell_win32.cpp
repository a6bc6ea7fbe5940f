#include <windows.h>
#include <shellapi.h>

#include "platform/shell.h"
#include "platform/win32/wide.h"

namespace orlo::platform {

std::string DefaultBrowserCommand() {
    wchar_t value[2048] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CLASSES_ROOT, L"HTTP\\shell\\open\\command", nullptr,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return win32::Narrow(value);
}

int ShellOpen(const std::string& file, const std::string& parameters, bool verb_open) {
    const std::wstring wfile = win32::Widen(file);
    const std::wstring wparams = win32::Widen(parameters);
    auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb_open ? L"open" : nullptr, wfile.c_str(),
                                                wparams.empty() ? nullptr : wparams.c_str(), nullptr, SW_SHOWNORMAL));
    return result > 32 ? 0 : static_cast<int>(result);
}

}  // namespace orlo::platform

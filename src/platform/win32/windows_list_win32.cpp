#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/windows_list.h"

#include <string>

namespace orlo::platform {
namespace {

struct Search {
    std::wstring class_name;
    std::vector<WindowHandle> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    // 256 is the longest class name Windows registers.
    wchar_t name[257] = {};
    int n = GetClassNameW(window, name, 257);
    try {
        if (n > 0 && search->class_name == std::wstring_view(name, static_cast<size_t>(n)))
            search->found.push_back(reinterpret_cast<WindowHandle>(window));
    } catch (...) {
    }
    // Never stop early: every matching window is woken, not just the first.
    return TRUE;
}

}  // namespace

std::vector<WindowHandle> TopLevelWindowsOfClass(std::string_view class_name) {
    Search search{win32::Widen(class_name), {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return std::move(search.found);
}

void BringWindowToFront(WindowHandle window) {
    HWND hwnd = reinterpret_cast<HWND>(window);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    // Top-most and back lifts it above every other normal window without pinning it there.
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd);
}

}  // namespace orlo::platform

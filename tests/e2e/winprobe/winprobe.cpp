// A small Windows program the end-to-end tests use to look at and act on the launcher's
// windows from the Windows side (what X shows under Wine is not what Windows thinks).
//   winprobe foreground                 class and caption of the foreground window
//   winprobe state CLASS CAPTION        hidden, minimized or normal
//   winprobe minimize CLASS CAPTION     minimises the window
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Narrow(const wchar_t* wide) {
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    return out;
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring command = argv[1];
    if (command == L"foreground") {
        HWND h = GetForegroundWindow();
        wchar_t cls[256] = {}, caption[512] = {};
        if (h) {
            GetClassNameW(h, cls, 256);
            GetWindowTextW(h, caption, 512);
        }
        Print(Narrow(cls) + "\t" + Narrow(caption));
        return 0;
    }
    if (argc < 4) return 2;
    HWND h = FindWindowW(argv[2], argv[3]);
    if (!h) {
        Print("missing");
        return 1;
    }
    if (command == L"state") {
        Print(!IsWindowVisible(h) ? "hidden" : IsIconic(h) ? "minimized" : "normal");
        return 0;
    }
    if (command == L"minimize") {
        ShowWindow(h, SW_MINIMIZE);
        return 0;
    }
    return 2;
}

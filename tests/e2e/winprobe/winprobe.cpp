// A small Windows program the end-to-end tests use to look at and act on the launcher's
// windows from the Windows side (what X shows under Wine is not what Windows thinks).
//   winprobe foreground                 class and caption of the foreground window
//   winprobe state CLASS CAPTION        hidden, minimized or normal
//   winprobe minimize CLASS CAPTION     minimises the window
//   winprobe rect CLASS                 left, top, width and height of the window on the screen
//   winprobe children CLASS             one line per child window of the window, in creation
//                                       order: name, class, left, top, width, height (client
//                                       coordinates of the window), visible (1/0), enabled
//                                       (1/0), text (tab, CR and LF as \t \r \n), font colour
//                                       and background colour as RRGGBB ("-" when unset),
//                                       separated by tabs
//   winprobe click CLASS NAME           left button down and up at the centre of the named child
//   winprobe depth                      bits per pixel of the display
//   winprobe answer CAPTION             presses OK in the message box of that caption; "missing"
//                                       when none is up
// The window is the first top-level window of class CLASS; "missing" and exit code 1 when none
// is there (or no child has that name).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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

// The launcher's widgets keep their skin name as a global atom and their colours as window
// properties: the font colour as 0x00BBGGRR, the background as 0x01BBGGRR when one is set.
std::string SkinName(HWND h) {
    auto atom = static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(GetPropW(h, L"OrloName")));
    wchar_t name[256] = {};
    if (!atom || !GlobalGetAtomNameW(atom, name, 256)) return "";
    return Narrow(name);
}

std::string Hex(COLORREF c) {
    char out[8];
    std::snprintf(out, sizeof out, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return out;
}

std::string FontColor(HWND h) {
    return Hex(static_cast<COLORREF>(reinterpret_cast<std::uintptr_t>(GetPropW(h, L"OrloFontColor"))));
}

std::string Color(HWND h) {
    auto value = reinterpret_cast<std::uintptr_t>(GetPropW(h, L"OrloColor"));
    if (!(value & 0x01000000)) return "-";
    return Hex(static_cast<COLORREF>(value & 0x00FFFFFF));
}

// WM_GETTEXT is carried across processes; GetWindowText of another process's control is not
// (an edit keeps its text where only the message reaches).
std::string Text(HWND h) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return "";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000,
                             &copied))
        return "";
    text.resize(std::min<std::size_t>(copied, length));
    std::string out;
    for (char c : Narrow(text.c_str())) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// Direct children in creation order (their control ids rise with it; z-order is the reverse).
std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> out;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
    std::stable_sort(out.begin(), out.end(), [](HWND a, HWND b) { return GetDlgCtrlID(a) < GetDlgCtrlID(b); });
    return out;
}

std::string ChildLine(HWND parent, HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    wchar_t cls[256] = {};
    GetClassNameW(h, cls, 256);
    const bool visible = (GetWindowLongW(h, GWL_STYLE) & WS_VISIBLE) != 0;
    return SkinName(h) + "\t" + Narrow(cls) + "\t" + std::to_string(r.left) + "\t" + std::to_string(r.top) + "\t" +
           std::to_string(r.right - r.left) + "\t" + std::to_string(r.bottom - r.top) + "\t" + (visible ? "1" : "0") +
           "\t" + (IsWindowEnabled(h) ? "1" : "0") + "\t" + Text(h) + "\t" + FontColor(h) + "\t" + Color(h);
}

int Missing() {
    Print("missing");
    return 1;
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
    if (command == L"depth") {
        HDC screen = GetDC(nullptr);
        Print(std::to_string(GetDeviceCaps(screen, BITSPIXEL)));
        ReleaseDC(nullptr, screen);
        return 0;
    }
    if (argc < 3) return 2;
    if (command == L"answer") {
        HWND box = FindWindowW(L"#32770", argv[2]);
        if (!box) return Missing();
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    if (command == L"rect" || command == L"children" || command == L"click") {
        HWND h = FindWindowW(argv[2], nullptr);
        if (!h) return Missing();
        if (command == L"rect") {
            RECT r = {};
            GetWindowRect(h, &r);
            Print(std::to_string(r.left) + "\t" + std::to_string(r.top) + "\t" + std::to_string(r.right - r.left) +
                  "\t" + std::to_string(r.bottom - r.top));
            return 0;
        }
        if (command == L"children") {
            for (HWND child : Children(h)) Print(ChildLine(h, child));
            return 0;
        }
        if (argc < 4) return 2;
        const std::string name = Narrow(argv[3]);
        for (HWND child : Children(h)) {
            if (SkinName(child) != name) continue;
            RECT r = {};
            GetClientRect(child, &r);
            const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
            PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(child, WM_LBUTTONUP, 0, at);
            return 0;
        }
        return Missing();
    }
    if (argc < 4) return 2;
    HWND h = FindWindowW(argv[2], argv[3]);
    if (!h) return Missing();
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

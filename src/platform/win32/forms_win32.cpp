#include <windows.h>
#include <windowsx.h>

#include "platform/forms.h"
#include "platform/event_loop.h"
#include "platform/win32/gdiplus_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/widget_host_win32.h"
#include "platform/win32/wide.h"

#include <mutex>
#include <set>

namespace orlo::platform {
namespace {

using win32::WidgetHost;

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

constexpr WPARAM kMoveByCaption = 0xF012;  // SC_MOVE | HTCAPTION: the system's drag of a window

// The class name is registered exactly as given: another process looks windows up by it.
bool RegisterFormClass(const std::wstring& name) {
    static std::mutex mutex;
    static std::set<std::wstring> registered;
    std::lock_guard lock(mutex);
    if (registered.count(name)) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &FormProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // each form erases with its own colour
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    registered.insert(name);
    return true;
}

struct Styles {
    DWORD style = 0;
    DWORD ex_style = 0;
};

Styles StylesFor(FormBorder border, bool minimize_box) {
    Styles s;
    switch (border) {
        case FormBorder::Single:
            s.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
            if (minimize_box) s.style |= WS_MINIMIZEBOX;
            break;
        case FormBorder::None:
            s.style = WS_POPUP;
            break;
        case FormBorder::Dialog:
            s.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
            s.ex_style = WS_EX_DLGMODALFRAME;
            break;
        case FormBorder::Tool:
            s.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
            s.ex_style = WS_EX_TOOLWINDOW;
            break;
    }
    s.style |= WS_CLIPCHILDREN;  // children paint themselves; erasing under them only flickers
    return s;
}

constexpr DWORD kBorderStyles = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_POPUP | WS_THICKFRAME;
constexpr DWORD kBorderExStyles = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;

POINT ScreenCentre(int width, int height) {
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
}

bool OfThisProcess(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid == GetCurrentProcessId();
}

BOOL CALLBACK CollectVisibleOfThisProcess(HWND window, LPARAM param) {
    if (IsWindowVisible(window) && OfThisProcess(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOfThisProcess() {
    std::vector<HWND> out;
    EnumWindows(&CollectVisibleOfThisProcess, reinterpret_cast<LPARAM>(&out));
    return out;
}

class Win32Form final : public Form {
  public:
    explicit Win32Form(FormEvents events) : events_(std::move(events)) {}
    ~Win32Form() override {
        *alive_ = false;
        if (host_) host_->FormDestroyed();
        // Messages sent while the window is destroyed must not reach a half-destroyed form.
        if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    }

    bool Create(const FormSpec& spec) {
        role_ = spec.role;
        minimize_box_ = spec.minimize_box;
        color_ = spec.color ? *spec.color : win32::FromColorRef(GetSysColor(COLOR_BTNFACE));
        auto class_name = win32::Widen(spec.class_name);
        if (!RegisterFormClass(class_name)) return false;
        auto [style, ex_style] = StylesFor(spec.border, spec.minimize_box);
        if (spec.on_taskbar) ex_style |= WS_EX_APPWINDOW;

        RECT frame = {0, 0, spec.client_width, spec.client_height};
        AdjustWindowRectEx(&frame, style, FALSE, ex_style);
        int width = frame.right - frame.left;
        int height = frame.bottom - frame.top;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        if (spec.centred) {
            POINT at = ScreenCentre(width, height);
            x = at.x;
            y = at.y;
        } else if (style & WS_POPUP) {
            // CW_USEDEFAULT means nothing to a pop-up window.
            x = y = 0;
        }
        window_ = win32::UniqueWindow(CreateWindowExW(ex_style, class_name.c_str(), win32::Widen(spec.caption).c_str(),
                                                      style, x, y, width, height, nullptr, nullptr,
                                                      GetModuleHandleW(nullptr), this));
        if (!window_) return false;
        host_ = std::make_shared<WidgetHost>(window_.get(), color_, spec.font);
        host_->end_modal = [this](ModalResult result) { EndModal(result); };
        return true;
    }

    std::shared_ptr<WidgetHost> host() const { return host_; }

    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_.get()); }
    void Show() override {
        if (!window_) return;
        if (role_ == FormRole::Backdrop) {
            ShowNoActivate();
            return;
        }
        ShowWindow(window_.get(), IsIconic(window_.get()) ? SW_RESTORE : SW_SHOW);
        UpdateWindow(window_.get());
    }
    void ShowNoActivate() override {
        if (!window_) return;
        ShowWindow(window_.get(), IsIconic(window_.get()) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
        UpdateWindow(window_.get());
    }
    void Hide() override { ShowWindow(window_.get(), SW_HIDE); }
    bool Visible() const override { return IsWindowVisible(window_.get()) != 0; }
    void Minimize() override { ShowWindow(window_.get(), SW_MINIMIZE); }
    std::string Caption() const override {
        int n = GetWindowTextLengthW(window_.get());
        if (n <= 0) return {};
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        int m = GetWindowTextW(window_.get(), text.data(), n + 1);
        text.resize(m > 0 ? static_cast<size_t>(m) : 0);
        return win32::Narrow(text);
    }
    void SetCaption(const std::string& caption) override {
        SetWindowTextW(window_.get(), win32::Widen(caption).c_str());
    }

    Bounds GetBounds() const override {
        RECT r = {};
        if (!window_ || !GetWindowRect(window_.get(), &r)) return {};
        return Bounds{r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    void SetBounds(Bounds b) override {
        SetWindowPos(window_.get(), nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetClientSize(int width, int height) override {
        if (!window_) return;
        RECT frame = {0, 0, width, height};
        AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window_.get(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(window_.get(), GWL_EXSTYLE)));
        SetWindowPos(window_.get(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void CenterOnScreen() override {
        Bounds b = GetBounds();
        POINT at = ScreenCentre(b.width, b.height);
        SetWindowPos(window_.get(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The outer size stays, as when a form's border style changes.
    void SetBorder(FormBorder border) override {
        if (!window_) return;
        auto [style, ex_style] = StylesFor(border, minimize_box_);
        HWND h = window_.get();
        auto old_style = static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE));
        auto old_ex = static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE));
        SetWindowLongW(h, GWL_STYLE, static_cast<LONG>((old_style & ~kBorderStyles) | style));
        SetWindowLongW(h, GWL_EXSTYLE, static_cast<LONG>((old_ex & ~kBorderExStyles) | ex_style));
        SetWindowPos(h, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void SetColor(Rgb color) override {
        color_ = color;
        if (host_) host_->SetColor(color);
        Repaint();
    }
    void SetTransparentColor(std::optional<Rgb> color) override {
        if (!window_) return;
        HWND h = window_.get();
        auto ex = static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE));
        if (color) {
            SetWindowLongW(h, GWL_EXSTYLE, static_cast<LONG>(ex | WS_EX_LAYERED));
            SetLayeredWindowAttributes(h, win32::ToColorRef(*color), 0, LWA_COLORKEY);
        } else if (ex & WS_EX_LAYERED) {
            SetWindowLongW(h, GWL_EXSTYLE, static_cast<LONG>(ex & ~WS_EX_LAYERED));
        }
        Repaint();
    }
    void BringToFront() override {
        if (!window_) return;
        // A minimised skinned window comes back with the rest of the application.
        if (IsIconic(window_.get())) ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
        SetWindowPos(window_.get(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void BeginDrag(bool by_caption) override {
        if (!window_) return;
        HWND h = window_.get();
        ReleaseCapture();
        if (by_caption) {
            SendMessageW(h, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return;
        }
        auto alive = alive_;
        // Returns when the move ends.
        SendMessageW(h, WM_SYSCOMMAND, kMoveByCaption, 0);
        if (*alive) win32::Raise(events_.on_drag_end);
    }
    void LockUpdates(bool locked) override {
        if (!window_) return;
        if (locked) {
            // Only a visible window needs stopping: turning redraw back on also sets WS_VISIBLE, so
            // doing it to a hidden window would leave it marked visible but never shown.
            if (lock_count_++ == 0 && IsWindowVisible(window_.get())) {
                SendMessageW(window_.get(), WM_SETREDRAW, FALSE, 0);
                redraw_stopped_ = true;
            }
            return;
        }
        if (lock_count_ == 0 || --lock_count_ > 0) return;
        if (redraw_stopped_) {
            redraw_stopped_ = false;
            SendMessageW(window_.get(), WM_SETREDRAW, TRUE, 0);
        }
        Repaint();
    }
    void Repaint() override {
        if (!window_ || lock_count_ > 0) return;
        RedrawWindow(window_.get(), nullptr, nullptr,
                     RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    }

    bool ShowLayeredImages(const std::vector<LayeredImage>& images) override;

    ModalResult ShowModal() override;
    void EndModal(ModalResult result) override {
        if (result == ModalResult::None) return;
        modal_result_ = result;
        if (window_) PostMessageW(window_.get(), WM_NULL, 0, 0);  // wakes the modal loop
    }

    // The owner decides what closing means; without a handler the window only hides.
    void OnClose() {
        if (in_modal_) {
            EndModal(ModalResult::Cancel);
            return;
        }
        if (!events_.on_close) {
            Hide();
            return;
        }
        win32::Raise(events_.on_close);
    }

    LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

  private:
    bool CloseQuery(ModalResult result) {
        if (!events_.on_close_query) return true;
        try {
            return events_.on_close_query(result);
        } catch (...) {
            return true;
        }
    }
    LRESULT Reflect(HWND child, UINT message, WPARAM wparam, LPARAM lparam) {
        if (!child || !IsChild(window_.get(), child)) return 0;
        return SendMessageW(child, win32::kReflect + message, wparam, lparam);
    }
    void PaintBackground(HDC dc) {
        RECT r;
        GetClientRect(window_.get(), &r);
        win32::UniqueBrush brush(CreateSolidBrush(win32::ToColorRef(color_)));
        FillRect(dc, &r, brush.get());
    }

    FormEvents events_;
    win32::UniqueWindow window_;
    std::shared_ptr<WidgetHost> host_;
    FormRole role_ = FormRole::Plain;
    bool minimize_box_ = true;
    Rgb color_;
    int lock_count_ = 0;
    bool redraw_stopped_ = false;
    bool in_modal_ = false;
    ModalResult modal_result_ = ModalResult::None;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

bool Win32Form::ShowLayeredImages(const std::vector<LayeredImage>& images) {
    if (!window_) return false;
    HWND h = window_.get();
    RECT r = {};
    if (!GetWindowRect(h, &r) || r.right <= r.left || r.bottom <= r.top) return false;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (!win32::EnsureGdiplus()) return false;
    win32::WindowDc screen(nullptr);
    if (!screen) return false;
    win32::DibCanvas canvas(screen.get(), width, height);
    if (!canvas) return false;
    bool ok = true;
    {
        auto* surface = canvas.AlphaSurface();
        if (!surface) return false;
        Gdiplus::Graphics graphics(surface);
        graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
        for (const auto& image : images) {
            auto picture = win32::Picture::Load(image.image);
            // One picture that does not draw leaves the others shown.
            if (!picture || !picture->Draw(graphics, image.left, image.top)) ok = false;
        }
    }
    GdiFlush();
    SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_LAYERED);
    POINT destination = {r.left, r.top};
    SIZE size = {width, height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (!UpdateLayeredWindow(h, screen.get(), &destination, &size, canvas.dc(), &source, 0, &blend, ULW_ALPHA))
        ok = false;
    return ok;
}

ModalResult Win32Form::ShowModal() {
    if (!window_ || in_modal_) return ModalResult::Cancel;
    HWND h = window_.get();
    HWND owner = GetActiveWindow();
    if (owner == h || (owner && !OfThisProcess(owner))) owner = nullptr;
    const LONG_PTR previous_owner = GetWindowLongPtrW(h, GWLP_HWNDPARENT);
    if (owner) SetWindowLongPtrW(h, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    std::vector<HWND> disabled;
    for (HWND other : VisibleWindowsOfThisProcess()) {
        if (other != h && IsWindowEnabled(other)) {
            EnableWindow(other, FALSE);
            disabled.push_back(other);
        }
    }
    auto alive = alive_;
    in_modal_ = true;
    modal_result_ = ModalResult::None;
    ShowWindow(h, SW_SHOW);
    SetActiveWindow(h);
    if (host_) host_->FocusFirst();

    ModalResult result = ModalResult::Cancel;
    auto& loop = MainLoop();
    MSG msg;
    while (*alive) {
        if (modal_result_ != ModalResult::None) {
            if (CloseQuery(modal_result_)) {
                result = modal_result_;
                break;
            }
            if (!*alive) break;
            modal_result_ = ModalResult::None;
        }
        if (loop.QuitRequested()) break;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            break;
        }
        if (!*alive || !IsDialogMessageW(h, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // Enabled again before hiding, so activation goes back to the owner.
    for (auto it = disabled.rbegin(); it != disabled.rend(); ++it)
        if (IsWindow(*it)) EnableWindow(*it, TRUE);
    if (!*alive) return ModalResult::Cancel;
    ShowWindow(h, SW_HIDE);
    SetWindowLongPtrW(h, GWLP_HWNDPARENT, previous_owner);
    in_modal_ = false;
    modal_result_ = ModalResult::None;
    return result;
}

LRESULT Win32Form::Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_ERASEBKGND:
            if (role_ != FormRole::Backdrop) PaintBackground(reinterpret_cast<HDC>(wparam));
            return 1;
        case WM_NCHITTEST: {
            LRESULT hit = DefWindowProcW(hwnd, message, wparam, lparam);
            // The skinned window's bare area takes no hits.
            if (role_ == FormRole::Skinned && hit == HTCLIENT) return HTNOWHERE;
            return hit;
        }
        case WM_MOUSEACTIVATE:
            if (role_ == FormRole::Backdrop) return MA_NOACTIVATE;
            break;
        case WM_WINDOWPOSCHANGING:
            if (role_ == FormRole::Backdrop) reinterpret_cast<WINDOWPOS*>(lparam)->flags |= SWP_NOZORDER;
            break;
        case WM_MOVE: {
            LRESULT result = DefWindowProcW(hwnd, message, wparam, lparam);
            win32::Raise(events_.on_moved);
            return result;
        }
        case WM_SHOWWINDOW: {
            LRESULT result = DefWindowProcW(hwnd, message, wparam, lparam);
            // Shown on request, not because an owner came back.
            if (wparam && lparam == 0) win32::Raise(events_.on_shown);
            return result;
        }
        case WM_ACTIVATEAPP:
            if (wparam) win32::Raise(events_.on_app_activate);
            return 0;
        case WM_LBUTTONDOWN:
            win32::Raise(events_.on_mouse_down, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            return 0;
        case WM_COMMAND:
            if (lparam) return Reflect(reinterpret_cast<HWND>(lparam), message, wparam, lparam);
            // Escape in a modal form: the dialog manager asks for IDCANCEL.
            if (LOWORD(wparam) == IDCANCEL && host_) {
                if (auto* cancel = host_->CancelButton()) cancel->Press();
            }
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lparam);
            return header ? Reflect(header->hwndFrom, message, wparam, lparam) : 0;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
            if (item && item->CtlType != ODT_MENU) return Reflect(item->hwndItem, message, wparam, lparam);
            break;
        }
        case WM_MEASUREITEM: {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
            if (item && item->CtlType != ODT_MENU)
                return Reflect(GetDlgItem(hwnd, static_cast<int>(item->CtlID)), message, wparam, lparam);
            break;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: {
            LRESULT brush = Reflect(reinterpret_cast<HWND>(lparam), message, wparam, lparam);
            if (brush) return brush;
            break;
        }
        case DM_GETDEFID:
            // Enter in a modal form presses the default button.
            if (host_) {
                if (auto* button = host_->DefaultButton())
                    return MAKELRESULT(GetDlgCtrlID(button->hwnd()), DC_HASDEFID);
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!form) return DefWindowProcW(hwnd, message, wparam, lparam);
    try {
        return form->Handle(hwnd, message, wparam, lparam);
    } catch (...) {
        // Nothing may unwind into user32.
        return 0;
    }
}

}  // namespace

std::unique_ptr<Form> CreateForm(const FormSpec& spec, FormEvents events) {
    auto form = std::make_unique<Win32Form>(std::move(events));
    // Callers never check: a form without a window answers with handle 0 and ignores requests.
    form->Create(spec);
    return form;
}

void MinimizeApplication() {
    for (HWND window : VisibleWindowsOfThisProcess())
        if (!IsIconic(window)) ShowWindow(window, SW_MINIMIZE);
}

namespace win32 {

std::shared_ptr<WidgetHost> HostOf(Form& form) {
    auto* win32_form = dynamic_cast<Win32Form*>(&form);
    return win32_form ? win32_form->host() : nullptr;
}

}  // namespace win32
}  // namespace orlo::platform

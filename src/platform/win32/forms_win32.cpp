#include <windows.h>

#include "platform/forms.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

#include <mutex>
#include <set>

namespace orlo::platform {
namespace {

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

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
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = name.c_str();
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    registered.insert(name);
    return true;
}

class Win32Form final : public Form {
  public:
    explicit Win32Form(FormEvents events) : events_(std::move(events)) {}
    ~Win32Form() override {
        // Messages sent while the window is destroyed must not reach a half-destroyed form.
        if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    }

    bool Create(const FormSpec& spec) {
        auto class_name = win32::Widen(spec.class_name);
        if (!RegisterFormClass(class_name)) return false;
        DWORD style = 0;
        DWORD ex_style = 0;
        switch (spec.border) {
            case FormBorder::Single:
                style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
                if (spec.minimize_box) style |= WS_MINIMIZEBOX;
                break;
            case FormBorder::None:
                style = WS_POPUP;
                break;
            case FormBorder::Dialog:
                style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
                ex_style = WS_EX_DLGMODALFRAME;
                break;
        }
        if (spec.on_taskbar) ex_style |= WS_EX_APPWINDOW;

        RECT frame = {0, 0, spec.client_width, spec.client_height};
        AdjustWindowRectEx(&frame, style, FALSE, ex_style);
        int width = frame.right - frame.left;
        int height = frame.bottom - frame.top;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        RECT work = {};
        if (spec.centred && SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
            x = work.left + (work.right - work.left - width) / 2;
            y = work.top + (work.bottom - work.top - height) / 2;
        } else if (style & WS_POPUP) {
            // CW_USEDEFAULT means nothing to a pop-up window.
            x = y = 0;
        }
        window_ = win32::UniqueWindow(CreateWindowExW(ex_style, class_name.c_str(), win32::Widen(spec.caption).c_str(),
                                                      style, x, y, width, height, nullptr, nullptr,
                                                      GetModuleHandleW(nullptr), this));
        return static_cast<bool>(window_);
    }

    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_.get()); }
    void Show() override {
        ShowWindow(window_.get(), SW_SHOW);
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

    // The owner decides what closing means; without a handler the window only hides.
    void OnClose() {
        if (!events_.on_close) {
            Hide();
            return;
        }
        try {
            events_.on_close();
        } catch (...) {
            // Nothing may unwind into user32.
        }
    }

  private:
    FormEvents events_;
    win32::UniqueWindow window_;
};

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (form && message == WM_CLOSE) {
        form->OnClose();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

std::unique_ptr<Form> CreateForm(const FormSpec& spec, FormEvents events) {
    auto form = std::make_unique<Win32Form>(std::move(events));
    // Callers never check: a form without a window answers with handle 0 and ignores requests.
    form->Create(spec);
    return form;
}

}  // namespace orlo::platform

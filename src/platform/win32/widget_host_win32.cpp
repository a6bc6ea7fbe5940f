#include "platform/win32/widget_host_win32.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <tuple>

#include "platform/win32/wide.h"

namespace orlo::platform::win32 {

int WidgetHost::Attach(WidgetCore& widget) {
    widgets_.push_back(&widget);
    return next_id_++;
}

void WidgetHost::Detach(WidgetCore& widget) { std::erase(widgets_, &widget); }

void WidgetHost::FormDestroyed() {
    for (auto* widget : widgets_) widget->DestroyWindowNow();
    window_ = nullptr;
}

namespace {

RECT ToRect(const Bounds& b) { return RECT{b.left, b.top, b.left + b.width, b.top + b.height}; }

bool Intersect(const RECT& a, const RECT& b) {
    RECT out;
    return IntersectRect(&out, &a, &b) != 0;
}

// What the backdrop draws lies under the whole skinned window; anything else lies under the
// widgets made after it, and only while it shows.
bool LiesBeneath(const WidgetCore& image, const WidgetCore& above) {
    if (&image == &above || !image.IsBackingImage()) return false;
    if (image.DrawnByBackdrop()) return true;
    return image.sequence() < above.sequence() && image.IsVisible();
}

}  // namespace

void WidgetHost::PaintBacking(HDC dc, const WidgetCore& above) const {
    const Bounds& b = above.bounds();
    RECT area = {0, 0, b.width, b.height};
    UniqueBrush brush(CreateSolidBrush(ToColorRef(color_)));
    FillRect(dc, &area, brush.get());
    const RECT on_form = ToRect(b);
    std::unique_ptr<CanvasGraphics> canvas;
    for (const auto* widget : widgets_) {
        if (!LiesBeneath(*widget, above)) continue;
        // A backdrop picture is drawn at its own size, which may reach past its control.
        if (!widget->DrawnByBackdrop() && !Intersect(ToRect(widget->bounds()), on_form)) continue;
        if (!canvas) {
            if (!EnsureGdiplus()) return;
            canvas = std::make_unique<CanvasGraphics>(dc);
        }
        widget->DrawAsBacking(canvas->get(), -b.left, -b.top);
    }
}

void WidgetHost::InvalidateAbove(const WidgetCore& below) const {
    const RECT area = ToRect(below.bounds());
    for (const auto* widget : widgets_) {
        if (widget == &below || !widget->SeeThrough() || !widget->hwnd()) continue;
        if (Intersect(ToRect(widget->bounds()), area)) InvalidateRect(widget->hwnd(), nullptr, FALSE);
    }
}

std::vector<WidgetCore*> WidgetHost::Focusable() const {
    std::vector<WidgetCore*> out;
    for (auto* widget : widgets_) {
        HWND h = widget->hwnd();
        if (h && (GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(h) && IsWindowEnabled(h))
            out.push_back(widget);
    }
    return out;
}

void WidgetHost::FocusNext(const WidgetCore& from, bool backwards) const {
    auto list = Focusable();
    if (list.empty()) return;
    auto it = std::find(list.begin(), list.end(), &from);
    std::size_t index = 0;
    if (it != list.end()) {
        auto at = static_cast<std::size_t>(it - list.begin());
        index = backwards ? (at + list.size() - 1) % list.size() : (at + 1) % list.size();
    } else if (backwards) {
        index = list.size() - 1;
    }
    SetFocus(list[index]->hwnd());
}

void WidgetHost::FocusFirst() const {
    auto list = Focusable();
    if (!list.empty()) SetFocus(list.front()->hwnd());
}

WidgetCore* WidgetHost::DefaultButton() const {
    for (auto* widget : widgets_)
        if (widget->IsDefaultButton() && widget->IsVisible() && widget->IsEnabled()) return widget;
    return nullptr;
}

WidgetCore* WidgetHost::CancelButton() const {
    for (auto* widget : widgets_)
        if (widget->IsCancelButton() && widget->IsVisible() && widget->IsEnabled()) return widget;
    return nullptr;
}

HFONT FontFor(const FontSpec& font) {
    using Key = std::tuple<std::string, int, bool, bool, bool, bool>;
    static std::mutex mutex;
    static std::map<Key, UniqueFont> cache;
    std::lock_guard lock(mutex);
    Key key{font.face, font.height, font.bold, font.italic, font.underline, font.strike_out};
    auto it = cache.find(key);
    if (it != cache.end()) return it->second.get();
    // A Chinese face name asks for the Chinese character set; others take whatever fits.
    bool ascii = std::all_of(font.face.begin(), font.face.end(), [](char c) { return (c & 0x80) == 0; });
    BYTE charset = ascii ? DEFAULT_CHARSET : GB2312_CHARSET;
    auto face = Widen(font.face);
    if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
    UniqueFont created(CreateFontW(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline,
                                   font.strike_out, charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    HFONT handle = created.get();
    if (handle) cache.emplace(std::move(key), std::move(created));
    return handle ? handle : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int CharHeight(HFONT font) {
    WindowDc screen(nullptr);
    if (!screen) return 0;
    SelectedObject selected(screen.get(), font);
    TEXTMETRICW metrics = {};
    if (!GetTextMetricsW(screen.get(), &metrics)) return 0;
    return metrics.tmHeight;
}

Rgb Lighter(Rgb color, int percent) {
    auto mix = [percent](std::uint8_t c) { return static_cast<std::uint8_t>(c + (255 - c) * percent / 100); };
    return Rgb{mix(color.red), mix(color.green), mix(color.blue)};
}

const wchar_t* CustomClass(const wchar_t* name) {
    static std::mutex mutex;
    static std::set<std::wstring> registered;
    std::lock_guard lock(mutex);
    if (registered.count(name)) return name;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DefWindowProcW;  // the widget's subclass procedure does the work
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    if (RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) registered.insert(name);
    return name;
}

namespace {

void InitCommonControlsOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&init);
    });
}

}  // namespace

WidgetCore::WidgetCore(Form& form, WidgetEvents events) : host_(HostOf(form)), events_(std::move(events)) {
    if (host_) font_ = host_->font();
}

WidgetCore::~WidgetCore() {
    *alive_ = false;
    DestroyWindowNow();
    if (host_) host_->Detach(*this);
    if (name_atom_) GlobalDeleteAtom(name_atom_);
}

void WidgetCore::DestroyWindowNow() {
    if (!window_) return;
    RemoveWindowSubclass(window_.get(), &WidgetCore::SubclassProc, 0);
    RemoveProperties();
    window_.reset();
}

bool WidgetCore::CreateChild(const wchar_t* window_class, DWORD style, DWORD ex_style) {
    if (!host_ || !host_->window()) return false;
    InitCommonControlsOnce();
    const int id = host_->Attach(*this);
    sequence_ = id;
    HWND h = CreateWindowExW(ex_style, window_class, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE | style, 0, 0, 0, 0,
                             host_->window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    if (!h) return false;
    window_ = win32::UniqueWindow(h);
    SetWindowSubclass(h, &WidgetCore::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
    // A new child goes to the bottom of its siblings; the skin wants it on top.
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(CurrentFont()), FALSE);
    SetPropW(h, kFontColorProperty, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(ToColorRef(font_.color))));
    return true;
}

void WidgetCore::RemoveProperties() {
    HWND h = window_.get();
    if (!h) return;
    RemovePropW(h, kNameProperty);
    RemovePropW(h, kFontColorProperty);
    RemovePropW(h, kColorProperty);
}

bool WidgetCore::IsVisible() const {
    if (!window_) return visible_ && !HiddenByKind();
    return (GetWindowLongW(window_.get(), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool WidgetCore::IsEnabled() const { return window_ ? IsWindowEnabled(window_.get()) != 0 : true; }

LRESULT WidgetCore::DefaultProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefSubclassProc(window_.get(), message, wparam, lparam);
}

void WidgetCore::PaintBacking(HDC dc) const {
    if (host_) host_->PaintBacking(dc, *this);
}

void WidgetCore::Invalidate() const {
    if (window_) RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
}

void WidgetCore::ApplyVisibility() {
    if (!window_) return;
    ShowWindow(window_.get(), visible_ && !HiddenByKind() ? SW_SHOWNA : SW_HIDE);
}

void WidgetCore::SetNameImpl(const std::string& name) {
    if (name_atom_) GlobalDeleteAtom(name_atom_);
    name_atom_ = 0;
    auto wide = Widen(name);
    if (wide.size() > 255) wide.resize(255);  // the longest atom name
    if (!wide.empty()) name_atom_ = GlobalAddAtomW(wide.c_str());
    if (!window_) return;
    if (name_atom_)
        SetPropW(window_.get(), kNameProperty, reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(name_atom_)));
    else
        RemovePropW(window_.get(), kNameProperty);
}

void WidgetCore::SetBoundsImpl(Bounds bounds) {
    bounds_ = bounds;
    if (window_)
        SetWindowPos(window_.get(), nullptr, bounds.left, bounds.top, std::max(bounds.width, 0),
                     std::max(bounds.height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
    BoundsChanged();
    Invalidate();
}

void WidgetCore::SetVisibleImpl(bool visible) {
    visible_ = visible;
    ApplyVisibility();
}

void WidgetCore::SetEnabledImpl(bool enabled) {
    if (window_) EnableWindow(window_.get(), enabled);
    Invalidate();
}

void WidgetCore::SetTextImpl(const std::string& text) {
    if (!window_) return;
    SetWindowTextW(window_.get(), Widen(text).c_str());
    Invalidate();
}

std::string WidgetCore::TextImpl() const {
    if (!window_) return {};
    int n = GetWindowTextLengthW(window_.get());
    if (n <= 0) return {};
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    int m = GetWindowTextW(window_.get(), text.data(), n + 1);
    text.resize(m > 0 ? static_cast<std::size_t>(m) : 0);
    return Narrow(text);
}

void WidgetCore::SetFontImpl(const FontSpec& font) {
    font_ = font;
    if (window_) {
        SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(CurrentFont()), FALSE);
        SetPropW(window_.get(), kFontColorProperty,
                 reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(ToColorRef(font_.color))));
    }
    FontChanged();
    Invalidate();
}

void WidgetCore::SetColorImpl(std::optional<Rgb> color) {
    color_ = color;
    if (window_) {
        if (color)
            SetPropW(window_.get(), kColorProperty,
                     reinterpret_cast<HANDLE>(kColorSetFlag | static_cast<std::uintptr_t>(ToColorRef(*color))));
        else
            RemovePropW(window_.get(), kColorProperty);
    }
    ColorChanged();
    Invalidate();
}

void WidgetCore::FocusImpl() {
    if (window_) SetFocus(window_.get());
}

LRESULT WidgetCore::OnMessage(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WidgetCore::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
    bool handled = false;
    LRESULT result = OnMessage(message, wparam, lparam, handled);
    if (handled) return result;
    switch (message) {
        case WM_SETCURSOR:
            if (cursor_ == Cursor::Hand && LOWORD(lparam) == HTCLIENT) {
                ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
            result = DefaultProc(message, wparam, lparam);
            if (!mouse_inside_) {
                mouse_inside_ = true;
                TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window_.get(), 0};
                TrackMouseEvent(&track);
                Raise(events_.on_mouse_enter);
            }
            return result;
        case WM_MOUSELEAVE:
            result = DefaultProc(message, wparam, lparam);
            mouse_inside_ = false;
            Raise(events_.on_mouse_leave);
            return result;
        case WM_LBUTTONDOWN:
            // The control's own handling first (a tree selects the node under the mouse).
            result = DefaultProc(message, wparam, lparam);
            Raise(events_.on_mouse_down, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
            return result;
        case WM_SETFOCUS:
            result = DefaultProc(message, wparam, lparam);
            Raise(events_.on_focus_enter);
            return result;
        case WM_KILLFOCUS:
            result = DefaultProc(message, wparam, lparam);
            Raise(events_.on_focus_exit);
            return result;
        case WM_KEYDOWN:
            if (wparam == VK_TAB && host_) {
                host_->FocusNext(*this, GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wparam == '\t') return 0;
            break;
        case WM_GETDLGCODE:
            // Tab moves in creation order, which the dialog manager does not know.
            return DefaultProc(message, wparam, lparam) | DLGC_WANTTAB;
        default:
            break;
    }
    return DefaultProc(message, wparam, lparam);
}

LRESULT CALLBACK
WidgetCore::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
    auto* widget = reinterpret_cast<WidgetCore*>(data);
    if (message == WM_NCDESTROY) {
        // Destroyed from outside (the process ends): nothing of ours may run any more.
        RemoveWindowSubclass(hwnd, &WidgetCore::SubclassProc, 0);
        return DefSubclassProc(hwnd, message, wparam, lparam);
    }
    try {
        return widget->Dispatch(message, wparam, lparam);
    } catch (...) {
        return 0;
    }
}

}  // namespace orlo::platform::win32

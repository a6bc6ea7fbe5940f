// What the Win32 widgets share with the form they live on, and the base every widget kind is
// built on: a child window subclassed to its widget object, with the skin name and colours
// stored as window properties so a probe in another process can read them.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/widgets.h"
#include "platform/win32/gdiplus_win32.h"
#include "platform/win32/handles.h"

namespace orlo::platform::win32 {

// A form sends the notifications it gets from a child (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
// WM_MEASUREITEM, WM_CTLCOLOR*) back to that child as kReflect + the message, so each widget
// handles its own.
constexpr UINT kReflect = WM_APP + 0x1000;

// Window properties a probe reads: the skin name as a global atom, the font colour as
// 0x00BBGGRR, and the background colour as 0x01BBGGRR (the high byte tells black from unset).
inline constexpr wchar_t kNameProperty[] = L"OrloName";
inline constexpr wchar_t kFontColorProperty[] = L"OrloFontColor";
inline constexpr wchar_t kColorProperty[] = L"OrloColor";
constexpr std::uintptr_t kColorSetFlag = 0x01000000;

class WidgetCore;

// One per form; widgets keep it alive, so it may outlive the form's window.
class WidgetHost {
  public:
    WidgetHost(HWND window, Rgb color, FontSpec font) : window_(window), color_(color), font_(std::move(font)) {}
    WidgetHost(const WidgetHost&) = delete;
    WidgetHost& operator=(const WidgetHost&) = delete;

    HWND window() const { return window_; }
    Rgb color() const { return color_; }
    void SetColor(Rgb color) { color_ = color; }
    const FontSpec& font() const { return font_; }

    // Returns the control id of the widget's window.
    int Attach(WidgetCore& widget);
    void Detach(WidgetCore& widget);
    // The form's window goes: every widget's window goes first, through its own owner.
    void FormDestroyed();

    // Paints into `dc` (the widget's client coordinates) what lies beneath `above`: the form's
    // colour, then the pictures of the image widgets under it in creation order, among them
    // those the backdrop draws, so that text and alpha edges blend with the real background.
    void PaintBacking(HDC dc, const WidgetCore& above) const;
    // Invalidates the see-through widgets that overlap `below`.
    void InvalidateAbove(const WidgetCore& below) const;

    // Tab order is creation order.
    void FocusNext(const WidgetCore& from, bool backwards) const;
    void FocusFirst() const;
    WidgetCore* DefaultButton() const;
    WidgetCore* CancelButton() const;

    // Set by the form: ends its modal run with that result.
    std::function<void(ModalResult)> end_modal;

  private:
    std::vector<WidgetCore*> Focusable() const;

    HWND window_;
    Rgb color_;
    FontSpec font_;
    std::vector<WidgetCore*> widgets_;  // creation order
    int next_id_ = 1000;                // clear of IDOK and IDCANCEL
};

// Null when the form is not a Win32 form or has no window.
std::shared_ptr<WidgetHost> HostOf(Form& form);

// One font per FontSpec for the life of the process (the colour is not part of a GDI font).
HFONT FontFor(const FontSpec& font);
// Character height of a font in pixels (tmHeight).
int CharHeight(HFONT font);

Rgb Lighter(Rgb color, int percent);

// Runs an event handler; nothing it throws reaches the window procedure.
template <class F, class... A>
void Raise(const F& handler, A&&... args) noexcept {
    if (!handler) return;
    try {
        handler(std::forward<A>(args)...);
    } catch (...) {
    }
}

// Registers (once) a window class of our own for the custom-drawn widgets.
const wchar_t* CustomClass(const wchar_t* name);

// The state and message handling every widget kind shares.
class WidgetCore {
  public:
    WidgetCore(Form& form, WidgetEvents events);
    WidgetCore(const WidgetCore&) = delete;
    WidgetCore& operator=(const WidgetCore&) = delete;
    virtual ~WidgetCore();

    HWND hwnd() const { return window_.get(); }
    int sequence() const { return sequence_; }
    const Bounds& bounds() const { return bounds_; }
    bool IsVisible() const;
    bool IsEnabled() const;

    // See-through kinds paint the backing first; image widgets provide it.
    virtual bool IsBackingImage() const { return false; }
    virtual bool DrawnByBackdrop() const { return false; }
    virtual bool SeeThrough() const { return false; }
    // Draws the picture as it appears on the form, offset by (dx, dy).
    virtual void DrawAsBacking(Gdiplus::Graphics& /*graphics*/, int /*dx*/, int /*dy*/) const {}

    virtual bool IsDefaultButton() const { return false; }
    virtual bool IsCancelButton() const { return false; }
    virtual void Press() {}

    // The form's window is going.
    void DestroyWindowNow();

  protected:
    // Makes the child window; later widgets lie above earlier ones.
    bool CreateChild(const wchar_t* window_class, DWORD style, DWORD ex_style = 0);

    // Kind-specific handling, before the shared one. Set `handled` to answer the message.
    // Raise events last: a handler may destroy the widget.
    virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);
    virtual void FontChanged() {}
    virtual void ColorChanged() {}
    virtual void BoundsChanged() {}
    // A kind that hides its window for a reason of its own (an image the backdrop draws).
    virtual bool HiddenByKind() const { return false; }

    LRESULT DefaultProc(UINT message, WPARAM wparam, LPARAM lparam);
    // For kinds that draw themselves: nothing is erased and each paint goes through one
    // off-screen buffer to `paint(dc, client)`. True when `message` was one of the two.
    template <typename PaintFn>
    bool SelfPaint(UINT message, LRESULT& result, PaintFn&& paint) {
        if (message == WM_ERASEBKGND) {
            result = 1;
            return true;
        }
        if (message != WM_PAINT) return false;
        BufferedPaint buffer(hwnd());
        if (buffer.dc()) paint(buffer.dc(), buffer.client());
        result = 0;
        return true;
    }
    void PaintBacking(HDC dc) const;
    void Invalidate() const;
    void ApplyVisibility();
    HFONT CurrentFont() const { return FontFor(font_); }

    void SetNameImpl(const std::string& name);
    void SetBoundsImpl(Bounds bounds);
    void SetVisibleImpl(bool visible);
    void SetEnabledImpl(bool enabled);
    void SetTextImpl(const std::string& text);
    std::string TextImpl() const;
    void SetFontImpl(const FontSpec& font);
    void SetColorImpl(std::optional<Rgb> color);
    void FocusImpl();

    std::shared_ptr<WidgetHost> host_;
    WidgetEvents events_;
    win32::UniqueWindow window_;
    Bounds bounds_;
    FontSpec font_;
    std::optional<Rgb> color_;
    Cursor cursor_ = Cursor::Default;
    bool visible_ = true;
    bool mouse_inside_ = false;
    // Shared with a running window procedure, which must not touch a widget a handler destroyed.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

  private:
    static LRESULT CALLBACK
    SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR data);
    LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
    void RemoveProperties();

    int sequence_ = 0;
    ATOM name_atom_ = 0;
};

// The Widget methods every kind shares, forwarded to the core.
template <class Interface>
class Win32Widget : public Interface, public WidgetCore {
  public:
    Win32Widget(Form& form, WidgetEvents events) : WidgetCore(form, std::move(events)) {}

    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd()); }
    void SetName(const std::string& name) override { SetNameImpl(name); }
    void SetBounds(Bounds bounds) override { SetBoundsImpl(bounds); }
    Bounds GetBounds() const override { return bounds_; }
    void SetVisible(bool visible) override { SetVisibleImpl(visible); }
    bool Visible() const override { return IsVisible(); }
    void SetEnabled(bool enabled) override { SetEnabledImpl(enabled); }
    bool Enabled() const override { return IsEnabled(); }
    void SetText(const std::string& text) override { SetTextImpl(text); }
    std::string Text() const override { return TextImpl(); }
    void SetFont(const FontSpec& font) override { SetFontImpl(font); }
    FontSpec Font() const override { return font_; }
    void SetColor(std::optional<Rgb> color) override { SetColorImpl(color); }
    std::optional<Rgb> Color() const override { return color_; }
    void SetCursor(Cursor cursor) override { cursor_ = cursor; }
    void Focus() override { FocusImpl(); }
};

}  // namespace orlo::platform::win32

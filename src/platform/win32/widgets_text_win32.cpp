// Labels and one-line edits.
#include <windows.h>

#include <algorithm>

#include "platform/widgets.h"
#include "platform/win32/widget_host_win32.h"
#include "platform/win32/wide.h"

namespace orlo::platform {
namespace {

using win32::Raise;

class Win32Label final : public win32::Win32Widget<LabelWidget> {
  public:
    Win32Label(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        CreateChild(win32::CustomClass(L"OrloLabel"), 0);
    }
    void SetAlignment(TextAlignment alignment) override {
        alignment_ = alignment;
        Invalidate();
    }
    bool SeeThrough() const override { return !color_; }

  protected:
    LRESULT OnMessage(UINT message, WPARAM, LPARAM, bool& handled) override {
        LRESULT result = 0;
        if (SelfPaint(message, result, [this](HDC dc, const RECT& client) { Paint(dc, client); })) {
            handled = true;
            return result;
        }
        switch (message) {
            case WM_ENABLE:
                Invalidate();
                break;
            default:
                break;
        }
        return 0;
    }

  private:
    void Paint(HDC dc, RECT client) const {
        if (color_) {
            win32::UniqueBrush brush(CreateSolidBrush(win32::ToColorRef(*color_)));
            FillRect(dc, &client, brush.get());
        } else {
            PaintBacking(dc);
        }
        const std::wstring text = win32::Widen(TextImpl());
        if (text.empty()) return;
        win32::SelectedObject font(dc, CurrentFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsEnabled() ? win32::ToColorRef(font_.color) : GetSysColor(COLOR_GRAYTEXT));
        // No word wrap: a line longer than the label is cut at its edge.
        UINT format = DT_NOPREFIX | DT_EXPANDTABS;
        format |= alignment_ == TextAlignment::Center  ? DT_CENTER
                  : alignment_ == TextAlignment::Right ? DT_RIGHT
                                                       : DT_LEFT;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
    }

    TextAlignment alignment_ = TextAlignment::Left;
};

// A one-line edit whose text sits in the vertical middle. The text area is the client area,
// moved down by a top margin kept as non-client area: a multi-line edit could take a
// formatting rectangle instead, but multi-line edits ignore the password character.
class Win32Edit final : public win32::Win32Widget<EditWidget> {
  public:
    Win32Edit(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        CreateChild(L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP);
        MakeBrush();
    }
    void SetPasswordChar(char32_t character) override {
        if (!hwnd()) return;
        // One UTF-16 unit only; anything beyond the basic plane shows as an asterisk.
        WPARAM unit = character > 0xFFFF ? L'*' : static_cast<WPARAM>(character);
        SendMessageW(hwnd(), EM_SETPASSWORDCHAR, unit, 0);
        Invalidate();
    }
    void SetHint(const std::string& hint, const FontSpec& font) override {
        hint_ = hint;
        hint_font_ = font;
        Invalidate();
    }
    std::string Hint() const override { return hint_; }
    bool Focused() const override { return hwnd() && GetFocus() == hwnd(); }

  protected:
    void FontChanged() override { Reframe(); }
    void BoundsChanged() override { Reframe(); }
    void ColorChanged() override { MakeBrush(); }

    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override {
        switch (message) {
            case WM_NCCALCSIZE: {
                handled = true;
                RECT* r =
                    wparam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam)->rgrc[0] : reinterpret_cast<RECT*>(lparam);
                r->top = std::min(r->bottom, r->top + TopMargin(r->bottom - r->top));
                return 0;
            }
            case WM_NCHITTEST:
                // The margin is part of the edit for the mouse.
                handled = true;
                return HTCLIENT;
            case WM_NCPAINT:
                handled = true;
                PaintMargin();
                DrawHint();
                return 0;
            case WM_PAINT: {
                handled = true;
                LRESULT result = DefaultProc(message, wparam, lparam);
                DrawHint();
                return result;
            }
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                Invalidate();  // the hint comes and goes with the focus
                break;
            case WM_KEYDOWN:
                if (wparam == VK_RETURN) {
                    handled = true;
                    return 0;
                }
                break;
            case WM_CHAR:
                if (wparam == '\r' || wparam == '\n') {
                    handled = true;
                    return 0;
                }
                break;
            case win32::kReflect + WM_CTLCOLOREDIT:
            case win32::kReflect + WM_CTLCOLORSTATIC: {
                handled = true;
                HDC dc = reinterpret_cast<HDC>(wparam);
                SetTextColor(dc, IsEnabled() ? win32::ToColorRef(font_.color) : GetSysColor(COLOR_GRAYTEXT));
                SetBkColor(dc, Background());
                return reinterpret_cast<LRESULT>(brush_.get());
            }
            case win32::kReflect + WM_COMMAND:
                if (HIWORD(wparam) == EN_CHANGE) {
                    handled = true;
                    Raise(events_.on_change);
                    return 0;
                }
                break;
            default:
                break;
        }
        return 0;
    }

  private:
    // (height - character height - 6) / 2, the flat look's margin.
    int TopMargin(int height) const { return std::max(0, (height - win32::CharHeight(CurrentFont()) - 6) / 2); }

    COLORREF Background() const { return color_ ? win32::ToColorRef(*color_) : GetSysColor(COLOR_WINDOW); }

    void MakeBrush() { brush_ = win32::UniqueBrush(CreateSolidBrush(Background())); }

    void Reframe() {
        if (hwnd())
            SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void PaintMargin() const {
        RECT window, client;
        if (!GetWindowRect(hwnd(), &window) || !GetClientRect(hwnd(), &client)) return;
        POINT origin = {0, 0};
        MapWindowPoints(hwnd(), nullptr, &origin, 1);
        RECT margin = {0, 0, window.right - window.left, origin.y - window.top};
        if (margin.bottom <= 0) return;
        win32::WindowDc dc(hwnd(), true);
        if (dc) FillRect(dc.get(), &margin, brush_.get());
    }

    // Grey hint over the empty, unfocused edit, drawn on the whole window.
    void DrawHint() const {
        if (hint_.empty() || GetFocus() == hwnd() || GetWindowTextLengthW(hwnd()) > 0) return;
        RECT window;
        if (!GetWindowRect(hwnd(), &window)) return;
        win32::WindowDc dc(hwnd(), true);
        if (!dc) return;
        const std::wstring text = win32::Widen(hint_);
        win32::SelectedObject font(dc.get(), win32::FontFor(hint_font_));
        SIZE extent = {};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
        SetBkMode(dc.get(), TRANSPARENT);
        SetTextColor(dc.get(), win32::ToColorRef(hint_font_.color));
        const int y = (window.bottom - window.top - extent.cy) / 2 - 2;
        TextOutW(dc.get(), 5, y, text.c_str(), static_cast<int>(text.size()));
    }

    std::string hint_;
    FontSpec hint_font_;
    win32::UniqueBrush brush_;
};

}  // namespace

std::unique_ptr<LabelWidget> CreateLabel(Form& form, WidgetEvents events) {
    return std::make_unique<Win32Label>(form, std::move(events));
}

std::unique_ptr<EditWidget> CreateEdit(Form& form, WidgetEvents events) {
    return std::make_unique<Win32Edit>(form, std::move(events));
}

}  // namespace orlo::platform

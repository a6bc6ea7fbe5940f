// Image buttons, flat caption buttons, check boxes and dialog push buttons.
#include <windows.h>
#include <windowsx.h>

#include "platform/widgets.h"
#include "platform/win32/widget_host_win32.h"
#include "platform/win32/wide.h"

namespace orlo::platform {
namespace {

using win32::BufferedPaint;
using win32::Picture;
using win32::Raise;

// A custom-drawn button: pressed while the left button is held down on it, clicked when it is
// released inside.
template <class Interface>
class Pressable : public win32::Win32Widget<Interface> {
  public:
    using win32::Win32Widget<Interface>::Win32Widget;

  protected:
    virtual void Paint(HDC dc, const RECT& client) = 0;
    virtual void Clicked() { Raise(this->events_.on_click); }
    bool PressedLook() const { return pressed_ && pressed_inside_; }
    bool HotLook() const { return this->mouse_inside_ || pressed_; }

    LRESULT OnMessage(UINT message, WPARAM, LPARAM lparam, bool& handled) override {
        HWND h = this->hwnd();
        LRESULT result = 0;
        if (this->SelfPaint(message, result, [this](HDC dc, const RECT& client) { Paint(dc, client); })) {
            handled = true;
            return result;
        }
        switch (message) {
            case WM_LBUTTONDOWN:
                handled = true;
                SetCapture(h);
                pressed_ = pressed_inside_ = true;
                this->Invalidate();
                Raise(this->events_.on_mouse_down, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
                return 0;
            case WM_MOUSEMOVE:
                if (pressed_) {
                    RECT client;
                    GetClientRect(h, &client);
                    POINT at = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
                    bool inside = PtInRect(&client, at) != 0;
                    if (inside != pressed_inside_) {
                        pressed_inside_ = inside;
                        this->Invalidate();
                    }
                }
                if (!this->mouse_inside_) this->Invalidate();  // becomes hot
                break;
            case WM_MOUSELEAVE:
                this->Invalidate();
                break;
            case WM_LBUTTONUP: {
                handled = true;
                if (!pressed_) return 0;
                const bool click = pressed_inside_;
                pressed_ = false;
                ReleaseCapture();
                this->Invalidate();
                if (click) Clicked();
                return 0;
            }
            case WM_CAPTURECHANGED:
                if (pressed_) {
                    pressed_ = false;
                    this->Invalidate();
                }
                break;
            case WM_ENABLE:
                this->Invalidate();
                break;
            default:
                break;
        }
        return 0;
    }

    void DrawCaption(HDC dc, RECT area, UINT format) const {
        const std::wstring text = win32::Widen(this->TextImpl());
        if (text.empty()) return;
        win32::SelectedObject font(dc, this->CurrentFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, this->IsEnabled() ? win32::ToColorRef(this->font_.color) : GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format | DT_NOPREFIX);
    }

    bool pressed_ = false;
    bool pressed_inside_ = false;
};

class Win32ImageButton final : public Pressable<ImageButtonWidget> {
  public:
    Win32ImageButton(Form& form, WidgetEvents events) : Pressable(form, std::move(events)) {
        CreateChild(win32::CustomClass(L"OrloImageButton"), 0);
    }
    void SetPictures(Pictures pictures) override {
        normal_ = Picture::Load(pictures.normal);
        hot_ = Picture::Load(pictures.hot);
        down_ = Picture::Load(pictures.down);
        disabled_ = Picture::Load(pictures.disabled);
        Invalidate();
    }
    bool SeeThrough() const override { return true; }

  protected:
    void Paint(HDC dc, const RECT&) override {
        PaintBacking(dc);
        const Picture* picture = normal_.get();
        const Picture* state = !IsEnabled()    ? disabled_.get()
                               : PressedLook() ? down_.get()
                               : HotLook()     ? hot_.get()
                                               : nullptr;
        if (state) picture = state;
        if (!picture) return;
        win32::CanvasGraphics canvas(dc);
        picture->Draw(canvas.get(), 0, 0);
    }

  private:
    std::unique_ptr<Picture> normal_, hot_, down_, disabled_;
};

class Win32FlatButton final : public Pressable<FlatButtonWidget> {
  public:
    Win32FlatButton(Form& form, WidgetEvents events) : Pressable(form, std::move(events)) {
        CreateChild(win32::CustomClass(L"OrloFlatButton"), 0);
    }
    bool SeeThrough() const override { return !color_; }

  protected:
    void Paint(HDC dc, const RECT& client) override {
        const bool hot = HotLook() && IsEnabled();
        if (color_) {
            win32::UniqueBrush brush(CreateSolidBrush(win32::ToColorRef(hot ? win32::Lighter(*color_, 20) : *color_)));
            FillRect(dc, &client, brush.get());
        } else {
            PaintBacking(dc);
            if (hot) {
                win32::CanvasGraphics canvas(dc);
                Gdiplus::SolidBrush light(Gdiplus::Color(48, 255, 255, 255));
                canvas.get().FillRectangle(&light, 0, 0, client.right, client.bottom);
            }
        }
        RECT area = client;
        if (PressedLook()) OffsetRect(&area, 1, 1);
        DrawCaption(dc, area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};

class Win32CheckBox final : public Pressable<CheckBoxWidget> {
  public:
    Win32CheckBox(Form& form, WidgetEvents events) : Pressable(form, std::move(events)) {
        CreateChild(win32::CustomClass(L"OrloCheckBox"), WS_TABSTOP);
    }
    void SetChecked(bool checked) override {
        checked_ = checked;
        Invalidate();
    }
    bool Checked() const override { return checked_; }
    bool SeeThrough() const override { return !color_; }

  protected:
    static constexpr int kBox = 13;

    void Clicked() override {
        checked_ = !checked_;
        Invalidate();
        Raise(events_.on_click);
    }
    void Paint(HDC dc, const RECT& client) override {
        if (color_) {
            win32::UniqueBrush brush(CreateSolidBrush(win32::ToColorRef(*color_)));
            FillRect(dc, &client, brush.get());
        } else {
            PaintBacking(dc);
        }
        RECT box = {0, (client.bottom - kBox) / 2, kBox, (client.bottom - kBox) / 2 + kBox};
        UINT state = DFCS_BUTTONCHECK | (checked_ ? DFCS_CHECKED : 0) | (IsEnabled() ? 0 : DFCS_INACTIVE) |
                     (PressedLook() ? DFCS_PUSHED : 0);
        DrawFrameControl(dc, &box, DFC_BUTTON, state);
        RECT text = client;
        text.left = kBox + 4;
        DrawCaption(dc, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (GetFocus() == hwnd()) {
            SetTextColor(dc, RGB(0, 0, 0));
            DrawFocusRect(dc, &text);
        }
    }
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override {
        switch (message) {
            case WM_KEYUP:
                if (wparam == VK_SPACE) {
                    handled = true;
                    Clicked();
                    return 0;
                }
                break;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                Invalidate();
                break;
            default:
                break;
        }
        return Pressable::OnMessage(message, wparam, lparam, handled);
    }

  private:
    bool checked_ = false;
};

class Win32PushButton final : public win32::Win32Widget<PushButtonWidget> {
  public:
    Win32PushButton(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        CreateChild(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
    }
    void SetModalResult(ModalResult result) override { result_ = result; }
    void SetDefault(bool is_default) override {
        default_ = is_default;
        if (hwnd()) SendMessageW(hwnd(), BM_SETSTYLE, is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
    void SetCancel(bool is_cancel) override { cancel_ = is_cancel; }
    bool IsDefaultButton() const override { return default_; }
    bool IsCancelButton() const override { return cancel_; }

    // Pressed by the mouse, by Space, or by Enter/Escape in a modal form.
    void Press() override {
        if (result_ != ModalResult::None && host_ && host_->end_modal) host_->end_modal(result_);
        Raise(events_.on_click);
    }

  protected:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM, bool& handled) override {
        if (message == win32::kReflect + WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
            handled = true;
            Press();
        }
        return 0;
    }

  private:
    ModalResult result_ = ModalResult::None;
    bool default_ = false;
    bool cancel_ = false;
};

}  // namespace

std::unique_ptr<ImageButtonWidget> CreateImageButton(Form& form, WidgetEvents events) {
    return std::make_unique<Win32ImageButton>(form, std::move(events));
}

std::unique_ptr<FlatButtonWidget> CreateFlatButton(Form& form, WidgetEvents events) {
    return std::make_unique<Win32FlatButton>(form, std::move(events));
}

std::unique_ptr<CheckBoxWidget> CreateCheckBox(Form& form, WidgetEvents events) {
    return std::make_unique<Win32CheckBox>(form, std::move(events));
}

std::unique_ptr<PushButtonWidget> CreatePushButton(Form& form, WidgetEvents events) {
    return std::make_unique<Win32PushButton>(form, std::move(events));
}

}  // namespace orlo::platform

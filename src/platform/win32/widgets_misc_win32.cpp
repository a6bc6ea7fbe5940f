// Pictures, glass progress bars and bevel lines.
#include <windows.h>

#include <algorithm>

#include "platform/widgets.h"
#include "platform/win32/widget_host_win32.h"

namespace orlo::platform {
namespace {

using win32::Picture;

class Win32Image final : public win32::Win32Widget<ImageWidget> {
  public:
    Win32Image(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        CreateChild(win32::CustomClass(L"OrloImage"), 0);
    }
    ~Win32Image() override { StopAnimation(); }

    void SetPicture(Bytes image, Layout layout) override {
        StopAnimation();
        picture_ = Picture::Load(image);
        layout_ = layout;
        frame_ = 0;
        StartAnimation();
        Changed();
    }
    std::optional<std::pair<int, int>> PictureSize() const override {
        if (!picture_) return std::nullopt;
        return std::pair{picture_->Width(), picture_->Height()};
    }
    void SetDrawnByBackdrop(bool backdrop) override {
        backdrop_ = backdrop;
        ApplyVisibility();
        if (host_) host_->InvalidateAbove(*this);
    }

    bool IsBackingImage() const override { return picture_ != nullptr; }
    bool DrawnByBackdrop() const override { return backdrop_ && picture_; }
    bool SeeThrough() const override { return true; }
    void DrawAsBacking(Gdiplus::Graphics& graphics, int dx, int dy) const override {
        if (!picture_) return;
        const int left = bounds_.left + dx;
        const int top = bounds_.top + dy;
        // As the backdrop draws it: its own size at the control's place, not clipped.
        if (backdrop_) {
            picture_->Draw(graphics, left, top);
            return;
        }
        graphics.SetClip(Gdiplus::Rect(left, top, bounds_.width, bounds_.height));
        DrawLaidOut(graphics, left, top);
        graphics.ResetClip();
    }

  protected:
    bool HiddenByKind() const override { return backdrop_; }
    void BoundsChanged() override {
        if (host_) host_->InvalidateAbove(*this);
    }

    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM, bool& handled) override {
        LRESULT result = 0;
        if (SelfPaint(message, result, [this](HDC dc, const RECT&) {
                PaintBacking(dc);
                if (!picture_) return;
                win32::CanvasGraphics canvas(dc);
                DrawLaidOut(canvas.get(), 0, 0);
            })) {
            handled = true;
            return result;
        }
        switch (message) {
            case WM_TIMER:
                if (wparam == kAnimationTimer) {
                    handled = true;
                    NextFrame();
                }
                return 0;
            default:
                return 0;
        }
    }

  private:
    static constexpr UINT_PTR kAnimationTimer = 1;

    // Where the picture goes in a client area of the control's size (the image control's rules).
    RECT Destination() const {
        int w = picture_->Width();
        int h = picture_->Height();
        const int cw = bounds_.width;
        const int ch = bounds_.height;
        if (layout_.stretch || (layout_.proportional && (w > cw || h > ch))) {
            if (layout_.proportional && w > 0 && h > 0) {
                const double aspect = static_cast<double>(w) / h;
                if (w > h) {
                    w = cw;
                    h = static_cast<int>(cw / aspect);
                    if (h > ch) {
                        h = ch;
                        w = static_cast<int>(ch * aspect);
                    }
                } else {
                    h = ch;
                    w = static_cast<int>(ch * aspect);
                    if (w > cw) {
                        w = cw;
                        h = static_cast<int>(cw / aspect);
                    }
                }
            } else {
                w = cw;
                h = ch;
            }
        }
        RECT r = {0, 0, w, h};
        if (layout_.center) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
        return r;
    }

    void DrawLaidOut(Gdiplus::Graphics& graphics, int left, int top) const {
        const RECT r = Destination();
        picture_->Draw(graphics, left + r.left, top + r.top, r.right - r.left, r.bottom - r.top);
    }

    void Changed() {
        Invalidate();
        if (host_) host_->InvalidateAbove(*this);
    }

    void StartAnimation() {
        if (!picture_ || picture_->FrameCount() < 2 || !hwnd()) return;
        picture_->SelectFrame(frame_);
        SetTimer(hwnd(), kAnimationTimer, picture_->FrameDelay(frame_), nullptr);
    }
    void StopAnimation() {
        if (hwnd()) KillTimer(hwnd(), kAnimationTimer);
    }
    void NextFrame() {
        if (!picture_ || picture_->FrameCount() < 2) return;
        frame_ = (frame_ + 1) % picture_->FrameCount();
        picture_->SelectFrame(frame_);
        SetTimer(hwnd(), kAnimationTimer, picture_->FrameDelay(frame_), nullptr);
        Changed();
    }

    std::unique_ptr<Picture> picture_;
    Layout layout_;
    std::size_t frame_ = 0;
    bool backdrop_ = false;
};

// The glass look: a frame, a background, and the filled part in a vertical gradient with a
// lighter upper half.
class Win32Progress final : public win32::Win32Widget<ProgressWidget> {
  public:
    Win32Progress(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        CreateChild(win32::CustomClass(L"OrloProgress"), 0);
    }
    void SetRange(int minimum, int maximum) override {
        minimum_ = minimum;
        maximum_ = maximum;
        position_ = Clamp(position_);
        Invalidate();
    }
    void SetPosition(int position) override {
        position = Clamp(position);
        if (position == position_) return;
        position_ = position;
        Invalidate();
    }
    int Position() const override { return position_; }
    int Minimum() const override { return minimum_; }
    int Maximum() const override { return maximum_; }
    void SetStyle(ProgressStyle style,
                  std::optional<Rgb> bar,
                  std::optional<Rgb> background,
                  std::optional<Rgb> border) override {
        style_ = style;
        bar_ = bar;
        background_ = background;
        border_ = border;
        Invalidate();
    }

  protected:
    LRESULT OnMessage(UINT message, WPARAM, LPARAM, bool& handled) override {
        LRESULT result = 0;
        handled = SelfPaint(message, result, [this](HDC dc, const RECT& client) { Paint(dc, client); });
        return result;
    }

  private:
    int Clamp(int position) const {
        if (maximum_ < minimum_) return minimum_;
        return std::clamp(position, minimum_, maximum_);
    }

    Rgb BarColor() const {
        switch (style_) {
            case ProgressStyle::Blue:
                return Rgb{0x2B, 0x78, 0xD8};
            case ProgressStyle::Red:
                return Rgb{0xD8, 0x2B, 0x2B};
            case ProgressStyle::Green:
                break;
            case ProgressStyle::Color:
            case ProgressStyle::Custom:
                if (bar_) return *bar_;
                break;
        }
        return Rgb{0x06, 0xB0, 0x25};
    }

    void Paint(HDC dc, const RECT& client) const {
        win32::CanvasGraphics canvas(dc);
        Gdiplus::Graphics& graphics = canvas.get();
        const int w = client.right;
        const int h = client.bottom;
        auto color = [](Rgb c, BYTE alpha = 255) { return Gdiplus::Color(alpha, c.red, c.green, c.blue); };
        Gdiplus::SolidBrush back(color(background_.value_or(Rgb{0xE6, 0xE6, 0xE6})));
        graphics.FillRectangle(&back, 0, 0, w, h);
        const long long span = static_cast<long long>(maximum_) - minimum_;
        const int inner = std::max(w - 2, 0);
        const int filled =
            span > 0 ? static_cast<int>((position_ - minimum_) * static_cast<long long>(inner) / span) : 0;
        if (filled > 0 && h > 2) {
            const Rgb bar = BarColor();
            Gdiplus::Rect fill(1, 1, filled, h - 2);
            Gdiplus::LinearGradientBrush gradient(Gdiplus::Point(0, 0), Gdiplus::Point(0, h),
                                                  color(win32::Lighter(bar, 30)), color(bar));
            graphics.FillRectangle(&gradient, fill);
            Gdiplus::SolidBrush gloss(Gdiplus::Color(90, 255, 255, 255));
            graphics.FillRectangle(&gloss, 1, 1, filled, (h - 2) / 2);
        }
        Gdiplus::Pen frame(color(border_.value_or(Rgb{0xBC, 0xBC, 0xBC})));
        graphics.DrawRectangle(&frame, 0, 0, std::max(w - 1, 0), std::max(h - 1, 0));
    }

    int minimum_ = 0, maximum_ = 100, position_ = 0;
    ProgressStyle style_ = ProgressStyle::Green;
    std::optional<Rgb> bar_, background_, border_;
};

class Win32Bevel final : public win32::Win32Widget<BevelWidget> {
  public:
    Win32Bevel(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        CreateChild(L"STATIC", SS_ETCHEDHORZ);
    }
};

}  // namespace

std::unique_ptr<ImageWidget> CreateImage(Form& form, WidgetEvents events) {
    return std::make_unique<Win32Image>(form, std::move(events));
}

std::unique_ptr<ProgressWidget> CreateProgress(Form& form, WidgetEvents events) {
    return std::make_unique<Win32Progress>(form, std::move(events));
}

std::unique_ptr<BevelWidget> CreateBevel(Form& form, WidgetEvents events) {
    return std::make_unique<Win32Bevel>(form, std::move(events));
}

}  // namespace orlo::platform

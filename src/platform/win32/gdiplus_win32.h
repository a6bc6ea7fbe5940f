// GDI and GDI+ for the skinned windows: owners for device contexts and GDI objects, GDI+
// started once, and pictures decoded from image file bytes.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "codec/bytes.h"
#include "platform/forms.h"
#include "platform/win32/handles.h"

namespace orlo::platform::win32 {

// A font, brush, pen or bitmap.
template <class H>
class UniqueGdiObject {
  public:
    UniqueGdiObject() = default;
    explicit UniqueGdiObject(H h) : h_(h) {}
    UniqueGdiObject(UniqueGdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueGdiObject& operator=(UniqueGdiObject&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
    ~UniqueGdiObject() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset() {
        if (h_) DeleteObject(h_);
        h_ = nullptr;
    }

  private:
    H h_ = nullptr;
};

using UniqueFont = UniqueGdiObject<HFONT>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;

// A memory device context (CreateCompatibleDC).
class UniqueMemoryDc {
  public:
    explicit UniqueMemoryDc(HDC compatible_with) : dc_(CreateCompatibleDC(compatible_with)) {}
    UniqueMemoryDc(const UniqueMemoryDc&) = delete;
    UniqueMemoryDc& operator=(const UniqueMemoryDc&) = delete;
    ~UniqueMemoryDc() {
        if (dc_) DeleteDC(dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// A window's (or, with no window, the screen's) device context from GetDC / GetWindowDC.
class WindowDc {
  public:
    explicit WindowDc(HWND window, bool whole_window = false)
        : window_(window), dc_(whole_window ? GetWindowDC(window) : GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// Keeps an object selected into a device context for a scope.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_) SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// A 32-bit top-down DIB section selected into its own memory DC: what a window paints into
// before one BitBlt to the screen, and what a per-pixel-alpha layered window is updated from.
class DibCanvas {
  public:
    DibCanvas(HDC compatible_with, int width, int height);
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    ~DibCanvas();
    explicit operator bool() const { return bits_ != nullptr; }
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Premultiplied 32-bit ARGB over the same pixels (what GDI+ must draw into for alpha to
    // survive: on the DC itself it treats the surface as opaque RGB).
    Gdiplus::Bitmap* AlphaSurface();

  private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
    int width_, height_;
    std::unique_ptr<Gdiplus::Bitmap> surface_;
};

// Double-buffered WM_PAINT: BeginPaint, a canvas of the client size, and one BitBlt at the end.
class BufferedPaint {
  public:
    explicit BufferedPaint(HWND window);
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint();
    // Null when no buffer could be made; the caller then paints nothing.
    HDC dc() const { return canvas_ && *canvas_ ? canvas_->dc() : nullptr; }
    RECT client() const { return client_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC target_;
    RECT client_ = {};
    std::unique_ptr<DibCanvas> canvas_;
};

// GDI+ drawing onto a device context. On a 32-bit DIB (our canvases, which are top-down) it
// draws into the pixels through a bitmap, GDI+'s own software path: drawn onto the device
// context itself under Wine, a picture reaching past the canvas's edges did not show.
class CanvasGraphics {
  public:
    explicit CanvasGraphics(HDC dc);
    CanvasGraphics(const CanvasGraphics&) = delete;
    CanvasGraphics& operator=(const CanvasGraphics&) = delete;
    ~CanvasGraphics();
    Gdiplus::Graphics& get() { return *graphics_; }

  private:
    std::unique_ptr<Gdiplus::Bitmap> surface_;
    std::unique_ptr<Gdiplus::Graphics> graphics_;
};

COLORREF ToColorRef(Rgb color);
Rgb FromColorRef(COLORREF color);

// GDI+ is started on first use and stays up until the process ends. False when it cannot start.
bool EnsureGdiplus();

// A decoded picture. GDI+ reads from the stream lazily, so the stream lives as long as the image.
class Picture {
  public:
    // Null when the bytes are no image GDI+ can draw (or GDI+ is not there).
    static std::unique_ptr<Picture> Load(ByteView bytes);
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture();

    int Width() const { return width_; }
    int Height() const { return height_; }
    Gdiplus::Image& Image() const { return *image_; }

    // Animation frames (1 for a still picture) and each frame's delay in milliseconds.
    std::size_t FrameCount() const { return delays_ms_.size(); }
    unsigned FrameDelay(std::size_t frame) const { return delays_ms_.at(frame); }
    void SelectFrame(std::size_t frame);

    // Draws at its own pixel size, or into the given size.
    bool Draw(Gdiplus::Graphics& graphics, int left, int top) const;
    bool Draw(Gdiplus::Graphics& graphics, int left, int top, int width, int height) const;

    struct Key {
        explicit Key() = default;
    };
    explicit Picture(Key) {}

  private:
    ComPtr<IStream> stream_;
    std::unique_ptr<Gdiplus::Image> image_;
    int width_ = 0, height_ = 0;
    std::vector<unsigned> delays_ms_;
};

}  // namespace orlo::platform::win32

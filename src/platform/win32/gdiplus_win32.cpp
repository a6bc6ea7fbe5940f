#include "platform/win32/gdiplus_win32.h"

#include <shlwapi.h>

#include <climits>

#include "platform/widgets.h"

namespace orlo::platform::win32 {

DibCanvas::DibCanvas(HDC compatible_with, int width, int height)
    : dc_(compatible_with), width_(width), height_(height) {
    if (!dc_ || width <= 0 || height <= 0) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, like GDI+'s bitmaps
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = UniqueBitmap(CreateDIBSection(compatible_with, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return;
    old_ = SelectObject(dc_.get(), bitmap_.get());
    bits_ = bits;
}

DibCanvas::~DibCanvas() {
    surface_.reset();
    if (old_) SelectObject(dc_.get(), old_);
}

Gdiplus::Bitmap* DibCanvas::AlphaSurface() {
    if (!bits_) return nullptr;
    if (!surface_) {
        GdiFlush();
        surface_ = std::make_unique<Gdiplus::Bitmap>(width_, height_, width_ * 4, PixelFormat32bppPARGB,
                                                     static_cast<BYTE*>(bits_));
        if (surface_->GetLastStatus() != Gdiplus::Ok) surface_.reset();
    }
    return surface_.get();
}

BufferedPaint::BufferedPaint(HWND window) : window_(window), target_(BeginPaint(window, &paint_)) {
    GetClientRect(window, &client_);
    if (target_ && client_.right > 0 && client_.bottom > 0)
        canvas_ = std::make_unique<DibCanvas>(target_, client_.right, client_.bottom);
}

BufferedPaint::~BufferedPaint() {
    if (target_ && canvas_ && *canvas_) {
        GdiFlush();
        BitBlt(target_, 0, 0, client_.right, client_.bottom, canvas_->dc(), 0, 0, SRCCOPY);
    }
    canvas_.reset();
    EndPaint(window_, &paint_);
}

CanvasGraphics::CanvasGraphics(HDC dc) {
    EnsureGdiplus();
    GdiFlush();
    DIBSECTION dib = {};
    auto* bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    if (bitmap && GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits && dib.dsBm.bmBitsPixel == 32) {
        const int width = dib.dsBm.bmWidth;
        const int height = dib.dsBm.bmHeight < 0 ? -dib.dsBm.bmHeight : dib.dsBm.bmHeight;
        const int stride = dib.dsBm.bmWidthBytes;
        // Every 32-bit DIB drawn on here is one of our top-down canvases (GetObject does not
        // tell: Wine reports a top-down DIB's height as positive).
        surface_ = std::make_unique<Gdiplus::Bitmap>(width, height, stride, PixelFormat32bppPARGB,
                                                     static_cast<BYTE*>(dib.dsBm.bmBits));
        if (surface_->GetLastStatus() == Gdiplus::Ok) {
            graphics_ = std::make_unique<Gdiplus::Graphics>(surface_.get());
            return;
        }
        surface_.reset();
    }
    graphics_ = std::make_unique<Gdiplus::Graphics>(dc);
}

CanvasGraphics::~CanvasGraphics() {
    graphics_.reset();  // flushes into the pixels before the bitmap over them goes
    surface_.reset();
}

COLORREF ToColorRef(Rgb color) { return RGB(color.red, color.green, color.blue); }

Rgb FromColorRef(COLORREF color) { return Rgb{GetRValue(color), GetGValue(color), GetBValue(color)}; }

namespace {

// Shut down at exit, after every window (and so every picture) is gone.
class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (started_) Gdiplus::GdiplusShutdown(token_);
    }
    bool started() const { return started_; }

  private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

constexpr PROPID kFrameDelayTag = 0x5100;  // PropertyTagFrameDelay: one LONG per frame, in 1/100 s

std::vector<unsigned> FrameDelays(Gdiplus::Image& image) {
    UINT frames = 1;
    if (image.GetFrameDimensionsCount() > 0) {
        GUID dimension = Gdiplus::FrameDimensionTime;
        UINT count = image.GetFrameCount(&dimension);
        if (count > 1) frames = count;
    }
    std::vector<unsigned> delays(frames, 100);
    if (frames == 1) return delays;
    UINT size = image.GetPropertyItemSize(kFrameDelayTag);
    if (size < sizeof(Gdiplus::PropertyItem)) return delays;
    std::vector<std::uint64_t> storage(size / sizeof(std::uint64_t) + 1);
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(storage.data());
    if (image.GetPropertyItem(kFrameDelayTag, size, item) != Gdiplus::Ok || !item->value) return delays;
    const auto* values = static_cast<const LONG*>(item->value);
    std::size_t n = std::min<std::size_t>(frames, item->length / sizeof(LONG));
    for (std::size_t i = 0; i < n; ++i) {
        // Browsers play delays of 0 or 1 hundredths as 100 ms; so do we.
        delays[i] = values[i] <= 1 ? 100u : static_cast<unsigned>(values[i]) * 10u;
    }
    return delays;
}

}  // namespace

bool EnsureGdiplus() {
    static GdiplusSession session;
    return session.started();
}

std::unique_ptr<Picture> Picture::Load(ByteView bytes) {
    if (bytes.empty() || bytes.size() > UINT_MAX || !EnsureGdiplus()) return nullptr;
    auto picture = std::make_unique<Picture>(Key());
    *picture->stream_.put() = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (!picture->stream_) return nullptr;
    picture->image_ = std::make_unique<Gdiplus::Image>(picture->stream_.get());
    auto& image = *picture->image_;
    if (image.GetLastStatus() != Gdiplus::Ok) return nullptr;
    const UINT width = image.GetWidth();
    const UINT height = image.GetHeight();
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX) return nullptr;
    picture->width_ = static_cast<int>(width);
    picture->height_ = static_cast<int>(height);
    picture->delays_ms_ = FrameDelays(image);
    return picture;
}

Picture::~Picture() {
    // The image reads from the stream until it goes.
    image_.reset();
}

void Picture::SelectFrame(std::size_t frame) {
    if (FrameCount() < 2 || frame >= FrameCount()) return;
    GUID dimension = Gdiplus::FrameDimensionTime;
    image_->SelectActiveFrame(&dimension, static_cast<UINT>(frame));
}

bool Picture::Draw(Gdiplus::Graphics& graphics, int left, int top) const {
    return Draw(graphics, left, top, width_, height_);
}

bool Picture::Draw(Gdiplus::Graphics& graphics, int left, int top, int width, int height) const {
    return graphics.DrawImage(image_.get(), left, top, width, height) == Gdiplus::Ok;
}

}  // namespace orlo::platform::win32

namespace orlo::platform {

std::optional<std::pair<int, int>> ImageSize(ByteView image) {
    auto picture = win32::Picture::Load(image);
    if (!picture) return std::nullopt;
    return std::pair{picture->Width(), picture->Height()};
}

}  // namespace orlo::platform

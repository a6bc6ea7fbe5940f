// Owning wrappers for Win32 handles; the only place CloseHandle and DestroyWindow are called.
#pragma once
#include <windows.h>
#include <winhttp.h>

#include <utility>

namespace orlo::platform::win32 {

class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset() {
        if (h_) CloseHandle(h_);
        h_ = nullptr;
    }

  private:
    HANDLE h_ = nullptr;
};

// A window is destroyed by the thread that created it, so the owner must live on that thread.
class UniqueWindow {
  public:
    UniqueWindow() = default;
    explicit UniqueWindow(HWND w) : w_(w) {}
    UniqueWindow(UniqueWindow&& o) noexcept : w_(std::exchange(o.w_, nullptr)) {}
    UniqueWindow& operator=(UniqueWindow&& o) noexcept {
        if (this != &o) {
            reset();
            w_ = std::exchange(o.w_, nullptr);
        }
        return *this;
    }
    UniqueWindow(const UniqueWindow&) = delete;
    UniqueWindow& operator=(const UniqueWindow&) = delete;
    ~UniqueWindow() { reset(); }

    HWND get() const { return w_; }
    explicit operator bool() const { return w_ != nullptr; }
    void reset() {
        if (w_) DestroyWindow(w_);
        w_ = nullptr;
    }

  private:
    HWND w_ = nullptr;
};

// A WinHTTP session, connection or request. Closing a parent does not wait for its children,
// so owners are declared parent first and destroyed child first.
class UniqueInternet {
  public:
    UniqueInternet() = default;
    explicit UniqueInternet(HINTERNET h) : h_(h) {}
    UniqueInternet(UniqueInternet&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
    UniqueInternet& operator=(UniqueInternet&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, nullptr);
        }
        return *this;
    }
    UniqueInternet(const UniqueInternet&) = delete;
    UniqueInternet& operator=(const UniqueInternet&) = delete;
    ~UniqueInternet() { reset(); }

    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset() {
        if (h_) WinHttpCloseHandle(h_);
        h_ = nullptr;
    }

  private:
    HINTERNET h_ = nullptr;
};

// An owned COM interface pointer (one reference), released when the owner goes.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For a call that hands out a new reference through T**; drops the one held first.
    T** put() {
        reset();
        return &p_;
    }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

  private:
    T* p_ = nullptr;
};

}  // namespace orlo::platform::win32

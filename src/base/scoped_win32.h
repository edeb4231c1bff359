#pragma once
// Owners for every platform handle the program, its tests and its tools hold:
// kernel handles, GDI objects, memory and window drawing contexts, objects
// selected into a context, icons, modules and windows. Each owner releases
// its handle on every path with the one call that matches it; a handle that
// means "none" (a creation that failed) is never released.
//
// One owner per handle: owners move but never copy.
#include <windows.h>

#include <utility>

namespace zeltan::scoped {

template <typename Handle, typename Traits>
class Owner {
public:
    Owner() = default;
    explicit Owner(Handle handle) : handle_(handle) {}
    ~Owner() { reset(); }
    Owner(Owner&& other) noexcept : handle_(other.release()) {}
    Owner& operator=(Owner&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::Valid(handle_); }
    // Gives the handle up without releasing it.
    Handle release() { return std::exchange(handle_, Traits::None()); }
    void reset(Handle handle = Traits::None()) {
        if (Traits::Valid(handle_)) {
            Traits::Release(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::None();
};

namespace traits {

// Threads, events, files and ports: both null and INVALID_HANDLE_VALUE mean
// none (CreateFile fails with the one, CreateEvent with the other).
struct Kernel {
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Release(HANDLE h) { CloseHandle(h); }
};

template <typename Handle>
struct Gdi {
    static Handle None() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { DeleteObject(h); }
};

struct MemoryDc {
    static HDC None() { return nullptr; }
    static bool Valid(HDC dc) { return dc != nullptr; }
    static void Release(HDC dc) { DeleteDC(dc); }
};

struct Icon {
    static HICON None() { return nullptr; }
    static bool Valid(HICON icon) { return icon != nullptr; }
    static void Release(HICON icon) { DestroyIcon(icon); }
};

struct Module {
    static HMODULE None() { return nullptr; }
    static bool Valid(HMODULE module) { return module != nullptr; }
    static void Release(HMODULE module) { FreeLibrary(module); }
};

struct Window {
    static HWND None() { return nullptr; }
    static bool Valid(HWND window) { return window != nullptr; }
    static void Release(HWND window) { DestroyWindow(window); }
};

}  // namespace traits

using Handle = Owner<HANDLE, traits::Kernel>;
// A pen, brush, font or bitmap, deleted with DeleteObject. Declare it before
// the Selection that puts it into a context, so it outlives the selection.
template <typename GdiHandle>
using GdiObject = Owner<GdiHandle, traits::Gdi<GdiHandle>>;
// A context of CreateCompatibleDC, deleted with DeleteDC.
using MemoryDc = Owner<HDC, traits::MemoryDc>;
// An icon the holder made itself (not a shared one), destroyed with DestroyIcon.
using Icon = Owner<HICON, traits::Icon>;
// A module loaded with LoadLibrary(Ex), freed with FreeLibrary.
using Module = Owner<HMODULE, traits::Module>;
// A window the holder created, destroyed with DestroyWindow.
using Window = Owner<HWND, traits::Window>;

// A drawing context of a window (GetDC, or GetWindowDC with the frame),
// released to that window.
class WindowDc {
public:
    explicit WindowDc(HWND window, bool withFrame = false)
        : window_(window), dc_(withFrame ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a context for the life of this value; the object
// it replaced goes back in at the end, before the object itself is deleted.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// One WM_PAINT: BeginPaint when made, EndPaint when gone.
class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window) { BeginPaint(window, &paint_); }
    ~PaintSession() { EndPaint(window_, &paint_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    const PAINTSTRUCT& paint() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

}  // namespace zeltan::scoped

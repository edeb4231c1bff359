#pragma once
// Owners for the GDI objects of one paint: each releases its object on every
// path, so a paint that fails halfway leaks nothing. A null object (a
// creation that failed) is simply not used and not released.
#include <windows.h>

namespace zeltan::gdi {

// A pen, brush, font or bitmap, deleted with DeleteObject.
template <typename Handle>
class Object {
public:
    explicit Object(Handle handle) : handle_(handle) {}
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    ~Object() {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
        }
    }
    Handle get() const { return handle_; }

private:
    Handle handle_;
};

// A memory drawing context, deleted with DeleteDC.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    ~MemoryDc() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// An object selected into a context for the life of this value; the object
// it replaced goes back in at the end, before the object itself is deleted
// (declare the Selection after the Object it selects).
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace zeltan::gdi

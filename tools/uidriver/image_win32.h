// Pixels: a drawing surface whose pixels can be read, windows of another
// process read back from the screen, BMP files, and the icon comparisons
// made with them. Shared by the UI driver and the tests that look at
// pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/scoped_win32.h"

namespace uidriver {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // top-down rows
    COLORREF At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// A 32-bit top-down DIB section selected into its own memory context: draw
// into dc(), read the pixels back with At().
class Surface {
public:
    Surface(int width, int height);
    HDC dc() const { return dc_.get(); }
    bool ok() const { return bits_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    void Fill(COLORREF colour);
    COLORREF At(int x, int y) const;
    Image ToImage() const;

private:
    int width_, height_;
    uint32_t* bits_ = nullptr;
    zeltan::scoped::MemoryDc dc_;
    zeltan::scoped::GdiObject<HBITMAP> bitmap_;
    zeltan::scoped::Selection selected_;
};

// The whole window (frame included) as it shows on the screen.
Image Capture(HWND window);
// An icon drawn at SIZE x SIZE over a solid BACKDROP.
Image RenderIcon(HICON icon, int size, COLORREF backdrop);
bool WriteBmp(const Image& image, const std::string& path);

struct Match {
    bool found = false;
    int x = 0, y = 0;        // where the icon's top-left pixel lies in the image
    int mismatches = 0;      // of the icon's opaque pixels, at the best place
    int opaque = 0;          // the icon's opaque pixels
};
// Looks for the opaque pixels of ICON (drawn at SIZE) anywhere in IMAGE; a
// pixel matches when no colour channel differs by more than TOLERANCE.
Match FindIcon(const Image& image, HICON icon, int size, int tolerance = 0);

}  // namespace uidriver

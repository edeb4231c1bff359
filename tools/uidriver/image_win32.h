// Pixels of windows of another process, read back from the screen through
// the window's DC, and the icon comparisons made with them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // top-down rows
    COLORREF At(int x, int y) const { return pixels[size_t(y) * width + x]; }
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

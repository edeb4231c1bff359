#include "image_win32.h"

#include <cstdio>
#include <cstdlib>

namespace uidriver {

namespace {

HBITMAP NewDibSection(HDC dc, int width, int height, uint32_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = bitmap != nullptr ? static_cast<uint32_t*>(memory) : nullptr;
    return bitmap;
}

void Put16(FILE* f, unsigned v) {
    std::fputc(v & 0xFF, f);
    std::fputc((v >> 8) & 0xFF, f);
}
void Put32(FILE* f, unsigned v) {
    Put16(f, v & 0xFFFF);
    Put16(f, v >> 16);
}

}  // namespace

Surface::Surface(int width, int height)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(nullptr)),
      bitmap_(NewDibSection(dc_.get(), width, height, &bits_)),
      selected_(dc_.get(), bitmap_.get()) {}

void Surface::Fill(COLORREF c) {
    const uint32_t p = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = p;
}

COLORREF Surface::At(int x, int y) const {
    GdiFlush();
    const uint32_t p = bits_[size_t(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

Image Surface::ToImage() const {
    Image image{width_, height_, {}};
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) {
        const uint32_t p = bits_[i];
        image.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    return image;
}

// A child's DC of another process reads back black under Wine, so the
// pixels come from its top-level window's DC, cut to the child's rectangle.
Image Capture(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    RECT outer{}, rect{};
    GetWindowRect(root, &outer);
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return {};
    Surface surface(width, height);
    const zeltan::scoped::WindowDc source(root, true);
    if (!surface.ok() || !source.get()) return {};
    BitBlt(surface.dc(), 0, 0, width, height, source.get(), rect.left - outer.left,
           rect.top - outer.top, SRCCOPY);
    return surface.ToImage();
}

Image RenderIcon(HICON icon, int size, COLORREF backdrop) {
    Surface surface(size, size);
    if (!surface.ok()) return {};
    surface.Fill(backdrop);
    DrawIconEx(surface.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return surface.ToImage();
}

bool WriteBmp(const Image& image, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    unsigned row = (unsigned(image.width) * 3 + 3) & ~3u;
    unsigned data = row * unsigned(image.height);
    std::fputs("BM", f);
    Put32(f, 54 + data);
    Put32(f, 0);
    Put32(f, 54);
    Put32(f, 40);
    Put32(f, image.width);
    Put32(f, image.height);  // positive: rows run bottom-up
    Put16(f, 1);
    Put16(f, 24);
    Put32(f, 0);
    Put32(f, data);
    Put32(f, 2835);
    Put32(f, 2835);
    Put32(f, 0);
    Put32(f, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            COLORREF c = image.At(x, y);
            std::fputc(GetBValue(c), f);
            std::fputc(GetGValue(c), f);
            std::fputc(GetRValue(c), f);
        }
        for (unsigned pad = unsigned(image.width) * 3; pad < row; ++pad) std::fputc(0, f);
    }
    return std::fclose(f) == 0;
}

namespace {
bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
}  // namespace

Match FindIcon(const Image& image, HICON icon, int size, int tolerance) {
    // Two backdrops tell the icon's opaque pixels from its transparent ones.
    Image black = RenderIcon(icon, size, RGB(0, 0, 0));
    Image white = RenderIcon(icon, size, RGB(255, 255, 255));
    Match best;
    best.mismatches = size * size + 1;
    if (black.pixels.empty() || image.width < size || image.height < size) return best;
    int opaque = 0;
    for (int i = 0; i < size * size; ++i) opaque += black.pixels[i] == white.pixels[i];
    best.opaque = opaque;
    if (opaque == 0) return best;  // nothing to look for
    for (int oy = 0; oy + size <= image.height; ++oy) {
        for (int ox = 0; ox + size <= image.width; ++ox) {
            int wrong = 0;
            for (int y = 0; y < size && wrong < best.mismatches; ++y) {
                for (int x = 0; x < size; ++x) {
                    COLORREF c = black.At(x, y);
                    if (c != white.At(x, y)) continue;  // transparent there
                    if (!Near(image.At(ox + x, oy + y), c, tolerance)) ++wrong;
                }
            }
            if (wrong < best.mismatches) best = {wrong == 0, ox, oy, wrong, opaque};
        }
    }
    return best;
}

}  // namespace uidriver

// dial_pictures DIR: writes the dial as it is painted for a few states to
// DIR/<state>.bmp, for a person to look at (the test turns them into PNGs).
#include <windows.h>

#include <cstdio>
#include <string>

#include "dial/paint_win32.h"
#include "dial/turn_win32.h"

namespace {

constexpr int kSize = 398;

bool WriteBmp(HDC dc, HBITMAP bitmap, const std::string& path) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kSize;
    info.bmiHeader.biHeight = kSize;  // bottom-up, as BMP files keep rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const DWORD stride = (kSize * 3 + 3) & ~3u;
    std::string pixels(stride * kSize, '\0');
    GetDIBits(dc, bitmap, 0, kSize, pixels.data(), &info, DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dial_pictures DIR\n");
        return 2;
    }
    const struct {
        const char* name;
        zeltan::DialValues values;
    } states[] = {
        {"initial", {{0, 0, 0, 0}, {0, 120, 240}, 0}},
        {"settings-read", {{120, 100, 60, 30}, {0, 120, 240}, 0}},
        {"turning", {{120, 100, 60, 30}, {11, 131, 251}, 17}},
        {"odd-angles", {{-90, 450, 360, 45}, {270, 30, 150}, -5}},
    };
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kSize, kSize);
    HGDIOBJ old = SelectObject(memory, bitmap);
    int status = 0;
    for (const auto& state : states) {
        zeltan::TTurn turn(kSize / 2, kSize / 2, 170);
        zeltan::DrawDialPicture(memory, kSize, kSize, turn, state.values);
        SelectObject(memory, old);  // GetDIBits wants the bitmap unselected
        const std::string path = std::string(argv[1]) + "\\" + state.name + ".bmp";
        if (!WriteBmp(memory, bitmap, path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            status = 1;
        }
        SelectObject(memory, bitmap);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return status;
}

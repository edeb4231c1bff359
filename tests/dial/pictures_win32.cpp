// dial_pictures DIR: writes the dial as it is painted for a few states to
// DIR/<state>.bmp, for a person to look at (the test makes PNGs of them).
#include <windows.h>

#include <cstdio>
#include <string>

#include "dial/paint_win32.h"
#include "dial/turn_win32.h"
#include "image_win32.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dial_pictures DIR\n");
        return 2;
    }
    constexpr int kSize = 398;
    const struct {
        const char* name;
        zeltan::DialValues values;
    } states[] = {
        {"initial", {{0, 0, 0, 0}, {0, 120, 240}, 0}},
        {"settings-read", {{120, 100, 60, 30}, {0, 120, 240}, 0}},
        {"turning", {{120, 100, 60, 30}, {11, 131, 251}, 17}},
        {"odd-angles", {{-90, 450, 360, 45}, {270, 30, 150}, -5}},
    };
    int status = 0;
    for (const auto& state : states) {
        uidriver::Surface surface(kSize, kSize);
        zeltan::TTurn turn(kSize / 2, kSize / 2, 170);
        zeltan::DrawDialPicture(surface.dc(), kSize, kSize, turn, state.values);
        const std::string path = std::string(argv[1]) + "\\" + state.name + ".bmp";
        if (!uidriver::WriteBmp(surface.ToImage(), path)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            status = 1;
        }
    }
    return status;
}

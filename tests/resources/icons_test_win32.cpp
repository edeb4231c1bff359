// The icons as the program meets them: each name is an icon group with one
// image, loads at 16 x 16 as a shared image, and draws the pixels of its map.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "icon_maps.h"
#include "image_win32.h"

namespace {

constexpr COLORREF kBackdrop = RGB(255, 0, 255);  // in no icon: shows transparency

COLORREF ExpectedColour(char pixel) {
    switch (pixel) {
        case 'K': return RGB(0, 0, 0);
        case 'W': return RGB(255, 255, 255);
        case 'G': return RGB(128, 128, 128);
        case 'R': return RGB(255, 0, 0);
        default: return kBackdrop;
    }
}

HICON LoadShared(const char* name, int size) {
    return static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, size, size, LR_SHARED));
}

std::string Hex(COLORREF c) {
    char text[16];
    wsprintfA(text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

TEST(Icons, EachNameIsAnIconGroupWithExactlyOneImage) {
    for (const IconMapRows& map : kIconMaps) {
        HRSRC found = FindResourceA(nullptr, map.name, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
        ASSERT_NE(found, nullptr) << map.name;
        const auto* group = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
        ASSERT_NE(group, nullptr) << map.name;
        EXPECT_EQ(group[1], 1) << map.name << ": resource type icon";
        EXPECT_EQ(group[2], 1) << map.name << ": image count";
    }
}

TEST(Icons, EachIconDrawsItsPixelMapAtItsOwnSize) {
    for (const IconMapRows& map : kIconMaps) {
        HICON icon = LoadShared(map.name, map.width);
        ASSERT_NE(icon, nullptr) << map.name;
        uidriver::Surface canvas(map.width, map.height);
        canvas.Fill(kBackdrop);
        ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, map.width, map.height, 0, nullptr,
                               DI_NORMAL));
        int wrong = 0;
        for (int y = 0; y < map.height; ++y) {
            for (int x = 0; x < map.width; ++x) {
                COLORREF want = ExpectedColour(map.rows[y][x]);
                if (canvas.At(x, y) != want && ++wrong <= 3) {
                    ADD_FAILURE() << map.name << " at " << x << "," << y << ": "
                                  << Hex(canvas.At(x, y)) << " instead of " << Hex(want);
                }
            }
        }
        EXPECT_EQ(wrong, 0) << map.name;
    }
}

TEST(Icons, SharedLoadsOfOneNameGiveOneIcon) {
    EXPECT_EQ(LoadShared("L_OFF", 16), LoadShared("L_OFF", 16));
    EXPECT_NE(LoadShared("L_OFF", 16), LoadShared("L_ON", 16));
}

TEST(Icons, AppIconAtSixteenKeepsItsBars) {
    // The window class asks for the 32 x 32 picture at 16 x 16.
    HICON icon = LoadShared("APP", 16);
    ASSERT_NE(icon, nullptr);
    uidriver::Surface canvas(16, 16);
    canvas.Fill(kBackdrop);
    ASSERT_TRUE(DrawIconEx(canvas.dc(), 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(Hex(canvas.At(0, 2)), "000000") << "left bar";
    EXPECT_EQ(Hex(canvas.At(12, 8)), "000000") << "middle bar";
    EXPECT_EQ(Hex(canvas.At(12, 2)), "ffffff") << "white above the bar";
    EXPECT_EQ(Hex(canvas.At(12, 13)), "ffffff") << "white below the bar";
}

}  // namespace

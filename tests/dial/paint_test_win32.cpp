// The dial's picture under Wine: pixels where they prove the drawing rules,
// the erase message, and that paints release every GDI object.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/globals_win32.h"
#include "base/scoped_win32.h"
#include "dial/paint_win32.h"
#include "dial/turn_win32.h"
#include "image_win32.h"
#include "protocol/data.h"
#include "protocol/rotor.h"

namespace zeltan {
namespace {

constexpr int kSize = 398;  // the dial window's client size
constexpr COLORREF kGrey = RGB(153, 153, 153);
constexpr COLORREF kRed = RGB(255, 51, 51);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A picture in memory of the dial window's client size that the dial draws
// into and the test reads.
class Canvas : public uidriver::Surface {
public:
    Canvas() : Surface(kSize, kSize) {}
    bool AnyIn(RECT r, COLORREF colour) const {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (At(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }
    // The same pixels in both canvases within the box.
    bool SameIn(RECT r, const Canvas& other) const {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (At(x, y) != other.At(x, y)) {
                    return false;
                }
            }
        }
        return true;
    }
};

const DialValues kInitial = {{0, 0, 0, 0}, {0, 120, 240}, 0};

// The dial's font as the operator is meant to see it: Tahoma, 15 pixels,
// weight 500.
scoped::GdiObject<HFONT> ReferenceFont() {
    return scoped::GdiObject<HFONT>(CreateFontA(15, 0, 0, 0, 500, FALSE, FALSE, FALSE,
                                                ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                                DEFAULT_PITCH | FF_DONTCARE, "Tahoma"));
}

// The size of a label in the dial's font, measured the way the dial does.
SIZE LabelSize(const std::string& text) {
    Canvas c;
    const scoped::GdiObject<HFONT> font = ReferenceFont();
    const scoped::Selection selected(c.dc(), font.get());
    SIZE size = {};
    GetTextExtentPoint32A(c.dc(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

TEST(DialPicture, InitialPictureHasCircleRaysAndLabels) {
    Canvas c;
    TTurn turn(199, 199, 170);
    DrawDialPicture(c.dc(), kSize, kSize, turn, kInitial);

    EXPECT_EQ(c.At(2, 395), GetSysColor(COLOR_WINDOW)) << "outside the circle: window colour";
    EXPECT_EQ(c.At(199 + 60, 199 + 20), kWhite) << "inside the circle: white";
    EXPECT_TRUE(c.AnyIn({199, 364, 200, 372}, kGrey)) << "the circle's outline at the bottom";
    EXPECT_EQ(c.At(199, 100), kRed) << "the red arm at 0 covers the four grey rays";
    EXPECT_TRUE(c.AnyIn({199 + 88, 199 + 48, 199 + 89, 199 + 52}, kRed))
        << "the arm at 120 covers the grey spoke";
    EXPECT_FALSE(c.AnyIn({199 + 88, 199 + 48, 199 + 89, 199 + 52}, kGrey))
        << "no grey of the spoke shows beside the arm";
    EXPECT_EQ(c.At(199, 29), kWhite) << "the end dot is filled white";
    EXPECT_EQ(c.At(196, 29), kRed) << "the end dot's outline is in the ray's colour";

    const std::string zero = std::string("0") + '\xB0';
    const SIZE z = LabelSize(zero);
    const RECT above = {199 - z.cx / 2, 29 - z.cy, 199 - z.cx / 2 + z.cx, 29};
    EXPECT_TRUE(c.AnyIn(above, kRed)) << "the 0 label is centred above the end, in red on top";
    EXPECT_FALSE(c.AnyIn(above, kGrey)) << "the grey labels lie under the red one";

    const SIZE s = LabelSize(std::string("120") + '\xB0');
    const RECT right = {199 + 147, 199 + 84, 199 + 147 + s.cx, 199 + 84 + s.cy};
    EXPECT_TRUE(c.AnyIn(right, kRed)) << "the 120 label lies below right of its end";

    EXPECT_TRUE(c.AnyIn({10, 10, 10 + 8, 10 + 15}, kBlack)) << "the count 0 at (10, 10)";
}

TEST(DialPicture, LabelsFollowThePlacementRule) {
    const struct {
        int32_t angle;
        const char* where;
    } cases[] = {{90, "right of the end, centred"},
                 {180, "centred below"},
                 {270, "left of the end"},
                 {-90, "left of the end, with a minus sign"},
                 {45, "above right"}};
    for (const auto& c : cases) {
        Canvas canvas;
        TTurn turn(199, 199, 170);
        const DialValues values = {{c.angle, c.angle, c.angle, c.angle}, {c.angle, c.angle, c.angle}, 0};
        DrawDialPicture(canvas.dc(), kSize, kSize, turn, values);
        const std::string label = std::to_string(c.angle) + '\xB0';
        const SIZE s = LabelSize(label);
        const int ex = 199 + turn.dx, ey = 199 - turn.dy;
        RECT box;
        if (turn.dx > 0 && turn.dy == 0) {
            box = {ex + 3, ey - s.cy / 2, ex + 3 + s.cx, ey - s.cy / 2 + s.cy};
        } else if (turn.dx < 0 && turn.dy == 0) {
            box = {ex - s.cx, ey - s.cy / 2, ex, ey - s.cy / 2 + s.cy};
        } else if (turn.dx == 0) {
            box = {ex - s.cx / 2, ey, ex - s.cx / 2 + s.cx, ey + s.cy};
        } else {
            box = {ex, ey - s.cy, ex + s.cx, ey};
        }
        EXPECT_TRUE(canvas.AnyIn(box, kRed)) << c.angle << ": " << c.where;
        const RECT belowRight = {ex + 4, ey + 4, ex + 4 + s.cx, ey + 4 + s.cy};
        if (c.angle != 90 && c.angle != 180) {
            EXPECT_FALSE(canvas.AnyIn(belowRight, kRed)) << c.angle << ": nothing below right";
        }
    }
}

TEST(DialPicture, CountIsDrawnInBlackOverARay) {
    Canvas c;
    TTurn turn(40, 40, 170);  // a dial whose 315-degree arm crosses the count
    const DialValues values = {{0, 0, 0, 0}, {315, 315, 315}, 88};
    DrawDialPicture(c.dc(), kSize, kSize, turn, values);
    const SIZE s = LabelSize("88");
    EXPECT_TRUE(c.AnyIn({10, 10, 10 + s.cx, 10 + s.cy}, kBlack)) << "the count is black";
    EXPECT_EQ(c.At(30, 30), kRed) << "the arm itself is red where the count is not";
}

// Text as the dial is meant to show it: the bytes in the reference font, in
// the colour, over what the canvas holds, with a transparent background.
void DrawReferenceText(const Canvas& c, int x, int y, const std::string& bytes, COLORREF colour) {
    const scoped::GdiObject<HFONT> font = ReferenceFont();
    const scoped::Selection selected(c.dc(), font.get());
    SetTextColor(c.dc(), colour);
    SetBkMode(c.dc(), TRANSPARENT);
    TextOutA(c.dc(), x, y, bytes.c_str(), static_cast<int>(bytes.size()));
}

TEST(DialPicture, TheCountIsInTheDialFont) {
    // Tahoma, 15 pixels, weight 500: another face, height or weight draws
    // other pixels than the reference.
    Canvas dial;
    TTurn turn(199, 199, 170);
    DialValues values = kInitial;
    values.count = 1234567;
    DrawDialPicture(dial.dc(), kSize, kSize, turn, values);
    Canvas reference;
    reference.Fill(GetSysColor(COLOR_WINDOW));
    DrawReferenceText(reference, 10, 10, "1234567", kBlack);
    const SIZE s = LabelSize("1234567");
    EXPECT_TRUE(dial.SameIn({10, 10, 10 + s.cx, 10 + s.cy}, reference));
}

TEST(DialPicture, ALabelIsTheAngleAndTheSingleByteDegreeSign) {
    // The label beside each end, rendered against the reference text of the
    // exact bytes ("45" and 0xB0, not a two-byte degree sign); only the end
    // dot reaches into the label's box, so its corner is left out.
    const struct {
        int32_t angle;
        const char* bytes;
    } cases[] = {{45, "45\xB0"}, {120, "120\xB0"}, {-90, "-90\xB0"}, {180, "180\xB0"}};
    for (const auto& c : cases) {
        TTurn turn(199, 199, 170);
        Canvas dial;
        dial.Fill(kWhite);
        const scoped::GdiObject<HFONT> font = ReferenceFont();
        {
            const scoped::Selection selected(dial.dc(), font.get());
            turn.DrawRay(dial.dc(), c.angle, kRed);
        }
        const SIZE s = LabelSize(c.bytes);
        const POINT end = {199 + turn.dx, 199 - turn.dy};
        POINT corner;
        if (turn.dx > 0) {
            corner = {end.x, turn.dy > 0 ? end.y - s.cy : end.y};
        } else if (turn.dx < 0) {
            corner = {end.x - s.cx, end.y - s.cy / 2};
        } else {
            corner = {end.x - s.cx / 2, end.y};
        }
        Canvas reference;
        reference.Fill(kWhite);
        DrawReferenceText(reference, corner.x, corner.y, c.bytes, kRed);
        bool same = true;
        for (int y = corner.y; y < corner.y + s.cy; ++y) {
            for (int x = corner.x; x < corner.x + s.cx; ++x) {
                const bool nearDot = std::abs(x - end.x) <= 4 && std::abs(y - end.y) <= 4;
                same = same && (nearDot || dial.At(x, y) == reference.At(x, y));
            }
        }
        EXPECT_TRUE(same) << c.angle << ": the label differs from the reference text";
    }
}

TEST(DialPicture, AWindowColourOtherThanWhiteOnlyColoursTheOutside) {
    // The picture takes the window colour for the background only.
    Canvas c;
    TTurn turn(199, 199, 170);
    DrawDialPicture(c.dc(), kSize, kSize, turn, kInitial);
    EXPECT_EQ(c.At(0, 0), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(c.At(199, 250), kWhite);
}

class DialWindow : public ::testing::Test {
protected:
    void SetUp() override {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        RegisterDialClass(instance);
        window_.reset(CreateWindowExA(WS_EX_STATICEDGE, kDialClassName, nullptr,
                                      WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr, nullptr,
                                      instance, nullptr));
        wnd_ = window_.get();
        ASSERT_NE(wnd_, nullptr);
        Turn = new TTurn(199, 199, 170);
        Data = new TData();
        Marker = new TMarker();
        Counter = new TCounter();
    }
    void TearDown() override {
        window_.reset();
        delete Turn;
        delete Data;
        delete Marker;
        delete Counter;
        Turn = nullptr;
        Data = nullptr;
        Marker = nullptr;
        Counter = nullptr;
    }
    scoped::Window window_;
    HWND wnd_ = nullptr;
};

TEST_F(DialWindow, EraseBackgroundPaintsNothingAndAnswersOne) {
    Canvas c;
    c.Fill(RGB(255, 0, 255));
    EXPECT_EQ(SendMessageA(wnd_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(c.dc()), 0), 1);
    EXPECT_EQ(c.At(0, 0), RGB(255, 0, 255));
    EXPECT_EQ(c.At(199, 199), RGB(255, 0, 255));
}

// How many more GDI objects the process can create: every object a paint
// leaks lowers it. (Wine reports no count through GetGuiResources.)
size_t GdiRoomLeft() {
    std::vector<HPEN> pens;
    while (pens.size() < 200000) {
        HPEN pen = CreatePen(PS_SOLID, 1, 0);
        if (pen == nullptr) {
            break;
        }
        pens.push_back(pen);
    }
    for (HPEN pen : pens) {
        DeleteObject(pen);
    }
    return pens.size();
}

TEST_F(DialWindow, PaintsReleaseEveryGdiObject) {
    UpdateWindow(wnd_);
    const size_t roomBefore = GdiRoomLeft();
    for (int i = 0; i < 300; ++i) {
        Marker->Update(i * 7);
        InvalidateRect(wnd_, nullptr, FALSE);
        SendMessageA(wnd_, WM_PAINT, 0, 0);
    }
    EXPECT_EQ(GdiRoomLeft(), roomBefore) << "300 paints left GDI objects behind";
}

TEST_F(DialWindow, APaintWithoutRecordsShowsOnlyTheBackground) {
    delete Data;
    Data = nullptr;
    InvalidateRect(wnd_, nullptr, FALSE);
    SendMessageA(wnd_, WM_PAINT, 0, 0);  // must not crash
    const scoped::WindowDc dc(wnd_);
    EXPECT_EQ(GetPixel(dc.get(), 199, 100), GetSysColor(COLOR_WINDOW));
}

}  // namespace
}  // namespace zeltan

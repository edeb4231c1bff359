#include "dial/turn_win32.h"

#include <cstring>
#include <string>

#include "base/scoped_win32.h"
#include "dial/geometry.h"

namespace zeltan {

namespace {
constexpr int kDotRadius = 3;
constexpr char kDegreeSign = '\xB0';  // Windows-1251
}  // namespace

void TTurn::ComputeEnd(int32_t angle) {
    const Offset offset = EndOffset(angle, radius);
    dx = offset.dx;
    dy = offset.dy;
}

void TTurn::DrawSpoke(HDC dc, int32_t angle) {
    ComputeEnd(angle);
    const POINT end = End();
    MoveToEx(dc, cx, cy, nullptr);
    LineTo(dc, end.x, end.y);
}

void TTurn::DrawDial(HDC dc, COLORREF colour) {
    scoped::GdiObject<HPEN> ownPen(CreatePen(PS_SOLID, 1, colour));
    pen = ownPen.get();
    scoped::Selection selected(dc, pen);
    Ellipse(dc, cx - radius, cy - radius, cx + radius, cy + radius);
    DrawSpoke(dc, 0);
    DrawSpoke(dc, 120);
    DrawSpoke(dc, 240);
}

void TTurn::DrawRay(HDC dc, int32_t angle, COLORREF colour) {
    ComputeEnd(angle);
    const POINT end = End();
    {
        scoped::GdiObject<HPEN> ownPen(CreatePen(PS_SOLID, 1, colour));
        pen = ownPen.get();
        scoped::Selection selected(dc, pen);
        MoveToEx(dc, cx, cy, nullptr);
        LineTo(dc, end.x, end.y);
        Ellipse(dc, end.x - kDotRadius, end.y - kDotRadius, end.x + kDotRadius,
                end.y + kDotRadius);
    }
    const std::string label = std::to_string(angle) + kDegreeSign;
    DrawLabel(dc, label.c_str(), colour);
}

void TTurn::DrawLabel(HDC dc, const char* text, COLORREF colour) {
    const COLORREF previousColour = SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    const int length = static_cast<int>(std::strlen(text));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, length, &size);
    const POINT end = End();
    Point corner{};
    if (LabelCorner({dx, dy}, {end.x, end.y}, size.cx, size.cy, &corner)) {
        TextOutA(dc, corner.x, corner.y, text, length);
    }
    SetTextColor(dc, previousColour);
}

}  // namespace zeltan

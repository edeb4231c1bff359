#pragma once
// TTurn: the dial's centre and radius and the operations that draw the dial
// circle with its spokes and labelled rays onto a caller's drawing context.
// Not thread-safe: dx, dy and pen are scratch values of the one drawing
// thread (the main thread, during the dial's paint).
#include <windows.h>

#include <cstdint>

namespace zeltan {

class TTurn {
public:
    TTurn(int32_t cx, int32_t cy, int32_t radius) : cx(cx), cy(cy), radius(radius) {}

    int32_t cx;
    int32_t cy;
    int32_t radius;
    int32_t dx = 0;  // offsets of the last computed end point; dy grows upward
    int32_t dy = 0;
    HPEN pen = nullptr;  // the last operation's pen; deleted before it returned

    // A line from the centre to the end of the angle, in the current pen.
    void DrawSpoke(HDC dc, int32_t angle);
    // The circle and the spokes at 0, 120 and 240 degrees.
    void DrawDial(HDC dc, COLORREF colour);
    // A ray to the end of the angle, a dot of radius 3 there, and its label.
    void DrawRay(HDC dc, int32_t angle, COLORREF colour);
    // The text beside the end point of the current dx, dy.
    void DrawLabel(HDC dc, const char* text, COLORREF colour);

private:
    void ComputeEnd(int32_t angle);
    POINT End() const { return {cx + dx, cy - dy}; }
};

}  // namespace zeltan

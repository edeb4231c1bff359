#pragma once
// The dial's arithmetic: where a ray of a given angle ends, where the dial's
// centre lies, and where a label goes beside a ray's end. 0 degrees points
// straight up and angles grow clockwise; offsets have y growing upward.
#include <cstdint>

namespace zeltan {

struct Offset {
    int32_t dx;  // to the right of the centre
    int32_t dy;  // above the centre
};

// The end of a ray of `radius` at `angleDegrees`: sine and cosine of
// angle * 3.14159 / 180, each times the radius, truncated toward zero. The
// constant is the dial's own, not the full-precision pi.
Offset EndOffset(int32_t angleDegrees, int32_t radius);

struct Point {
    int32_t x;
    int32_t y;
};

// Half the client size, truncated: a 397-pixel width gives 198.
Point DialCentre(int32_t clientWidth, int32_t clientHeight);

// The top-left corner of a label of textWidth x textHeight beside the end
// point `end` of a ray with offsets `offset`, chosen by the offsets' signs.
// False when both offsets are 0: that ray gets no label.
bool LabelCorner(Offset offset, Point end, int32_t textWidth, int32_t textHeight, Point* corner);

}  // namespace zeltan

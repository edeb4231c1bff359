#include "dial/geometry.h"

#include <cmath>

namespace zeltan {

namespace {
constexpr double kDialPi = 3.14159;

int32_t Truncate(double v) { return static_cast<int32_t>(v); }
}  // namespace

Offset EndOffset(int32_t angleDegrees, int32_t radius) {
    const double radians = static_cast<double>(angleDegrees) * kDialPi / 180.0;
    return {Truncate(std::sin(radians) * radius), Truncate(std::cos(radians) * radius)};
}

Point DialCentre(int32_t clientWidth, int32_t clientHeight) {
    return {clientWidth / 2, clientHeight / 2};
}

bool LabelCorner(Offset offset, Point end, int32_t w, int32_t h, Point* corner) {
    const int32_t ex = end.x;
    const int32_t ey = end.y;
    if (offset.dx > 0) {
        if (offset.dy > 0) {
            *corner = {ex, ey - h};
        } else if (offset.dy < 0) {
            *corner = {ex, ey};
        } else {
            *corner = {ex + 3, ey - h / 2};
        }
    } else if (offset.dx < 0) {
        if (offset.dy > 0) {
            *corner = {ex - w, ey - h};
        } else if (offset.dy < 0) {
            *corner = {ex - w, ey};
        } else {
            *corner = {ex - w, ey - h / 2};
        }
    } else {
        if (offset.dy > 0) {
            *corner = {ex - w / 2, ey - h};
        } else if (offset.dy < 0) {
            *corner = {ex - w / 2, ey};
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace zeltan

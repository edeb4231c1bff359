#pragma once
// The controller's rounding rule R(x) = floor(x + 1/2), halves rounded up
// (towards plus infinity, also for negative x). Every unit conversion of the
// parameter block and the position report goes through it. It is evaluated
// exactly on the rational num / den, so no floating-point edge can move a tie.
#include <cstdint>

namespace zeltan {

// Floor of num / den for den > 0, for any sign of num.
constexpr int64_t FloorDiv(int64_t num, int64_t den) {
    int64_t q = num / den;
    if ((num % den != 0) && (num < 0)) {
        --q;
    }
    return q;
}

// R(num / den) = floor((2 * num + den) / (2 * den)); den > 0.
constexpr int64_t RoundHalfUp(int64_t num, int64_t den) { return FloorDiv(2 * num + den, 2 * den); }

constexpr int64_t Clamp(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace zeltan

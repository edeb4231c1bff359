#include "protocol/rotor.h"

#include "protocol/rounding.h"

namespace zeltan {

void TMarker::Update(int32_t position) {
    // One fold each way, no repetition: -180..180 ends in -119..119. Reports
    // far outside a turn cannot occur on a working line; their arms are kept
    // within 32 bits rather than wrapped.
    int64_t p = position;
    if (p >= 120) p -= 120;
    if (p <= -120) p += 120;
    const int64_t arms[3] = {
        p > 0 ? 360 - p : -p,
        p > 0 ? 120 - p : -p + 120,
        p > 0 ? 240 - p : -p + 240,
    };
    for (int i = 0; i < 3; ++i) arm[i] = static_cast<int32_t>(Clamp(arms[i], INT32_MIN, INT32_MAX));
}

void TCounter::Update(int32_t a) {
    if (0 < a && a < 30) lowMark = 0;
    if (270 < a && a < 360) highMark = 0;
    if (30 < a && a < 120) lowMark = static_cast<uint32_t>(a);
    if (240 < a && a < 270) highMark = static_cast<uint32_t>(a);
    if (a == 0 && lowMark != 0) {
        lowMark = 0;
        ++count;
    }
    if (a == 0 && highMark != 0) {
        highMark = 0;
        ++count;
    }
}

void TCounter::Clear() {
    count = 0;
    highMark = 0;
    lowMark = 0;
}

}  // namespace zeltan

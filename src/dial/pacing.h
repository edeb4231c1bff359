#pragma once
// When the dial's next paint may run. Position reports come far faster than
// a screen shows frames, so the dial paints at most once per frame: a repaint
// asked for within a frame of the last paint waits for the rest of that
// frame. Plain arithmetic over times the caller reads from its own clock.
#include <cstdint>

namespace zeltan {

class FramePacer {
public:
    static constexpr uint64_t kFrameUs = 16000;  // about 60 frames a second

    // Milliseconds from nowUs until the next paint may start; 0 = at once.
    // Rounded down (but at least 1): a timer fires a little late rather than
    // early, and every millisecond of lateness is a millisecond that the
    // newest report waits to be seen.
    uint32_t DelayMs(uint64_t nowUs) const;
    // A paint started at nowUs.
    void Painted(uint64_t nowUs);

private:
    bool painted_ = false;
    uint64_t lastPaintUs_ = 0;
};

}  // namespace zeltan

#include "dial/pacing.h"

namespace zeltan {

uint32_t FramePacer::DelayMs(uint64_t nowUs) const {
    // A clock that reads earlier than the last paint has been reset: paint
    // rather than wait for a time that may never come.
    if (!painted_ || nowUs < lastPaintUs_ || nowUs - lastPaintUs_ >= kFrameUs) {
        return 0;
    }
    const uint64_t restUs = kFrameUs - (nowUs - lastPaintUs_);
    return restUs < 1000 ? 1 : static_cast<uint32_t>(restUs / 1000);
}

void FramePacer::Painted(uint64_t nowUs) {
    painted_ = true;
    lastPaintUs_ = nowUs;
}

}  // namespace zeltan

#include "Timeline.h"

#include <algorithm>

namespace kivo {

int64_t StreamTimeline::Place(int64_t pts, int64_t duration) {
    duration = std::max<int64_t>(duration, 0);
    int64_t placed = pts + offset_;
    int64_t step = placed - expected_;
    // The first frame may come a while after the start; later ones follow their neighbour.
    int64_t latest = started_ ? maxGap_ : latestStart_;
    if (step > latest || step < -maxGap_) {
        // A jump: this frame and the later ones follow on from the frame before.
        offset_ = expected_ - pts;
        placed = expected_;
    } else if (strict_ && started_ && placed < expected_) {
        if (placed + duration <= expected_) {
            return kDrop;  // all of it was given already
        }
        placed = expected_;
    }
    started_ = true;
    expected_ = std::max(expected_, placed + duration);
    if (!strict_) {
        // Pictures may come a little out of order; the next one is expected after this one.
        expected_ = placed + duration;
    }
    return placed;
}

}  // namespace kivo

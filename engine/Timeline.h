// Keeps one source stream's timestamps sane before its frames are filtered. Recordings with a
// broken clock and spliced streams jump far ahead or back; the frame-rate filter would fill a
// jump of hours with duplicated pictures, and sound that steps back makes the muxer refuse
// the file. The rule:
//   - a jump forward or back of more than `maxGap` between neighbouring frames is closed up:
//     the frame and every later one are re-timed to follow on from the frame before;
//   - a first frame that comes more than `latestStart` after the source's start (or before
//     it by more than `maxGap`) is moved to the start: a stream may begin a little after the
//     other, but not hours after it;
//   - for sound (strictly increasing), a frame that still starts before the end of the one
//     before is dropped when it lies wholly inside what was already given, otherwise moved to
//     start where the one before ended.
#pragma once

#include <cstdint>
#include <limits>

namespace kivo {

class StreamTimeline {
public:
    static constexpr int64_t kDrop = std::numeric_limits<int64_t>::min();

    // `maxGap` and `latestStart` in the stream's time units; `strictlyIncreasing` for sound.
    StreamTimeline(int64_t maxGap, int64_t latestStart, bool strictlyIncreasing)
        : maxGap_(maxGap), latestStart_(latestStart), strict_(strictlyIncreasing) {}

    // The time at which a frame of `duration` units with source time `pts` is to be shown, or
    // kDrop when it is to be left out.
    int64_t Place(int64_t pts, int64_t duration);

private:
    int64_t maxGap_;
    int64_t latestStart_;
    bool strict_;
    int64_t offset_ = 0;    // added to every source time since the last jump
    int64_t expected_ = 0;  // where the next frame should start
    bool started_ = false;
};

}  // namespace kivo

// Keeps one source stream's timestamps sane before its frames are filtered. Recordings with a
// broken clock and spliced streams jump far ahead or back; the frame-rate filter would fill a
// jump of hours with duplicated pictures, and sound that steps back makes the muxer refuse
// the file. The rule:
//   - a jump forward or back of more than `maxGap` between neighbouring frames is closed up:
//     the frame and every later one are re-timed to follow on from the frame before;
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

    // `maxGap` in the stream's time units; `strictlyIncreasing` for sound.
    StreamTimeline(int64_t maxGap, bool strictlyIncreasing)
        : maxGap_(maxGap), strict_(strictlyIncreasing) {}

    // The time at which a frame of `duration` units with source time `pts` is to be shown, or
    // kDrop when it is to be left out. The first frame of the stream is measured against 0,
    // the source's start.
    int64_t Place(int64_t pts, int64_t duration);

private:
    int64_t maxGap_;
    bool strict_;
    int64_t offset_ = 0;    // added to every source time since the last jump
    int64_t expected_ = 0;  // where the next frame should start
    bool started_ = false;
};

}  // namespace kivo

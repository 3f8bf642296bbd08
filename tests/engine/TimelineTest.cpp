// The timeline rule: jumps between neighbouring frames are closed up, sound never steps back.
#include <gtest/gtest.h>

#include <vector>

#include "Timeline.h"

namespace kivo {
namespace {

constexpr int64_t D = StreamTimeline::kDrop;

TEST(StreamTimeline, JumpsAreClosedUpAndSoundOnlyGoesForward) {
    const struct {
        const char* name;
        bool sound;
        std::vector<int64_t> pts;  // every frame lasts 10 units; a jump is more than 100
        std::vector<int64_t> placed;
    } cases[] = {
        {"a clean stream stays as it is", false, {0, 10, 20, 30}, {0, 10, 20, 30}},
        {"a short pause stays", false, {0, 10, 100, 110}, {0, 10, 100, 110}},
        {"a jump far ahead follows on", false, {0, 10, 100000, 100010}, {0, 10, 20, 30}},
        {"a jump far back follows on", false, {5000, 5010, 20, 30}, {0, 10, 20, 30}},
        {"two jumps", false, {0, 9000, 9010, 50, 60}, {0, 10, 20, 30, 40}},
        {"a first frame far after the start starts at the beginning", false, {7000, 7010}, {0, 10}},
        {"a first frame a little after the start stays", false, {500, 510}, {500, 510}},
        {"a first frame far before the start starts at the beginning",
         false,
         {-500, -490},
         {0, 10}},
        {"pictures a little out of order stay", false, {0, 20, 10, 30}, {0, 20, 10, 30}},
        {"sound stepping back wholly over given sound is dropped",
         true,
         {0, 10, 20, 30, 10, 20, 30, 40},
         {0, 10, 20, 30, D, D, D, 40}},
        {"sound overlapping in part is moved behind", true, {0, 10, 15, 25}, {0, 10, 20, 30}},
        {"sound with a gap keeps it", true, {0, 10, 50, 60}, {0, 10, 50, 60}},
        {"sound jumping far ahead follows on", true, {0, 10, 900000, 900010}, {0, 10, 20, 30}},
        {"sound jumping far back follows on", true, {900000, 900010, 0}, {0, 10, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StreamTimeline timeline(100, 1000, c.sound);
        std::vector<int64_t> placed;
        for (int64_t pts : c.pts) {
            placed.push_back(timeline.Place(pts, 10));
        }
        EXPECT_EQ(placed, c.placed);
    }
}

}  // namespace
}  // namespace kivo

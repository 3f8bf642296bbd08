// Probe values from damaged headers: every number in its sane range, an untrustworthy length 0.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "Probe.h"

namespace kivo {
namespace {

TEST(ProbeValues, LengthsThatCannotBeTrustedAreUnknown) {
    const struct {
        int64_t microseconds;
        int seconds;
    } cases[] = {
        {0, 0},
        {-1, 0},
        {INT64_MIN, 0},
        {2'500'000, 2},
        {int64_t(INT32_MAX) * 1'000'000, INT32_MAX},
        {(int64_t(INT32_MAX) + 1) * 1'000'000, 0},
        {115'292'150'463'843'002, 0},  // a damaged WMV header
        {INT64_MAX, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.microseconds);
        EXPECT_EQ(TrustedSeconds(c.microseconds), c.seconds);
    }
}

TEST(ProbeValues, EveryNumberIsCutToItsRange) {
    ProbeResult damaged;
    damaged.durationSeconds = -671966529;
    damaged.width = -160;
    damaged.height = 1 << 30;
    damaged.fps = std::nanf("");
    damaged.audioKbps = -3;
    damaged.sampleRate = -22050;
    damaged.channels = 5000;
    ClampProbeValues(damaged);
    EXPECT_EQ(damaged.durationSeconds, 0);
    EXPECT_EQ(damaged.width, 0);
    EXPECT_EQ(damaged.height, kMaxPictureSide);
    EXPECT_EQ(damaged.fps, 0);
    EXPECT_EQ(damaged.audioKbps, 0);
    EXPECT_EQ(damaged.sampleRate, 0);
    EXPECT_EQ(damaged.channels, kMaxChannels);

    ProbeResult sane{3, "h264", "aac", 320, 240, 25, 128, 44100, 2};
    ProbeResult kept = sane;
    ClampProbeValues(kept);
    EXPECT_EQ(kept.durationSeconds, 3);
    EXPECT_EQ(kept.width, 320);
    EXPECT_EQ(kept.fps, 25);
    EXPECT_EQ(kept.sampleRate, 44100);
    EXPECT_EQ(kept.channels, 2);
}

TEST(ProbeValues, DisplaySizeIsThePictureAsAPlayerShowsIt) {
    const struct {
        int width, height, sarNum, sarDen, rotation;
        int displayWidth, displayHeight;
    } cases[] = {
        {720, 480, 32, 27, 0, 854, 480},      // a 16:9 NTSC DVD
        {720, 480, 8, 9, 0, 640, 480},        // a 4:3 one
        {720, 576, 16, 15, 0, 768, 576},      // a 4:3 PAL DVD
        {1920, 1080, 1, 1, 90, 1080, 1920},   // a portrait phone clip
        {1920, 1080, 0, 0, 270, 1080, 1920},  // aspect unknown: square
        {640, 480, 1, 1, 180, 640, 480},
        {1440, 1080, 4, 3, 90, 1080, 1920},                 // HDV, turned
        {641, 361, 1, 1, 0, 641, 361},                      // square samples keep the stored sides
        {720, 480, INT32_MAX, 1, 0, kMaxPictureSide, 480},  // a damaged aspect
        {0, 480, 32, 27, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " " +
                     std::to_string(c.rotation));
        int width = -1;
        int height = -1;
        DisplaySize(c.width, c.height, c.sarNum, c.sarDen, c.rotation, width, height);
        EXPECT_EQ(width, c.displayWidth);
        EXPECT_EQ(height, c.displayHeight);
    }
}

}  // namespace
}  // namespace kivo

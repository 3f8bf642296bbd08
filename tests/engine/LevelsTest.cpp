// The profile-level rules: the lowest H.264 and MPEG-4 Simple Profile levels for a picture size,
// frame rate and bit rate, the reference pictures that fit, and the device families' ceilings
// with the sentences that refuse a setting above them.
#include <gtest/gtest.h>

#include <string>

#include "Levels.h"

namespace kivo {
namespace {

TEST(Levels, LowestH264LevelRespectsEveryLimit) {
    const struct {
        int width, height, num, den, kbps, refs;
        const char* level;  // empty: none fits
    } cases[] = {
        {128, 96, 15, 1, 64, 1, "1"},            // 48 macroblocks, 720 per second, 64 kbps
        {128, 96, 15, 1, 65, 1, "1b"},           // one kbps above level 1
        {176, 144, 15, 1, 128, 1, "1b"},         // 99 macroblocks at 1485 per second
        {176, 144, 15, 1, 192, 1, "1.1"},        // the 3GP default
        {176, 144, 30000, 1001, 192, 1, "1.1"},  // 2967 per second, under 3000
        {176, 144, 31, 1, 192, 1, "1.2"},        // 3069 per second, above 1.1's 3000
        {176, 144, 25, 1, 384, 1, "1.2"},
        {320, 240, 30000, 1001, 768, 1, "1.3"},  // the iPod's classic limit
        {320, 240, 30000, 1001, 769, 1, "2.0"},
        {352, 288, 30000, 1001, 512, 1, "1.3"},  // 11868 per second, under 11880
        {352, 288, 30, 1, 512, 1, "1.3"},        // 11880 per second exactly
        {352, 288, 31, 1, 512, 1, "2.1"},        // 12276 per second: above 1.3 and 2.0
        {480, 272, 30000, 1001, 768, 2, "2.1"},  // the PSP's wide picture: 510 macroblocks
        {640, 480, 30000, 1001, 1500, 1, "3.0"},
        {640, 480, 30, 1, 1500, 1, "3.0"},
        {720, 576, 25, 1, 4000, 1, "3.0"},  // 1620 macroblocks at 40500 per second
        {720, 576, 30, 1, 4000, 1, "3.1"},
        {1280, 720, 30, 1, 8000, 1, "3.1"},  // 108000 per second exactly
        {1280, 720, 60, 1, 8000, 1, "3.2"},
        {1920, 1080, 30000, 1001, 8000, 1, "4.0"},  // 8160 macroblocks
        {1920, 1080, 60, 1, 8000, 1, "4.2"},
        {1920, 1080, 30, 1, 30000, 1, "4.1"},  // above 4.0's 20000 kbps
        {2048, 16, 25, 1, 64, 1, "3.1"},       // 128 wide: a side needs 8 x MaxFS >= 128 x 128
        {8192, 4320, 30, 1, 8000, 1, ""},      // beyond 5.2's pictures
        {176, 144, 15, 1, 64, 5, "1.1"},       // five pictures of 99 need 495 > 396
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " +
                     std::to_string(c.num) + "/" + std::to_string(c.den) + ", " +
                     std::to_string(c.kbps) + " kbps, " + std::to_string(c.refs) + " refs");
        const H264Level* level =
            LowestH264Level(VideoShape{c.width, c.height, c.num, c.den, c.kbps, c.refs});
        EXPECT_EQ(level ? level->name : "", std::string(c.level));
    }
}

TEST(Levels, ReferencePicturesFitTheLevelsBuffer) {
    const H264Level* level13 = H264LevelByIdc(13);
    const H264Level* level30 = H264LevelByIdc(30);
    ASSERT_TRUE(level13 && level30);
    EXPECT_EQ(H264RefsThatFit(*level13, 352, 288, 16), 6);  // 2376 / 396
    EXPECT_EQ(H264RefsThatFit(*level13, 320, 240, 2), 2);
    EXPECT_EQ(H264RefsThatFit(*level30, 720, 576, 16), 5);   // 8100 / 1620
    EXPECT_EQ(H264RefsThatFit(*level30, 1920, 1088, 2), 1);  // never fewer than one
    EXPECT_EQ(H264LevelByIdc(9)->maxKbps, 128);              // 1b
    EXPECT_EQ(H264LevelByIdc(14), nullptr);
}

TEST(Levels, Mpeg4SimpleProfileLevelFollowsSizeAndRate) {
    const struct {
        int width, height, num, den;
        int profile, level;
    } cases[] = {
        {128, 96, 30, 1, 0, 1},   // 1440 macroblocks per second
        {176, 144, 15, 1, 0, 1},  // QCIF at 1485
        {176, 144, 25, 1, 0, 2},  // 2475: above L1
        {352, 288, 15, 1, 0, 2},  // CIF at 5940
        {320, 240, 25, 1, 0, 3},  // 7500
        {352, 288, 30000, 1001, 0, 3},
        {480, 272, 30000, 1001, 0, 4},  // 510 macroblocks: above CIF, L4a
        {640, 480, 30, 1, 0, 4},        // 36000 exactly
        {720, 480, 30000, 1001, 0, 5},  // 1350 macroblocks
        {720, 576, 25, 1, 0, 5},        // 40500 exactly
        {720, 576, 30, 1, 0, 6},
        {1280, 720, 30, 1, 0, 6},   // 108000 exactly
        {1280, 720, 60, 1, 15, 5},  // beyond Simple Profile: Advanced Simple level 5
        {1920, 1080, 25, 1, 15, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " at " +
                     std::to_string(c.num) + "/" + std::to_string(c.den));
        const Mpeg4Level level = LowestMpeg4Level(c.width, c.height, c.num, c.den);
        EXPECT_EQ(level.profile, c.profile);
        EXPECT_EQ(level.level, c.level);
    }
}

TEST(Levels, FamilyCeilingsRefuseWhatTheirPlayersCannotTake) {
    const struct {
        DeviceFamily family;
        int width, height, num, den, kbps;
        const char* refusal;  // empty: accepted
    } cases[] = {
        {DeviceFamily::Ipod, 320, 240, 30000, 1001, 768, ""},
        {DeviceFamily::Ipod, 320, 240, 30000, 1001, 1500,
         "the iPod takes at most 768 kbps H.264 at 320x240; lower the video quality"},
        {DeviceFamily::Ipod, 320, 240, 60, 1, 768,
         "the iPod takes at most 39.6 fps H.264 at 320x240; lower the frame rate"},
        {DeviceFamily::Ipod, 640, 480, 30, 1, 1500, ""},
        {DeviceFamily::Ipod, 640, 480, 60, 1, 1500,
         "the iPod takes at most 33.75 fps H.264 at 640x480; lower the frame rate"},
        {DeviceFamily::Ipod, 1280, 720, 30, 1, 1500,
         "the iPod takes H.264 up to level 3.0, too small for 1280x720; lower the resolution"},
        {DeviceFamily::Psp, 480, 272, 30000, 1001, 1024, ""},
        {DeviceFamily::Psp, 480, 272, 30000, 1001, 12000,
         "the PSP takes at most 10000 kbps H.264 at 480x272; lower the video quality"},
        {DeviceFamily::Phone3gp, 176, 144, 30000, 1001, 512, ""},
        {DeviceFamily::Phone3gp, 176, 144, 30000, 1001, 1000,
         "a 3GP phone takes at most 768 kbps H.264 at 176x144; lower the video quality"},
        {DeviceFamily::Phone3gp, 352, 288, 30000, 1001, 2000, ""},
        {DeviceFamily::Phone3gp, 352, 288, 30000, 1001, 2001,
         "a 3GP phone takes at most 2000 kbps H.264 at 352x288; lower the video quality"},
        {DeviceFamily::Mp4, 1920, 1080, 60, 1, 50000, ""},  // no ceiling
        {DeviceFamily::Pda, 640, 480, 30, 1, 20000, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + ", " +
                     std::to_string(c.kbps) + " kbps");
        EXPECT_EQ(CeilingRefusal(c.family, VideoShape{c.width, c.height, c.num, c.den, c.kbps, 1}),
                  c.refusal);
    }
    EXPECT_EQ(FamilyH264Ceiling(DeviceFamily::Ipod, 320, 240), 13);
    EXPECT_EQ(FamilyH264Ceiling(DeviceFamily::Ipod, 640, 480), 30);
    EXPECT_EQ(FamilyH264Ceiling(DeviceFamily::Phone3gp, 128, 96), 13);
    EXPECT_EQ(FamilyH264Ceiling(DeviceFamily::Phone3gp, 320, 240), 20);
    EXPECT_EQ(FamilyH264Ceiling(DeviceFamily::Psp, 320, 240), 30);
    EXPECT_EQ(FamilyH264Ceiling(DeviceFamily::Mp4, 320, 240), 0);
}

}  // namespace
}  // namespace kivo

// Probing and still capture of every kind of source a user brings, and of files that are not
// media at all.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "EngineTestSupport.h"
#include "SampleClips.h"
#include "kivoengine.h"

namespace enginetest {
namespace {

const bool g_clips = (UseSampleClips(), true);

// A baseline JPEG has a start-of-frame 0 marker and no progressive one.
bool IsBaselineJpeg(const std::string& bytes) {
    return bytes.size() > 4 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xD8 &&
           bytes.find("\xFF\xC0") != std::string::npos &&
           bytes.find("\xFF\xC2") == std::string::npos;
}

bool IsBlack(Rgb p) {
    return p.r < 40 && p.g < 40 && p.b < 40;
}

TEST(Probe, FindsWhatEachKindOfClipHolds) {
    for (const SampleClip& clip : SampleClipKinds()) {
        SCOPED_TRACE(clip.name);
        EngineFileInfo info{};
        info.reserved7 = 77;
        ASSERT_EQ(Mydll_GetFileinfo(Clip(clip.name).c_str(), &info), 0);
        EXPECT_LE(std::abs(info.duration - clip.seconds), 1);
        EXPECT_EQ(std::string(info.videoFormat), clip.videoCodec);
        EXPECT_EQ(info.width, clip.width);
        EXPECT_EQ(info.height, clip.height);
        EXPECT_NEAR(info.fps, clip.fps, 0.01);
        EXPECT_EQ(std::string(info.audioFormat), clip.audioCodec);
        EXPECT_EQ(info.sampleRate, clip.sampleRate);
        EXPECT_EQ(info.channels, clip.channels);
        if (clip.audioCodec == "mp3") {
            EXPECT_GT(info.bitRate, 0);
        }
        EXPECT_EQ(info.reserved7, 77);  // reserved slots are not written
    }
}

TEST(Probe, NothingOfTheFileBeforeSurvives) {
    EngineFileInfo info{};
    ASSERT_EQ(Mydll_GetFileinfo(Clip("asp.avi").c_str(), &info), 0);
    ASSERT_EQ(Mydll_GetFileinfo(Clip("song.mp3").c_str(), &info), 0);
    EXPECT_STREQ(info.videoFormat, "");
    EXPECT_EQ(info.width, 0);
    EXPECT_EQ(info.height, 0);
    EXPECT_EQ(info.fps, 0);
    ASSERT_EQ(Mydll_GetFileinfo(Clip("silent.mp4").c_str(), &info), 0);
    EXPECT_STREQ(info.audioFormat, "");
    EXPECT_EQ(info.sampleRate, 0);
    EXPECT_EQ(info.channels, 0);
    EXPECT_EQ(info.bitRate, 0);

    WriteFile(Clip("notes.avi"), "this is a text file, not a video\n");
    EXPECT_LT(Mydll_GetFileinfo(Clip("notes.avi").c_str(), &info), 0);
    EXPECT_EQ(info.duration, 0);
    EXPECT_STREQ(info.videoFormat, "");
    EXPECT_STREQ(info.audioFormat, "");
    EXPECT_EQ(info.width, 0);
    EXPECT_EQ(info.channels, 0);
}

TEST(Probe, FilesThatCannotBeReadGiveAnEmptyRecord) {
    WriteFile(Clip("empty.avi"), "");
    WriteFile(Clip("text.avi"), "plain words\n");
    std::string truncated = ReadFile(Clip("player.mp4")).substr(0, 3000);
    WriteFile(Clip("truncated.mp4"), truncated);
    const std::string cases[] = {Clip("missing.avi"), Clip("empty.avi"), Clip("text.avi"),
                                 ClipFolder().Path(), ""};
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        EngineFileInfo info{};
        ASSERT_EQ(Mydll_GetFileinfo(Clip("asp.avi").c_str(), &info), 0);
        EXPECT_LT(Mydll_GetFileinfo(path.c_str(), &info), 0);
        EXPECT_EQ(info.duration, 0);
        EXPECT_EQ(info.width, 0);
        EXPECT_STREQ(info.videoFormat, "");
    }
    EngineFileInfo info{};
    EXPECT_LT(Mydll_GetFileinfo(nullptr, &info), 0);
    EXPECT_LT(Mydll_GetFileinfo(Clip("asp.avi").c_str(), nullptr), 0);
    // The MP4 cut before its index is refused or read; either way without a crash.
    Mydll_GetFileinfo(Clip("truncated.mp4").c_str(), &info);
}

TEST(Still, EveryKindOfClipGivesA160x120BaselineJpeg) {
    for (const SampleClip& clip : SampleClipKinds()) {
        SCOPED_TRACE(clip.name);
        std::string jpeg = ClipFolder().File(clip.name + ".jpg");
        ASSERT_EQ(Mydll_GetPicure(Clip(clip.name).c_str(), 5, "160x120", jpeg.c_str()), 0);
        EXPECT_TRUE(IsBaselineJpeg(ReadFile(jpeg)));
        auto probe = ProbeWithTool(jpeg);
        EXPECT_EQ(probe["video.width"], "160");
        EXPECT_EQ(probe["video.height"], "120");
    }
    EXPECT_TRUE(FilesContaining(ClipFolder().Path(), ".part").empty());
}

TEST(Still, ShowsTheFrameAtFiveSecondsOrTheFirstOfAShorterClip) {
    // Red for four seconds, then blue.
    std::string twoColours = Clip("two colours.mp4");
    ASSERT_TRUE(
        RunFfmpeg("-f lavfi -i \"color=red:s=320x240:r=25:d=4[r];color=blue:s=320x240:r=25:d=4[b];"
                  "[r][b]concat=n=2[out0]\" -c:v libx264 -preset ultrafast -g 250 " +
                  Quote(twoColours)));
    std::string jpeg = Clip("colour.jpg");
    ASSERT_EQ(Mydll_GetPicure(twoColours.c_str(), 5, "160x120", jpeg.c_str()), 0);
    Rgb centre = PixelAt(DecodeRgb(jpeg, 0, 160, 120), 160, 80, 60);
    EXPECT_GT(centre.b, 150);
    EXPECT_LT(centre.r, 80);

    std::string red = Clip("red.mp4");
    ASSERT_TRUE(RunFfmpeg("-f lavfi -i color=red:s=320x240:r=25:d=2 -c:v mpeg4 " + Quote(red)));
    ASSERT_EQ(Mydll_GetPicure(red.c_str(), 5, "160x120", jpeg.c_str()), 0);
    centre = PixelAt(DecodeRgb(jpeg, 0, 160, 120), 160, 80, 60);
    EXPECT_GT(centre.r, 150);
    EXPECT_LT(centre.b, 80);
}

TEST(Still, ShowsTheOnePictureAtFiveSecondsOfAClipWithBPictures) {
    // Red up to 5 s, one blue picture at 5 s, then green; one key frame at the start, so the
    // still is decoded across five seconds of pictures that refer to each other.
    const struct {
        const char* name;
        const char* encoder;
    } cases[] = {
        {"b pyramid.mp4", "-c:v libx264 -preset medium -bf 3 -b_strategy 0 -g 1000"},
        {"mpeg4 b.mp4", "-c:v mpeg4 -bf 2 -g 1000 -q:v 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string clip = Clip(c.name);
        ASSERT_TRUE(RunFfmpeg(
            "-f lavfi -i \"color=red:s=320x240:r=25:d=5[r];color=blue:s=320x240:r=25:d=0.04[b];"
            "color=green:s=320x240:r=25:d=2[g];[r][b][g]concat=n=3[out0]\" " +
            std::string(c.encoder) + " " + Quote(clip)));
        const std::string jpeg = Clip("one picture.jpg");
        ASSERT_EQ(Mydll_GetPicure(clip.c_str(), 5, "160x120", jpeg.c_str()), 0);
        const Rgb centre = PixelAt(DecodeRgb(jpeg, 0, 160, 120), 160, 80, 60);
        EXPECT_GT(centre.b, 150);
        EXPECT_LT(centre.r, 80);
        EXPECT_LT(centre.g, 80);
    }
}

TEST(Still, KeepsTheAspectWithBlackBars) {
    const struct {
        const char* size;
        int barX, barY;  // inside a bar
        int otherBarX, otherBarY;
        int pictureX, pictureY;  // inside the picture, near its edge
    } cases[] = {
        {"240x320", 10, 60, 150, 60, 40, 60},  // fits as 90x120: bars left and right
        {"640x360", 80, 5, 80, 114, 80, 20},   // fits as 160x90: bars top and bottom
        {"320x240", -1, -1, -1, -1, 2, 2},     // fills the picture
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::string source = Clip(std::string("white ") + c.size + ".mp4");
        ASSERT_TRUE(RunFfmpeg(std::string("-f lavfi -i color=white:s=") + c.size +
                              ":r=25:d=1 -c:v mpeg4 -q:v 2 " + Quote(source)));
        std::string jpeg = Clip("bars.jpg");
        ASSERT_EQ(Mydll_GetPicure(source.c_str(), 5, "160x120", jpeg.c_str()), 0);
        std::string rgb = DecodeRgb(jpeg, 0, 160, 120);
        if (c.barX >= 0) {
            EXPECT_TRUE(IsBlack(PixelAt(rgb, 160, c.barX, c.barY)));
            EXPECT_TRUE(IsBlack(PixelAt(rgb, 160, c.otherBarX, c.otherBarY)));
        }
        EXPECT_GT(PixelAt(rgb, 160, c.pictureX, c.pictureY).g, 200);
    }
}

TEST(Still, ReplacesAnOlderPictureWholeAndLeavesItWhenNothingCanBeDecoded) {
    std::string jpeg = Clip("kept.jpg");
    WriteFile(jpeg, "older picture");
    ASSERT_EQ(Mydll_GetPicure(Clip("asp.avi").c_str(), 5, "160x120", jpeg.c_str()), 0);
    std::string written = ReadFile(jpeg);
    EXPECT_TRUE(IsBaselineJpeg(written));

    WriteFile(Clip("zero.avi"), "");
    WriteFile(Clip("words.avi"), "not a video\n");
    const std::string sources[] = {Clip("missing.avi"), Clip("zero.avi"), Clip("words.avi")};
    for (const std::string& source : sources) {
        SCOPED_TRACE(source);
        EXPECT_LT(Mydll_GetPicure(source.c_str(), 5, "160x120", jpeg.c_str()), 0);
        EXPECT_EQ(ReadFile(jpeg), written);
        std::string fresh = Clip("never.jpg");
        EXPECT_LT(Mydll_GetPicure(source.c_str(), 5, "160x120", fresh.c_str()), 0);
        EXPECT_FALSE(Exists(fresh));
    }
    const char* badSizes[] = {"160", "x120", "0x120", "160x-1", "99999x99999", ""};
    for (const char* size : badSizes) {
        EXPECT_LT(Mydll_GetPicure(Clip("asp.avi").c_str(), 5, size, jpeg.c_str()), 0) << size;
    }
    EXPECT_LT(Mydll_GetPicure(Clip("asp.avi").c_str(), 5, "160x120",
                              (ClipFolder().Path() + "/no such folder/a.jpg").c_str()),
              0);
    EXPECT_LT(Mydll_GetPicure(nullptr, 5, "160x120", jpeg.c_str()), 0);
    EXPECT_LT(Mydll_GetPicure(Clip("asp.avi").c_str(), 5, nullptr, jpeg.c_str()), 0);
    EXPECT_LT(Mydll_GetPicure(Clip("asp.avi").c_str(), 5, "160x120", nullptr), 0);
    EXPECT_EQ(ReadFile(jpeg), written);
    EXPECT_TRUE(FilesContaining(ClipFolder().Path(), ".part").empty());
}

}  // namespace
}  // namespace enginetest

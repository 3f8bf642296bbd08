// The rules that turn a row and the settings into the engine's argument vector.
#include <gtest/gtest.h>

#include <cstring>

#include "converter/core/ArgumentVector.h"
#include "converter/core/Letterbox.h"
#include "platform/core/Errors.h"

TEST(Letterbox, PadsKeepTheSourceAspectAndAreEven) {
    const struct {
        int sw, sh, tw, th;
        LetterboxPads pads;
    } cases[] = {
        {720, 480, 320, 240, {12, 12, 0, 0}},  // fitted height 213.33, half gap 13, made even
        {480, 640, 320, 240, {0, 0, 70, 70}},
        {640, 480, 320, 240, {0, 0, 0, 0}},       // equal aspects
        {1920, 1080, 320, 240, {30, 30, 0, 0}},   // fitted height 180
        {1280, 720, 176, 144, {22, 22, 0, 0}},    // fitted height 99, half gap 22.5
        {1920, 1080, 128, 96, {12, 12, 0, 0}},    // fitted height 72
        {720, 576, 176, 144, {0, 0, 0, 0}},       // half gap 1.6: 1, odd, made 0
        {400, 1000, 320, 240, {0, 0, 112, 112}},  // fitted width 96
        {0, 0, 320, 240, {}},                     // a source without a picture
        {640, 0, 320, 240, {}},
        {640, 480, 0, 240, {}},
        {640, 480, 320, -240, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sw << "x" << c.sh << " into " << c.tw << "x" << c.th);
        const LetterboxPads pads = ComputeLetterbox(c.sw, c.sh, c.tw, c.th);
        EXPECT_EQ(pads.top, c.pads.top);
        EXPECT_EQ(pads.bottom, c.pads.bottom);
        EXPECT_EQ(pads.left, c.pads.left);
        EXPECT_EQ(pads.right, c.pads.right);
    }
}

// The bars follow the picture as a player shows it: the shape of its samples and its turn.
TEST(Letterbox, PadsFollowTheDisplayShapeOfThePicture) {
    const struct {
        const char* what;
        SourcePicture picture;
        int tw, th;
        LetterboxPads pads;
    } cases[] = {
        {"16:9 DVD", {720, 480, 32, 27, 0}, 320, 240, {30, 30, 0, 0}},
        {"16:9 DVD, square samples assumed", {720, 480, 1, 1, 0}, 320, 240, {12, 12, 0, 0}},
        {"4:3 DVD", {720, 480, 8, 9, 0}, 320, 240, {}},
        {"4:3 PAL DVD", {720, 576, 16, 15, 0}, 320, 240, {}},
        {"16:9 PAL DVD", {720, 576, 64, 45, 0}, 320, 240, {30, 30, 0, 0}},
        {"4:3 PAL DVD into 16:9", {720, 576, 16, 15, 0}, 640, 360, {0, 0, 80, 80}},
        {"portrait phone clip", {1920, 1080, 1, 1, 90}, 320, 240, {0, 0, 92, 92}},
        {"portrait, the other turn", {1920, 1080, 1, 1, 270}, 320, 240, {0, 0, 92, 92}},
        {"upside down", {1920, 1080, 1, 1, 180}, 320, 240, {30, 30, 0, 0}},
        {"a quarter turn written negative", {1920, 1080, 1, 1, -90}, 320, 240, {0, 0, 92, 92}},
        {"portrait with wide samples", {1440, 1080, 4, 3, 90}, 320, 240, {0, 0, 92, 92}},
        {"HDV 1440x1080 of 4:3 samples", {1440, 1080, 4, 3, 0}, 320, 240, {30, 30, 0, 0}},
        {"unknown sample aspect", {640, 480, 0, 1, 0}, 320, 240, {}},
        {"negative sample aspect", {720, 480, -32, 27, 0}, 320, 240, {12, 12, 0, 0}},
        {"no picture", {0, 0, 32, 27, 90}, 320, 240, {}},
        {"no frame size", {720, 480, 32, 27, 0}, 0, 240, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LetterboxForPicture(c.picture, c.tw, c.th), c.pads);
    }
}

TEST(AudioRateRule, ARateTooLowForTheBitRateIsRaised) {
    const struct {
        const char* quality;
        const char* rate;
        int64_t bitRate, sampleRate;
    } cases[] = {
        {"64 kbps", "8000 Hz", 64, 11000},  // 8 bits per sample: (64 / 6) x 1000 + 1000
        {"48 kbps", "8000 Hz", 48, 8000},   // exactly 6 keeps the rate
        {"128 kbps", "22050 Hz", 128, 22050},
        {"160 kbps", "24000 Hz", 160, 24000},
        {"160 kbps", "22050 Hz", 160, 27000},
        {"96", "16000", 96, 16000},                       // items without a space are read whole
        {"3000000 kbps", "8000 Hz", 3000000, 500001000},  // no overflow
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.quality) + " / " + c.rate);
        const AudioRates rates = ApplyAudioRateRule(c.quality, c.rate);
        EXPECT_EQ(rates.bitRate, c.bitRate);
        EXPECT_EQ(rates.sampleRate, c.sampleRate);
    }
}

TEST(AudioRateRule, BadItemsRaiseTheStandardErrors) {
    const struct {
        const char* quality;
        const char* rate;
        const char* message;
    } cases[] = {
        {"64 kbps", "0 Hz", "Division by zero"},
        {"kbps 64", "8000 Hz", "'kbps' is not a valid integer value"},
        {"", "8000 Hz", "'' is not a valid integer value"},
        {"64 kbps", "", "'' is not a valid integer value"},
        {"64 kbps", "8kHz", "'8kHz' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.quality) + " / " + c.rate);
        try {
            ApplyAudioRateRule(c.quality, c.rate);
            ADD_FAILURE() << "no error raised";
        } catch (const QorError& error) {
            EXPECT_EQ(error.Message(), c.message);
        }
    }
    EXPECT_THROW(ApplyAudioRateRule("64 kbps", "0 Hz"), EDivByZero);
    EXPECT_THROW(ApplyAudioRateRule("x", "8000 Hz"), EConvertError);
}

TEST(FrameSize, SplitsAtTheFirstX) {
    EXPECT_EQ(ParseFrameSize("320x240").width, 320);
    EXPECT_EQ(ParseFrameSize("320x240").height, 240);
    EXPECT_EQ(ParseFrameSize("1280x720").height, 720);
    for (const char* bad : {"320", "x240", "320x", "320x240x2", "qvga", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ParseFrameSize(bad), EConvertError);
    }
}

TEST(ArgumentEntries, DurationIsAGeneralNumber) {
    EXPECT_EQ(DurationText(60), "60");
    EXPECT_EQ(DurationText(0), "0");
    EXPECT_EQ(DurationText(12.5), "12.5");
    EXPECT_EQ(DurationText(3599.04), "3599.04");
}

TEST(ArgumentVector, BuffersHoldEveryEntryWhole) {
    const QString longPath = "/" + QString(400, 'p') + "/clip \u00e9t\u00e9.MP4";
    ArgumentVector vector({"hacktest.exe", "", longPath});
    ASSERT_EQ(vector.Count(), 3);
    char** argv = vector.Data();
    EXPECT_STREQ(argv[0], "hacktest.exe");
    ASSERT_NE(argv[1], nullptr);
    EXPECT_STREQ(argv[1], "");
    EXPECT_EQ(QString::fromUtf8(argv[2]), longPath);
    EXPECT_EQ(argv[3], nullptr);
}

// The stream plan: what a conversion makes of the picture and the sound, from the settings and
// what the source declares, checked without a clip.
#include <gtest/gtest.h>

#include <string>

#include "StreamPlan.h"

namespace kivo {
namespace {

ConversionArguments Args(int width, int height, VideoCodec codec = VideoCodec::Mpeg4) {
    ConversionArguments args;
    args.width = width;
    args.height = height;
    args.videoCodec = codec;
    return args;
}

SourceFacts Source(int width, int height, Fraction rate, const char* container = "mp4") {
    SourceFacts source;
    source.hasVideo = true;
    source.width = width;
    source.height = height;
    source.frameRate = rate;
    source.hasAudio = true;
    source.channels = 6;
    source.sampleRate = 48000;
    source.container = container;
    return source;
}

TEST(StreamPlan, PictureSizesPadsAndChain) {
    ConversionArguments letterbox = Args(320, 240);
    letterbox.padTop = letterbox.padBottom = 12;
    letterbox.frameRateNum = 30000;
    letterbox.frameRateDen = 1001;
    letterbox.durationSeconds = 12.5;
    ConversionArguments pillarbox = Args(320, 240);
    pillarbox.padLeft = pillarbox.padRight = 70;
    const struct {
        const char* name;
        ConversionArguments args;
        SourceFacts source;
        int width, height, pictureWidth, pictureHeight;
        const char* chain;
    } cases[] = {
        {"letterbox, cut, NTSC rate", letterbox, Source(720, 480, {25, 1}), 320, 240, 320, 216,
         "trim=end=12.500000,fps=30000/1001:start_time=0,trim=end=12.500000,"
         "scale=320:216:flags=bicubic,pad=320:240:0:12:black,setsar=1,format=yuv420p"},
        {"pillarbox", pillarbox, Source(480, 640, {25, 1}), 320, 240, 180, 240,
         "fps=25/1:start_time=0,scale=180:240:flags=bicubic,pad=320:240:70:0:black,setsar=1,"
         "format=yuv420p"},
        {"odd asked size made even", Args(177, 145), Source(640, 480, {25, 1}), 176, 144, 176, 144,
         nullptr},
        {"the source's size", Args(0, 0), Source(641, 361, {25, 1}), 640, 360, 640, 360, nullptr},
        {"undeclared size", Args(0, 0), Source(0, 0, {0, 1}), 320, 240, 320, 240, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const VideoPlan plan = PlanVideo(c.args, c.source);
        EXPECT_TRUE(plan.present);
        EXPECT_FALSE(plan.generated);
        EXPECT_EQ(plan.refusal, "");
        EXPECT_EQ(plan.width, c.width);
        EXPECT_EQ(plan.height, c.height);
        EXPECT_EQ(plan.pictureWidth, c.pictureWidth);
        EXPECT_EQ(plan.pictureHeight, c.pictureHeight);
        if (c.chain) {
            EXPECT_EQ(plan.chain, c.chain);
        }
    }
}

TEST(StreamPlan, FrameRateAndStep) {
    const struct {
        int askedNum, askedDen;
        Fraction source;
        int num, den;  // the output's rate
        Fraction step;
    } cases[] = {
        {15, 1, {30000, 1001}, 15, 1, {1001, 30000}},  // asked wins; the step is the source's
        {0, 1, {30000, 1001}, 30000, 1001, {1001, 30000}},
        {0, 1, {0, 1}, 25, 1, {1, 25}},      // unknown: 25
        {0, 1, {240, 1}, 25, 1, {1, 240}},   // above 120 is no picture rate
        {0, 1, {120, 1}, 120, 1, {1, 120}},  // 120 itself is kept
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.askedNum) + " asked, source " + std::to_string(c.source.num) +
                     "/" + std::to_string(c.source.den));
        ConversionArguments args = Args(320, 240);
        args.frameRateNum = c.askedNum;
        args.frameRateDen = c.askedDen;
        const VideoPlan plan = PlanVideo(args, Source(320, 240, c.source));
        EXPECT_EQ(plan.rate.num, c.num);
        EXPECT_EQ(plan.rate.den, c.den);
        EXPECT_EQ(plan.frameStep.num, c.step.num);
        EXPECT_EQ(plan.frameStep.den, c.step.den);
        EXPECT_NE(
            plan.chain.find("fps=" + std::to_string(c.num) + "/" + std::to_string(c.den) + ":"),
            std::string::npos)
            << plan.chain;
    }
    // A source rate with terms beyond 16 bits is brought to a near fraction within them.
    const VideoPlan plan = PlanVideo(Args(320, 240), Source(320, 240, {1000000, 33333}));
    EXPECT_LE(plan.rate.num, 65535);
    EXPECT_LE(plan.rate.den, 65535);
    EXPECT_NEAR(double(plan.rate.num) / plan.rate.den, 1000000.0 / 33333, 1e-3);
}

TEST(StreamPlan, CodecProfileAndLevel) {
    ConversionArguments ipod = Args(320, 240, VideoCodec::H264);
    ipod.videoKbps = 768;
    ipod.frameRateNum = 30000;
    ipod.frameRateDen = 1001;
    ConversionArguments psp = Args(480, 272, VideoCodec::H264);
    psp.videoKbps = 768;
    psp.frameRateNum = 30000;
    psp.frameRateDen = 1001;
    const VideoPlan h264 = PlanVideo(ipod, Source(640, 480, {25, 1}));
    EXPECT_STREQ(h264.encoderName, "libx264");
    EXPECT_STREQ(h264.h264Profile, "baseline");
    EXPECT_FALSE(h264.noBPyramid);
    ASSERT_NE(h264.h264Level, nullptr);
    EXPECT_STREQ(h264.h264Level->name, "1.3");
    EXPECT_EQ(h264.h264Refs, 1);
    EXPECT_EQ(h264.bitRate, 768000);
    EXPECT_FALSE(h264.mpeg4);

    // The PSP's Main profile keeps two reference pictures, which its level must hold.
    const VideoPlan main = PlanVideo(psp, Source(640, 480, {25, 1}, "psp"));
    EXPECT_STREQ(main.h264Profile, "main");
    EXPECT_TRUE(main.noBPyramid);
    ASSERT_NE(main.h264Level, nullptr);
    EXPECT_STREQ(main.h264Level->name, "2.1");
    EXPECT_EQ(main.h264Refs, 2);

    const VideoPlan xvid = PlanVideo(Args(640, 480, VideoCodec::Xvid), Source(640, 480, {25, 1}));
    EXPECT_STREQ(xvid.encoderName, "mpeg4");
    EXPECT_TRUE(xvid.mpeg4 && xvid.xvidTag);
    EXPECT_STREQ(xvid.mpeg4Level.name, LowestMpeg4Level(640, 480, 25, 1).name);
    EXPECT_EQ(xvid.h264Level, nullptr);

    const VideoPlan h263p =
        PlanVideo(Args(320, 240, VideoCodec::H263Plus), Source(640, 480, {25, 1}));
    EXPECT_STREQ(h263p.encoderName, "h263p");
    EXPECT_STREQ(h263p.what, "H.263+");
    EXPECT_FALSE(h263p.mpeg4);
}

TEST(StreamPlan, RefusesWhatTheCodecCannotCarry) {
    const struct {
        ConversionArguments args;
        const char* refusal;
    } cases[] = {
        {Args(320, 240, VideoCodec::H263),
         "H.263 cannot carry the frame size 320x240: use 128x96, 176x144, 352x288, 704x576 or "
         "1408x1152"},
        {Args(176, 144, VideoCodec::H263), ""},
        // From the source's own size, which the settings did not check.
        {Args(0, 0, VideoCodec::H263),
         "H.263 cannot carry the frame size 640x480: use 128x96, 176x144, 352x288, 704x576 or "
         "1408x1152"},
        {Args(4096, 4096, VideoCodec::H264),
         "H.264 has no level for 4096x4096 at this frame rate and bit rate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal);
        EXPECT_EQ(PlanVideo(c.args, Source(640, 480, {25, 1})).refusal, c.refusal);
    }
}

TEST(StreamPlan, GeneratedTracksOnlyWhereTheContainerNeedsBoth) {
    SourceFacts soundOnly = Source(0, 0, {0, 1});
    soundOnly.hasVideo = false;
    EXPECT_FALSE(PlanVideo(Args(320, 240), soundOnly).present);
    soundOnly.container = "psp";
    const VideoPlan black = PlanVideo(Args(0, 0), soundOnly);
    EXPECT_TRUE(black.present && black.generated);
    EXPECT_EQ(black.chain, "color=c=black:s=320x240:r=25/1,format=yuv420p");

    SourceFacts pictureOnly = Source(320, 240, {25, 1});
    pictureOnly.hasAudio = false;
    EXPECT_FALSE(PlanAudio(ConversionArguments{}, pictureOnly, nullptr).present);
    pictureOnly.container = "psp";
    const AudioPlan silence = PlanAudio(ConversionArguments{}, pictureOnly, nullptr);
    EXPECT_TRUE(silence.present && silence.generated);
    EXPECT_EQ(silence.channels, 2);
    EXPECT_EQ(silence.sampleRate, 44100);
    EXPECT_EQ(AudioChain(ConversionArguments{}, silence, "stereo"),
              "anullsrc=r=44100:cl=stereo,aformat=sample_fmts=fltp");
}

TEST(StreamPlan, SoundRateChannelsAndChain) {
    static const int kAacRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                    22050, 16000, 12000, 11025, 8000,  7350,  0};
    const struct {
        int channels, sampleRate, volume;
        double seconds;
        int outChannels, outRate;
        const char* chain;
    } cases[] = {
        {0, 0, 100, 0, 2, 48000,  // the source's rate, at most two of its six channels
         "aresample=48000,aformat=sample_fmts=fltp:sample_rates=48000:channel_layouts=stereo"},
        {1, 22000, 50, 0, 1, 22050,  // the runner's raised rate, to the encoder's nearest
         "aresample=22050,aformat=sample_fmts=fltp:sample_rates=22050:channel_layouts=mono,"
         "volume=0.50"},
        {2, 8000, 150, 12.5, 2, 8000,  // louder: on 16-bit samples, cut before and after
         "atrim=end=12.500000,aresample=8000,aformat=sample_fmts=s16:sample_rates=8000:"
         "channel_layouts=stereo,atrim=end=12.500000,volume=1.50:precision=fixed,"
         "aformat=sample_fmts=fltp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chain);
        ConversionArguments args;
        args.channels = c.channels;
        args.sampleRate = c.sampleRate;
        args.volumePercent = c.volume;
        args.durationSeconds = c.seconds;
        const AudioPlan plan = PlanAudio(args, Source(320, 240, {25, 1}), kAacRates);
        EXPECT_TRUE(plan.present);
        EXPECT_FALSE(plan.generated);
        EXPECT_EQ(plan.channels, c.outChannels);
        EXPECT_EQ(plan.sampleRate, c.outRate);
        EXPECT_EQ(AudioChain(args, plan, c.outChannels == 1 ? "mono" : "stereo"), c.chain);
    }
}

}  // namespace
}  // namespace kivo

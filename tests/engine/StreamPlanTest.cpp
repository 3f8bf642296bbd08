// The stream plan: what a conversion makes of the picture and the sound, from the settings and
// what the source declares, checked without a clip.
#include <gtest/gtest.h>

#include <string>

#include "StreamPlan.h"

namespace kivo {
namespace {

ConversionArguments Args(int width, int height, VideoCodec codec = VideoCodec::Mpeg4,
                         int pads = 0) {
    ConversionArguments args;
    args.width = width;
    args.height = height;
    args.videoCodec = codec;
    args.padTop = args.padBottom = pads;  // a letterbox
    return args;
}

SourceFacts Source(int width, int height, Fraction rate = {25, 1}, const char* container = "mp4") {
    return SourceFacts{width > 0, width, height, rate, true, 6, 48000, container, {}};
}

const char kH263Sizes[] = ": use 128x96, 176x144, 352x288, 704x576 or 1408x1152";

TEST(StreamPlan, PictureSizeChainAndRefusals) {
    ConversionArguments cut = Args(320, 240, VideoCodec::Mpeg4, 12);
    cut.frameRateNum = 30000;
    cut.frameRateDen = 1001;
    cut.durationSeconds = 12.5;
    const struct {
        ConversionArguments args;
        SourceFacts source;
        int width, height;
        const char* chain;  // null: not checked
        std::string refusal;
    } cases[] = {
        {cut, Source(720, 480), 320, 240,
         "trim=end=12.500000,fps=30000/1001:start_time=0,trim=end=12.500000,"
         "scale=320:216:flags=bicubic,format=yuv420p,pad=320:240:0:12:black,setsar=1",
         ""},
        {Args(177, 145), Source(640, 480), 176, 144,  // odd sides made even
         "fps=25/1:start_time=0,scale=176:144:flags=bicubic,format=yuv420p,pad=176:144:0:0:black,"
         "setsar=1",
         ""},
        {Args(0, 0), Source(641, 361), 640, 360, nullptr, ""},  // the source's own size
        {Args(0, 0), Source(0, 0, {0, 1}, "psp"), 320, 240,     // black picture beside the sound
         "color=c=black:s=320x240:r=25/1,format=yuv420p", ""},
        {Args(320, 240, VideoCodec::H263), Source(640, 480), 320, 240, nullptr,
         std::string("H.263 cannot carry the frame size 320x240") + kH263Sizes},
        {Args(0, 0, VideoCodec::H263), Source(640, 480), 640, 480, nullptr,
         std::string("H.263 cannot carry the frame size 640x480") + kH263Sizes},
        {Args(176, 144, VideoCodec::H263), Source(640, 480), 176, 144, nullptr, ""},
        {Args(4096, 4096, VideoCodec::H264), Source(640, 480), 4096, 4096, nullptr,
         "H.264 has no level for 4096x4096 at this frame rate and bit rate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " " + c.refusal);
        const VideoPlan plan = PlanVideo(c.args, c.source);
        EXPECT_TRUE(plan.present);
        EXPECT_EQ(plan.width, c.width);
        EXPECT_EQ(plan.height, c.height);
        EXPECT_EQ(plan.refusal, c.refusal);
        if (c.chain) {
            EXPECT_EQ(plan.chain, c.chain);
        }
    }
    EXPECT_FALSE(PlanVideo(Args(0, 0), Source(0, 0)).present);  // sound alone in an MP4
}

// What the picture's chain does for pictures stored sideways, interlaced, in another matrix or
// range, or in HDR; the output is SD (BT.601) below 720 lines and HD (BT.709) from there on.
TEST(StreamPlan, PictureChainTurnsDeinterlacesAndConvertsColour) {
    auto facts = [](int rotation, bool interlaced, int space, int range, int transfer,
                    int primaries, int height, int width = 0) {
        return PictureFacts{rotation, interlaced, space, range, transfer, primaries, height, width};
    };
    const char kPlain[] = "fps=25/1:start_time=0,";
    const struct {
        int width, height;  // -s, no pads
        PictureFacts picture;
        bool canToneMap;
        std::string chain;  // after the frame-rate step
        bool note;
    } cases[] = {
        {120, 160, facts(90, false, 2, 0, 2, 2, 240), true,
         "scale=160:120:flags=bicubic,format=yuv420p,transpose=clock,pad=120:160:0:0:black,setsar="
         "1",
         false},
        {120, 160, facts(180, false, 2, 0, 2, 2, 320), true,
         "scale=120:160:flags=bicubic,format=yuv420p,hflip,vflip,pad=120:160:0:0:black,setsar=1",
         false},
        {120, 160, facts(270, false, 2, 0, 2, 2, 240), true,
         "scale=160:120:flags=bicubic,format=yuv420p,transpose=cclock,pad=120:160:0:0:black,"
         "setsar=1",
         false},
        // HD into SD: BT.709 to BT.601, said or guessed from the height, on the scaled
        // picture; full range to limited in the scaling.
        {320, 240, facts(0, false, 1, 1, 1, 1, 720), true,
         "scale=320:240:flags=bicubic,format=yuv420p,colormatrix=src=bt709:dst=bt601,"
         "pad=320:240:0:0:black,setsar=1",
         false},
        {320, 240, facts(0, false, 2, 2, 2, 2, 1080), true,
         "scale=320:240:flags=bicubic:in_range=full:out_range=limited,format=yuv420p,"
         "colormatrix=src=bt709:dst=bt601,pad=320:240:0:0:black,setsar=1",
         false},
        // Turned after the matrix, on the small picture.
        {240, 320, facts(90, false, 2, 0, 2, 2, 1080), true,
         "scale=320:240:flags=bicubic,format=yuv420p,colormatrix=src=bt709:dst=bt601,"
         "transpose=clock,pad=240:320:0:0:black,setsar=1",
         false},
        // SD into HD the other way; HD into HD untouched.
        {1280, 720, facts(0, false, 6, 1, 6, 6, 480), true,
         "scale=1280:720:flags=bicubic,format=yuv420p,colormatrix=src=bt601:dst=bt709,"
         "pad=1280:720:0:0:black,setsar=1",
         false},
        {1280, 720, facts(0, false, 1, 1, 1, 1, 1080), true,
         "scale=1280:720:flags=bicubic,format=yuv420p,pad=1280:720:0:0:black,setsar=1", false},
        // RGB pictures (PNG, screen recordings) get the output's matrix, whatever their size.
        {1280, 720, facts(0, false, 0, 2, 13, 1, 480), true,
         "scale=1280:720:flags=bicubic:out_color_matrix=bt709:in_range=full:out_range=limited,"
         "format=yuv420p,pad=1280:720:0:0:black,setsar=1",
         false},
        // HDR: tone-mapped with zimg, or converted as it is with a note when it cannot be.
        {320, 240, facts(0, false, 9, 1, 16, 9, 2160), true,
         "zscale=w=320:h=240:filter=bicubic:min=2020_ncl:pin=2020:rin=limited:tin=smpte2084:"
         "t=linear:npl=100,format=gbrpf32le,zscale=p=170m,tonemap=tonemap=hable:desat=0,"
         "zscale=t=601:m=170m:r=limited,format=yuv420p,pad=320:240:0:0:black,setsar=1",
         false},
        {320, 240, facts(0, false, 9, 1, 18, 9, 2160), false,
         "scale=320:240:flags=bicubic,format=yuv420p,colormatrix=src=bt2020:dst=bt601,"
         "pad=320:240:0:0:black,setsar=1",
         true},
        // BT.2020 without HDR: its primaries are mapped into the output's.
        {1280, 720, facts(0, false, 9, 1, 14, 9, 2160), true,
         "zscale=w=1280:h=720:filter=bicubic:min=2020_ncl:pin=2020:rin=limited:tin=2020_10:"
         "p=709:t=709:m=709:r=limited,format=yuv420p,pad=1280:720:0:0:black,setsar=1",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chain);
        const VideoPlan plan = PlanVideo(Args(c.width, c.height), Source(640, 480));
        std::string note;
        EXPECT_EQ(PictureChain(Args(c.width, c.height), plan, c.picture, c.canToneMap, note),
                  kPlain + c.chain);
        EXPECT_EQ(!note.empty(), c.note);
    }
    // Interlaced pictures are deinterlaced first, one picture for one; progressive ones never.
    const VideoPlan plan = PlanVideo(Args(320, 240), Source(720, 576));
    std::string note;
    EXPECT_EQ(PictureChain(Args(320, 240), plan, facts(0, true, 2, 0, 2, 2, 576), true, note)
                  .rfind("bwdif=mode=send_frame:parity=auto:deint=all,fps=", 0),
              0u);
    EXPECT_EQ(plan.chain.find("bwdif"), std::string::npos);
    // A wide interlaced picture is made narrower before it is deinterlaced (its lines stay
    // apart); one that is not wider than the frame, or turned into a frame as wide, is not.
    const struct {
        int width, height;  // -s
        PictureFacts picture;
        const char* chainStart;
    } narrowed[] = {
        {320, 240, facts(0, true, 1, 1, 1, 1, 1080, 1920),
         "scale=320:ih:flags=bicubic,bwdif=mode=send_frame:parity=auto:deint=all,fps="},
        {240, 320, facts(90, true, 1, 1, 1, 1, 1080, 1920),
         "scale=320:ih:flags=bicubic,bwdif=mode=send_frame:parity=auto:deint=all,fps="},
        {720, 576, facts(0, true, 2, 0, 2, 2, 576, 720), "bwdif=mode=send_frame:"},
        {1280, 720, facts(0, true, 2, 0, 2, 2, 576, 720), "bwdif=mode=send_frame:"},
    };
    for (const auto& c : narrowed) {
        SCOPED_TRACE(c.chainStart);
        const VideoPlan wide = PlanVideo(Args(c.width, c.height), Source(1920, 1080));
        const std::string chain =
            PictureChain(Args(c.width, c.height), wide, c.picture, true, note);
        EXPECT_EQ(chain.rfind(c.chainStart, 0), 0u) << chain;
    }
    // The colour each output is tagged with.
    EXPECT_EQ(plan.colour.space, 6);                                          // SMPTE 170M
    EXPECT_EQ(plan.colour.range, 1);                                          // limited
    EXPECT_EQ(PlanVideo(Args(1280, 720), Source(640, 480)).colour.space, 1);  // BT.709
}

TEST(StreamPlan, FrameRateAndStep) {
    const struct {
        int asked;
        Fraction source, rate, step;
    } cases[] = {
        {15, {30000, 1001}, {15, 1}, {1001, 30000}},  // asked wins; the step is the source's
        {0, {30000, 1001}, {30000, 1001}, {1001, 30000}},
        {0, {0, 1}, {25, 1}, {1, 25}},     // unknown: 25
        {0, {240, 1}, {25, 1}, {1, 240}},  // above 120 is no picture rate
        {0, {120, 1}, {120, 1}, {1, 120}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.source.num) + "/" + std::to_string(c.source.den));
        ConversionArguments args = Args(320, 240);
        args.frameRateNum = c.asked;
        const VideoPlan plan = PlanVideo(args, Source(320, 240, c.source));
        EXPECT_EQ(plan.rate.num * c.rate.den, c.rate.num * plan.rate.den);
        EXPECT_EQ(plan.frameStep.num * c.step.den, c.step.num * plan.frameStep.den);
    }
    // A declared rate with terms beyond 16 bits is brought to a near fraction within them.
    const VideoPlan plan = PlanVideo(Args(320, 240), Source(320, 240, {1000000, 33333}));
    EXPECT_LE(std::max(plan.rate.num, plan.rate.den), 65535);
    EXPECT_NEAR(double(plan.rate.num) / plan.rate.den, 30.0003, 1e-3);
}

TEST(StreamPlan, H264ProfileAndLevelForTheDevice) {
    ConversionArguments ipod = Args(320, 240, VideoCodec::H264);
    ConversionArguments psp = Args(480, 272, VideoCodec::H264);
    for (ConversionArguments* args : {&ipod, &psp}) {
        args->videoKbps = 768;
        args->frameRateNum = 30000;
        args->frameRateDen = 1001;
    }
    const VideoPlan baseline = PlanVideo(ipod, Source(640, 480));
    ASSERT_NE(baseline.h264Level, nullptr);
    EXPECT_STREQ(baseline.h264Profile, "baseline");
    EXPECT_STREQ(baseline.h264Level->name, "1.3");
    EXPECT_EQ(baseline.h264Refs, 1);
    // The PSP's Main profile keeps two reference pictures, which its level must hold.
    const VideoPlan main = PlanVideo(psp, Source(640, 480, {25, 1}, "psp"));
    ASSERT_NE(main.h264Level, nullptr);
    EXPECT_STREQ(main.h264Profile, "main");
    EXPECT_TRUE(main.noBPyramid);
    EXPECT_STREQ(main.h264Level->name, "2.1");
    EXPECT_EQ(main.h264Refs, 2);
}

TEST(StreamPlan, SoundRateChannelsAndChain) {
    static const int kAacRates[] = {96000, 88200, 64000, 48000, 44100, 32000, 24000,
                                    22050, 16000, 12000, 11025, 8000,  7350,  0};
    const struct {
        int channels, rate, volume;
        bool hasAudio;
        int outChannels, outRate;
        const char* chain;
    } cases[] = {
        {0, 0, 100, true, 2, 48000,  // the source's rate, at most two of its six channels
         "aresample=48000,aformat=sample_fmts=fltp:sample_rates=48000:channel_layouts=stereo"},
        {1, 22000, 50, true, 1, 22050,  // the runner's raised rate, to the encoder's nearest
         "aresample=22050,aformat=sample_fmts=fltp:sample_rates=22050:channel_layouts=mono,"
         "volume=0.50"},
        {2, 8000, 150, true, 2, 8000,  // louder: on 16-bit samples, which clip
         "atrim=end=12.500000,aresample=8000,aformat=sample_fmts=s16:sample_rates=8000:"
         "channel_layouts=stereo,atrim=end=12.500000,volume=1.50:precision=fixed,"
         "aformat=sample_fmts=fltp"},
        {0, 0, 100, false, 2, 44100, "anullsrc=r=44100:cl=stereo,aformat=sample_fmts=fltp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chain);
        ConversionArguments args;
        args.channels = c.channels;
        args.sampleRate = c.rate;
        args.volumePercent = c.volume;
        args.durationSeconds = c.volume > 100 ? 12.5 : 0;
        SourceFacts source = Source(320, 240, {25, 1}, "psp");
        source.hasAudio = c.hasAudio;
        const AudioPlan plan = PlanAudio(args, source, kAacRates);
        EXPECT_TRUE(plan.present);
        EXPECT_EQ(plan.generated, !c.hasAudio);
        EXPECT_EQ(plan.channels, c.outChannels);
        EXPECT_EQ(plan.sampleRate, c.outRate);
        EXPECT_EQ(AudioChain(args, plan, c.outChannels == 1 ? "mono" : "stereo"), c.chain);
    }
    SourceFacts pictureOnly = Source(320, 240);
    pictureOnly.hasAudio = false;
    EXPECT_FALSE(PlanAudio(ConversionArguments{}, pictureOnly, kAacRates).present);
}

}  // namespace
}  // namespace kivo

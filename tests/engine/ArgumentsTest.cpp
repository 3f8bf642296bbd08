// The argument vector check: what the runner writes is understood, and anything the engine
// cannot honour is refused with a sentence that names the problem.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Arguments.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

using kivo::ConversionArguments;
using kivo::ParseArguments;
using kivo::VideoCodec;

std::vector<std::string> RunnerVector() {
    return {"hacktest.exe", "-y",      "-t",        "12.5",       "-i",
            "/in/clip.avi", "-vol",    "100",       "-bitexact",  "-vcodec",
            "mpeg4",        "-padtop", "12",        "-padbottom", "12",
            "-padleft",     "0",       "-padright", "0",          "-s",
            "320x240",      "-b",      "512",       "-r",         "29.97",
            "-acodec",      "aac",     "-ac",       "2",          "-ar",
            "22000",        "-ab",     "128",       "-f",         "mp4",
            "/out/clip.MP4"};
}

// The runner's vector for a range: "-ss" and `start` before "-t".
std::vector<std::string> WithStart(const std::string& start) {
    std::vector<std::string> entries = RunnerVector();
    entries.insert(entries.begin() + 2, {"-ss", start});
    return entries;
}

bool Parse(const std::vector<std::string>& entries, ConversionArguments& args, std::string& error) {
    std::vector<const char*> pointers;
    for (const std::string& entry : entries) {
        pointers.push_back(entry.c_str());
    }
    return ParseArguments(int(pointers.size()), pointers.data(), args, error);
}

std::vector<std::string> With(const std::string& option, const std::string& value) {
    std::vector<std::string> entries = RunnerVector();
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        if (entries[i] == option) {
            entries[i + 1] = value;
        }
    }
    return entries;
}

TEST(Arguments, ReadsEveryEntryOfTheRunnersVector) {
    ConversionArguments args;
    std::string error;
    ASSERT_TRUE(Parse(RunnerVector(), args, error)) << error;
    EXPECT_TRUE(args.overwrite);
    EXPECT_DOUBLE_EQ(args.durationSeconds, 12.5);
    EXPECT_EQ(args.input, "/in/clip.avi");
    EXPECT_EQ(args.volumePercent, 100);
    EXPECT_TRUE(args.bitexact);
    EXPECT_EQ(args.videoCodec, VideoCodec::Mpeg4);
    EXPECT_EQ(args.padTop, 12);
    EXPECT_EQ(args.padBottom, 12);
    EXPECT_EQ(args.width, 320);
    EXPECT_EQ(args.height, 240);
    EXPECT_EQ(args.videoKbps, 512);
    EXPECT_EQ(args.frameRateNum, 30000);
    EXPECT_EQ(args.frameRateDen, 1001);
    EXPECT_EQ(args.channels, 2);
    EXPECT_EQ(args.sampleRate, 22000);
    EXPECT_EQ(args.audioKbps, 128);
    EXPECT_EQ(args.format, "mp4");
    EXPECT_EQ(args.output, "/out/clip.MP4");
}

TEST(Arguments, AcceptedValues) {
    struct Case {
        const char* option;
        const char* value;
        int (*read)(const ConversionArguments&);
        int expected;
    };
    auto volume = [](const ConversionArguments& a) { return a.volumePercent; };
    auto codec = [](const ConversionArguments& a) { return int(a.videoCodec); };
    auto channels = [](const ConversionArguments& a) { return a.channels; };
    auto rateNum = [](const ConversionArguments& a) { return a.frameRateNum; };
    auto rateDen = [](const ConversionArguments& a) { return a.frameRateDen; };
    const Case cases[] = {
        {"-vol", "0", volume, 0},
        {"-vol", "300", volume, 300},
        {"-vol", "301", volume, 300},
        {"-vol", "-20", volume, 0},
        {"-vol", "5000000000", volume, 300},
        {"-vol", "99999999999999999999999", volume, 300},
        {"-vcodec", "xvid", codec, int(VideoCodec::Xvid)},
        {"-vcodec", "H264", codec, int(VideoCodec::H264)},
        {"-vcodec", "h263p", codec, int(VideoCodec::H263Plus)},
        {"-ac", "0", channels, 0},
        {"-r", "25", rateNum, 25},
        {"-r", "12.5", rateNum, 25},
        {"-r", "12.5", rateDen, 2},
        {"-r", "23.976", rateNum, 24000},
        {"-r", "14.985", rateDen, 1001},
    };
    for (const Case& c : cases) {
        ConversionArguments args;
        std::string error;
        ASSERT_TRUE(Parse(With(c.option, c.value), args, error))
            << c.option << " " << c.value << ": " << error;
        EXPECT_EQ(c.read(args), c.expected) << c.option << " " << c.value;
    }
}

TEST(Arguments, RefusedVectorsSayWhy) {
    struct Case {
        std::vector<std::string> entries;
        const char* expectedPart;
    };
    std::vector<std::string> noInput = RunnerVector();
    noInput.erase(noInput.begin() + 4, noInput.begin() + 6);
    std::vector<std::string> danglingOption = {"hacktest.exe", "-i", "/in/a.avi", "-s",
                                               "/out/a.mp4"};
    const Case cases[] = {
        {With("-vcodec", "divx"), "Unknown video codec \"divx\""},
        {With("-acodec", "mp3"), "Unknown audio codec \"mp3\""},
        {With("-s", "320"), "Invalid frame size"},
        {With("-s", "0x240"), "Invalid frame size"},
        {With("-b", "fast"), "Invalid video bit rate"},
        {With("-r", "0"), "Invalid frame rate"},
        {With("-r", "abc"), "Invalid frame rate"},
        {With("-t", "-3"), "Invalid duration"},
        {With("-ar", "44.1k"), "Invalid audio rate"},
        {With("-padtop", "-2"), "Invalid top pad"},
        {With("-padleft", "320"), "The pads leave no room"},
        {With("-padbottom", "228"), "The pads leave no room"},
        {With("-vol", "loud"), "Invalid volume"},
        {With("-padright", "x"), "Invalid right pad"},
        {WithStart("-2"), "Invalid start \"-2\""},
        {WithStart("two"), "Invalid start"},
        {WithStart(""), "Invalid start"},
        {noInput, "no input file"},
        {danglingOption, "has no value"},
        {{"hacktest.exe"}, "no output file"},
        {{"hacktest.exe", "-i", "/a.avi", "-q", "3", "/b.mp4"}, "Unknown setting \"-q\""},
    };
    for (const Case& c : cases) {
        ConversionArguments args;
        std::string error;
        EXPECT_FALSE(Parse(c.entries, args, error)) << c.expectedPart;
        EXPECT_NE(error.find(c.expectedPart), std::string::npos)
            << "error was: " << error << ", expected: " << c.expectedPart;
    }
}

TEST(Arguments, StartIsDecimalSecondsAndAbsentMeansTheBeginning) {
    ConversionArguments args;
    std::string error;
    ASSERT_TRUE(Parse(RunnerVector(), args, error)) << error;
    EXPECT_EQ(args.startSeconds, 0);
    ASSERT_TRUE(Parse(WithStart("2.5"), args, error)) << error;
    EXPECT_EQ(args.startSeconds, 2.5);
    EXPECT_EQ(args.durationSeconds, 12.5);
}

TEST(Arguments, H263TakesOnlyItsLegalSizes) {
    const struct {
        const char* size;
        bool legal;
    } cases[] = {{"128x96", true},    {"176x144", true},  {"352x288", true},  {"704x576", true},
                 {"1408x1152", true}, {"320x240", false}, {"176x120", false}, {"144x176", false}};
    for (const auto& c : cases) {
        ConversionArguments args;
        std::string error;
        std::vector<std::string> entries = With("-vcodec", "h263");
        for (size_t i = 0; i + 1 < entries.size(); ++i) {
            if (entries[i] == "-s")
                entries[i + 1] = c.size;
            if (entries[i].rfind("-pad", 0) == 0)
                entries[i + 1] = "0";
        }
        EXPECT_EQ(Parse(entries, args, error), c.legal) << c.size;
        if (!c.legal) {
            EXPECT_NE(error.find("128x96, 176x144, 352x288, 704x576 or 1408x1152"),
                      std::string::npos)
                << error;
        }
    }
    // h263p has no such limit.
    ConversionArguments args;
    std::string error;
    EXPECT_TRUE(Parse(With("-vcodec", "h263p"), args, error)) << error;
}

TEST(Arguments, RatesTheEncoderCannotCarryBecomeTheNearestItCan) {
    const AVCodec* aac = avcodec_find_encoder_by_name("aac");
    ASSERT_NE(aac, nullptr);
    const struct {
        int asked;
        int expected;
    } cases[] = {{11000, 11025}, {22000, 22050}, {17000, 16000}, {8000, 8000},
                 {44100, 44100}, {48000, 48000}, {1000, 7350},   {200000, 96000}};
    for (const auto& c : cases) {
        EXPECT_EQ(kivo::NearestSampleRate(c.asked, aac->supported_samplerates), c.expected)
            << c.asked;
    }
    EXPECT_EQ(kivo::NearestSampleRate(12345, nullptr), 12345);
}

}  // namespace

// Damaged sources, grouped by the fault they showed: timestamp jumps (no endless conversion,
// Stop heeded), sources with nothing readable (a failure that keeps the old target), sound that
// steps back, an MP4 without a picture format, a damaged length in the probe, and -t cut to
// the frame.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <memory>

#include "EngineTestSupport.h"
#include "HostileSources.h"
#include "SampleClips.h"
#include "kivoengine.h"

namespace enginetest {
namespace {

using Clock = std::chrono::steady_clock;

ScratchFolder* g_folder = nullptr;

const auto* const g_environment = UseSourceFolder(g_folder, [](ScratchFolder& folder) {
    ASSERT_TRUE(MakeJumpClips(folder));
    // A transport stream whose picture begins twelve seconds in: its format is not known
    // when the stream is opened.
    ASSERT_TRUE(RunFfmpeg(
        "-f lavfi -i sine=duration=16:sample_rate=44100 -itsoffset 12 -f lavfi -i "
        "testsrc=size=160x120:rate=15:duration=4 -map 0 -map 1 -c:a mp2 -c:v mpeg2video " +
        Quote(folder.File("late picture.ts"))));
    // Long enough to be still converting when Stop comes, a second in, on a fast machine too:
    // 180 s of these pictures convert in about a second there.
    ASSERT_TRUE(MakeJumpClips(folder, 500, "long "));
    for (const auto& [name, codecs] : {std::pair{"clean.flv", "-c:v flv -c:a libmp3lame"},
                                       {"clean.wmv", "-c:v wmv2 -c:a wmav2"},
                                       {"clean.mkv", "-c:v mpeg4 -c:a libvorbis"}}) {
        ASSERT_TRUE(MakeClip(folder.File(name), 320, 240, "25", 3, codecs)) << name;
    }
});

std::string File(const std::string& name) {
    return g_folder->File(name);
}

double Seconds(const std::string& text) {
    return text.empty() ? -1 : std::atof(text.c_str());
}

std::string FileNamePartOf(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

bool Decodes(const std::string& path) {
    return RunFfmpeg("-xerror -i " + Quote(path) + " -f null -");
}

TEST(TimestampJumps, ConvertWholeInSecondsAndEndAtOnceOnStop) {
    constexpr double kContent = 4;
    const struct {
        const char* clip;
        bool psp;
        const char* duration;  // what the runner passes: the probed length, or a cut
        double longest;        // the output's longest length
    } cases[] = {
        {"picture-jump.mkv", false, "100004", kContent + 1},
        {"picture-jump.mkv", false, "2", 2 + 1 / 15.0},
        {"picture-only-jump.mkv", true, "100004", kContent + 1},
        {"sound-only-jump.mkv", true, "100004", kContent + 1},
        {"sound-only-jump.mkv", false, "100004", kContent + 1},
        {"sound-jump.mkv", true, "100004", kContent + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.clip) + (c.psp ? " to the PSP" : " to a phone") + " -t " +
                     c.duration);
        const std::string source =
            std::string(c.clip) == "sound-jump.mkv" ? HostileFile(c.clip) : File(c.clip);
        const std::string output = File("jump out.mp4");
        const Vector vector =
            c.psp ? PspVector(c.duration, source, output) : PhoneVector(c.duration, source, output);

        // Whole: finished within ten seconds, no longer than the real content and a second.
        ConversionReport report = Convert(vector, 10);
        ASSERT_EQ(report.doneMessages, 1) << report.LastLine();
        EXPECT_EQ(report.LastLine(), "Finished " + FileNamePartOf(source));
        auto probe = ProbeWithTool(output);
        EXPECT_GT(Seconds(probe["format.duration"]), 1.5);
        EXPECT_LE(Seconds(probe["format.duration"]), c.longest + 0.001);
        EXPECT_TRUE(Decodes(output));
    }
}

TEST(TimestampJumps, StopAfterASecondEndsAtOnceWithAPlayableFile) {
    for (const std::string& clip : JumpClipNames()) {
        for (bool psp : {false, true}) {
            SCOPED_TRACE(clip + (psp ? " to the PSP" : " to a phone"));
            const std::string source = File("long " + clip);
            const std::string output = File("stopped jump.mp4");
            StartConversion(psp ? PspVector("100500", source, output)
                                : PhoneVector("100500", source, output));
            ConversionReport report = WaitForDone(1);
            Clock::time_point stopAt = Clock::now();
            Mydll_Stop();
            if (report.doneMessages == 0) {
                report = WaitForDone(10);
            }
            ASSERT_EQ(report.doneMessages, 1);
            double stopSeconds = std::chrono::duration<double>(report.doneAt - stopAt).count();
            // On a fast machine the conversion may have ended just before the stop.
            const std::string ending = stopSeconds > 0 ? "Stopped by user: " : "Finished ";
            EXPECT_EQ(report.LastLine().rfind(ending + "long " + clip, 0), 0u) << report.LastLine();
            std::printf("%s: ended %.3f s after the stop\n", clip.c_str(), stopSeconds);
            // Half a second is the promise; the margin absorbs a loaded test machine.
            EXPECT_LT(stopSeconds, 1.0);
            EXPECT_TRUE(Decodes(output));
            EXPECT_TRUE(FilesContaining(g_folder->Path(), ".part").empty());
        }
    }
}

TEST(NothingReadable, TheConversionFailsAndAnOlderTargetIsKeptByteForByte) {
    for (const char* name : {"cut-after-260-bytes.mpg", "no-frames.mkv"}) {
        SCOPED_TRACE(name);
        const std::string target = File("kept.3gp");
        const char bytes[] = "an older file\r\nof the same name\0with a NUL";
        const std::string older(bytes, sizeof bytes - 1);
        WriteFile(target, older);
        ConversionReport report = Convert(PhoneVector("2", HostileFile(name), target), 30);
        EXPECT_EQ(report.doneMessages, 1);
        EXPECT_EQ(report.LastLine(),
                  std::string("Failed: ") + name +
                      ": the source holds no picture or sound that could be read");
        EXPECT_EQ(ReadFile(target), older);
        EXPECT_TRUE(FilesContaining(g_folder->Path(), ".part").empty());
    }
}

TEST(DamagedTimelines, SoundSteppingBackAndAnUnknownPictureFormatConvertWhole) {
    const struct {
        const char* name;
        double shortest;  // the source holds 3 s
    } cases[] = {
        {"audio-steps-back.flv", 2.9},
        {"audio-steps-back.mpg", 2.9},
        {"unknown-pixel-format.mp4", 2.9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string output = File("whole.3gp");
        ConversionReport report = Convert(PhoneVector("3", HostileFile(c.name), output), 30);
        EXPECT_EQ(report.doneMessages, 1);
        EXPECT_EQ(report.LastLine(), std::string("Finished ") + c.name);
        auto probe = ProbeWithTool(output);
        EXPECT_GE(Seconds(probe["video.duration"]), c.shortest);
        EXPECT_GE(Seconds(probe["audio.duration"]), c.shortest);
        EXPECT_TRUE(Decodes(output));
    }
}

TEST(DamagedTimelines, APictureWithoutADeclaredFormatIsSetUpFromItsFirstFrame) {
    const std::string output = File("late picture.3gp");
    ConversionReport report = Convert(PhoneVector("16", File("late picture.ts"), output), 30);
    EXPECT_EQ(report.LastLine(), "Finished late picture.ts");
    auto probe = ProbeWithTool(output);
    EXPECT_EQ(probe["video.codec_name"], "mpeg4");
    EXPECT_EQ(probe["video.width"], "176");
    // The picture keeps its place after the sound's start.
    EXPECT_GE(Seconds(probe["video.start_time"]) + Seconds(probe["video.duration"]), 15.5);
    EXPECT_GE(Seconds(probe["audio.duration"]), 15.5);
}

TEST(DamagedHeaders, TheProbeGivesALengthInRange) {
    EngineFileInfo info{};
    info.duration = -1;
    EXPECT_EQ(Mydll_GetFileinfo(HostileFile("negative-duration.wmv").c_str(), &info), 0);
    EXPECT_GE(info.duration, 0);
    EXPECT_GE(info.width, 0);
    EXPECT_GE(info.sampleRate, 0);
    for (const std::string& name : HostileFileNames()) {
        SCOPED_TRACE(name);
        EngineFileInfo any{};
        Mydll_GetFileinfo(HostileFile(name).c_str(), &any);
        EXPECT_GE(any.duration, 0);
        EXPECT_GE(any.width, 0);
        EXPECT_GE(any.height, 0);
        EXPECT_GE(any.fps, 0);
        EXPECT_GE(any.channels, 0);
    }
}

TEST(TimeLimit, TwoSecondsGiveAtMostTwoSecondsAndOneFrame) {
    constexpr double kFrame = 1 / 15.0;
    for (const std::string& source :
         {File("clean.flv"), File("clean.wmv"), File("clean.mkv"),
          HostileFile("audio-steps-back.flv"), HostileFile("negative-duration.wmv"),
          File("picture-jump.mkv")}) {
        SCOPED_TRACE(source);
        const std::string output = File("two seconds.3gp");
        ConversionReport report = Convert(PhoneVector("2", source, output), 30);
        ASSERT_EQ(report.LastLine().rfind("Finished ", 0), 0u) << report.LastLine();
        auto probe = ProbeWithTool(output);
        double picture = Seconds(probe["video.duration"]);
        double sound = Seconds(probe["audio.duration"]);
        EXPECT_LE(Seconds(probe["format.duration"]), 2 + kFrame + 0.001);
        EXPECT_GT(picture, 1.8);
        EXPECT_LE(sound, picture + kFrame + 0.001);
    }
}

}  // namespace
}  // namespace enginetest

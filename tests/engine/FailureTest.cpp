// Bad input never crashes or hangs: every refused or failed conversion ends with exactly one
// end message and a plain status line, deletes its temporary file and leaves an existing file
// of the target's name untouched. Damage inside a file is skipped, not fatal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "EngineTestSupport.h"
#include "SampleClips.h"
#include "kivoengine.h"

namespace enginetest {
namespace {

ScratchFolder* g_folder = nullptr;

const auto* const g_environment = UseSourceFolder(g_folder, [](ScratchFolder& folder) {
    ASSERT_TRUE(MakeClip(folder.File("good.mp4"), 320, 240, "25", 4,
                         "-c:v libx264 -preset ultrafast -c:a aac"));
    ASSERT_TRUE(MakeClip(folder.File("good.avi"), 320, 240, "25", 4, "-c:v mpeg4 -c:a libmp3lame"));
});

std::string File(const std::string& name) {
    return g_folder->File(name);
}

Vector PlainVector(const std::string& input, const std::string& output) {
    return MakeVector("4", input, output, "mpeg4", "320x240", "25", "384", "2", "44100", "96",
                      "mp4");
}

TEST(BadInput, EveryFailureEndsOnceWithAPlainLineAndKeepsTheOldTarget) {
    std::string good = ReadFile(File("good.mp4"));
    WriteFile(File("zero.avi"), "");
    WriteFile(File("words.avi"), "This is a text file that only pretends to be a video.\n");
    // An MP4 whose index (at the end, after the media data) was cut away.
    WriteFile(File("cut.mp4"), good.substr(0, good.size() * 2 / 3));

    const std::string target = File("target.MP4");
    const struct {
        std::string name;
        Vector vector;
        std::string expected;  // a part of the last status line
    } cases[] = {
        {"missing file", PlainVector(File("missing.avi"), target), "does not exist"},
        {"zero bytes", PlainVector(File("zero.avi"), target), "Cannot read the source"},
        {"text named .avi", PlainVector(File("words.avi"), target), "Cannot read the source"},
        {"MP4 cut before its index", PlainVector(File("cut.mp4"), target),
         "Cannot read the source"},
        {"unknown codec", PlainVector(File("good.avi"), target).Set("-vcodec", "divx"),
         "Unknown video codec \"divx\""},
        {"illegal H.263 size",
         PlainVector(File("good.avi"), target).Set("-vcodec", "h263").Set("-f", "3gp"), "176x144"},
        {"H.263 at the source's odd size",
         PlainVector(File("good.avi"), target)
             .Set("-vcodec", "h263")
             .Set("-s", "0x0"),  // refused before the size is even looked at
         "Invalid frame size"},
        {"no output folder", PlainVector(File("good.avi"), File("no such folder/out.MP4")),
         "The output folder does not exist"},
        {"output folder not writable", PlainVector(File("good.avi"), "/proc/kivo-out.MP4"),
         "Cannot write in the output folder"},
        {"unknown format", PlainVector(File("good.avi"), target).Set("-f", "dvd-player"),
         "Unknown output format"},
        {"no format for the extension",
         PlainVector(File("good.avi"), File("out.xyz")).Set("-f", ""), "No output format"},
        {"encoder refuses its settings",
         PlainVector(File("good.avi"), target).Set("-vcodec", "h263p").Set("-s", "322x240"),
         "encoder refused its settings"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(target, "the older file");
        ConversionReport report = Convert(c.vector, 30);
        EXPECT_EQ(report.doneMessages, 1);
        EXPECT_EQ(report.LastLine().rfind("Failed: ", 0), 0u) << report.LastLine();
        EXPECT_NE(report.LastLine().find(c.expected), std::string::npos) << report.LastLine();
        EXPECT_EQ(ReadFile(target), "the older file");
        EXPECT_TRUE(FilesContaining(g_folder->Path(), ".part").empty());
    }
}

TEST(Outcome, TheEndMessageTellsFinishedStoppedAndFailedApart) {
    ASSERT_TRUE(MakeClip(File("long.avi"), 320, 240, "25", 30, "-c:v mpeg4 -c:a libmp3lame"));
    const struct {
        std::string name;
        Vector vector;
        bool stop;  // stopped once the conversion has made progress
        long outcome;
        std::string line;  // the start of the last status line
    } cases[] = {
        {"finished", PlainVector(File("good.avi"), File("finished.MP4")), false,
         KIVO_CONVERSION_FINISHED, "Finished good.avi"},
        {"stopped", PlainVector(File("long.avi"), File("stopped.MP4")).Set("-t", "30"), true,
         KIVO_CONVERSION_STOPPED, "Stopped by user: long.avi"},
        {"failed", PlainVector(File("missing.avi"), File("failed.MP4")), false,
         KIVO_CONVERSION_FAILED, "Failed: missing.avi"},
        {"refused vector",
         PlainVector(File("good.avi"), File("refused.MP4")).Set("-vcodec", "divx"), false,
         KIVO_CONVERSION_FAILED, "Failed: Unknown video codec"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartConversion(c.vector);
        if (c.stop) {
            ASSERT_TRUE(WaitForPercent(1, 60));
            Mydll_Stop();
        }
        ConversionReport report = WaitForDone(60);
        EXPECT_EQ(report.doneMessages, 1);
        EXPECT_EQ(report.outcome, c.outcome);
        EXPECT_EQ(report.LastLine().rfind(c.line, 0), 0u) << report.LastLine();
    }
}

TEST(BadInput, AVectorWithMissingEntriesIsRefusedAndStillEndsOnce) {
    static std::atomic<int> posts{0};
    KivoWindow window{[](KivoWindow*, unsigned msg, uintptr_t, intptr_t) {
        if (msg == WM_CONVERTDONE)
            ++posts;
    }};
    char program[] = "hacktest.exe";
    char* withNull[] = {program, nullptr, nullptr};
    EXPECT_EQ(_X(&window, 3, withNull), -1);
    EXPECT_EQ(_X(&window, 0, nullptr), -1);
    EXPECT_EQ(_X(&window, -5, withNull), -1);
    EXPECT_EQ(_X(nullptr, 0, nullptr), -1);  // nobody to tell; must not crash
    // Waiting for an idle engine: a harmless start that ends at once.
    Convert(PlainVector(File("missing.avi"), File("x.MP4")), 10);
    EXPECT_EQ(posts.load(), 3);
}

TEST(BadInput, DamageInTheMiddleIsSkippedAndTheConversionGoesOn) {
    for (const char* name : {"good.avi", "good.mp4"}) {
        SCOPED_TRACE(name);
        std::string bytes = ReadFile(File(name));
        for (size_t at = bytes.size() * 2 / 5; at < bytes.size() * 3 / 5; at += 97) {
            bytes[at] = char(bytes[at] ^ 0x5A);
        }
        std::string damaged = File(std::string("damaged ") + name);
        WriteFile(damaged, bytes);
        std::string output = File("repaired.MP4");
        ConversionReport report = Convert(PlainVector(damaged, output), 30);
        EXPECT_EQ(report.doneMessages, 1);
        EXPECT_EQ(report.LastLine(), "Finished damaged " + std::string(name));
        auto probe = ProbeWithTool(output);
        EXPECT_GT(std::atof(probe["format.duration"].c_str()), 2.5);
    }
}

TEST(BadInput, LongAndNonAsciiPathsWork) {
    std::string folder = g_folder->Path();
    // Nested folders make a path of far more than 255 characters.
    for (int i = 0; i < 4; ++i) {
        folder += "/" + std::string(80, char('a' + i));
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    }
    std::string longSource = folder + "/source clip with a long name.mp4";
    WriteFile(longSource, ReadFile(File("good.mp4")));
    std::string longOutput = folder + "/" + std::string(200, 'o') + ".MP4";
    ASSERT_GT(longOutput.size(), 255u);
    ConversionReport report = Convert(PlainVector(longSource, longOutput), 30);
    EXPECT_EQ(report.LastLine(), "Finished source clip with a long name.mp4");
    EXPECT_TRUE(Exists(longOutput));

    std::string accented = File("Vidéo d'été – 夏.mp4");
    WriteFile(accented, ReadFile(File("good.mp4")));
    std::string accentedOutput = File("Résultat 夏.MP4");
    report = Convert(PlainVector(accented, accentedOutput), 30);
    EXPECT_EQ(report.LastLine(), "Finished Vidéo d'été – 夏.mp4");
    EXPECT_TRUE(Exists(accentedOutput));
    EngineFileInfo info{};
    EXPECT_EQ(Mydll_GetFileinfo(accented.c_str(), &info), 0);
    EXPECT_EQ(Mydll_GetPicure(accented.c_str(), 5, "160x120", File("夏.jpg").c_str()), 0);

    // A single name longer than the file system allows fails plainly.
    std::string tooLong = File(std::string(300, 'n') + ".MP4");
    report = Convert(PlainVector(File("good.mp4"), tooLong), 30);
    EXPECT_EQ(report.doneMessages, 1);
    EXPECT_EQ(report.LastLine().rfind("Failed: ", 0), 0u) << report.LastLine();
}

TEST(BadInput, WithoutOverwriteAnExistingTargetIsKept) {
    std::string target = File("exists.MP4");
    WriteFile(target, "keep me");
    Vector vector = PlainVector(File("good.avi"), target);
    vector.entries.erase(vector.entries.begin() + 1);  // no "-y"
    ConversionReport report = Convert(vector, 30);
    EXPECT_NE(report.LastLine().find("already exists"), std::string::npos) << report.LastLine();
    EXPECT_EQ(ReadFile(target), "keep me");
}

}  // namespace
}  // namespace enginetest

// What qor-convert writes while files convert, one or several at once: the terminal's one
// redrawn line, the plain lines per file and the JSON objects that name their file.
#include <gtest/gtest.h>

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "cli/CliProgress.h"
#include "converter/core/JobOutcome.h"

namespace {

// What `events` write in `mode`.
QString Written(ProgressMode mode, const std::function<void(ProgressOutput&)>& events) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    {
        ProgressOutput progress(mode, out);
        events(progress);
    }
    std::fclose(out);
    const QString text = QString::fromUtf8(buffer, qsizetype(size));
    std::free(buffer);
    return text;
}

KivoProgress At(int percent, double framesPerSecond = 0, double secondsLeft = -1) {
    KivoProgress progress{};
    progress.percent = percent;
    progress.framesPerSecond = framesPerSecond;
    progress.secondsLeft = secondsLeft;
    return progress;
}

// Two files at once: a.avi and b.avi start, step, a.avi ends while b.avi goes on alone.
void TwoAtOnce(ProgressOutput& progress) {
    progress.Started(0, "a.avi", "/out/a.3gp");
    progress.Started(1, "b.avi", "/out/b.3gp");
    progress.Step(0, At(40, 12.5, 9));
    progress.Step(1, At(10));
    progress.Step(1, At(10));
    progress.Ended(0, "a.avi", "converted", QString());
    progress.Step(1, At(50, 30, 3.6));
    progress.Ended(1, "b.avi", "stopped", "the first 00:04 kept");
}

TEST(CliProgress, SeveralFilesAtOnceInEachMode) {
    const struct {
        ProgressMode mode;
        const char* expected;
    } cases[] = {
        {ProgressMode::Terminal,
         "\r\033[Ka.avi  0%"
         "\r\033[Ka.avi 0%  b.avi 0%"
         "\r\033[Ka.avi 40%  b.avi 0%"
         "\r\033[Ka.avi 40%  b.avi 10%"
         "\r\033[Ka.avi 40%  b.avi 10%"
         "\r\033[Ka.avi: converted\n"
         "\r\033[Kb.avi  10%"  // alone again: its own line
         "\r\033[Kb.avi  50%  30.0 fps  00:00:04 left"
         "\r\033[Kb.avi: stopped: the first 00:04 kept\n"},
        {ProgressMode::Plain,
         "a.avi: converting to /out/a.3gp\n"
         "b.avi: converting to /out/b.3gp\n"
         "a.avi: converted\n"
         "b.avi: stopped: the first 00:04 kept\n"},
        {ProgressMode::Json,
         R"({"file":"a.avi","percent":0,"state":"started","target":"/out/a.3gp"})"
         "\n"
         R"({"file":"b.avi","percent":0,"state":"started","target":"/out/b.3gp"})"
         "\n"
         R"({"file":"a.avi","percent":40,"state":"converting","target":"/out/a.3gp"})"
         "\n"
         R"({"file":"b.avi","percent":10,"state":"converting","target":"/out/b.3gp"})"
         "\n"
         R"({"file":"a.avi","percent":100,"state":"converted","target":"/out/a.3gp"})"
         "\n"
         R"({"file":"b.avi","percent":50,"state":"converting","target":"/out/b.3gp"})"
         "\n"
         R"({"file":"b.avi","reason":"the first 00:04 kept","state":"stopped","target":"/out/b.3gp"})"
         "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        EXPECT_EQ(Written(c.mode, TwoAtOnce).toStdString(), c.expected);
    }
}

// The same failure reads the same in the window's row and on qor-convert's line: both take
// their words from the reason code.
TEST(CliProgress, EveryReasonCodeReadsTheSameAsInTheWindow) {
    for (int reason = KIVO_REASON_SETTINGS_REFUSED; reason <= KIVO_REASON_RANGE_TOO_SHORT; ++reason) {
        SCOPED_TRACE(reason);
        const ConversionEnd end{KIVO_CONVERSION_FAILED, reason, 0};
        const QString windowMark = RowMarkText(end);
        const QString line = Written(ProgressMode::Plain, [&](ProgressOutput& progress) {
            progress.Started(0, "clip.avi", "/out/clip.3gp");
            progress.Ended(0, "clip.avi", "failed", ReasonWords(end.reason));
        });
        EXPECT_EQ(windowMark, "failed: " + ReasonWords(reason));
        EXPECT_TRUE(line.endsWith("clip.avi: " + windowMark + "\n")) << line.toStdString();
    }
}

}  // namespace

TEST(CliProgress, JsonLinesTellNamesakesApartByTheirPaths) {
    const QString text = Written(ProgressMode::Json, [](ProgressOutput& progress) {
        progress.Started(0, "clip.avi", "/out/clip.MP4", "/home/a/clip.avi");
        progress.Started(1, "clip.avi", "/out/clip (2).MP4", "/home/b/clip.avi");
        progress.Ended(1, "clip.avi", "converted", QString());
        progress.Ended(-1, "gone.avi", "failed", "it does not exist", "/home/c/gone.avi");
    });
    EXPECT_EQ(text.toStdString(),
              R"({"file":"clip.avi","percent":0,"source":"/home/a/clip.avi","state":"started",)"
              R"("target":"/out/clip.MP4"})"
              "\n"
              R"({"file":"clip.avi","percent":0,"source":"/home/b/clip.avi","state":"started",)"
              R"("target":"/out/clip (2).MP4"})"
              "\n"
              R"({"file":"clip.avi","percent":100,"source":"/home/b/clip.avi",)"
              R"("state":"converted","target":"/out/clip (2).MP4"})"
              "\n"
              R"({"file":"gone.avi","reason":"it does not exist","source":"/home/c/gone.avi",)"
              R"("state":"failed"})"
              "\n");
}

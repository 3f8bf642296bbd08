// The media list's row rules without a window: the row a probe makes, targets on rows, the
// outcome line of the row text and what an update keeps.
#include <gtest/gtest.h>

#include "media/core/MediaRows.h"

static MediaRow Listed(const QString& source, const QString& target, int start = 0, int end = 0) {
    MediaRow row;
    row.SourcePath = source;
    row.TargetName = target;
    row.StartPoint = start;
    row.EndPoint = end;
    return row;
}

TEST(MediaRows, AProbedRowConvertsAndDrawsTheWholeFile) {
    // duration 3725 s, an mpeg4 640x480 picture at 29.97 fps, 22050 Hz sound
    const EngineFileInfo info = {0, 3725, "mpeg4", "", 640, 480, 29.97f, 0, 0, 0, 22050, 0};
    KivoProbe shown{};
    shown.durationSeconds = 3725.48;
    shown.storedWidth = shown.displayWidth = 640;
    shown.storedHeight = shown.displayHeight = 480;
    shown.sampleAspectNum = shown.sampleAspectDen = 1;
    const MediaRow row = ProbedRow("/c/a.avi", "/s/a.avi.jpg", info, shown);
    EXPECT_EQ(QStringList({row.SourcePath, row.PicturePath, row.TargetName}),
              QStringList({"/c/a.avi", "/s/a.avi.jpg", ""}));
    EXPECT_EQ(std::vector<int>({row.VideoStreams, row.VideoWidth, row.VideoHeight, row.StartPoint,
                                row.EndPoint}),
              std::vector<int>({1, 640, 480, 0, 3725}));
    EXPECT_EQ(row.Duration, 3725.48);  // exact: the whole file converts, not 3725 s of it
}

// The row sees the picture as a player shows it; where the engine's display probe knows
// nothing, the record's whole seconds and stored size stand in.
TEST(MediaRows, ARowKeepsTheExactLengthAndThePictureAsShown) {
    struct Case {
        const char* what;
        int storedW, storedH;
        double exact;  // the display probe's length; 0: it knows nothing
        int displayW, displayH, sarNum, sarDen, rotation;
        double duration;
        int rowW, rowH, rowSarNum, rowSarDen, rowRotation, end;
    };
    for (const Case& c : {
             Case{"a 4.92 s clip", 320, 240, 4.92, 320, 240, 1, 1, 0, 4.92, 320, 240, 1, 1, 0, 4},
             Case{"a 16:9 DVD", 720, 480, 60.06, 854, 480, 32, 27, 0, 60.06, 854, 480, 32, 27, 0,
                  60},
             Case{"a 4:3 PAL DVD", 720, 576, 5, 768, 576, 16, 15, 0, 5, 768, 576, 16, 15, 0, 5},
             Case{"a portrait phone clip", 1920, 1080, 7.5, 1080, 1920, 1, 1, 90, 7.5, 1080, 1920,
                  1, 1, 90, 7},
             Case{"upside down", 1280, 720, 3, 1280, 720, 1, 1, 180, 3, 1280, 720, 1, 1, 180, 3},
             Case{"the probe knows nothing", 640, 480, 0, 0, 0, 0, 0, 0, 12, 640, 480, 1, 1, 0, 12},
             Case{"no sample aspect", 640, 480, 2.5, 640, 480, 0, 0, 0, 2.5, 640, 480, 1, 1, 0, 2},
         }) {
        SCOPED_TRACE(c.what);
        const EngineFileInfo info = {0,     12, "h264", "aac", c.storedW, c.storedH,
                                     25.0f, 0,  0,      128,   48000,     2};
        KivoProbe shown{};
        shown.durationSeconds = c.exact;
        shown.storedWidth = c.storedW;
        shown.storedHeight = c.storedH;
        shown.displayWidth = c.displayW;
        shown.displayHeight = c.displayH;
        shown.sampleAspectNum = c.sarNum;
        shown.sampleAspectDen = c.sarDen;
        shown.rotation = c.rotation;
        const MediaRow row = ProbedRow("/c/a.mp4", "/s/a.jpg", info, shown);
        EXPECT_EQ(row.Duration, c.duration);
        EXPECT_EQ(std::vector<int>({row.VideoWidth, row.VideoHeight}),
                  std::vector<int>({c.storedW, c.storedH}));
        EXPECT_EQ(std::vector<int>({row.DisplayWidth, row.DisplayHeight, row.SampleAspectNum,
                                    row.SampleAspectDen, row.Rotation, row.EndPoint}),
                  std::vector<int>({c.rowW, c.rowH, c.rowSarNum, c.rowSarDen, c.rowRotation, c.end}));
        EXPECT_TRUE(row.InfoText.contains(QString("  %1x%2  fps:").arg(c.rowW).arg(c.rowH)))
            << row.InfoText.toStdString();
    }
}

TEST(MediaRows, TargetsOnRowsAreUniqueInListOrder) {
    const MediaRow a = Listed("/x/holiday.avi", "holiday.3g2");
    const MediaRow b = Listed("/y/Holiday.avi", "Holiday (2).3g2");
    EXPECT_EQ(TargetForNewRow("/z/holiday.mov", ".3g2", {&a, &b}), "holiday (3).3g2");
    EXPECT_EQ(TargetForNewRow("/z/holiday.mov", ".3gp", {&a, &b}), "holiday.3gp");
    EXPECT_EQ(TargetForNewRow("/z/holiday.mov", ".3g2", {}), "holiday.3g2");
    EXPECT_EQ(TargetsForRows({&b, &a}, ".MP4"), QStringList({"Holiday.MP4", "holiday (2).MP4"}));
}

TEST(MediaRows, UpdateKeepsWhatItIsNotGivenAndTheTextShowsTheOutcome) {
    struct Case {
        QString target;
        int start, end;
        QString wantTarget;
        int wantStart, wantEnd;
    };
    for (const Case& c : {
             Case{"", -1, -1, "a.MP4", 5, 9}, Case{"b.MP4", -1, -1, "b.MP4", 5, 9},
             Case{"", 40, -1, "a.MP4", 40, 9},  // a start after the end is stored as given
         }) {
        MediaRow row = Listed("/c/a.avi", "a.MP4", 5, 9);
        UpdateRow(row, c.target, c.start, c.end);
        EXPECT_EQ(row.TargetName, c.wantTarget);
        EXPECT_EQ(std::pair(row.StartPoint, row.EndPoint), std::pair(c.wantStart, c.wantEnd));
    }
    MediaRow row = Listed("/c/a.avi", "a.MP4");
    const QString fourLines = RowText(row);
    row.OutcomeMark = "failed: the source is damaged";
    EXPECT_EQ(RowText(row), fourLines + "\nfailed: the source is damaged");
}

TEST(MediaRows, TheRangeReadsEarlierPointFirstInMinutesAndSeconds) {
    const struct {
        int start, end;
        const char* text;
    } cases[] = {
        {0, 125, "Start Point:00:00  End Point:02:05"},
        {40, 30, "Start Point:00:30  End Point:00:40"},  // set in the other order
        {40, 40, "Start Point:00:40  End Point:00:40"},
        {0, 3725, "Start Point:00:00  End Point:62:05"},  // minutes are not cut
        {-1, 9, "Start Point:00:00  End Point:00:09"},
    };
    for (const auto& c : cases) {
        const MediaRow row = Listed("/c/a.avi", "a.MP4", c.start, c.end);
        EXPECT_EQ(RangeText(row), c.text) << c.start << ".." << c.end;
        EXPECT_TRUE(RowText(row).endsWith(QStringLiteral(" ;") + c.text));
    }
}

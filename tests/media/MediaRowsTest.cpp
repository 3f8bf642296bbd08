// The media list's row rules without a window: the row a probe makes, targets on rows, the
// outcome line of the row text and what an update keeps.
#include <gtest/gtest.h>

#include "media/MediaRows.h"

namespace {

MediaRow Row(const QString& source, const QString& target, int start = 0, int end = 0) {
    MediaRow row;
    row.SourcePath = source;
    row.TargetName = target;
    row.StartPoint = start;
    row.EndPoint = end;
    return row;
}

}  // namespace

TEST(MediaRows, AProbedRowConvertsAndDrawsTheWholeFile) {
    EngineFileInfo info = {};
    info.duration = 3725;
    info.videoFormat = "mpeg4";
    info.audioFormat = "";
    info.width = 640;
    info.height = 480;
    info.fps = 29.97f;
    info.sampleRate = 22050;
    const MediaRow row = ProbedRow("/c/a.avi", "/s/a.avi.jpg", info);
    EXPECT_EQ(row.SourcePath, "/c/a.avi");
    EXPECT_EQ(row.PicturePath, "/s/a.avi.jpg");
    EXPECT_TRUE(row.InfoText.startsWith("Video<>mpeg4  640x480  fps:29.97\nAudio<>"));
    EXPECT_TRUE(row.TargetName.isEmpty());
    EXPECT_EQ(std::vector<double>({row.Duration, row.FrameRate, row.AudioSampleRate}),
              std::vector<double>({3725, double(29.97f), 22050}));
    EXPECT_EQ(std::vector<int>({row.VideoStreams, row.VideoWidth, row.VideoHeight, row.StartPoint,
                                row.EndPoint, row.MarkStart, row.MarkEnd}),
              std::vector<int>({1, 640, 480, 0, 3725, 0, 3725}));
}

TEST(MediaRows, TargetsOnRowsAreUniqueInListOrder) {
    const MediaRow a = Row("/x/holiday.avi", "holiday.3g2");
    const MediaRow b = Row("/y/Holiday.party.avi", "Holiday (2).3g2");
    EXPECT_EQ(TargetForNewRow("/z/holiday.mov", ".3g2", {&a, &b}), "holiday (3).3g2");
    EXPECT_EQ(TargetForNewRow("/z/holiday.mov", ".3gp", {&a, &b}), "holiday.3gp");
    EXPECT_EQ(TargetForNewRow("/z/holiday.mov", ".3g2", {}), "holiday.3g2");
    EXPECT_EQ(TargetsForRows({&b, &a}, ".MP4"), QStringList({"Holiday.MP4", "holiday (2).MP4"}));
}

TEST(MediaRows, UpdateKeepsWhatItIsNotGivenAndTheTextShowsTheOutcome) {
    struct Case {
        QString target;
        int start, end;
        MediaRow after;
    };
    for (const Case& c : {
             Case{"", -1, -1, Row("/c/a.avi", "a.MP4", 5, 9)},
             Case{"b.MP4", -1, -1, Row("/c/a.avi", "b.MP4", 5, 9)},
             Case{"", 40, -1, Row("/c/a.avi", "a.MP4", 40, 9)},  // after the end, stored as given
             Case{"", 0, 0, Row("/c/a.avi", "a.MP4", 0, 0)},
             Case{"", -2, 100000, Row("/c/a.avi", "a.MP4", -2, 100000)},
         }) {
        MediaRow row = Row("/c/a.avi", "a.MP4", 5, 9);
        UpdateRow(row, c.target, c.start, c.end);
        EXPECT_EQ(RowText(row), RowText(c.after)) << c.start << " " << c.end;
    }
    MediaRow row = Row("/c/a.avi", "a.MP4", 5, 9);
    const QString fourLines = RowText(row);
    row.OutcomeMark = "failed: the source is damaged";
    EXPECT_EQ(RowText(row), fourLines + "\nfailed: the source is damaged");
}

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
    const MediaRow row = ProbedRow("/c/a.avi", "/s/a.avi.jpg", info);
    EXPECT_EQ(QStringList({row.SourcePath, row.PicturePath, row.TargetName}),
              QStringList({"/c/a.avi", "/s/a.avi.jpg", ""}));
    EXPECT_EQ(std::vector<int>({row.VideoStreams, row.VideoWidth, row.VideoHeight, row.StartPoint,
                                row.EndPoint, row.MarkStart, row.MarkEnd}),
              std::vector<int>({1, 640, 480, 0, 3725, 0, 3725}));
}

TEST(MediaRows, TargetsOnRowsAreUniqueInListOrder) {
    const MediaRow a = Listed("/x/holiday.avi", "holiday.3g2");
    const MediaRow b = Listed("/y/Holiday.party.avi", "Holiday (2).3g2");
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

// The job plan: the values a row and the settings give the engine, family by family.
#include <gtest/gtest.h>

#include <QStringList>

#include "converter/core/ArgumentVector.h"
#include "converter/core/JobPlan.h"

TEST(JobPlan, EachFamilysValuesFromTheRowAndTheSettings) {
    MediaRow row;
    row.SourcePath = "/media/a b.avi";
    row.PicturePath = "/stills/a b.jpg";
    row.TargetName = "a b.MP4";
    row.Duration = 12.5;
    row.VideoWidth = 720;
    row.VideoHeight = 480;
    // Texts lower-cased, 64 kbps at 8000 Hz raised to 11000, no channel entry chosen.
    OutputSettings settings = {{0, "XviD"},    {0, "320X240"}, {0, "NTSC"}, {0, "64 kbps"},
                               {0, "8000 Hz"}, {-1, ""},       {1, "3GP"},  "300K"};
    const struct {
        DeviceType device;
        int fileType;
        bool letterbox;
        const char* padsAndSize;  // 720x480 into 320x240: bars of 12 above and below
        const char* format;
    } families[] = {{Dev3GP, 1, true, "12|12|0|0", "3gp"}, {Dev3GP, 0, false, "0|0|0|0", "3g2"},
                    {DevPSP, 0, true, "12|12|0|0", "psp"}, {DevIPOD, 0, false, "0|0|0|0", "mp4"},
                    {DevPDA, 0, true, "12|12|0|0", ""},    {DevMP4, 0, true, "12|12|0|0", "mp4"}};
    for (const auto& f : families) {
        SCOPED_TRACE(f.device);
        settings.fileType.index = f.fileType;
        settings.letterbox = f.letterbox;
        settings.volume = 150 + f.device;
        const RowPlan plan =
            PlanRow(row, settings, {f.device, FindDevice(f.device)->copyStill, "/out/"});
        EXPECT_EQ(QStringList(plan.values.begin(), plan.values.end()).join('|'),
                  QString("12.5|/media/a b.avi|%1|/out/a b.MP4|xvid|%2|320x240|ntsc|300k|aac|0|64|"
                          "11000|%3")
                      .arg(settings.volume)
                      .arg(f.padsAndSize, f.format));
        EXPECT_EQ(plan.still, f.device == DevPSP ? "/stills/a b.jpg" : "");
        EXPECT_EQ(plan.thumbnailPath, "/out/a b.THM");
    }
}

TEST(JobPlan, TheDrawnMarksGiveARangeOnlyWhenNarrowerThanTheFile) {
    const struct {
        double duration;
        int markStart, markEnd;
        double start, end;  // end -1: to the end of the file
    } cases[] = {{10, 0, 10, 0, -1},   {10.6, 0, 10, 0, -1}, {10.6, 2, 5, 2, 5},
                 {10.6, 3, 10, 3, -1}, {10, 0, 4, 0, 4},     {10, 4, 4, 0, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(
            QString("%1..%2 of %3").arg(c.markStart).arg(c.markEnd).arg(c.duration).toStdString());
        MediaRow row;
        row.Duration = c.duration;
        row.MarkStart = c.markStart;
        row.MarkEnd = c.markEnd;
        const PlanRange range = MarkedRange(row);
        EXPECT_EQ(range.start, c.start);
        EXPECT_EQ(range.end, c.end);
    }
}

TEST(JobPlan, AMarkedRangeStartsThereAndLastsItsLength) {
    MediaRow row;
    row.SourcePath = "/media/a.avi";
    row.TargetName = "a.MP4";
    row.Duration = 10;
    const OutputSettings settings = {{0, "MPEG4"},    {0, "320x240"}, {0, "25"}, {0, "128 kbps"},
                                     {0, "44100 Hz"}, {1, "2"},       {0, "MP4"}};
    const struct {
        PlanRange range;
        const char* start;  // "" when the whole file converts
        const char* duration;
    } cases[] = {{{}, "", "10"},      {{0, 10}, "", "10"},       {{0, 12}, "", "10"},
                 {{2, 5}, "2", "3"},  {{2.5, -1}, "2.5", "7.5"}, {{0, 4}, "0", "4"},
                 {{-3, 4}, "0", "4"}, {{6, 6}, "6", "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.range.start);
        const RowPlan plan = PlanRow(row, settings, {DevMP4, false, "/out/"}, c.range);
        EXPECT_EQ(plan.start, c.start);
        EXPECT_EQ(plan.values[ValueDuration], c.duration);
        const std::vector<QString> entries = plan.Entries();
        ASSERT_EQ(entries.size(), *c.start ? 38u : 36u);
        const std::vector<QString> head(entries.begin() + 1, entries.begin() + 6);
        EXPECT_EQ(QStringList(head.begin(), head.end()).join(' '),
                  *c.start ? QString("-y -ss %1 -t %2").arg(c.start, c.duration)
                           : QString("-y -t %1 -i /media/a.avi").arg(c.duration));
    }
}

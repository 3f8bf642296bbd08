// The job plan: the values a row and the settings give the engine, family by family.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "converter/core/ArgumentVector.h"
#include "converter/core/JobPlan.h"
#include "platform/core/ByteNames.h"

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

TEST(JobPlan, ThePointsGiveARangeOnlyWhenNarrowerThanTheFile) {
    const struct {
        double duration;
        int startPoint, endPoint;
        double start, end;  // end -1: to the end of the file
    } cases[] = {{10, 0, 10, 0, -1},   {10.6, 0, 10, 0, -1}, {10.6, 2, 5, 2, 5},
                 {10.6, 3, 10, 3, -1}, {10, 0, 4, 0, 4},     {10, 4, 4, 0, -1},
                 {10.6, 5, 2, 2, 5}};  // points set the wrong way round
    for (const auto& c : cases) {
        SCOPED_TRACE(
            QString("%1..%2 of %3").arg(c.startPoint).arg(c.endPoint).arg(c.duration).toStdString());
        MediaRow row;
        row.Duration = c.duration;
        row.StartPoint = c.startPoint;
        row.EndPoint = c.endPoint;
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

// A whole file converts to its real end and the bars keep the picture's shape as shown.
TEST(JobPlan, AWholeFileKeepsItsExactLengthAndThePictureItsShape) {
    const OutputSettings settings = {{0, "MPEG4"},    {0, "320x240"}, {0, "25"}, {0, "128 kbps"},
                                     {0, "44100 Hz"}, {1, "2"},       {0, "MP4"}};
    const struct {
        const char* what;
        double duration;
        int width, height, sarNum, sarDen, rotation;
        const char* durationAndPads;
    } cases[] = {
        {"a 4.92 s clip", 4.92, 320, 240, 1, 1, 0, "4.92|0|0|0|0"},
        {"a 16:9 DVD", 1501.5015, 720, 480, 32, 27, 0, "1501.5015|30|30|0|0"},
        {"a 4:3 PAL DVD", 60.04, 720, 576, 16, 15, 0, "60.04|0|0|0|0"},
        {"a portrait phone clip", 7.533, 1920, 1080, 1, 1, 90, "7.533|0|0|92|92"},
        {"a length the probe does not know", 0, 640, 360, 1, 1, 0, "0|30|30|0|0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        MediaRow row;
        row.SourcePath = "/media/a.mp4";
        row.TargetName = "a.MP4";
        row.Duration = c.duration;
        row.VideoWidth = c.width;
        row.VideoHeight = c.height;
        row.SampleAspectNum = c.sarNum;
        row.SampleAspectDen = c.sarDen;
        row.Rotation = c.rotation;
        row.EndPoint = int(c.duration);
        OutputSettings boxed = settings;
        boxed.letterbox = true;
        // The drawn range of an untouched row is the whole file, also with the switch on.
        const RowPlan plan = PlanRow(row, boxed, {DevMP4, false, "/out/"}, MarkedRange(row));
        EXPECT_TRUE(plan.start.isEmpty());
        const std::vector<QString> picked = {plan.values[ValueDuration], plan.values[ValuePadTop],
                                             plan.values[ValuePadBottom], plan.values[ValuePadLeft],
                                             plan.values[ValuePadRight]};
        EXPECT_EQ(QStringList(picked.begin(), picked.end()).join('|'), c.durationAndPads);
    }
}

TEST(JobPlan, ATargetIsCheckedAgainstTheSourceByTheFileNotTheName) {
    QTemporaryDir dir;
    const auto make = [&](const QString& name) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("media");
    };
    make("clip.MP4");
    make("other.MP4");
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    ASSERT_TRUE(QFile::link(dir.filePath("clip.MP4"), dir.filePath("link.MP4")));
    ASSERT_EQ(link(QFile::encodeName(dir.filePath("clip.MP4")).constData(),
                   QFile::encodeName(dir.filePath("hard.MP4")).constData()),
              0);
    // A Latin-1 name, made and named by its bytes.
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "/caf\xe9.MP4";
    ASSERT_EQ(link(QFile::encodeName(dir.filePath("clip.MP4")).constData(), latin1.constData()), 0);
    const QString source = dir.filePath("clip.MP4");
    const struct {
        const char* name;
        QString target;
        TargetProblem withoutOverwrite;
        TargetProblem withOverwrite;
    } cases[] = {
        {"the same path", source, TargetProblem::IsSource, TargetProblem::IsSource},
        {"another spelling", dir.filePath("sub/../clip.MP4"), TargetProblem::IsSource,
         TargetProblem::IsSource},
        {"a link to the source", dir.filePath("link.MP4"), TargetProblem::IsSource,
         TargetProblem::IsSource},
        {"a second hard link", dir.filePath("hard.MP4"), TargetProblem::IsSource,
         TargetProblem::IsSource},
        {"a name of odd bytes", platform::PathFromBytes(latin1), TargetProblem::IsSource,
         TargetProblem::IsSource},
        {"another file", dir.filePath("other.MP4"), TargetProblem::Exists, TargetProblem::None},
        {"a free name", dir.filePath("new.MP4"), TargetProblem::None, TargetProblem::None},
        {"a free name in a missing folder", dir.filePath("gone/new.MP4"), TargetProblem::None,
         TargetProblem::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckTarget(source, c.target, false), c.withoutOverwrite);
        EXPECT_EQ(CheckTarget(source, c.target, true), c.withOverwrite);
    }
    ::unlink(latin1.constData());  // the temporary folder's clean-up cannot name it
}

TEST(JobPlan, WithoutOverwriteTheEngineIsNotToldToReplace) {
    RowPlan plan;
    plan.values = std::vector<QString>(JobValueCount, QStringLiteral("v"));
    const std::vector<QString> replacing = plan.Entries();
    plan.overwrite = false;
    const std::vector<QString> keeping = plan.Entries();
    ASSERT_EQ(replacing.size(), keeping.size() + 1);
    EXPECT_EQ(replacing[1], "-y");
    EXPECT_EQ(std::count(keeping.begin(), keeping.end(), QStringLiteral("-y")), 0);
    EXPECT_EQ(keeping.back(), replacing.back());
}

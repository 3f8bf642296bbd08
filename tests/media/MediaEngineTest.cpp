// Adding a real clip through the real engine: the row shows what the file holds and its still.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <memory>

#include "converter/core/ArgumentVector.h"
#include "converter/core/JobPlan.h"
#include "converter/Txconverter.h"
#include "media/core/Thumbnails.h"
#include "media/package/ListImagePanel.h"
#include "platform/JpegImage.h"
#include "skin/ImageButton.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/WaitUntil.h"

TEST(MediaEngine, ARealClipIsProbedAndGetsItsStill) {
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    ASSERT_FALSE(ffmpeg.isEmpty()) << "the ffmpeg tool (scripts/install-deps) makes the clip";
    ScratchInstall install;
    const QString clip = install.Path("sample clip.mp4");
    QProcess make;
    make.start(ffmpeg, {"-v",
                        "error",
                        "-y",
                        "-f",
                        "lavfi",
                        "-i",
                        "testsrc=size=320x240:rate=25:duration=7",
                        "-f",
                        "lavfi",
                        "-i",
                        "sine=frequency=440:sample_rate=22050:duration=7",
                        "-ac",
                        "2",
                        "-c:v",
                        "mpeg4",
                        "-c:a",
                        "aac",
                        "-b:a",
                        "64k",
                        "-shortest",
                        clip});
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();

    FakeDialogs dialogs;
    auto window = std::make_unique<Txconverter>();
    window->CurrentDevice = DevPSP;
    dialogs.openAnswers.push_back(clip);
    window->FileAddClick(window->FileAdd);
    testsupport::WaitUntil([&] { return !window->AddsPending(); });

    TListImagePanel* list = window->ListImagePanel;
    ASSERT_EQ(list->ItemCount, 1);
    TItemPanel* row = list->GetItem(0);
    EXPECT_EQ(row->SourcePath, clip);
    EXPECT_EQ(row->Duration, 7.0);
    EXPECT_EQ(row->EndPoint, 7);
    EXPECT_EQ(row->VideoWidth, 320);
    EXPECT_EQ(row->VideoHeight, 240);
    EXPECT_NEAR(row->FrameRate, 25.0, 0.01);
    EXPECT_EQ(row->AudioSampleRate, 22050.0);
    EXPECT_EQ(row->TargetName, "sample clip.MP4");
    const QStringList info = row->InfoText.split('\n');
    ASSERT_EQ(info.size(), 2);
    EXPECT_TRUE(info[0].startsWith("Video<>")) << info[0].toStdString();
    EXPECT_TRUE(info[0].endsWith("  320x240  fps:25.00")) << info[0].toStdString();
    EXPECT_TRUE(info[1].startsWith("Audio<>")) << info[1].toStdString();
    EXPECT_TRUE(info[1].contains("       22050KHZ  bitrate:")) << info[1].toStdString();
    EXPECT_TRUE(info[1].endsWith("  channels:2")) << info[1].toStdString();
    EXPECT_TRUE(row->TextLabel->text().startsWith("FileName:" + clip + "      00:00:07 \n"));

    EXPECT_EQ(row->PicturePath, install.Path("shotpic/" + StillFileName(clip)));
    const QImage still = platform::LoadJpeg(row->PicturePath);
    EXPECT_EQ(still.size(), QSize(160, 120));
    EXPECT_EQ(row->Thumbnail->Picture().size(), QSize(160, 120));
    EXPECT_EQ(row->Thumbnail->size(), QSize(86, 56));
}

// The row sees the picture as a player shows it and the file's whole length: what the
// letterbox, the row's text and "-t" are made from.
TEST(MediaEngine, ARowShowsThePictureAsAPlayerDoesAndTheExactLength) {
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    ASSERT_FALSE(ffmpeg.isEmpty()) << "the ffmpeg command-line tool makes the clips";
    ScratchInstall install;
    const struct {
        const char* name;
        const char* size;
        QStringList options;  // what ffmpeg adds to mark the picture's shape
        QStringList turn;     // a copy with a display turn (ffmpeg keeps it only when copying)
        double seconds;
        int displayWidth, displayHeight, rotation;
        const char* pads;  // letterboxed into 320x240: top bottom left right
    } cases[] = {
        {"dvd 16x9.mp4", "720x480", {"-vf", "setsar=32/27"}, {}, 1, 854, 480, 0, "30 30 0 0"},
        {"pal 4x3.mp4", "720x576", {"-vf", "setsar=16/15"}, {}, 1, 768, 576, 0, "0 0 0 0"},
        // ffmpeg's copy writes a matrix of a quarter turn counter-clockwise (ffprobe: rotation
        // 90): three quarters clockwise set the picture upright
        {"phone.mp4",
         "640x360",
         {},
         {"-metadata:s:v:0", "rotate=90"},
         1,
         360,
         640,
         270,
         "0 0 92 92"},
        {"Show.S01E01.720p.mp4", "320x240", {}, {}, 4.92, 320, 240, 0, "0 0 0 0"},
    };
    FakeDialogs dialogs;
    auto window = std::make_unique<Txconverter>();
    window->CurrentDevice = DevMP4;
    OutputSettings settings = {{0, "MPEG4"},    {0, "320x240"}, {0, "25"}, {0, "128 kbps"},
                               {0, "44100 Hz"}, {1, "2"},       {0, "MP4"}};
    settings.letterbox = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString clip = install.Path(c.name);
        QProcess make;
        make.start(ffmpeg, QStringList{"-v", "error", "-y", "-f", "lavfi", "-i",
                                       QString("testsrc=size=%1:rate=25").arg(c.size), "-t",
                                       QString::number(c.seconds)} +
                               c.options + QStringList{"-c:v", "mpeg4", clip});
        ASSERT_TRUE(make.waitForFinished(60000));
        ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
        if (!c.turn.isEmpty()) {
            const QString plain = install.Path(QString("plain ") + c.name);
            ASSERT_TRUE(QFile::rename(clip, plain));
            make.start(ffmpeg, QStringList{"-v", "error", "-y", "-i", plain, "-c", "copy"} +
                                   c.turn + QStringList{clip});
            ASSERT_TRUE(make.waitForFinished(60000));
            ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
        }
        dialogs.openAnswers.push_back(clip);
        window->FileAddClick(window->FileAdd);
        testsupport::WaitUntil([&] { return !window->AddsPending(); });
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
        TItemPanel* row = window->ListImagePanel->GetItem(window->ListImagePanel->ItemCount - 1);
        EXPECT_NEAR(row->Duration, c.seconds, 0.02);
        EXPECT_EQ(row->EndPoint, int(c.seconds));
        EXPECT_EQ(row->DisplayWidth, c.displayWidth);
        EXPECT_EQ(row->DisplayHeight, c.displayHeight);
        EXPECT_EQ(row->Rotation, c.rotation);
        const QString shown = QString("  %1x%2  fps:").arg(c.displayWidth).arg(c.displayHeight);
        EXPECT_TRUE(row->InfoText.contains(shown)) << row->InfoText.toStdString();
        const RowPlan plan = PlanRow(*row, settings, {DevMP4, false, "/out/"});
        EXPECT_EQ(QStringList({plan.values[ValuePadTop], plan.values[ValuePadBottom],
                               plan.values[ValuePadLeft], plan.values[ValuePadRight]})
                      .join(' '),
                  c.pads);
        EXPECT_EQ(plan.values[ValueDuration].toDouble(), row->Duration);
    }
    EXPECT_EQ(window->ListImagePanel->GetItem(3)->TargetName, "Show.S01E01.720p.MP4");
}

// What the real engine cannot take is refused with a message naming the file and why, and the
// list stays as it was.
TEST(MediaEngine, FilesTheEngineCannotTakeAreRefusedWithTheirReason) {
    const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
    ASSERT_FALSE(ffmpeg.isEmpty()) << "the ffmpeg tool (scripts/install-deps) makes the clip";
    ScratchInstall install;
    const QString clip = install.Path("clip.avi");
    QProcess make;
    make.start(ffmpeg, {"-v", "error", "-y", "-f", "lavfi", "-i",
                        "testsrc=size=160x120:rate=10:duration=2", "-c:v", "mpeg4", clip});
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    const QString text = install.Path("broken.avi");
    {
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("This is a text file with a video's name.\n");
    }
    const QString locked = install.Path("locked.avi");
    ASSERT_TRUE(QFile::copy(clip, locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::WriteOwner));

    FakeDialogs dialogs;
    auto window = std::make_unique<Txconverter>();
    window->CurrentDevice = DevMP4;
    const struct {
        QString path;
        QString message;
    } cases[] = {
        {text, "broken.avi cannot be added: it is not a media file this program can read"},
        {locked, "locked.avi cannot be added: it cannot be read"},
        {install.Path("gone.avi"), "gone.avi cannot be added: it does not exist"},
    };
    for (const auto& c : cases) {
        dialogs.openAnswers.push_back(c.path);
        window->FileAddClick(window->FileAdd);
        testsupport::WaitUntil([&] { return !window->AddsPending(); });
        EXPECT_EQ(dialogs.LastText(), c.message);
        EXPECT_EQ(window->ListImagePanel->ItemCount, 0);
    }

    // A thumbnail folder that cannot be made (a file is in its place): the still cannot be saved.
    {
        QFile blocker(install.Path("shotpic"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    dialogs.openAnswers.push_back(clip);
    window->FileAddClick(window->FileAdd);
    testsupport::WaitUntil([&] { return !window->AddsPending(); });
    EXPECT_EQ(dialogs.LastText(),
              "clip.avi cannot be added: its still picture cannot be saved in " +
                  install.Path("shotpic/"));
    EXPECT_EQ(window->ListImagePanel->ItemCount, 0);
    EXPECT_EQ(dialogs.messages.size(), 4u);
}

// Adding, removing and updating source files through the converter window, with an engine
// that hands out prepared probes and stills.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <memory>

#include "FakeEngine.h"
#include "converter/Txconverter.h"
#include "media/core/Thumbnails.h"
#include "media/package/ListImagePanel.h"
#include "platform/JpegImage.h"
#include "platform/core/Paths.h"
#include "skin/ImageButton.h"
#include "skin/SkinComboBox.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/WaitUntil.h"

namespace {

EngineFileInfo Probe(int seconds) {
    EngineFileInfo info = {};
    info.duration = seconds;
    info.videoFormat = "mpeg4";
    info.audioFormat = "mp2";
    info.width = 640;
    info.height = 480;
    info.fps = 25;
    info.bitRate = 192.7f;
    info.sampleRate = 44100;
    info.channels = 2;
    return info;
}

// The user picks an item of a drop-down list.
void Pick(SkinComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class MediaFilesTest : public ::testing::Test {
protected:
    MediaFilesTest() {
        engine.probe = Probe(3725);
        engine.still = install.Path("3GP.jpg");
        window = std::make_unique<Txconverter>();
        window->CurrentDevice = DevMP4;
    }

    TListImagePanel* List() { return window->ListImagePanel; }
    TItemPanel* Row(int i) { return List()->m_ListItemPanel.at(i); }

    // Picks `path` in the open dialog; the new row, or nullptr when none was made.
    TItemPanel* AddFile(const QString& path) {
        const int before = List()->ItemCount;
        dialogs.openAnswers.push_back(path);
        window->FileAddClick(window->FileAdd);
        testsupport::WaitUntil([&] { return !window->AddsPending(); });
        return List()->ItemCount > before ? Row(List()->ItemCount - 1) : nullptr;
    }

    QString Thumbnails() const { return install.Path("shotpic/"); }

    ScratchInstall install;
    FakeDialogs dialogs;
    FakeEngine engine;
    std::unique_ptr<Txconverter> window;
};

}  // namespace

TEST_F(MediaFilesTest, AddingAFileProbesItCapturesItsStillAndFillsTheRow) {
    EXPECT_FALSE(QDir(Thumbnails()).exists());
    TItemPanel* row = AddFile("/clips/party.avi");
    ASSERT_NE(row, nullptr);

    EXPECT_EQ(dialogs.lastOpenTitle, "Select Media File(s)");
    EXPECT_EQ(dialogs.lastOpenFolder, platform::InitialOpenFolder());
    ASSERT_EQ(dialogs.lastOpenFilters.size(), 2);
    // Every container the engine reads, the old ones first among them.
    EXPECT_TRUE(dialogs.lastOpenFilters[0].patterns.startsWith(
        "*.mpg;*.mpeg;*.mpe;*.m1v;*.m2v;*.vob;*.dat;*.avi;*.divx;*.xvid;*.wmv;*.asf;*.swf;*.flv"));
    for (const char* pattern : {"*.mkv", "*.webm", "*.m4v", "*.ts", "*.mts", "*.m2ts", "*.ogv",
                                "*.mov", "*.mp4", "*.3gp", "*.3g2"}) {
        EXPECT_TRUE(dialogs.lastOpenFilters[0].patterns.split(';').contains(pattern)) << pattern;
    }
    EXPECT_EQ(dialogs.lastOpenFilters[0].description,
              "Media Files (" + dialogs.lastOpenFilters[0].patterns + ")");
    EXPECT_EQ(dialogs.lastOpenFilters[1].description, "All Files(*.*)");
    EXPECT_EQ(dialogs.lastOpenFilters[1].patterns, "*.*");

    const QString stillPath = Thumbnails() + StillFileName("/clips/party.avi");
    ASSERT_EQ(engine.pictures.size(), 1u);
    EXPECT_EQ(engine.probed, std::vector<std::string>{"/clips/party.avi"});
    EXPECT_EQ(engine.pictures[0].source, "/clips/party.avi");
    EXPECT_EQ(engine.pictures[0].seconds, 5);
    EXPECT_EQ(engine.pictures[0].size, "160x120");
    EXPECT_EQ(QString::fromStdString(engine.pictures[0].jpeg), stillPath);

    EXPECT_EQ(row->SourcePath, "/clips/party.avi");
    EXPECT_EQ(row->InfoText,
              "Video<>mpeg4  640x480  fps:25.00\nAudio<>mp2       44100KHZ  "
              "bitrate:192  channels:2");
    EXPECT_EQ(row->Duration, 3725.0);
    EXPECT_EQ(row->FrameRate, 25.0);
    EXPECT_EQ(row->AudioSampleRate, 44100.0);
    EXPECT_EQ(row->VideoStreams, 1);
    EXPECT_EQ(row->VideoWidth, 640);
    EXPECT_EQ(row->VideoHeight, 480);
    EXPECT_EQ(row->TargetName, "party.MP4");
    EXPECT_EQ(row->StartPoint, 0);
    EXPECT_EQ(row->EndPoint, 3725);
    EXPECT_EQ(row->PicturePath, stillPath);
    EXPECT_EQ(row->TextLabel->textFormat(), Qt::PlainText);  // a path is never markup
    const QStringList lines = row->TextLabel->text().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "FileName:/clips/party.avi      01:02:05 ");
    EXPECT_TRUE(lines[3].endsWith("End Point:62:05"));
    EXPECT_EQ(lines[3], "Target: party.MP4 ;Start Point:00:00  End Point:62:05");
    EXPECT_EQ(List()->CurSelIndex, 0);
}

TEST_F(MediaFilesTest, TheSamePathIsRefusedButAnotherSpellingIsANewRow) {
    window->FileAddClick(window->FileAdd);  // cancelled
    EXPECT_EQ(List()->ItemCount, 0);
    EXPECT_TRUE(engine.probed.empty());

    ASSERT_NE(AddFile("/clips/party.avi"), nullptr);
    EXPECT_EQ(AddFile("/clips/party.avi"), nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Select media file already add in.");
    EXPECT_EQ(dialogs.messages[0].caption, "Notice");
    EXPECT_EQ(engine.probed.size(), 1u);

    engine.probe = Probe(10);
    ASSERT_NE(AddFile("/clips/PARTY.avi"), nullptr);
    ASSERT_NE(AddFile("/other/party.avi"), nullptr);
    EXPECT_EQ(List()->ItemCount, 3);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    // Adding keeps the first row selected.
    EXPECT_EQ(List()->CurSelIndex, 0);
    EXPECT_EQ(List()->CurrentItem, Row(0));

    window->FileRemoveClick(window->FileRemove);
    EXPECT_EQ(List()->ItemCount, 2);
    EXPECT_EQ(List()->CurrentItem->SourcePath, "/clips/PARTY.avi");
    // The removed path may be added again; its still is rewritten under the same name.
    ASSERT_NE(AddFile("/clips/party.avi"), nullptr);
    EXPECT_EQ(engine.pictures.back().jpeg, engine.pictures.front().jpeg);
}

TEST_F(MediaFilesTest, UpdateItemKeepsWhatItIsNotGiven) {
    AddFile("/clips/a.avi");
    AddFile("/clips/b.avi");
    const QString firstText = Row(0)->TextLabel->text();
    const QString secondText = Row(1)->TextLabel->text();
    for (int position : {-1, 2, 100})
        window->UpdateItem(position, "x.MP4", 1, 2);
    EXPECT_EQ(Row(0)->TextLabel->text(), firstText);
    EXPECT_EQ(Row(1)->TextLabel->text(), secondText);

    window->UpdateItem(1, QString(), 40, -1);
    EXPECT_EQ(Row(1)->StartPoint, 40);
    EXPECT_EQ(Row(1)->EndPoint, 3725);
    EXPECT_EQ(Row(1)->TargetName, "b.MP4");
    window->UpdateItem(1, QString(), -1, 30);  // a start after the end is stored as given
    window->UpdateItem(1, "renamed.MP4", -1, -1);
    EXPECT_EQ(Row(1)->StartPoint, 40);
    EXPECT_EQ(Row(1)->EndPoint, 30);
    EXPECT_TRUE(Row(1)->TextLabel->text().endsWith(
        "Target: renamed.MP4 ;Start Point:00:30  End Point:00:40"));

    // With nothing to change it only rebuilds the text.
    Row(0)->Duration = 59.9;
    window->UpdateItem(0, QString(), -1, -1);
    EXPECT_TRUE(Row(0)->TextLabel->text().startsWith("FileName:/clips/a.avi      00:00:59 \n"));
    EXPECT_EQ(Row(0)->EndPoint, 3725);
}

// Namesakes in other folders keep a still each: what a later PSP copy of the first row takes
// is still the first source's picture.
TEST_F(MediaFilesTest, SourcesWithTheSameNameGetAStillEach) {
    ASSERT_NE(AddFile("/a/clip.avi"), nullptr);
    const QImage firstPicture = Row(0)->Thumbnail->Picture();
    engine.still = install.Path("PSP.jpg");
    ASSERT_NE(AddFile("/b/clip.avi"), nullptr);
    EXPECT_NE(Row(0)->PicturePath, Row(1)->PicturePath);
    EXPECT_EQ(Contents(Row(0)->PicturePath), Contents(install.Path("3GP.jpg")));
    EXPECT_EQ(Contents(Row(1)->PicturePath), Contents(install.Path("PSP.jpg")));
    EXPECT_EQ(Row(0)->Thumbnail->Picture(), firstPicture);
    EXPECT_EQ(Row(1)->Thumbnail->Picture(), platform::LoadJpeg(install.Path("PSP.jpg")));
}

TEST_F(MediaFilesTest, StillsThatCannotBeShownAddNothing) {
    ASSERT_NE(AddFile("/clips/first.avi"), nullptr);

    engine.still.clear();  // the engine writes no still
    EXPECT_EQ(AddFile("/clips/second.avi"), nullptr);

    QFile text(install.Path("notjpeg.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("GIF89a, not a JPEG");
    text.close();
    engine.still = install.Path("notjpeg.txt");
    EXPECT_EQ(AddFile("/clips/third.avi"), nullptr);
    EXPECT_TRUE(QFile::exists(Thumbnails() + StillFileName("/clips/third.avi")));

    EXPECT_EQ(List()->ItemCount, 1);
    EXPECT_EQ(List()->m_ListItemPanel.size(), 1u);
    EXPECT_EQ(List()->ContentPanel->height(), 142);
    EXPECT_EQ(List()->CurrentItem, Row(0));
    // Each refusal says which file and why.
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text,
              "second.avi cannot be added: no still picture can be taken from it");
    EXPECT_EQ(dialogs.messages[1].text,
              "third.avi cannot be added: no still picture can be taken from it");

    // A still left from an earlier add of the same file is taken when the engine writes none;
    // a namesake elsewhere never borrows it.
    engine.still.clear();
    EXPECT_EQ(AddFile("/elsewhere/first.avi"), nullptr);
    window->FileRemoveClick(window->FileRemove);
    EXPECT_NE(AddFile("/clips/first.avi"), nullptr);
}

TEST_F(MediaFilesTest, ClosingTheWindowEmptiesTheThumbnailFolderButKeepsSubFolders) {
    AddFile("/clips/a.avi");
    AddFile("/clips/b.avi");
    ASSERT_TRUE(QDir().mkpath(Thumbnails() + "kept"));
    QFile inner(Thumbnails() + "kept/inner.jpg");
    ASSERT_TRUE(inner.open(QIODevice::WriteOnly));
    inner.close();
    window->FileRemoveClick(window->FileRemove);
    // kept until the window closes
    EXPECT_TRUE(QFile::exists(Thumbnails() + StillFileName("/clips/a.avi")));

    window->FormClose();
    EXPECT_EQ(List()->ItemCount, 0);
    EXPECT_TRUE(QDir(Thumbnails()).exists());
    EXPECT_TRUE(QDir(Thumbnails()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_TRUE(QFile::exists(Thumbnails() + "kept/inner.jpg"));

    window->FileRemoveClick(window->FileRemove);  // nothing left: only the preview closes
    EXPECT_EQ(List()->ItemCount, 0);
}

// Every family but 3GP writes ".MP4"; the 3GP family's container follows its output file type.
TEST(TargetExtension, TheThreeGpExtensionFollowsTheOutputFileType) {
    struct Case {
        DeviceType device;
        int fileType;
        QString extension;
    };
    for (const Case& c : {
             Case{Dev3GP, 0, ".3g2"},   // the list's first entry, 3G2
             Case{Dev3GP, 1, ".3gp"},   // its second entry, 3GP
             Case{Dev3GP, -1, ".3g2"},  // nothing chosen yet
             Case{DevPSP, 0, ".MP4"},
             Case{DevPSP, 1, ".MP4"},
             Case{DevIPOD, 0, ".MP4"},
             Case{DevPDA, 0, ".MP4"},
             Case{DevMP4, 0, ".MP4"},
             Case{DevNone, 0, ".MP4"},
         }) {
        EXPECT_EQ(Txconverter::TargetExtension(c.device, c.fileType), c.extension)
            << c.device << " " << c.fileType;
    }
}

// Namesakes get numbered targets, a third added later too, and every row's target (and its
// text) follows the output file type of the 3GP family both ways.
TEST_F(MediaFilesTest, NamesakesGetUniqueTargetsThatFollowTheFileType) {
    window->CurrentDevice = Dev3GP;
    for (const char* type : {"3G2", "3GP"})
        window->combox_outfiletype->AddItem(type);
    window->combox_outfiletype->SetItemIndex(0);

    ASSERT_NE(AddFile("/clips/holiday.avi"), nullptr);
    ASSERT_NE(AddFile("/more/holiday.avi"), nullptr);
    ASSERT_NE(AddFile("/clips/party.avi"), nullptr);
    ASSERT_NE(AddFile("/other/holiday.avi"), nullptr);
    ASSERT_NE(AddFile("/clips/holiday.beach.avi"), nullptr);  // its own name: the dots stay
    const auto targets = [this] {
        QStringList names;
        for (int i = 0; i < List()->ItemCount; ++i) {
            names << Row(i)->TargetName;
            EXPECT_TRUE(
                Row(i)->TextLabel->text().contains("\nTarget: " + Row(i)->TargetName + " ;"))
                << Row(i)->TextLabel->text().toStdString();
        }
        return names;
    };
    EXPECT_EQ(targets(), QStringList({"holiday.3g2", "holiday (2).3g2", "party.3g2",
                                      "holiday (3).3g2", "holiday.beach.3g2"}));

    Pick(window->combox_outfiletype, 1);
    EXPECT_EQ(targets(), QStringList({"holiday.3gp", "holiday (2).3gp", "party.3gp",
                                      "holiday (3).3gp", "holiday.beach.3gp"}));
    Pick(window->combox_outfiletype, 0);
    EXPECT_EQ(targets(), QStringList({"holiday.3g2", "holiday (2).3g2", "party.3g2",
                                      "holiday (3).3g2", "holiday.beach.3g2"}));

    // A name freed by a removal is taken by the next namesake.
    List()->SelectItem(1);
    window->FileRemoveClick(window->FileRemove);
    ASSERT_NE(AddFile("/third/holiday.avi"), nullptr);
    EXPECT_EQ(targets(), QStringList({"holiday.3g2", "party.3g2", "holiday (3).3g2",
                                      "holiday.beach.3g2", "holiday (2).3g2"}));
}

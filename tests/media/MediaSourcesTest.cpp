// Files that reach the converter window from outside: several at once from Add's dialog, files
// and folders dropped from a file manager, and the one message for the files that are refused.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "converter/Txconverter.h"
#include "converter/core/JobOutcome.h"
#include "media/FakeEngine.h"
#include "media/package/ListImagePanel.h"
#include "platform/core/Paths.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/ImageButton.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/Wait.h"
#include "support/WaitUntil.h"

namespace {

class MediaSources : public ::testing::Test {
protected:
    MediaSources() {
        engine.probe.duration = 60;
        engine.still = install.Path("MP4.jpg");
        window = std::make_unique<Txconverter>();
        window->CurrentDevice = DevMP4;
    }

    QString Clip(const QString& name) {
        const QString path = clips.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("clip");
        return path;
    }

    QStringList Listed() const {
        QStringList paths;
        for (int i = 0; i < window->ListImagePanel->ItemCount; ++i)
            paths << window->ListImagePanel->GetItem(unsigned(i))->SourcePath;
        return paths;
    }

    // A file manager drops `paths` on the window; the adds run once the drop has ended.
    void Drop(const QStringList& paths, size_t messagesBefore = 0) {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
        ASSERT_TRUE(drop.isAccepted());
        const int before = window->ListImagePanel->ItemCount;
        // The drop's adds begin once the drop has ended, and are done when a row or a message
        // came and no file is on its way any more.
        WaitUntil([&] {
            return window->ListImagePanel->ItemCount > before ||
                   dialogs.messages.size() > messagesBefore;
        });
        WaitUntil([&] { return !window->AddsPending(); });
        QCoreApplication::processEvents();
    }

    ScratchInstall install;
    FakeDialogs dialogs;
    FakeEngine engine;
    QTemporaryDir clips;
    std::unique_ptr<Txconverter> window;
};

}  // namespace

TEST_F(MediaSources, SeveralFilesFromTheDialogAreAddedInOrderAndItOpensWhereTheLastCameFrom) {
    const QString a = Clip("a.avi"), b = Clip("b.mov"), c = Clip("c.mp4");
    dialogs.openManyAnswers.push_back({a, b, c});
    window->FileAddClick(window->FileAdd);
    testsupport::WaitUntil([&] { return !window->AddsPending(); });
    EXPECT_EQ(dialogs.lastOpenFolder, platform::InitialOpenFolder());
    EXPECT_EQ(Listed(), QStringList({a, b, c}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(ReadProfileValue("MainSettings", "LastAddFolder", ""), clips.path() + "/");

    // The next Add opens in that folder; one refused file among several gives one message.
    dialogs.openManyAnswers.push_back({Clip("d.avi"), a});
    window->FileAddClick(window->FileAdd);
    testsupport::WaitUntil([&] { return !window->AddsPending(); });
    EXPECT_EQ(dialogs.lastOpenFolder, clips.path() + "/");
    EXPECT_EQ(window->ListImagePanel->ItemCount, 4);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "a.avi cannot be added: it is already in the list");
    EXPECT_EQ(dialogs.messages[0].caption, "Notice");

    // A remembered folder that is gone: the dialog opens where it did at first.
    WriteProfileValue("MainSettings", "LastAddFolder", "/no/such/folder/");
    window->FileAddClick(window->FileAdd);  // cancelled
    EXPECT_EQ(dialogs.lastOpenFolder, platform::InitialOpenFolder());
}

TEST_F(MediaSources, DroppedFilesAndFoldersAreAddedAsThroughAdd) {
    const QString one = Clip("one.avi");
    Drop({one});
    EXPECT_EQ(Listed(), QStringList({one}));
    EXPECT_EQ(window->ListImagePanel->GetItem(0)->TargetName, "one.MP4");

    const QString two = Clip("two.mpg"), three = Clip("three.wmv");
    Drop({two, three});
    EXPECT_EQ(Listed(), QStringList({one, two, three}));

    // A folder: its media files directly inside, in name order; other files and sub-folders
    // are passed over.
    QTemporaryDir folder;
    for (const char* name : {"b.avi", "A.mov", "notes.txt"}) {
        QFile file(folder.filePath(name));
        file.open(QIODevice::WriteOnly);
    }
    QDir(folder.path()).mkpath("inner");
    QFile inner(folder.filePath("inner/c.avi"));
    inner.open(QIODevice::WriteOnly);
    inner.close();
    Drop({folder.path()});
    EXPECT_EQ(Listed(),
              QStringList({one, two, three, folder.filePath("A.mov"), folder.filePath("b.avi")}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MediaSources, RefusedDropsAreNamedInOneMessageAndTheListKeepsTheRest) {
    const QString good = Clip("good.avi"), text = Clip("notes.avi");
    engine.notMedia.insert(text.toStdString());
    Drop({good});
    Drop({text, good, Clip("more.avi")});
    EXPECT_EQ(Listed(), QStringList({good, clips.filePath("more.avi")}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "notes.avi cannot be added: it is not a media file this program can read\n"
              "good.avi cannot be added: it is already in the list");

    // A single non-media file and a folder without media files are refused with a message.
    Drop({text}, 1);
    EXPECT_EQ(dialogs.LastText(),
              "notes.avi cannot be added: it is not a media file this program can read");
    QTemporaryDir empty;
    Drop({empty.path()}, 2);
    EXPECT_TRUE(dialogs.LastText().endsWith("cannot be added: it is a folder without media files"));
    EXPECT_EQ(window->ListImagePanel->ItemCount, 2);
}

TEST_F(MediaSources, NothingIsAddedWhileAJobRunsAndOnlyFilesAreTakenFromADrag) {
    window->FormShow();  // the family's settings, which a job reads
    engine.startsConversions = true;
    Drop({Clip("first.avi")});
    ASSERT_EQ(window->ListImagePanel->ItemCount, 1);
    window->RunClick(window->Run);
    ASSERT_TRUE(window->JobRunning());
    Drop({Clip("late.avi")});
    EXPECT_EQ(window->ListImagePanel->ItemCount, 1);
    EXPECT_EQ(dialogs.LastText(), "Files cannot be added while a conversion runs.");
    window->StopClick(window->Stop);
    // The engine's end of the stopped row.
    window->OnConversionEnd(1, ConversionEnd{KIVO_CONVERSION_STOPPED, KIVO_REASON_STOPPED, 0});

    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(MediaSources, AddFolderTakesTheMediaFilesOfThePickedFolder) {
    QTemporaryDir folder;
    for (const char* name : {"b.flv", "a.mkv", "c.webm", "d.m2ts", "notes.txt"}) {
        QFile file(folder.filePath(name));
        file.open(QIODevice::WriteOnly);
    }
    const struct {
        std::optional<QString> answer;  // none: cancelled; empty: not a file-system folder
        int rows;
        QString message;
    } cases[] = {
        {std::nullopt, 0, QString()},
        {QString(), 0, "Please choose a folder on this computer."},
        {folder.path(), 4, QString()},
    };
    for (const auto& c : cases) {
        dialogs.messages.clear();
        dialogs.folderAnswers.push_back(c.answer);
        window->AddFolder->trigger();
        testsupport::WaitUntil([&] { return !window->AddsPending(); });
        EXPECT_EQ(window->ListImagePanel->ItemCount, c.rows);
        EXPECT_EQ(dialogs.LastText(), c.message);
    }
    EXPECT_EQ(Listed(), QStringList({folder.filePath("a.mkv"), folder.filePath("b.flv"),
                                     folder.filePath("c.webm"), folder.filePath("d.m2ts")}));
}

TEST_F(MediaSources, AClosedFamilyShowsItsRowsAndMarksAgainAndGoneSourcesAreNamedOnce) {
    const QString keep = Clip("keep.mkv"), gone = Clip("gone.flv");
    window->FormShow();
    ASSERT_TRUE(WaitUntil([&] { return window->ListRestored && !window->AddsPending(); }));
    Drop({keep, gone});
    ASSERT_EQ(Listed(), QStringList({keep, gone}));
    window->UpdateItem(0, QString(), 40, 30);
    window->FormClose();
    EXPECT_EQ(window->ListImagePanel->ItemCount, 0);

    // Another family has its own list.
    window->CurrentDevice = DevPSP;
    window->FormShow();
    ASSERT_TRUE(WaitUntil([&] { return window->ListRestored && !window->AddsPending(); }));
    EXPECT_EQ(window->ListImagePanel->ItemCount, 0);
    window->FormClose();

    QFile::remove(gone);
    window->CurrentDevice = DevMP4;
    for (int show = 0; show < 2; ++show) {
        window->FormShow();
        ASSERT_TRUE(WaitUntil([&] { return window->ListRestored && !window->AddsPending(); }));
        EXPECT_EQ(Listed(), QStringList({keep}));
        const TItemPanel* row = window->ListImagePanel->GetItem(0);
        EXPECT_EQ(std::pair(row->StartPoint, row->EndPoint), std::pair(40, 30));
        EXPECT_TRUE(row->TextLabel->text().endsWith("Start Point:00:30  End Point:00:40"));
        window->FormClose();
    }
    // The gone source was named at the first open only.
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "This file has gone since the list was kept and was taken off the list:\n" + gone);

    // A window closed before its list came back keeps the saved list as it was.
    window->FormShow();
    window->FormClose();
    window->FormShow();
    ASSERT_TRUE(WaitUntil([&] { return window->ListRestored && !window->AddsPending(); }));
    EXPECT_EQ(Listed(), QStringList({keep}));
}

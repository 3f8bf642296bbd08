// The desktop notification at the end of a job: its texts, and that it is sent only when the
// converter window is not the one the user is looking at.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <functional>

#include "converter/JobNotice.h"
#include "converter/Txconverter.h"
#include "converter/core/JobOutcome.h"
#include "media/FakeEngine.h"
#include "media/package/ListImagePanel.h"
#include "platform/Notifications.h"
#include "platform/Shell.h"
#include "skin/ImageButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinProgressBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/Wait.h"

namespace {

struct Note {
    QString summary, body;
    platform::NotifyAction action;
};

class RecordingNotifier : public platform::Notifier {
public:
    RecordingNotifier() { platform::SetNotifier(this); }
    ~RecordingNotifier() override { platform::SetNotifier(nullptr); }
    void Notify(const QString& summary, const QString& body) override {
        notes.push_back({summary, body, {}});
    }
    void Notify(const QString& summary, const QString& body,
                const platform::NotifyAction& action) override {
        notes.push_back({summary, body, action});
    }
    std::vector<Note> notes;
};

}  // namespace

TEST(JobNotice, TheNoteSaysHowTheJobEndedAndWhere) {
    const QString home = QDir::homePath();
    const char *finished = "Conversion finished", *failures = "Conversion finished with failures";
    const struct {
        JobEnd end;
        const char* summary;
        const char* body;
    } cases[] = {
        {{3, 3, 0, false, home + "/KivoMp4/PSP/"},
         finished,
         "3 files converted into ~/KivoMp4/PSP"},
        {{1, 1, 0, false, "/media/out/MP4/"}, finished, "1 file converted into /media/out/MP4"},
        {{3, 2, 1, false, home + "/v/"}, failures, "2 of 3 files converted into ~/v, 1 failed"},
        {{3, 1, 0, true, home + "/KivoMp4/PSP/"},
         "Conversion stopped",
         "Stopped by user: 1 of 3 files converted into ~/KivoMp4/PSP"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JobEndSummary(c.end), c.summary);
        EXPECT_EQ(JobEndBody(c.end), c.body);
    }
    const struct {
        const char* folder;
        const char* shown;
    } folders[] = {
        {"/home/ann/KivoMp4/PSP/", "~/KivoMp4/PSP"},
        {"/home/ann/", "~"},
        {"/home/anna/x/", "/home/anna/x"},
        {"/srv/out", "/srv/out"},
        {"/", "/"},
    };
    for (const auto& f : folders)
        EXPECT_EQ(ShortFolder(f.folder, "/home/ann"), f.shown) << f.folder;
}

TEST(JobNotice, AJobThatEndsWhileTheWindowIsNotActiveIsAnnounced) {
    FakeDialogs dialogs;
    ScratchInstall install;
    FakeEngine engine;
    RecordingNotifier notifier;
    engine.still = install.Path("MP4.jpg");
    engine.startsConversions = true;
    Txconverter window;
    window.CurrentDevice = DevMP4;
    window.FormShow();
    window.AddMediaFiles({"/clips/a.avi"});
    ASSERT_TRUE(WaitUntil([&] { return !window.AddsPending(); }));
    ASSERT_EQ(window.ListImagePanel->ItemCount, 1);

    const ConversionEnd finished{KIVO_CONVERSION_FINISHED, KIVO_REASON_NONE, 1};
    window.RunClick(window.Run);
    ASSERT_TRUE(window.JobRunning());
    window.OnConversionEnd(1, finished);  // the engine's end of the only row
    ASSERT_FALSE(window.JobRunning());
    ASSERT_FALSE(window.isActiveWindow());
    ASSERT_EQ(notifier.notes.size(), 1u);
    EXPECT_EQ(notifier.notes[0].summary, "Conversion finished");
    EXPECT_EQ(
        notifier.notes[0].body,
        "1 file converted into " + ShortFolder(window.OutputFolder->Text(), QDir::homePath()));
    EXPECT_EQ(window.ProgressTotal->Caption(), notifier.notes[0].body);
    // The note's button opens the folder the files went to, as the list's menu does.
    QStringList opened;
    platform::SetShellOpenHandler([&](const QString& target) { opened << target; });
    EXPECT_EQ(notifier.notes[0].action.label, "Open output folder");
    ASSERT_TRUE(notifier.notes[0].action.invoked);
    notifier.notes[0].action.invoked();
    window.OpenOutputFolder->trigger();
    EXPECT_EQ(opened, QStringList({window.JobOutputFolder, window.JobOutputFolder}));
    // A folder that is gone is named instead.
    const QString shown = window.OutputFolder->Text();
    window.JobOutputFolder.clear();
    window.OutputFolder->SetText("/no/such/folder/");
    window.OpenOutputFolder->trigger();
    EXPECT_EQ(opened.size(), 2);
    EXPECT_EQ(dialogs.LastText(), "The output folder /no/such/folder/ does not exist yet.");
    platform::SetShellOpenHandler({});
    window.OutputFolder->SetText(shown);

    // Looking at the window, the user sees the status line: no note.
    window.show();
    window.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return window.isActiveWindow(); }));
    window.RunClick(window.Run);
    window.OnConversionEnd(2, finished);
    EXPECT_EQ(notifier.notes.size(), 1u);
}

// Run and Stop with an engine that records what it is given: the job's states, a stopped job's
// late end and the reports from the conversions' threads.
#include <gtest/gtest.h>

#include <QDir>

#include "JobRunnerFixture.h"

namespace {

using namespace job_runner;

TEST_F(JobRunner, OneRowRunsToJobFinished) {
    SetUp(DevMP4);
    AddRow("/media/a.avi", 5, "a.MP4");
    w().ProgressFile->SetPosition(40);
    w().RunClick(w().Run);
    ASSERT_EQ(engine.calls.size(), 1u);
    EXPECT_TRUE(Running());
    EXPECT_EQ(w().ProgressFile->Position(), 40);  // not reset by Run
    EXPECT_EQ(w().ProgressTotal->High(), 1);
    EXPECT_EQ(w().ProgressTotal->Position(), 0);
    EXPECT_EQ(w().ListImagePanel->CurSelIndex, 0);
    for (QWidget* locked : std::initializer_list<QWidget*>{
             w().ListImagePanel, w().FileAdd, w().ProfilesList, w().OutputFolder,
             w().combox_outfiletype, w().tr_audio_vol, w().edit_videoquality}) {
        EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
    }
    EXPECT_TRUE(w().BtnClose->isEnabled());

    engine.Finish(0);
    EXPECT_EQ(engine.calls.size(), 1u);
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Job Finished.");
    EXPECT_EQ(w().ProgressFile->Position(), 100);
    EXPECT_EQ(w().ProgressTotal->Position(), 1);
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(w().ListImagePanel->isEnabled());
    EXPECT_TRUE(w().combox_outfiletype->isEnabled());

    // A stray end with no conversion of ours outstanding changes nothing.
    w().OnConversionEnd(7, ConversionEnd{KIVO_CONVERSION_FINISHED, KIVO_REASON_NONE, 1});
    EXPECT_EQ(w().ProgressTotal->Position(), 1);
    EXPECT_EQ(engine.calls.size(), 1u);
}

TEST_F(JobRunner, StopDuringTheSecondOfThreeRowsAndRunAgain) {
    SetUp(DevMP4);
    AddRows(3);
    w().RunClick(w().Run);
    engine.Finish(0);
    ASSERT_EQ(engine.calls.size(), 2u);
    EXPECT_EQ(engine.calls[1].argv[5], "/media/b.avi");
    EXPECT_EQ(w().ListImagePanel->CurSelIndex, 1);
    EXPECT_EQ(w().CurrentRow, 1);

    w().StopClick(w().Stop);
    EXPECT_EQ(engine.stops, 1);
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(w().combox_videoformat->isEnabled());
    EXPECT_NE(w().Converting_Infor->text(), "Process Info :  Stoped by user.");  // not yet

    engine.Finish(1);
    EXPECT_EQ(engine.calls.size(), 2u);  // the third row is not started
    EXPECT_EQ(w().ProgressFile->Position(), 100);
    EXPECT_EQ(w().ProgressTotal->Position(), 2);
    EXPECT_EQ(w().ProgressTotal->High(), 3);
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Stoped by user.");
    EXPECT_TRUE(Idle());

    // Run again converts every row from the first, to the same outputs.
    w().RunClick(w().Run);
    for (size_t i = 2; i < 5; ++i)
        engine.Finish(i);
    ASSERT_EQ(engine.calls.size(), 5u);
    EXPECT_EQ(engine.calls[2].argv, engine.calls[0].argv);
    EXPECT_EQ(engine.calls[4].argv[35], OutputPath("c.MP4"));
    EXPECT_EQ(engine.calls[3].argv, engine.calls[1].argv);
    EXPECT_EQ(w().ProgressTotal->Position(), 3);
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Job Finished.");
    EXPECT_EQ(w().ListImagePanel->ItemCount, 3);
}

TEST_F(JobRunner, FailedAndStoppedRowsAreToldByTheEndRecordAndMarkedUntilTheNextRun) {
    SetUp(DevMP4);
    AddRows(3);
    const auto mark = [this](int row) {
        return w().ListImagePanel->GetItem(unsigned(row))->OutcomeMark.toStdString();
    };
    w().RunClick(w().Run);
    engine.End(0, KIVO_CONVERSION_FINISHED, KIVO_REASON_NONE, 1, "Finished a.avi");
    engine.End(1, KIVO_CONVERSION_FAILED, KIVO_REASON_SOURCE_UNREADABLE, 0,
               "Failed: b.avi: words the window never reads");
    // The outcome is the end record's, whatever the text says.
    engine.End(2, KIVO_CONVERSION_FINISHED, KIVO_REASON_NONE, 1, "Failed: c.avi: words only");
    EXPECT_EQ(w().Converting_Infor->text(),
              "Process Info :  Job Finished. 1 of 3 files failed: b.avi (the source could not "
              "be read)");
    EXPECT_EQ(mark(0), "");
    EXPECT_EQ(mark(1), "failed: the source could not be read");
    EXPECT_TRUE(w().ListImagePanel->GetItem(1)->OutcomeFailed);
    EXPECT_TRUE(w().ListImagePanel->GetItem(1)->TextLabel->text().endsWith(
        "End Point:00:00\nfailed: the source could not be read"));
    EXPECT_EQ(mark(2), "");

    // The next Run takes the marks away; a stopped row says what it kept and is no failure.
    w().RunClick(w().Run);
    EXPECT_EQ(mark(1), "");
    EXPECT_FALSE(w().ListImagePanel->GetItem(1)->TextLabel->text().contains("failed"));
    engine.End(3, KIVO_CONVERSION_FINISHED);
    w().StopClick(w().Stop);
    engine.End(4, KIVO_CONVERSION_STOPPED, KIVO_REASON_STOPPED, 22.4);
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Stoped by user.");
    EXPECT_EQ(mark(1), "stopped: the first 00:22 kept");
    EXPECT_FALSE(w().ListImagePanel->GetItem(1)->OutcomeFailed);
    EXPECT_EQ(mark(2), "");
}

TEST_F(JobRunner, RunBeforeTheStoppedRowHasEndedWaitsForIt) {
    SetUp(DevMP4);
    AddRows(3);
    w().RunClick(w().Run);
    w().StopClick(w().Stop);
    w().RunClick(w().Run);  // the stopped row's end has not arrived yet
    EXPECT_TRUE(Running());
    EXPECT_EQ(engine.calls.size(), 1u);  // the first row waits for the stopped conversion

    // Reports still arriving from the stopped conversion do not show in the new job.
    w().Converting_Infor->setText("Process Info : ");
    engine.Status(0, "stopping a.avi");
    engine.Percent(0, 55);
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info : ");

    engine.Finish(0);  // the late end: the new job's first row starts now
    ASSERT_EQ(engine.calls.size(), 2u);
    EXPECT_EQ(engine.calls[1].argv[5], "/media/a.avi");
    EXPECT_EQ(w().ProgressTotal->Position(), 0);
    EXPECT_EQ(w().CurrentRow, 0);
    EXPECT_TRUE(Running());
    EXPECT_NE(w().Converting_Infor->text(), "Process Info :  Stoped by user.");

    engine.Status(1, "converting a.avi");
    EXPECT_EQ(w().Converting_Infor->text(), "converting a.avi");

    engine.Finish(1);
    engine.Finish(2);
    engine.Finish(3);
    ASSERT_EQ(engine.calls.size(), 4u);
    EXPECT_EQ(engine.calls[2].argv[5], "/media/b.avi");
    EXPECT_EQ(engine.calls[3].argv[5], "/media/c.avi");
    EXPECT_EQ(w().ProgressTotal->Position(), 3);
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Job Finished.");
    EXPECT_TRUE(Idle());
}

TEST_F(JobRunner, ClosingDuringAJobStopsTheEngineAndTheLateEndTouchesNothing) {
    SetUp(DevMP4);
    AddRows(2);
    w().RunClick(w().Run);
    w().FormClose();
    EXPECT_EQ(engine.stops, 1);
    EXPECT_EQ(w().ListImagePanel->ItemCount, 0);
    EXPECT_TRUE(Idle());

    engine.Status(0, "stopped a.avi");
    engine.Finish(0);
    EXPECT_EQ(engine.calls.size(), 1u);
    EXPECT_EQ(w().ProgressTotal->Position(), 0);
    EXPECT_EQ(w().ProgressFile->Position(), 0);
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info : ");

    // The next show starts afresh.
    SetUp(DevMP4);
    AddRow("/media/c.avi", 1, "c.MP4");
    w().RunClick(w().Run);
    ASSERT_EQ(engine.calls.size(), 2u);
    engine.Finish(1);
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Job Finished.");
    EXPECT_EQ(w().ProgressTotal->Position(), 1);
}

// The window's close button and the window manager's close both ask while a job runs: "no"
// keeps the job and the window, "yes" stops the engine and closes; an idle window asks nothing.
TEST_F(JobRunner, ClosingDuringAJobAsksFirst) {
    w().CurrentDevice = DevMP4;
    w().show();
    SetUp(DevMP4);
    AddRow("/media/a.avi", 1, "a.MP4");
    w().RunClick(w().Run);
    ASSERT_TRUE(Running());

    dialogs.askAnswers = {false};
    w().BtnClose->Click();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0], "A conversion is running. Stop it and close the window?");
    EXPECT_TRUE(w().isVisible());
    EXPECT_TRUE(Running());
    EXPECT_EQ(engine.stops, 0);
    EXPECT_EQ(w().ListImagePanel->ItemCount, 1);

    dialogs.askAnswers = {false};
    EXPECT_FALSE(w().close());  // the window manager's close
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_TRUE(Running());

    dialogs.askAnswers = {true};
    w().BtnClose->Click();
    EXPECT_EQ(dialogs.questions.size(), 3u);
    EXPECT_FALSE(w().isVisible());
    EXPECT_EQ(engine.stops, 1);
    EXPECT_TRUE(Idle());
    EXPECT_EQ(w().ListImagePanel->ItemCount, 0);

    w().show();
    EXPECT_TRUE(w().close());
    EXPECT_EQ(dialogs.questions.size(), 3u);
}

TEST_F(JobRunner, PspKeepsAThmCopyOfTheStillBesideEachOutput) {
    SetUp(DevPSP);
    AddRow("/media/clip.avi", 1, "clip.MP4");
    ASSERT_TRUE(platform::CreateDir(Output()));
    const QString thm = Output() + "/clip.THM";
    {
        QFile old(thm);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older still");
    }
    w().RunClick(w().Run);
    {
        QFile written(Output() + "/clip.MP4");  // what the engine wrote
        ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    }
    engine.Finish(0);
    QFile copy(thm), still(install.Path("MP4.jpg"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    ASSERT_TRUE(still.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), still.readAll());

    // Other families write no THM; a missing still is ignored. (The runs below replace the
    // output the first one left.)
    QFile::remove(thm);
    dialogs.chooseAnswers = {0, 0, 0};
    SetUp(DevMP4);
    w().RunClick(w().Run);
    engine.Finish(1);
    EXPECT_FALSE(QFile::exists(thm));
    SetUp(DevPSP);
    w().ListImagePanel->GetItem(0)->PicturePath = install.Path("missing.jpg");
    w().RunClick(w().Run);
    engine.Finish(2);
    EXPECT_FALSE(QFile::exists(thm));
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Job Finished.");

    // A failed row leaves no THM, even beside an older output of its name.
    w().ListImagePanel->GetItem(0)->PicturePath = install.Path("MP4.jpg");
    w().RunClick(w().Run);
    engine.End(3, KIVO_CONVERSION_FAILED, KIVO_REASON_SOURCE_DAMAGED);
    EXPECT_FALSE(QFile::exists(thm));
    EXPECT_TRUE(w().ListImagePanel->GetItem(0)->OutcomeFailed);
}

TEST_F(JobRunner, ReportsFromTheEnginesThreadShowInOrderOnTheWindowsThread) {
    SetUp(DevMP4);
    AddRow("/media/a.avi", 1, "a.MP4");
    w().RunClick(w().Run);
    ASSERT_EQ(engine.calls.size(), 1u);
    const KivoConversionEvents events = engine.calls[0].events;
    ASSERT_NE(events.status, nullptr);
    ASSERT_NE(events.progress, nullptr);
    ASSERT_NE(events.end, nullptr);
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) {
            KivoProgress progress{};
            progress.percent = i % 90;
            events.progress(events.user, &progress);
            std::string text = "converting " + std::to_string(i);
            events.status(events.user, text.c_str());
        }
        KivoProgress over{};
        over.percent = 250;  // clamped to 100
        events.progress(events.user, &over);
        events.status(events.user, "finished a.avi");
        engine.EndFromThread(0, KIVO_CONVERSION_FINISHED);
    });
    worker.join();
    // Nothing was touched from the engine's thread.
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info : ");
    QCoreApplication::sendPostedEvents();
    // The end came after the reports and was handled after them.
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Job Finished.");
    EXPECT_EQ(w().ProgressFile->Position(), 100);
    EXPECT_EQ(engine.freedConversions, std::vector<size_t>{0});

    // Reports that come after the window is gone go nowhere.
    window.reset();
    events.status(events.user, "late");
    KivoProgress late{};
    late.percent = -20;
    events.progress(events.user, &late);
    QCoreApplication::sendPostedEvents();
}

TEST_F(JobRunner, DestroyingTheWindowDuringAJobStopsTheEngineAndWaitsForItsEnd) {
    SetUp(DevMP4);
    AddRow("/media/a.avi", 1, "a.MP4");
    w().RunClick(w().Run);
    std::thread worker;
    std::atomic<bool> ended = false;
    engine.onStop = [&] {
        worker = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ended = true;
            engine.EndFromThread(0, KIVO_CONVERSION_STOPPED);
        });
    };
    window.reset();
    EXPECT_EQ(engine.stops, 1);
    EXPECT_TRUE(ended);
    worker.join();
    EXPECT_EQ(engine.freedConversions, std::vector<size_t>{0});
    QCoreApplication::sendPostedEvents();  // the end finds no window
}

}  // namespace

TEST_F(JobRunner, ExistingTargetsAreAskedAboutOnceForTheWholeJob) {
    const struct {
        int answer;  // Replace, Keep both, Skip these files; -1: Cancel
        int started;
        QStringList targets;
    } cases[] = {
        {-1, 0, {"a.MP4", "b.MP4", "c.MP4"}},
        {0, 3, {"a.MP4", "b.MP4", "c.MP4"}},
        {1, 3, {"a (2).MP4", "b.MP4", "c (3).MP4"}},
        {2, 1, {"a.MP4", "b.MP4", "c.MP4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        SetUp(DevMP4);
        w().ResetWindow();
        SetUp(DevMP4);
        AddRows(3);
        ASSERT_TRUE(QDir().mkpath(Output()));
        for (const char* name : {"a.MP4", "c.MP4", "c (2).MP4"}) {
            QFile file(Output() + "/" + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        dialogs.questions.clear();
        dialogs.chooseAnswers = {c.answer};
        const size_t before = engine.calls.size();
        w().RunClick(w().Run);
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_TRUE(dialogs.questions[0].startsWith("2 files of these names exist already in "))
            << dialogs.questions[0].toStdString();
        EXPECT_EQ(dialogs.lastChoices, QStringList({"Replace", "Keep both", "Skip these files"}));
        QStringList targets;
        for (int i = 0; i < 3; ++i)
            targets << w().ListImagePanel->GetItem(unsigned(i))->TargetName;
        EXPECT_EQ(targets, c.targets);
        for (int started = 0; w().JobRunning() && started < 3; ++started)
            engine.Finish(engine.calls.size() - 1);
        EXPECT_EQ(int(engine.calls.size() - before), c.started);
        EXPECT_FALSE(w().JobRunning());
        for (const char* name : {"a.MP4", "c.MP4", "c (2).MP4"})
            QFile::remove(Output() + "/" + name);
    }
}

// Several files at once through the window with a recording engine: the setting, the rows that
// start, the file bar and the status line, Stop, and the late events of a stopped job.
#include <gtest/gtest.h>

#include <QAction>

#include "JobRunnerFixture.h"

namespace {

using namespace job_runner;

class SideBySide : public JobRunner {
public:
    // A job of `rows` rows converted `atOnce` at once.
    void SetUpJob(int atOnce, int rows) {
        SetUp(DevMP4);
        AddRows(rows);
        w().FilesAtOnceChoices.at(size_t(atOnce - 1))->trigger();
    }
    std::string Source(size_t conversion) const { return engine.calls[conversion].argv[5]; }
    int FileBar() { return w().ProgressFile->Position(); }
    int TotalBar() { return w().ProgressTotal->Position(); }
    QString Status() { return w().Converting_Infor->text(); }
};

TEST_F(SideBySide, TheSettingIsOneByDefaultAndKeptInTheCatalog) {
    EXPECT_EQ(w().FilesAtOnce(), 1);
    // One at once: the second row starts when the first has ended.
    SetUpJob(1, 2);
    w().RunClick(w().Run);
    EXPECT_EQ(engine.calls.size(), 1u);
    engine.Finish(0);
    EXPECT_EQ(engine.calls.size(), 2u);
    engine.Finish(1);
    EXPECT_TRUE(Idle());

    const struct {
        const char *kept, *choice;  // what the catalog says; what a new window reads back
        int atOnce;
    } cases[] = {{"3", "3", 3}, {"4", "4", 4}, {"1", "1", 1}, {"9", "9", 1}, {"two", "two", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kept);
        WriteProfileValue("MainSettings", "FilesConvertedAtOnce", c.kept);
        window = std::make_unique<Txconverter>();
        w().CurrentDevice = DevMP4;
        w().FormShow();
        EXPECT_EQ(w().FilesAtOnce(), c.atOnce);
        int checked = 0;
        for (QAction* choice : w().FilesAtOnceChoices)
            checked += choice->isChecked();
        EXPECT_EQ(checked, 1);
    }
    w().FilesAtOnceChoices[1]->trigger();
    EXPECT_EQ(ReadProfileValue("MainSettings", "FilesConvertedAtOnce", ""), "2");
    EXPECT_EQ(w().FilesAtOnce(), 2);
    EXPECT_FALSE(w().FilesAtOnceChoices[0]->isChecked());
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
}

TEST_F(SideBySide, TwoAtOnceShowTheLesserPercentAndNameBothFiles) {
    SetUpJob(2, 3);
    w().RunClick(w().Run);
    ASSERT_EQ(engine.calls.size(), 2u);
    EXPECT_EQ(engine.calls[0].argv, Expected("/media/a.avi", "1", "mp4", OutputPath("a.MP4")));
    EXPECT_EQ(Source(1), "/media/b.avi");
    EXPECT_TRUE(Running());

    engine.Percent(0, 40);
    engine.Percent(1, 17);
    EXPECT_EQ(FileBar(), 17);
    EXPECT_EQ(Status(), "Converting a.avi 40%, b.avi 17%");
    engine.Status(1, "Converting b.avi  18%  30.0 fps  speed 1.00x  time left 00:00:01");
    EXPECT_EQ(Status(), "Converting a.avi 40%, b.avi 17%");

    // b ends first: its place goes to c; the total bar steps, the file bar follows a.
    engine.End(1, KIVO_CONVERSION_FINISHED);
    EXPECT_EQ(TotalBar(), 1);
    ASSERT_EQ(engine.calls.size(), 3u);
    EXPECT_EQ(Source(2), "/media/c.avi");
    EXPECT_EQ(engine.freedConversions, std::vector<size_t>{1});
    EXPECT_EQ(Status(), "Converting a.avi 40%, c.avi 0%");
    engine.Percent(2, 60);
    EXPECT_EQ(FileBar(), 40);

    engine.End(0, KIVO_CONVERSION_FAILED, KIVO_REASON_SOURCE_DAMAGED);
    EXPECT_EQ(w().ListImagePanel->GetItem(0)->OutcomeMark.toStdString(),
              "failed: the source is damaged");
    EXPECT_EQ(FileBar(), 60);
    EXPECT_TRUE(Running());
    engine.End(2, KIVO_CONVERSION_FINISHED);
    EXPECT_EQ(TotalBar(), 3);
    EXPECT_EQ(FileBar(), 100);
    EXPECT_EQ(Status(),
              "Process Info :  Job Finished. 1 of 3 files failed: a.avi (the source is "
              "damaged)");
    EXPECT_TRUE(Idle());
    EXPECT_EQ(engine.freedConversions, (std::vector<size_t>{1, 0, 2}));
    EXPECT_EQ(engine.calls.size(), 3u);
}

TEST_F(SideBySide, StopStopsEveryConversionAndTheStoppedJobsLateEventsChangeNothing) {
    SetUpJob(2, 3);
    w().RunClick(w().Run);
    engine.Percent(0, 30);
    w().StopClick(w().Stop);
    EXPECT_EQ(engine.stoppedConversions, (std::vector<size_t>{0, 1}));
    EXPECT_TRUE(Idle());

    // Run again: the new job waits for both stopped conversions.
    w().RunClick(w().Run);
    engine.Status(0, "Stopped a.avi");
    engine.Percent(1, 90);
    engine.End(0, KIVO_CONVERSION_STOPPED);
    EXPECT_EQ(engine.calls.size(), 2u);
    EXPECT_EQ(FileBar(), 0);
    EXPECT_EQ(TotalBar(), 0);
    engine.End(1, KIVO_CONVERSION_STOPPED);
    ASSERT_EQ(engine.calls.size(), 4u);
    EXPECT_EQ(Source(2), "/media/a.avi");
    EXPECT_EQ(Source(3), "/media/b.avi");
    EXPECT_EQ(TotalBar(), 0);
    EXPECT_EQ(w().ListImagePanel->GetItem(0)->OutcomeMark, "");

    // An end of a stopped job's conversion once more (it is no longer outstanding) moves
    // nothing of the new job.
    engine.End(1, KIVO_CONVERSION_FAILED);
    EXPECT_EQ(engine.calls.size(), 4u);
    EXPECT_EQ(TotalBar(), 0);
    engine.Percent(2, 50);
    engine.Percent(3, 70);
    EXPECT_EQ(FileBar(), 50);
    engine.End(3, KIVO_CONVERSION_FINISHED);
    engine.End(2, KIVO_CONVERSION_FINISHED);
    engine.End(4, KIVO_CONVERSION_FINISHED);
    EXPECT_EQ(TotalBar(), 3);
    EXPECT_EQ(Status(), "Process Info :  Job Finished.");
    EXPECT_TRUE(Idle());
}

TEST_F(SideBySide, RefusedStartsFailTheirRowsAndTheWindowsEndReleasesEveryConversion) {
    SetUpJob(2, 2);
    engine.refuseConversions = true;
    w().RunClick(w().Run);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(Idle());
    EXPECT_TRUE(Status().startsWith("Process Info :  Job Finished. 2 of 2 files failed"));

    engine.refuseConversions = false;
    engine.endOnStop = true;
    w().RunClick(w().Run);
    ASSERT_EQ(engine.calls.size(), 2u);
    window.reset();
    EXPECT_EQ(engine.stoppedConversions, (std::vector<size_t>{0, 1}));
    EXPECT_EQ(engine.freedConversions, (std::vector<size_t>{0, 1}));
}

}  // namespace

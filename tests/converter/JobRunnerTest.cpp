// Run and Stop with an engine that records what it is given: the whole argument vector for each
// family, the job's states, a stopped job's late end message and the reports from the engine's
// thread.
#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/EngineApi.h"
#include "platform/FileSystem.h"
#include "platform/WindowMessages.h"
#include "profiles/ProfileDatabase.h"
#include "skin/ImageButton.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinProgressBar.h"
#include "skin/SkinSpinEdit.h"
#include "skin/SkinTrackBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

using Vector = std::vector<std::string>;

// Records each _X call with a copy of its vector; the test ends a call by posting its
// WM_CONVERTDONE through the handle the call was given, as the engine does.
class RecordingEngine : public EngineApi {
public:
    RecordingEngine() { SetEngine(this); }
    ~RecordingEngine() override { SetEngine(nullptr); }

    int Init() override { return 0; }
    int GetFileinfo(const char*, EngineFileInfo*) override { return -1; }
    int GetPicure(const char*, int, const char*, const char*) override { return -1; }
    int Stop() override {
        ++stops;
        if (onStop)
            onStop();
        return 0;
    }
    int SetInfoCallback(KivoInfoCallback callback) override {
        info = callback;
        return 0;
    }
    int SetPercentCallback(KivoPercentCallback callback) override {
        percent = callback;
        return 0;
    }
    int X(KivoWindow* window, int argc, char** argv) override {
        calls.push_back({window, argc, Vector(argv, argv + argc)});
        return 0;
    }

    // Posts the end of call `i` and lets the window handle it.
    void Finish(size_t i) { End(i, KIVO_CONVERSION_FINISHED, nullptr); }

    // Reports `lastLine` (when given) and posts the end of call `i` with `outcome`.
    void End(size_t i, uintptr_t outcome, const char* lastLine) {
        ASSERT_LT(i, calls.size());
        if (lastLine && info)
            info(lastLine);
        calls[i].window->post(calls[i].window, WM_CONVERTDONE, outcome, 0);
        QCoreApplication::sendPostedEvents();
    }

    struct Call {
        KivoWindow* window;
        int argc;
        Vector argv;
    };
    std::vector<Call> calls;
    KivoInfoCallback info = nullptr;
    KivoPercentCallback percent = nullptr;
    int stops = 0;
    std::function<void()> onStop;
};

void Fill(SkinComboBox* list, const QStringList& items, int selected) {
    list->Clear();
    for (const QString& item : items)
        list->AddItem(item);
    list->SetItemIndex(selected);
}

class JobRunner : public testing::Test {
public:
    JobRunner() : window(std::make_unique<Txconverter>()) {}

    Txconverter& w() { return *window; }

    // Settings with exact values; the output folder with blanks around it and no separator.
    void SetUp(DeviceType device) {
        platform::CreateDir(install.OutputRoot());
        w().CurrentDevice = device;
        w().CopyThumbnailToOutput = device == DevPSP;
        Fill(w().combox_videoformat, {"MPEG4", "H264"}, 0);
        Fill(w().combox_resolution, {"320x240", "176x144", "QVGA"}, 0);
        Fill(w().combox_framerate, {"25", "29.97"}, 1);
        w().edit_videoquality->SetText("512");
        Fill(w().ab_dropdown, {"48 kbps", "64 kbps", "128 kbps"}, 2);
        Fill(w().combox_audioHZ, {"8000 Hz", "48000 Hz", "0 Hz"}, 1);
        Fill(w().combox_audiochannels, {"Mono", "Stereo"}, 1);
        Fill(w().combox_outfiletype, {"3G2", "3GP"}, 0);
        w().tr_audio_vol->SetPosition(150);
        w().OutputFolder->SetText("  " + Output() + "  ");
    }

    QString Output() const { return install.OutputRoot() + "job"; }
    std::string OutputPath(const QString& name) const {
        return (Output() + "/" + name).toStdString();
    }

    TItemPanel* AddRow(const QString& source, double duration, const QString& target,
                       int width = 640, int height = 480) {
        TItemPanel* row = w().ListImagePanel->AddItem(install.Path("MP4.jpg"));
        EXPECT_NE(row, nullptr);
        if (!row)
            return nullptr;
        row->SourcePath = source;
        row->Duration = duration;
        row->TargetName = target;
        row->VideoWidth = width;
        row->VideoHeight = height;
        row->PicturePath = install.Path("MP4.jpg");
        return row;
    }

    Vector Expected(const std::string& source, const std::string& duration,
                    const std::string& format, const std::string& output) const {
        return {"hacktest.exe", "-y",      "-t",        duration,     "-i",
                source,         "-vol",    "150",       "-bitexact",  "-vcodec",
                "mpeg4",        "-padtop", "0",         "-padbottom", "0",
                "-padleft",     "0",       "-padright", "0",          "-s",
                "320x240",      "-b",      "512",       "-r",         "29.97",
                "-acodec",      "aac",     "-ac",       "2",          "-ar",
                "48000",        "-ab",     "128",       "-f",         format,
                output};
    }

    const Vector& LastVector() const { return engine.calls.back().argv; }
    std::string Entry(int i) const { return LastVector().at(size_t(i)); }

    bool Running() { return w().Stop->isVisibleTo(&w()) && !w().Run->isVisibleTo(&w()); }
    bool Idle() { return w().Run->isVisibleTo(&w()) && !w().Stop->isVisibleTo(&w()); }

    FakeDialogs dialogs;
    ScratchInstall install;
    RecordingEngine engine;
    std::unique_ptr<Txconverter> window;
};

TEST_F(JobRunner, TheWholeVectorForEachFamily) {
    const struct {
        DeviceType device;
        int outputFileType;
        const char* format;
    } families[] = {
        {Dev3GP, 1, "3gp"}, {Dev3GP, 0, "3g2"},  {Dev3GP, -1, "3g2"},
        {DevPSP, 0, "psp"}, {DevIPOD, 0, "mp4"}, {DevMP4, 0, "mp4"},
    };
    AddRow("/media/holiday film.avi", 12.5, "holiday film.MP4");
    for (const auto& f : families) {
        SCOPED_TRACE(f.format);
        SetUp(f.device);
        w().combox_outfiletype->SetItemIndex(f.outputFileType);
        w().RunClick(w().Run);
        ASSERT_FALSE(engine.calls.empty());
        EXPECT_EQ(engine.calls.back().argc, 36);
        EXPECT_EQ(LastVector(), Expected("/media/holiday film.avi", "12.5", f.format,
                                         OutputPath("holiday film.MP4")));
        EXPECT_NE(engine.info, nullptr);
        EXPECT_NE(engine.percent, nullptr);
        engine.Finish(engine.calls.size() - 1);
        EXPECT_TRUE(Idle());
    }
    EXPECT_TRUE(platform::DirectoryExists(Output()));  // the trimmed folder was created
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
}

TEST_F(JobRunner, TheMarkedRangeSwitchNarrowsTheVectorAndIsKeptInTheCatalog) {
    SetUp(DevMP4);
    TItemPanel* row = AddRow("/media/a.avi", 12.5, "a.MP4");
    row->MarkStart = 2;
    row->MarkEnd = 5;
    const Vector whole = Expected("/media/a.avi", "12.5", "mp4", OutputPath("a.MP4"));
    Vector part = whole;
    part[3] = "3";
    part.insert(part.begin() + 2, {"-ss", "2"});
    auto runOnce = [this] {
        w().RunClick(w().Run);
        engine.Finish(engine.calls.size() - 1);
        return LastVector();
    };
    // Off by default: the drawn range is ignored.
    EXPECT_FALSE(w().ConvertMarkedRange->isChecked());
    EXPECT_EQ(runOnce(), whole);
    // A right click on a row opens the list's menu with the switch.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5));
    QCoreApplication::sendEvent(row, &click);
    EXPECT_TRUE(w().ListMenu->isVisible());
    w().ListMenu->close();
    w().ConvertMarkedRange->trigger();
    EXPECT_EQ(ReadProfileValue("MainSettings", "ConvertMarkedRange", ""), "1");
    EXPECT_EQ(runOnce(), part);
    // Marks that span the file give today's vector with the switch on too.
    row->MarkStart = 0;
    row->MarkEnd = 12;
    EXPECT_EQ(runOnce(), whole);
    // A new window set up for a family reads the switch back, on and then off.
    for (bool on : {true, false}) {
        window = std::make_unique<Txconverter>();
        w().CurrentDevice = DevMP4;
        w().FormShow();
        EXPECT_EQ(w().ConvertMarkedRange->isChecked(), on);
        w().ConvertMarkedRange->trigger();
    }
    EXPECT_EQ(ReadProfileValue("MainSettings", "ConvertMarkedRange", ""), "1");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
}

TEST_F(JobRunner, PdaHasNoFormatAndShowsTheSelectedProfileAgain) {
    WriteProfileValue("PDA", "ProfilesPar1", "256,64,1");
    SetUp(DevPDA);
    Fill(w().ProfilesList, {"Pocket PC, standard", "Pocket PC, small files"}, 1);
    AddRow("/media/a.avi", 60, "a.MP4");
    w().RunClick(w().Run);
    ASSERT_EQ(engine.calls.size(), 1u);
    // The vector carries the settings as they were when the row started.
    EXPECT_EQ(LastVector(), Expected("/media/a.avi", "60", "", OutputPath("a.MP4")));
    // Then the profile was applied again: video bitrate, audio quality by containment, channels.
    EXPECT_EQ(w().edit_videoquality->Text(), "256");
    EXPECT_EQ(w().ab_dropdown->Text(), "64 kbps");
    EXPECT_EQ(w().combox_audiochannels->ItemIndex(), 0);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
    engine.Finish(0);
}

TEST_F(JobRunner, ALongOutputPathIsCarriedWhole) {
    SetUp(DevMP4);
    QString folder = install.OutputRoot();
    // Nested folders, each created in turn, so the path is real: about 300 characters.
    for (int i = 0; folder.size() < 280; ++i) {
        folder += QString(40, QChar('a' + i)) + "/";
        ASSERT_TRUE(platform::CreateDir(folder));
    }
    w().OutputFolder->SetText(folder);
    const QString target = "a clip with a long name " + QString(20, 'z') + ".MP4";
    AddRow("/media/" + QString(260, 's') + ".avi", 1, target);
    w().RunClick(w().Run);
    ASSERT_EQ(engine.calls.size(), 1u);
    const std::string output = (folder + target).toStdString();
    ASSERT_GT(output.size(), 300u);
    EXPECT_EQ(Entry(35), output);
    EXPECT_EQ(Entry(5).size(), 7u + 260 + 4);
    engine.Finish(0);
}

TEST_F(JobRunner, AMalformedSettingShowsTheErrorAndStartsNoRow) {
    const struct {
        const char* name;
        std::function<void(Txconverter&)> change;
        const char* message;
    } cases[] = {
        {"frame size",
         [](Txconverter& w) {
             w.combox_resolution->SetItemIndex(2);
             w.m_checkLetterbox->SetChecked(true);
         },
         "'qvga' is not a valid integer value."},
        {"audio rate of 0", [](Txconverter& w) { w.combox_audioHZ->SetItemIndex(2); },
         "Division by zero."},
        {"no audio quality", [](Txconverter& w) { w.ab_dropdown->SetItemIndex(-1); },
         "'' is not a valid integer value."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window = std::make_unique<Txconverter>();
        dialogs.messages.clear();
        SetUp(DevMP4);
        AddRow("s", 1, "t");
        c.change(w());
        w().Run->Click();  // through the window's guarded handler
        EXPECT_TRUE(engine.calls.empty());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, c.message);
        EXPECT_EQ(dialogs.messages[0].icon, platform::BoxIcon::Error);
        // The window stays Running until Stop, which then says the job was stopped.
        EXPECT_TRUE(Running());
        EXPECT_FALSE(w().combox_audioHZ->isEnabled());
        w().Stop->Click();
        EXPECT_TRUE(Idle());
        EXPECT_TRUE(w().combox_audioHZ->isEnabled());
        EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Stoped by user.");
    }
}

TEST_F(JobRunner, SettingsAboveTheFamilysLevelCeilingAreRefusedBeforeTheRowStarts) {
    const struct {
        DeviceType device;
        int codec;  // position in the codec list: 0 MPEG4, 1 H264
        const char* kbps;
        const char* message;  // empty: the row starts
    } cases[] = {
        {DevIPOD, 1, "1500",
         "the iPod takes at most 768 kbps H.264 at 320x240; lower the video quality."},
        {DevIPOD, 1, "768", ""},
        {DevIPOD, 0, "1500", ""},  // the ceiling is H.264's
        {Dev3GP, 1, "900",
         "a 3GP phone takes at most 768 kbps H.264 at 176x144; lower the video quality."},
        {DevMP4, 1, "1500", ""},  // MP4 players set no ceiling
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kbps) + " kbps, family " + std::to_string(c.device));
        window = std::make_unique<Txconverter>();
        dialogs.messages.clear();
        engine.calls.clear();
        SetUp(c.device);
        if (c.device == Dev3GP)
            w().combox_resolution->SetItemIndex(1);  // 176x144
        w().combox_videoformat->SetItemIndex(c.codec);
        w().edit_videoquality->SetText(c.kbps);
        AddRow("s", 1, "t");
        w().Run->Click();
        if (!*c.message) {
            EXPECT_EQ(engine.calls.size(), 1u);
            EXPECT_TRUE(dialogs.messages.empty());
            engine.Finish(0);
            continue;
        }
        EXPECT_TRUE(engine.calls.empty());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, c.message);
        EXPECT_EQ(dialogs.messages[0].icon, platform::BoxIcon::Error);
        EXPECT_TRUE(Running());
        w().Stop->Click();
    }
}

TEST_F(JobRunner, AnEmptyListIsAnsweredWithTheMessage) {
    SetUp(DevMP4);
    w().ProgressTotal->SetPosition(7);
    w().RunClick(w().Run);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "No file to convert\n,Please click the 'Add Button' to add file to list");
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_TRUE(Idle());
    EXPECT_EQ(w().ProgressTotal->Position(), 7);
    EXPECT_TRUE(w().combox_videoformat->isEnabled());
}

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

    // A stray end message with no conversion of ours outstanding changes nothing.
    platform::PostMessage(w().Handle(), WM_CONVERTDONE, 0, 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w().ProgressTotal->Position(), 1);
    EXPECT_EQ(engine.calls.size(), 1u);
}

TEST_F(JobRunner, StopDuringTheSecondOfThreeRowsAndRunAgain) {
    SetUp(DevMP4);
    for (const char* name : {"a", "b", "c"}) {
        AddRow(QString("/media/%1.avi").arg(name), 1, QString("%1.MP4").arg(name));
    }
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

TEST_F(JobRunner, FailedAndStoppedRowsAreToldByTheEndMessageAndMarkedUntilTheNextRun) {
    SetUp(DevMP4);
    for (const char* name : {"a", "b", "c"}) {
        AddRow(QString("/media/%1.avi").arg(name), 1, QString("%1.MP4").arg(name));
    }
    const auto mark = [this](int row) {
        return w().ListImagePanel->GetItem(unsigned(row))->OutcomeMark.toStdString();
    };
    w().RunClick(w().Run);
    engine.End(0, KIVO_CONVERSION_FINISHED, "Finished a.avi");
    engine.End(1, KIVO_CONVERSION_FAILED, "Failed: b.avi: could not read the source");
    // The outcome is the end message's, whatever the text says.
    engine.End(2, KIVO_CONVERSION_FINISHED, "Failed: c.avi: words only");
    EXPECT_EQ(w().Converting_Infor->text(),
              "Process Info :  Job Finished. 1 of 3 files failed: b.avi (the source could not "
              "be read)");
    EXPECT_EQ(mark(0), "");
    EXPECT_EQ(mark(1), "failed: the source could not be read");
    EXPECT_TRUE(w().ListImagePanel->GetItem(1)->OutcomeFailed);
    EXPECT_TRUE(w().ListImagePanel->GetItem(1)->TextLabel->text().endsWith(
        "End Point:0\nfailed: the source could not be read"));
    EXPECT_EQ(mark(2), "");

    // The next Run takes the marks away; a stopped row says what it kept and is no failure.
    w().RunClick(w().Run);
    EXPECT_EQ(mark(1), "");
    EXPECT_FALSE(w().ListImagePanel->GetItem(1)->TextLabel->text().contains("failed"));
    engine.End(3, KIVO_CONVERSION_FINISHED, "Finished a.avi");
    w().StopClick(w().Stop);
    engine.End(4, KIVO_CONVERSION_STOPPED, "Stopped by user: b.avi, the first 00:00:22 are kept");
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Stoped by user.");
    EXPECT_EQ(mark(1), "stopped: the first 00:22 kept");
    EXPECT_FALSE(w().ListImagePanel->GetItem(1)->OutcomeFailed);
    EXPECT_EQ(mark(2), "");
}

TEST_F(JobRunner, RunBeforeTheStoppedRowHasEndedWaitsForIt) {
    SetUp(DevMP4);
    for (const char* name : {"a", "b", "c"}) {
        AddRow(QString("/media/%1.avi").arg(name), 1, QString("%1.MP4").arg(name));
    }
    w().RunClick(w().Run);
    w().StopClick(w().Stop);
    w().RunClick(w().Run);  // the stopped row's end has not arrived yet
    EXPECT_TRUE(Running());
    EXPECT_EQ(engine.calls.size(), 1u);  // the first row waits for the stopped conversion

    // Reports still arriving from the stopped conversion do not show in the new job.
    w().Converting_Infor->setText("Process Info : ");
    engine.info("stopping a.avi");
    engine.percent(55);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info : ");

    engine.Finish(0);  // the late end: the new job's first row starts now
    ASSERT_EQ(engine.calls.size(), 2u);
    EXPECT_EQ(engine.calls[1].argv[5], "/media/a.avi");
    EXPECT_EQ(w().ProgressTotal->Position(), 0);
    EXPECT_EQ(w().CurrentRow, 0);
    EXPECT_TRUE(Running());
    EXPECT_NE(w().Converting_Infor->text(), "Process Info :  Stoped by user.");

    engine.info("converting a.avi");
    QCoreApplication::sendPostedEvents();
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
    AddRow("/media/a.avi", 1, "a.MP4");
    AddRow("/media/b.avi", 1, "b.MP4");
    w().RunClick(w().Run);
    w().FormClose();
    EXPECT_EQ(engine.stops, 1);
    EXPECT_EQ(w().ListImagePanel->ItemCount, 0);
    EXPECT_TRUE(Idle());

    engine.info("stopped a.avi");
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
    engine.Finish(0);
    QFile copy(thm), still(install.Path("MP4.jpg"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    ASSERT_TRUE(still.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), still.readAll());

    // Other families write no THM; a missing still is ignored.
    QFile::remove(thm);
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
}

TEST_F(JobRunner, ReportsFromTheEnginesThreadShowInOrderOnTheWindowsThread) {
    SetUp(DevMP4);
    AddRow("/media/a.avi", 1, "a.MP4");
    w().RunClick(w().Run);
    ASSERT_NE(engine.info, nullptr);
    const KivoInfoCallback info = engine.info;
    const KivoPercentCallback percent = engine.percent;
    KivoWindow* const handle = engine.calls[0].window;
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) {
            percent(i % 90);
            std::string text = "converting " + std::to_string(i);
            info(text.c_str());
        }
        percent(250);  // clamped to 100
        info("finished a.avi");
        handle->post(handle, WM_CONVERTDONE, 0, 0);
    });
    worker.join();
    // Nothing was touched from the engine's thread.
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info : ");
    QCoreApplication::sendPostedEvents();
    // The end message came after the reports and was handled after them.
    EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Job Finished.");
    EXPECT_EQ(w().ProgressFile->Position(), 100);

    // Reports that come after the window is gone go nowhere.
    window.reset();
    info("late");
    percent(-20);
    QCoreApplication::sendPostedEvents();
}

TEST_F(JobRunner, DestroyingTheWindowDuringAJobStopsTheEngineAndWaitsForItsEnd) {
    SetUp(DevMP4);
    AddRow("/media/a.avi", 1, "a.MP4");
    w().RunClick(w().Run);
    KivoWindow* handle = engine.calls[0].window;
    std::thread worker;
    std::atomic<bool> ended = false;
    engine.onStop = [&] {
        worker = std::thread([&ended, handle] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ended = true;
            handle->post(handle, WM_CONVERTDONE, 0, 0);
        });
    };
    window.reset();
    EXPECT_EQ(engine.stops, 1);
    EXPECT_TRUE(ended);
    worker.join();
    QCoreApplication::sendPostedEvents();  // the end message finds no window
}

}  // namespace

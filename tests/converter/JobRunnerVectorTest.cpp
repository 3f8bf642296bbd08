// What the job runner hands the engine: the vector from a row and the settings, and the
// settings it refuses before a row starts.
#include <gtest/gtest.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

#include "JobRunnerFixture.h"

namespace {

using namespace job_runner;

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
        EXPECT_NE(engine.calls.back().events.status, nullptr);
        EXPECT_NE(engine.calls.back().events.progress, nullptr);
        EXPECT_NE(engine.calls.back().events.end, nullptr);
        engine.Finish(engine.calls.size() - 1);
        EXPECT_TRUE(Idle());
    }
    EXPECT_TRUE(platform::DirectoryExists(Output()));  // the trimmed folder was created
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
}

TEST_F(JobRunner, TheMarkedRangeSwitchNarrowsTheVectorAndIsKeptInTheCatalog) {
    SetUp(DevMP4);
    TItemPanel* row = AddRow("/media/a.avi", 12.5, "a.MP4");
    row->StartPoint = 2;
    row->EndPoint = 5;
    const Vector whole = Expected("/media/a.avi", "12.5", "mp4", OutputPath("a.MP4"));
    Vector part = whole;
    part[3] = "3";
    part.insert(part.begin() + 2, {"-ss", "2"});
    auto runOnce = [this] {
        w().RunClick(w().Run);
        engine.Finish(engine.calls.size() - 1);
        return LastVector();
    };
    // On by default: the marks are the user's instruction.
    EXPECT_TRUE(w().ConvertMarkedRange->isChecked());
    EXPECT_EQ(runOnce(), part);
    // A right click on a row opens the list's menu with the switch; off, the range is ignored.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5));
    QCoreApplication::sendEvent(row, &click);
    EXPECT_TRUE(w().ListMenu->isVisible());
    w().ListMenu->close();
    w().ConvertMarkedRange->trigger();
    EXPECT_EQ(ReadProfileValue("MainSettings", "ConvertMarkedRange", ""), "Off");
    EXPECT_EQ(runOnce(), whole);
    w().ConvertMarkedRange->trigger();
    EXPECT_EQ(ReadProfileValue("MainSettings", "ConvertMarkedRange", ""), "1");
    EXPECT_EQ(runOnce(), part);
    // Marks that span the file give today's vector with the switch on too.
    row->StartPoint = 0;
    row->EndPoint = 12;
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

TEST_F(JobRunner, TheLetterboxFollowsThePictureAsShownAndIsKeptInTheCatalog) {
    SetUp(DevMP4);
    TItemPanel* dvd = AddRow("/media/dvd.vob", 12.5, "dvd.MP4", 720, 480);
    dvd->SampleAspectNum = 32;  // 16:9 in 720x480 samples
    dvd->SampleAspectDen = 27;
    TItemPanel* phone = AddRow("/media/phone.mp4", 4.92, "phone.MP4", 1920, 1080);
    phone->Rotation = 90;  // filmed upright
    auto pads = [this] {
        const Vector& v = LastVector();
        return v.at(12) + " " + v.at(14) + " " + v.at(16) + " " + v.at(18);
    };
    auto run = [&] {
        std::vector<std::string> seen;
        w().RunClick(w().Run);
        seen.push_back(pads());
        engine.Finish(engine.calls.size() - 1);
        seen.push_back(pads() + " for " + Entry(3) + " s");
        engine.Finish(engine.calls.size() - 1);
        return seen;
    };
    // Unticked the picture fills the frame; ticked, bars keep the shape a player shows.
    EXPECT_FALSE(w().m_checkLetterbox->Checked());
    EXPECT_EQ(run(), std::vector<std::string>({"0 0 0 0", "0 0 0 0 for 4.92 s"}));
    w().m_checkLetterbox->Click();
    EXPECT_EQ(ReadProfileValue("MainSettings", "Letterbox", ""), "1");
    EXPECT_EQ(run(), std::vector<std::string>({"30 30 0 0", "0 0 92 92 for 4.92 s"}));
    // A new window set up for a family finds the box as it was left, ticked and then not.
    for (bool on : {true, false}) {
        window = std::make_unique<Txconverter>();
        w().CurrentDevice = Dev3GP;
        w().FormShow();
        EXPECT_EQ(w().m_checkLetterbox->Checked(), on);
        w().m_checkLetterbox->Click();
    }
    EXPECT_EQ(ReadProfileValue("MainSettings", "Letterbox", ""), "1");
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

// A malformed setting, or one above the family's level ceiling, shows its error before the row
// starts; the window stays Running until Stop, which then says the job was stopped.
TEST_F(JobRunner, RefusedSettingsShowTheErrorAndStartNoRow) {
    const auto video = [](int codec, const char* kbps, int resolution = 0) {
        return [=](Txconverter& w) {
            w.combox_resolution->SetItemIndex(resolution);
            w.combox_videoformat->SetItemIndex(codec);  // 0 MPEG4, 1 H264
            w.edit_videoquality->SetText(kbps);
        };
    };
    const struct {
        const char* name;
        DeviceType device;
        std::function<void(Txconverter&)> change;
        const char* message;  // empty: the row starts
    } cases[] = {
        {"frame size", DevMP4,
         [](Txconverter& w) {
             w.combox_resolution->SetItemIndex(2);
             w.m_checkLetterbox->SetChecked(true);
         },
         "'qvga' is not a valid integer value."},
        {"audio rate of 0", DevMP4, [](Txconverter& w) { w.combox_audioHZ->SetItemIndex(2); },
         "Division by zero."},
        {"no audio quality", DevMP4, [](Txconverter& w) { w.ab_dropdown->SetItemIndex(-1); },
         "'' is not a valid integer value."},
        {"iPod H.264 1500", DevIPOD, video(1, "1500"),
         "the iPod takes at most 768 kbps H.264 at 320x240; lower the video quality."},
        {"iPod H.264 768", DevIPOD, video(1, "768"), ""},
        {"iPod MPEG4 1500", DevIPOD, video(0, "1500"), ""},  // the ceiling is H.264's
        {"3GP H.264 900", Dev3GP, video(1, "900", 1),
         "a 3GP phone takes at most 768 kbps H.264 at 176x144; lower the video quality."},
        {"MP4 H.264 1500", DevMP4, video(1, "1500"), ""},  // MP4 players set no ceiling
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window = std::make_unique<Txconverter>();
        dialogs.messages.clear();
        engine.calls.clear();
        SetUp(c.device);
        AddRow("s", 1, "t");
        c.change(w());
        w().Run->Click();  // through the window's guarded handler
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
        EXPECT_FALSE(w().combox_audioHZ->isEnabled());
        w().Stop->Click();
        EXPECT_TRUE(Idle());
        EXPECT_TRUE(w().combox_audioHZ->isEnabled());
        EXPECT_EQ(w().Converting_Infor->text(), "Process Info :  Stoped by user.");
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

}  // namespace

// The custom profile editor: the copy of the converter window's settings it starts from, the
// description and parameter row it stores, where it stores them, what the converter window shows
// afterwards, and what a failed write leaves.
#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "converter/Txconverter.h"
#include "profiles/TProfile.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/ImageButton.h"
#include "skin/SkinButton.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinSpinEdit.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

const QByteArray kFamilies =
    "[3GP]\n"
    "Profiles0=Phone\nProfilesPar0=176x144,192,15,32,1\n"
    "VideoCodec0=MPEG4\nVideoCodec1=H263\n"
    "Resolution0=128x96\nResolution1=160x120\n"
    "Framerate0=10\nFramerate1=15\n"
    "OutputFileType0=3G2\nOutputFileType1=3GP\n"
    "AudioFrameRate0=8000 Hz\nAudioFrameRate1=22050 Hz\n"
    "AudiobitRate0=32 kbps\nAudiobitRate1=64 kbps\n"
    "AudioChannels0=Mono\nAudioChannels1=Stereo\n"
    "DefaultAudiobitRateIndex=0\nDefaultVideoCodec=MPEG4\nDefaultOutputFileType=3GP\n"
    "DefaultAudioFrameRate=8000 Hz\n"
    "[PSP]\n"
    "Profiles0=Standard\nProfilesPar0=768,128,2\n"
    "Profiles1=Small\nProfilesPar1=384,64,2\n"
    "VideoCodec0=MPEG4\nVideoCodec1=H264\n"
    "Resolution0=320x240\nResolution1=480x272\n"
    "Framerate0=25\nFramerate1=29.97\n"
    "OutputFileType0=MP4\n"
    "AudioFrameRate0=24000 Hz\nAudioFrameRate1=48000 Hz\n"
    "AudiobitRate0=64 kbps\nAudiobitRate1=128 kbps\n"
    "AudioChannels0=Mono\nAudioChannels1=Stereo\n"
    "DefaultResolution=320x240\nDefaultFramerate=29.97\nDefaultVideoCodec=MPEG4\n"
    "DefaultOutputFileType=MP4\nDefaultAudioFrameRate=48000 Hz\n"
    "[PDA]\n"
    "Profiles0=Pocket PC\nProfilesPar0=384,64,2\n"
    "AudiobitRate0=64 kbps\nAudioChannels0=Mono\nAudioChannels1=Stereo\n";

class ProfileEditor : public ::testing::Test {
protected:
    void SetUp() override { Store(kFamilies); }
    void TearDown() override { QFile::setPermissions(Db(), QFile::ReadOwner | QFile::WriteOwner); }
    QString Db() const { return install_.Path("KivoMp4.dll"); }
    void Store(const QByteArray& content) {
        QFile file(Db());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray Stored() const {
        QFile file(Db());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void Open(DeviceType device) {
        window_.CurrentDevice = device;
        window_.ResetWindow();
        window_.LoadDeviceProfiles(device);
    }
    // The user opens the editor from the converter window and `act`s in it.
    void InEditor(const std::function<void()>& act) {
        dialogs_.onModal = [&](QDialog& dialog) {
            dialog.show();  // runs FormShow
            act();
            const bool open = dialog.isVisible();
            dialog.hide();
            stayedOpen_ = open;
            return dialog.result();
        };
        window_.CustomProfileButton->OnClick(window_.CustomProfileButton);
    }
    void Save() { editor_.BtnSaveProfile->OnClick(editor_.BtnSaveProfile); }
    void Cancel() { editor_.BtnCancelProfile->OnClick(editor_.BtnCancelProfile); }
    QString Read(const QString& section, const QString& key) {
        return ReadProfileValue(section, key, "NoData");
    }

    FakeDialogs dialogs_;
    ScratchInstall install_;
    Txconverter window_;
    TProfile editor_;
    bool stayedOpen_ = false;
};

TEST_F(ProfileEditor, OpensWithACopyOfTheConverterSettings) {
    Open(DevPSP);
    window_.combox_resolution->SetItemIndex(1);
    window_.combox_outfiletype->SetItemIndex(-1);
    window_.edit_videoquality->SetText("abc");
    editor_.ProfileName->SetText("Kept");
    InEditor([&] {
        const struct {
            SkinComboBox* editor;
            SkinComboBox* converter;
        } pairs[] = {{editor_.combox_videoformat, window_.combox_videoformat},
                     {editor_.combox_resolution, window_.combox_resolution},
                     {editor_.combox_framerate, window_.combox_framerate},
                     {editor_.combox_audioHZ, window_.combox_audioHZ},
                     {editor_.ab_dropdown, window_.ab_dropdown},
                     {editor_.combox_audiochannels, window_.combox_audiochannels},
                     {editor_.combox_outfiletype, window_.combox_outfiletype}};
        for (const auto& p : pairs) {
            ASSERT_EQ(p.editor->Count(), p.converter->Count());
            for (int i = 0; i < p.editor->Count(); ++i) {
                EXPECT_EQ(p.editor->Item(i), p.converter->Item(i));
            }
            EXPECT_EQ(p.editor->ItemIndex(), p.converter->ItemIndex())
                << p.editor->objectName().toStdString();
        }
        EXPECT_EQ(editor_.edit_videoquality->Text(), "0");  // not a number in the converter
        EXPECT_EQ(editor_.ProfileName->Text(), "Kept");
        EXPECT_EQ(editor_.ResolutionHint->text(), "\"width\" x \"height\"");
        EXPECT_EQ(editor_.windowTitle(), "Profile");
    });
}

TEST_F(ProfileEditor, SavesDescriptionAndParametersAtTheFirstFreePosition) {
    Open(Dev3GP);
    window_.combox_resolution->SetItemIndex(1);
    window_.edit_videoquality->SetText("512");
    InEditor([&] {
        EXPECT_EQ(editor_.ProfileName->Text(), "CustomDevice");
        Save();
    });
    const QString description =
        "Custom->CustomDevice (Video:160x120,512Kbps,15fps;Audio:8000 Hz,32 kbps,Mono)";
    EXPECT_EQ(Read("3GP", "CustomProfile0"), description);
    EXPECT_EQ(Read("3GP", "CustomProfilePar0"), "0,1,1,512,0,0,0,1");
    EXPECT_FALSE(stayedOpen_);

    // The same settings again: a second position with the same description; picking either
    // entry applies the first.
    InEditor([&] { Save(); });
    EXPECT_EQ(Read("3GP", "CustomProfile1"), description);
    window_.edit_videoquality->SetText("1");
    window_.ProfilesList->SetItemIndex(2);
    window_.ProfilesList->OnChange(window_.ProfilesList);
    EXPECT_EQ(window_.edit_videoquality->Text(), "512");

    // Other sections do not count; gaps are filled from the start.
    Store(kFamilies +
          "[MP4]\nCustomProfile0=Custom->a\nCustomProfile1=Custom->b\n"
          "CustomProfile2=Custom->c\n");
    WriteProfileValue("PSP", "CustomProfile0", "Custom->x");
    WriteProfileValue("PSP", "CustomProfilePar0", "0,0,0,1,0,0,0,0");
    WriteProfileValue("PSP", "CustomProfile1", "Custom->y");
    WriteProfileValue("PSP", "CustomProfilePar1", "0,0,0,2,0,0,0,0");
    WriteProfileValue("PDA", "CustomProfile1", "Custom->after a gap");
    Open(DevPSP);
    InEditor([&] { Save(); });
    EXPECT_NE(Read("PSP", "CustomProfile2"), "NoData");
    Open(DevPDA);
    InEditor([&] { Save(); });
    EXPECT_TRUE(Read("PDA", "CustomProfile0").startsWith("Custom->CustomDevice ("));
    Open(DevPDA);
    EXPECT_EQ(window_.ProfilesList->Count(), 3);
    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.LastText().toStdString();
}

TEST_F(ProfileEditor, ThreeGpAppliesTheNewProfileOtherFamiliesKeepTheirSelection) {
    Open(Dev3GP);
    InEditor([&] {
        editor_.combox_resolution->SetItemIndex(0);
        editor_.combox_framerate->SetItemIndex(0);
        editor_.edit_videoquality->SetText("300");
        editor_.combox_audioHZ->SetItemIndex(1);
        editor_.ab_dropdown->SetItemIndex(1);
        editor_.combox_audiochannels->SetItemIndex(1);
        editor_.combox_outfiletype->SetItemIndex(0);
        editor_.combox_videoformat->SetItemIndex(1);
        Save();
    });
    EXPECT_EQ(window_.ProfilesList->Count(), 2);
    EXPECT_EQ(window_.ProfilesList->ItemIndex(), 1);
    for (auto [converter, editor] :
         {std::pair{window_.combox_videoformat, editor_.combox_videoformat},
          {window_.combox_resolution, editor_.combox_resolution},
          {window_.combox_framerate, editor_.combox_framerate},
          {window_.combox_audioHZ, editor_.combox_audioHZ},
          {window_.ab_dropdown, editor_.ab_dropdown},
          {window_.combox_audiochannels, editor_.combox_audiochannels},
          {window_.combox_outfiletype, editor_.combox_outfiletype}}) {
        EXPECT_EQ(converter->ItemIndex(), editor->ItemIndex())
            << converter->objectName().toStdString();
    }
    EXPECT_EQ(window_.edit_videoquality->Text(), "300");

    // PSP: appended unselected; the entry selected before is applied again, so nothing of the
    // editor's changes reaches the converter window.
    Open(DevPSP);
    window_.ProfilesList->SetItemIndex(1);
    window_.edit_videoquality->SetText("5");
    InEditor([&] {
        editor_.edit_videoquality->SetText("900");
        editor_.ab_dropdown->SetItemIndex(1);
        Save();
    });
    EXPECT_EQ(window_.ProfilesList->Count(), 3);
    EXPECT_EQ(window_.ProfilesList->ItemIndex(), 1);
    EXPECT_TRUE(
        window_.ProfilesList->Item(2).startsWith("Custom->CustomDevice (Video:320x240,900Kbps,"));
    EXPECT_EQ(window_.edit_videoquality->Text(), "384");
    EXPECT_EQ(window_.ab_dropdown->Text(), "64 kbps");
}

TEST_F(ProfileEditor, NamesAndEmptySelections) {
    Open(DevPSP);
    const struct {
        const char* typed;
        const char* descriptionStart;
    } names[] = {
        {"   ", "Custom-> ("},
        {"  Trip \t", "Custom->Trip ("},
        {"", "Custom->CustomDevice ("},
    };
    int n = 0;
    for (const auto& c : names) {
        editor_.ProfileName->SetText(c.typed);
        InEditor([&] { Save(); });
        EXPECT_TRUE(
            Read("PSP", "CustomProfile" + QString::number(n++)).startsWith(c.descriptionStart))
            << c.typed;
    }
    // The name field keeps what was typed for the next opening.
    editor_.ProfileName->SetText("  Trip ");
    InEditor([&] { Save(); });
    EXPECT_EQ(editor_.ProfileName->Text(), "  Trip ");

    // Lists without a selection give -1 positions and empty pieces.
    for (SkinComboBox* list :
         {window_.combox_videoformat, window_.combox_resolution, window_.combox_framerate,
          window_.combox_audioHZ, window_.ab_dropdown, window_.combox_audiochannels,
          window_.combox_outfiletype}) {
        list->SetItemIndex(-1);
    }
    InEditor([&] {
        editor_.ProfileName->SetText("None");
        editor_.edit_videoquality->SetText("5 12");
        Save();
    });
    EXPECT_EQ(Read("PSP", "CustomProfile4"), "Custom->None (Video:,5 12Kbps,fps;Audio:,,)");
    // A bitrate text with a blank is stored quoted, so the row keeps its eight fields.
    EXPECT_EQ(Read("PSP", "CustomProfilePar4"), "-1,-1,-1,\"5 12\",-1,-1,-1,-1");
    Open(DevPSP);
    window_.ProfilesList->SetItemIndex(6);
    window_.ProfilesList->OnChange(window_.ProfilesList);
    EXPECT_EQ(window_.edit_videoquality->Text(), "5 12");
    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.LastText().toStdString();
}

TEST_F(ProfileEditor, CancelChangesNothing) {
    Open(Dev3GP);
    const QByteArray before = Stored();
    const int selected = window_.combox_resolution->ItemIndex();
    InEditor([&] {
        for (SkinComboBox* list :
             {editor_.combox_videoformat, editor_.combox_resolution, editor_.combox_framerate,
              editor_.combox_audioHZ, editor_.ab_dropdown, editor_.combox_audiochannels,
              editor_.combox_outfiletype}) {
            list->SetItemIndex(list->Count() - 1);
        }
        editor_.edit_videoquality->SetText("1");
        editor_.ProfileName->SetText("Changed");
        Cancel();
    });
    EXPECT_FALSE(stayedOpen_);
    EXPECT_EQ(Stored(), before);
    EXPECT_EQ(window_.ProfilesList->Count(), 1);
    EXPECT_EQ(window_.combox_resolution->ItemIndex(), selected);
    EXPECT_EQ(window_.edit_videoquality->Text(), "192");
}

TEST_F(ProfileEditor, AFailedWriteKeepsTheEditorOpenAndTheListUnchanged) {
    Open(Dev3GP);
    const QByteArray before = Stored();
    ASSERT_TRUE(QFile::setPermissions(Db(), QFile::ReadOwner));
    InEditor([&] { Save(); });
    EXPECT_TRUE(stayedOpen_);
    EXPECT_EQ(dialogs_.LastText(), "Unable to write to " + Db() + ".");
    EXPECT_EQ(window_.ProfilesList->Count(), 1);
    EXPECT_EQ(Stored(), before);
}

}  // namespace

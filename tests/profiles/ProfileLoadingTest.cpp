// Loading a family's profiles into the converter window and applying the profile the user picks:
// selection rules, the differences between the 3GP family and the player families, custom
// profiles, and the errors a malformed database raises.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

#include "converter/Txconverter.h"
#include "platform/core/Errors.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinSpinEdit.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

const QByteArray k3GP =
    "[3GP]\n"
    "Profiles0=Small\n"
    "ProfilesPar0=128x96,64,10,32,1\n"
    "Profiles1=Big\n"
    "ProfilesPar1=176x144 , 256 , 15 , 32 , 2\n"
    "CustomProfile0=Custom->Mine\n"
    "CustomProfilePar0=1,0,1,300,2,0,1,0\n"
    "DefaultProfiles=1\n"
    "VideoCodec0=MPEG4\nVideoCodec1=H263\n"
    "Resolution0=128x96\nResolution1=176x144\n"
    "Framerate0=10\nFramerate1=15\n"
    "OutputFileType0=3G2\nOutputFileType1=3GP\n"
    "AudioFrameRate0=8000 Hz\nAudioFrameRate1=15\nAudioFrameRate2=22050 Hz\n"
    "AudiobitRate0=32 kbps\nAudiobitRate1=64 kbps\n"
    "AudioChannels0=Mono\nAudioChannels1=Stereo\n"
    "DefaultAudiobitRateIndex=1\n"
    "DefaultVideoCodec=H263\n"
    "DefaultOutputFileType=3GP\n"
    "DefaultAudioFrameRate=22050 Hz\n";

// A player family; the same lists serve PSP and IPOD.
QByteArray PlayerSection(const char* section, const QByteArray& extra = {}) {
    return QByteArray("[") + section + "]\n" +
           "Profiles0=Standard\nProfilesPar0=512,64,2\n"
           "Profiles1=Mono\nProfilesPar1=768,128,1\n"
           "Profiles2=Three channels\nProfilesPar2=384,32,3\n"
           "Profiles3=No channels\nProfilesPar3=400,32,0\n"
           "VideoCodec0=MPEG4\nVideoCodec1=H264\n"
           "Resolution0=320x240\nResolution1=368x208\n"
           "Framerate0=15\nFramerate1=25\n"
           "OutputFileType0=MP4\n"
           "AudioFrameRate0=24000 Hz\nAudioFrameRate1=48000 Hz\n"
           "AudiobitRate0=32 kbps\nAudiobitRate1=164 kbps\nAudiobitRate2=64 kbps\n"
           "AudiobitRate3=128 kbps\n"
           "AudioChannels0=Mono\nAudioChannels1=Stereo\n"
           "DefaultResolution=368x208\nDefaultFramerate=25\n"
           "DefaultVideoCodec=MPEG4\nDefaultOutputFileType=MP4\n"
           "DefaultAudioFrameRate=48000 Hz\n" +
           extra;
}

class ProfileLoading : public ::testing::Test {
protected:
    void Store(const QByteArray& content) {
        QFile file(install_.Path("KivoMp4.dll"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[MainSettings]\nDefaultOutputMainPath=" + install_.OutputRoot().toUtf8() +
                   "\n" + content);
    }
    // The converter window as its set-up leaves it before the profiles are loaded.
    void Load(DeviceType device) {
        window_.CurrentDevice = device;
        window_.ResetWindow();
        window_.LoadDeviceProfiles(device);
    }
    // What a pick of entry `index` by the user does.
    void Pick(int index) {
        window_.ProfilesList->SetItemIndex(index);
        window_.ProfilesList->OnChange(window_.ProfilesList);
    }
    QString Failure(DeviceType device) {
        try {
            Load(device);
        } catch (const QorError& error) {
            return error.Message();
        }
        return "no error";
    }
    QStringList Items(SkinComboBox* list) {
        QStringList items;
        for (int i = 0; i < list->Count(); ++i)
            items << list->Item(i);
        return items;
    }
    QString Video() { return window_.edit_videoquality->Text(); }

    FakeDialogs dialogs_;
    ScratchInstall install_;
    Txconverter window_;
};

TEST_F(ProfileLoading, ThreeGpLoadsListsDefaultsAndTheDefaultProfile) {
    Store(k3GP);
    Load(Dev3GP);
    const Txconverter& w = window_;
    EXPECT_EQ(Items(w.ProfilesList), QStringList({"Small", "Big", "Custom->Mine"}));
    EXPECT_EQ(w.ProfilesList->ItemIndex(), 1);
    EXPECT_EQ(Items(w.combox_audioHZ), QStringList({"8000 Hz", "15", "22050 Hz"}));
    EXPECT_EQ(Items(w.combox_audiochannels), QStringList({"Mono", "Stereo"}));
    // The default profile ("Big") with the family defaults; field 4 is not applied.
    EXPECT_EQ(w.combox_resolution->Text(), "176x144");
    EXPECT_EQ(Video(), "256");
    EXPECT_EQ(w.combox_framerate->Text(), "15");
    EXPECT_EQ(w.combox_audiochannels->Text(), "Stereo");
    EXPECT_EQ(w.ab_dropdown->Text(), "64 kbps");
    EXPECT_EQ(w.combox_videoformat->Text(), "H263");
    EXPECT_EQ(w.combox_outfiletype->Text(), "3GP");
    EXPECT_EQ(w.combox_audioHZ->Text(), "22050 Hz");
}

TEST_F(ProfileLoading, ThreeGpProfileChangeSetsItsFourSettingsOnly) {
    Store(k3GP);
    Load(Dev3GP);
    Pick(0);
    EXPECT_EQ(window_.combox_resolution->Text(), "128x96");
    EXPECT_EQ(Video(), "64");
    EXPECT_EQ(window_.combox_framerate->Text(), "10");
    EXPECT_EQ(window_.combox_audiochannels->Text(), "Mono");
    EXPECT_EQ(window_.ab_dropdown->Text(), "64 kbps");
    EXPECT_EQ(window_.combox_videoformat->Text(), "H263");
    EXPECT_EQ(window_.combox_outfiletype->Text(), "3GP");
    EXPECT_EQ(window_.combox_audioHZ->Text(), "22050 Hz");
    // A sample-rate item with the text of the frame rate gets selected on a change.
    Pick(1);
    EXPECT_EQ(window_.combox_audioHZ->Text(), "15");
    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.LastText().toStdString();
}

TEST_F(ProfileLoading, PlayerFamiliesTakeSizeAndRateFromTheFamilyDefaults) {
    for (DeviceType device : {DevPSP, DevIPOD}) {
        const char* section = device == DevPSP ? "PSP" : "IPOD";
        SCOPED_TRACE(section);
        Store(PlayerSection(section));
        Load(device);
        EXPECT_EQ(window_.ProfilesList->ItemIndex(), 0);
        EXPECT_EQ(window_.combox_resolution->Text(), "368x208");
        EXPECT_EQ(window_.combox_framerate->Text(), "25");
        EXPECT_EQ(Video(), "512");
        // Containment: "64" is first found in "164 kbps".
        EXPECT_EQ(window_.ab_dropdown->Text(), "164 kbps");
        EXPECT_EQ(window_.combox_audiochannels->Text(), "Stereo");
        EXPECT_EQ(window_.combox_audioHZ->Text(), "48000 Hz");

        // A hand-picked size and rate survive a change of profile.
        window_.combox_resolution->SetItemIndex(0);
        window_.combox_framerate->SetItemIndex(0);
        window_.combox_audioHZ->SetItemIndex(0);
        Pick(1);
        EXPECT_EQ(window_.combox_resolution->Text(), "320x240");
        EXPECT_EQ(window_.combox_framerate->Text(), "15");
        EXPECT_EQ(window_.combox_audioHZ->Text(), "24000 Hz");
        EXPECT_EQ(Video(), "768");
        EXPECT_EQ(window_.ab_dropdown->Text(), "128 kbps");
        EXPECT_EQ(window_.combox_audiochannels->Text(), "Mono");
    }
    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.LastText().toStdString();
}

TEST_F(ProfileLoading, ChannelCountsSelectByPosition) {
    Store(PlayerSection("MP4"));
    Load(DevMP4);
    const struct {
        int profile;
        int channelIndex;
    } cases[] = {{0, 1}, {1, 0}, {2, -1}, {3, -1}};
    for (const auto& c : cases) {
        Pick(c.profile);
        EXPECT_EQ(window_.combox_audiochannels->ItemIndex(), c.channelIndex) << c.profile;
    }
}

TEST_F(ProfileLoading, DefaultProfilePositions) {
    // "DefaultProfiles" naming the custom entry or a position outside the list: the lookup
    // finds no built-in parameters and fails, after every list was filled.
    for (const char* position : {"2", "7"}) {
        QByteArray content = k3GP;
        content.replace("DefaultProfiles=1", QByteArray("DefaultProfiles=") + position);
        Store(content);
        EXPECT_EQ(Failure(Dev3GP), "'' is not a valid integer value") << position;
        EXPECT_EQ(window_.combox_audioHZ->Count(), 3);
        EXPECT_EQ(window_.ab_dropdown->Text(), "64 kbps");
        EXPECT_EQ(window_.combox_resolution->ItemIndex(), -1);
    }
    // Absent: the first entry.
    QByteArray content = k3GP;
    content.replace("DefaultProfiles=1\n", "");
    Store(content);
    Load(Dev3GP);
    EXPECT_EQ(window_.ProfilesList->ItemIndex(), 0);
    EXPECT_EQ(Video(), "64");
    // An empty profile list selects nothing, and the lookup reads "ProfilesPar-1".
    Store("[MP4]\nProfilesPar-1=300,64,2\nAudiobitRate0=64 kbps\n");
    Load(DevMP4);
    EXPECT_EQ(window_.ProfilesList->ItemIndex(), -1);
    EXPECT_EQ(Video(), "300");
    EXPECT_EQ(window_.ab_dropdown->Text(), "64 kbps");
    // A missing section fails on the empty first field.
    Store("");
    EXPECT_EQ(Failure(DevPDA), "'' is not a valid integer value");
    // A "DefaultProfiles" that is no number ends the load before the value lists are filled.
    content = k3GP;
    content.replace("DefaultProfiles=1", "DefaultProfiles=one");
    Store(content);
    EXPECT_EQ(Failure(Dev3GP), "'one' is not a valid integer value");
    EXPECT_EQ(window_.ProfilesList->Count(), 3);
    EXPECT_EQ(window_.combox_audioHZ->Count(), 0);
}

TEST_F(ProfileLoading, DefaultsThatNameNoItemLeaveNoSelection) {
    QByteArray content = PlayerSection("PDA");
    content.replace("DefaultVideoCodec=MPEG4", "DefaultVideoCodec=mpeg4");
    content.replace("DefaultResolution=368x208", "DefaultResolution=640x480");
    Store(content);
    Load(DevPDA);
    EXPECT_EQ(window_.combox_videoformat->ItemIndex(), -1);
    EXPECT_EQ(window_.combox_resolution->ItemIndex(), -1);
    EXPECT_EQ(window_.combox_framerate->Text(), "25");
}

TEST_F(ProfileLoading, MalformedBuiltInParametersChangeNothingOrStopInOrder) {
    // A short value: every field is taken before any control changes.
    Store(PlayerSection("PSP", "Profiles4=Short\nProfilesPar4=900,96\n"));
    Load(DevPSP);
    window_.ProfilesList->SetItemIndex(4);
    try {
        window_.ApplySelectedProfile(DevPSP);
        ADD_FAILURE() << "a short parameter value was applied";
    } catch (const EListError& error) {
        EXPECT_EQ(error.Message(), "List index out of bounds (2)");
    }
    EXPECT_EQ(Video(), "512");
    EXPECT_EQ(window_.ab_dropdown->Text(), "164 kbps");

    // A video bitrate that is no number: the iPod family has picked the audio quality by then,
    // the other player families have not.
    for (DeviceType device : {DevIPOD, DevPSP}) {
        const char* section = device == DevPSP ? "PSP" : "IPOD";
        QByteArray content = PlayerSection(section);
        content.replace("ProfilesPar0=512,64,2", "ProfilesPar0=fast,64,2");
        Store(content);
        EXPECT_EQ(Failure(device), "'fast' is not a valid integer value") << section;
        EXPECT_EQ(window_.ab_dropdown->ItemIndex(), device == DevIPOD ? 1 : -1) << section;
        EXPECT_EQ(window_.combox_resolution->Text(), "368x208") << section;
        EXPECT_EQ(window_.combox_framerate->ItemIndex(), -1) << section;
    }
}

TEST_F(ProfileLoading, CustomProfiles) {
    Store(k3GP +
          "CustomProfile1=Custom->Twin\nCustomProfilePar1=0,1,0,abc,0,1,0,1\n"
          "CustomProfile2=Custom->Twin\nCustomProfilePar2=1,0,1,999,1,0,1,0\n"
          "CustomProfile3=Custom->Short\nCustomProfilePar3=1,1,1,200\n");
    Load(Dev3GP);
    EXPECT_EQ(window_.ProfilesList->Count(), 6);

    // Field by field; the fourth field is set as stored, also when it is no number.
    Pick(3);
    EXPECT_EQ(window_.combox_videoformat->Text(), "MPEG4");
    EXPECT_EQ(window_.combox_resolution->Text(), "176x144");
    EXPECT_EQ(window_.combox_framerate->Text(), "10");
    EXPECT_EQ(Video(), "abc");
    EXPECT_EQ(window_.combox_audioHZ->Text(), "8000 Hz");
    EXPECT_EQ(window_.ab_dropdown->Text(), "64 kbps");
    EXPECT_EQ(window_.combox_audiochannels->Text(), "Mono");
    EXPECT_EQ(window_.combox_outfiletype->Text(), "3GP");

    // Equal descriptions: the one stored first is applied, whichever entry was picked.
    Pick(0);
    Pick(4);
    EXPECT_EQ(Video(), "abc");

    // A row too short stops at the first missing field, the fields before it applied.
    Pick(5);
    EXPECT_EQ(dialogs_.LastText(), "List index out of bounds (4)");
    EXPECT_EQ(Video(), "200");
    EXPECT_EQ(window_.combox_audioHZ->Text(), "8000 Hz");

    // An entry that matches no stored description.
    window_.ProfilesList->AddItem("Custom->Ghost");
    Pick(6);
    EXPECT_EQ(dialogs_.LastText(), "'NoData' is not a valid integer value.");
}

// The installed catalog: every family opens with its default profile and every list filled,
// and every built-in profile applies, without an error box.
TEST_F(ProfileLoading, AHandEditedSectionWithBlanksInItsBracketsOpensAndIsWrittenInPlace) {
    QByteArray section = PlayerSection("MP4");
    section.replace("[MP4]", "[ MP4\t]");
    Store(section);
    Load(DevMP4);
    EXPECT_EQ(Items(window_.ProfilesList).size(), 4);
    EXPECT_EQ(window_.combox_resolution->Text(), "368x208");
    WriteProfileValue("MP4", "Profiles0", "Renamed");
    QFile file(install_.Path("KivoMp4.dll"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    EXPECT_TRUE(stored.contains("[ MP4\t]\nProfiles0=Renamed\n")) << stored.constData();
    EXPECT_EQ(stored.count("["), 2);  // [MainSettings] and the one MP4 section
}

// Prints the time a family with many custom profiles takes to load; the lists read the
// catalog once per load, so the time grows with the file's size, not with its square.
TEST_F(ProfileLoading, ManyCustomProfilesLoadInOneReading) {
    for (int count : {1000, 5000}) {
        QByteArray custom;
        for (int n = 0; n < count; ++n) {
            custom += "CustomProfile" + QByteArray::number(n) + "=Custom->Profile " +
                      QByteArray::number(n) + "\nCustomProfilePar" + QByteArray::number(n) +
                      "=1,0,1,300,1,0,1,0\n";
        }
        Store(PlayerSection("PSP", custom));
        QElapsedTimer timer;
        timer.start();
        Load(DevPSP);
        std::printf("loading the PSP family with %d custom profiles took %.3f s\n", count,
                    timer.nsecsElapsed() / 1e9);
        ASSERT_EQ(window_.ProfilesList->Count(), 4 + count);
        EXPECT_EQ(window_.ProfilesList->Item(3 + count),
                  "Custom->Profile " + QString::number(count - 1));
        // The last custom profile applies from the same kind of single reading.
        Pick(3 + count);
        EXPECT_EQ(Video(), "300");
        EXPECT_EQ(window_.combox_resolution->Text(), "320x240");
    }
}

TEST(InstalledCatalog, EveryFamilyOpensAndEveryProfileApplies) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    for (DeviceType device : {Dev3GP, DevPSP, DevIPOD, DevPDA, DevMP4}) {
        SCOPED_TRACE(int(device));
        window.CurrentDevice = device;
        window.ResetWindow();
        window.SetupForDevice(device);
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
        EXPECT_EQ(window.ProfilesList->ItemIndex(), 0);
        for (SkinComboBox* list :
             {window.combox_videoformat, window.combox_resolution, window.combox_framerate,
              window.ab_dropdown, window.combox_audioHZ, window.combox_audiochannels,
              window.combox_outfiletype}) {
            EXPECT_GT(list->Count(), 0) << list->objectName().toStdString();
            EXPECT_GE(list->ItemIndex(), 0) << list->objectName().toStdString();
        }
        for (int p = 0; p < window.ProfilesList->Count(); ++p) {
            window.ProfilesList->SetItemIndex(p);
            window.ProfilesList->OnChange(window.ProfilesList);
            EXPECT_GE(window.ab_dropdown->ItemIndex(), 0);
            EXPECT_GE(window.combox_audiochannels->ItemIndex(), 0);
            EXPECT_GE(window.combox_resolution->ItemIndex(), 0);
        }
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
    }
}

}  // namespace

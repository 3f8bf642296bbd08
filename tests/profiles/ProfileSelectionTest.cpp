// The profile selection on plain values: what a family's profiles make of the output settings,
// and where a malformed value stops them.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/core/Errors.h"
#include "profiles/core/ProfileSelection.h"

namespace {

ProfileSection Section(const QByteArray& keys) {
    static QTemporaryDir dir;
    QFile file(dir.filePath("catalog.ini"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write("[F]\n" + keys);
    file.close();
    return ReadIniSection(file.fileName(), "F");
}

const ValueLists kLists = {{"MPEG4", "H264"},
                           {"320x240", "176x144"},
                           {"15", "25"},
                           {"32 kbps", "164 kbps", "64 kbps"},
                           {"8000 Hz", "25", "48000 Hz"},
                           {"Mono", "Stereo"},
                           {"3G2", "3GP"}};

// The error a step raised, "" when none.
template <typename Step>
std::string Raised(Step step) {
    try {
        step();
    } catch (const QorError& error) {
        return error.Message().toStdString();
    }
    return "";
}

TEST(ProfileSelection, ProfilesApplyFieldByFieldUpToABadOne) {
    const struct {
        DeviceType family;
        QByteArray value;  // "ProfilesPar0", or "CustomProfilePar0" for a custom entry
        bool custom;
        const char* error;
        const char* videoBitRate;
        int audioBitRate, channels, resolution, sampleRate;
    } cases[] = {
        // Phone layout: size, rate and channels; the frame rate's text also picks a sample rate.
        {Dev3GP, "176x144,96,25,x,2", false, "", "96", -1, 1, 1, 1},
        // Player layout: containment finds "64" in "164 kbps"; a channel count of 0 picks none.
        {DevPSP, "300,64,0", false, "", "300", 1, -1, -1, -1},
        {DevPSP, "300,64", false, "List index out of bounds (2)", "512", -1, -1, -1, -1},
        // A fourth field names the frame size the profile converts at; an unknown one or an
        // empty one keeps the size list as it is.
        {DevMP4, "800,32,2,176x144", false, "", "800", 0, 1, 1, -1},
        {DevMP4, "800,32,2,1280x720", false, "", "800", 0, 1, -1, -1},
        {DevMP4, "800,32,2,", false, "", "800", 0, 1, -1, -1},
        // A bad video bit rate: the iPod has picked its audio bit rate by then, others have not.
        {DevIPOD, "fast,32,1", false, "'fast' is not a valid integer value", "512", 0, -1, -1, -1},
        {DevMP4, "fast,32,1", false, "'fast' is not a valid integer value", "512", -1, -1, -1, -1},
        // A custom profile: positions, the bit rate as stored, up to its first missing field.
        {DevPSP, "0,1,1,abc,2,1,1,0", true, "", "abc", 1, 1, 1, 2},
        {DevPSP, "0,1,1,200,2", true, "List index out of bounds (5)", "200", -1, -1, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        const ProfileSection stored =
            Section((c.custom ? "CustomProfile0=Custom->A\nCustomProfilePar0=" : "ProfilesPar0=") +
                    c.value + "\n");
        OutputSettings settings;
        const std::string error = Raised([&] {
            if (c.custom)
                ApplyCustomProfileTo(stored, kLists, "Custom->A", settings);
            else
                ApplyBuiltInProfile(stored, *FindDevice(c.family), kLists, 0, settings);
        });
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(settings.videoBitRate, c.videoBitRate);
        EXPECT_EQ(settings.audioBitRate.index, c.audioBitRate);
        EXPECT_EQ(settings.channels.index, c.channels);
        EXPECT_EQ(settings.resolution.index, c.resolution);
        EXPECT_EQ(settings.sampleRate.index, c.sampleRate);
        EXPECT_EQ(settings.resolution.text,
                  c.resolution < 0 ? "" : kLists.resolution[c.resolution]);
    }
}

TEST(ProfileSelection, ALoadStoppedByABadValueKeepsWhatItHadRead) {
    const struct {
        QByteArray keys;
        const char* error;
        bool listsRead;
        int selected;
    } cases[] = {
        {"Profiles0=A\nDefaultProfiles=one\nResolution0=320x240\n",
         "'one' is not a valid integer value", false, -1},
        {"Profiles0=A\nCustomProfile0=Custom->B\nDefaultProfiles=1\nResolution0=320x240\n",
         "'' is not a valid integer value", true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys.toStdString());
        FamilyProfiles loaded;
        OutputSettings settings;
        settings.resolution = {4, "old"};
        const std::string error = Raised(
            [&] { LoadFamilyProfiles(Section(c.keys), *FindDevice(DevMP4), loaded, settings); });
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(loaded.listsRead, c.listsRead);
        EXPECT_EQ(loaded.selected, c.selected);
        EXPECT_EQ(loaded.entries.first(), "A");
        // Lists read anew start with nothing chosen.
        EXPECT_EQ(settings.resolution.index, c.listsRead ? -1 : 4);
    }
}

}  // namespace

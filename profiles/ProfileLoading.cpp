// Loading a family's profiles and value lists into the converter window, and applying the
// profile the user picks to the output settings.
#include <QStringList>

#include "converter/Txconverter.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "profiles/ProfileDatabase.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinSpinEdit.h"

namespace {

const QString kNoData = QStringLiteral("NoData");
const QString kCustomMark = QStringLiteral("Custom->");

QString SectionOf(DeviceType device) {
    const DeviceInfo* info = FindDevice(device);
    return info ? info->section : QString();
}

// Appends the items of an indexed list ("Resolution0", "Resolution1", ...) up to the first
// position that reads as absent.
void ReadListInto(SkinComboBox* control, const ProfileSection& stored, const QString& key) {
    for (int n = 0;; ++n) {
        const QString value = stored.Value(key + QString::number(n), kNoData);
        if (value == kNoData)
            return;
        control->AddItem(value);
    }
}

// The first `count` fields of a built-in profile's parameters, all taken before any control
// changes. An absent value gives empty fields; a value too short fails on the first missing one.
QStringList TakeFields(const QString& value, int count) {
    if (value == kNoData)
        return QStringList(count, QString());
    const QStringList fields = SplitCommaText(value);
    if (fields.size() < count)
        throw EListError::OutOfBounds(int(fields.size()));
    return fields.mid(0, count);
}

QString Field(const QStringList& fields, int index) {
    if (index >= fields.size())
        throw EListError::OutOfBounds(index);
    return fields[index];
}

void SelectByText(SkinComboBox* control, const QString& text) {
    for (int i = 0; i < control->Count(); ++i) {
        if (control->Item(i) == text) {
            control->SetItemIndex(i);
            return;
        }
    }
}

void SelectByContainment(SkinComboBox* control, const QString& text) {
    if (text.isEmpty())
        return;
    for (int i = 0; i < control->Count(); ++i) {
        if (control->Item(i).contains(text)) {
            control->SetItemIndex(i);
            return;
        }
    }
}

// A position that lies outside the list (or -1) leaves no item selected.
void SelectByPosition(SkinComboBox* control, qint64 position) {
    control->SetItemIndex(position >= 0 && position < control->Count() ? int(position) : -1);
}

// A channel count from 1 selects the item at count - 1.
void SelectChannels(SkinComboBox* control, const QString& field) {
    SelectByPosition(control, qint64(StrToInt(field)) - 1);
}

void SetVideoBitrate(SkinSpinEdit* edit, const QString& field) {
    edit->SetValue(StrToInt(field));
}

}  // namespace

void Txconverter::LoadDeviceProfiles(DeviceType device) {
    // The family's section is read once: a catalog with thousands of custom profiles loads as
    // fast as a small one.
    const ProfileSection stored = ReadProfileSection(SectionOf(device));
    const bool threeGp = device == Dev3GP;

    ProfilesList->Clear();
    ReadListInto(ProfilesList, stored, "Profiles");
    ReadListInto(ProfilesList, stored, "CustomProfile");
    ProfilesList->SetItemIndex(StrToInt(stored.Value("DefaultProfiles", "0")));

    for (auto [control, key] : {std::pair{combox_videoformat, "VideoCodec"},
                                {combox_audiochannels, "AudioChannels"},
                                {combox_resolution, "Resolution"},
                                {combox_framerate, "Framerate"},
                                {combox_outfiletype, "OutputFileType"},
                                {combox_audioHZ, "AudioFrameRate"},
                                {ab_dropdown, "AudiobitRate"}}) {
        control->Clear();
        ReadListInto(control, stored, key);
    }

    if (threeGp) {
        const int index = StrToInt(stored.Value("DefaultAudiobitRateIndex", "0"));
        SelectByPosition(ab_dropdown, index);
    }

    const QString parameters =
        stored.Value("ProfilesPar" + QString::number(ProfilesList->ItemIndex()), kNoData);
    if (threeGp) {
        const QStringList f = TakeFields(parameters, 5);
        SelectByText(combox_resolution, f[0]);
        SetVideoBitrate(edit_videoquality, f[1]);
        SelectByText(combox_framerate, f[2]);
        SelectChannels(combox_audiochannels, f[4]);
    } else {
        const QString resolution = stored.Value("DefaultResolution", kNoData);
        const QString framerate = stored.Value("DefaultFramerate", kNoData);
        const QStringList f = TakeFields(parameters, 3);
        SelectByText(combox_resolution, resolution);
        if (device == DevIPOD) {
            // The iPod family picks its audio quality before the video bitrate.
            SelectByContainment(ab_dropdown, f[1]);
            SetVideoBitrate(edit_videoquality, f[0]);
        } else {
            SetVideoBitrate(edit_videoquality, f[0]);
            SelectByContainment(ab_dropdown, f[1]);
        }
        SelectByText(combox_framerate, framerate);
        SelectChannels(combox_audiochannels, f[2]);
    }

    for (auto [control, key] : {std::pair{combox_videoformat, "DefaultVideoCodec"},
                                {combox_outfiletype, "DefaultOutputFileType"},
                                {combox_audioHZ, "DefaultAudioFrameRate"}}) {
        const QString text = stored.Value(key, kNoData);
        if (text != kNoData)
            SelectByText(control, text);
    }
}

void Txconverter::ApplySelectedProfile(DeviceType device) {
    const QString section = SectionOf(device);
    const QString text = ProfilesList->Text();
    if (text.contains(kCustomMark)) {
        ApplyCustomProfile(section, text);
        return;
    }
    const QString parameters = ReadProfileValue(
        section, "ProfilesPar" + QString::number(ProfilesList->ItemIndex()), kNoData);
    if (device == Dev3GP) {
        const QStringList f = TakeFields(parameters, 5);
        SelectByText(combox_resolution, f[0]);
        SetVideoBitrate(edit_videoquality, f[1]);
        SelectByText(combox_framerate, f[2]);
        // A sample-rate item with the frame rate's text would be selected; the catalog's
        // sample rates ("8000 Hz") never equal a frame rate, so this selects nothing.
        SelectByText(combox_audioHZ, f[2]);
        SelectChannels(combox_audiochannels, f[4]);
        return;
    }
    const QStringList f = TakeFields(parameters, 3);
    if (device == DevIPOD) {
        SelectByContainment(ab_dropdown, f[1]);
        SetVideoBitrate(edit_videoquality, f[0]);
        SelectChannels(combox_audiochannels, f[2]);
    } else {
        SetVideoBitrate(edit_videoquality, f[0]);
        SelectChannels(combox_audiochannels, f[2]);
        SelectByContainment(ab_dropdown, f[1]);
    }
}

void Txconverter::ListCustomProfiles(const QString& section) {
    ReadListInto(ProfilesList, ReadProfileSection(section), "CustomProfile");
}

void Txconverter::ApplyCustomProfile(const QString& section, const QString& text) {
    // The first stored description equal to the entry counts; when none is, the search ends at
    // the first free position, whose parameters read as "NoData" and fail to convert.
    const ProfileSection stored = ReadProfileSection(section);
    int n = 0;
    for (;; ++n) {
        const QString description = stored.Value("CustomProfile" + QString::number(n), kNoData);
        if (description == text || description == kNoData)
            break;
    }
    const QStringList f =
        SplitCommaText(stored.Value("CustomProfilePar" + QString::number(n), kNoData));

    // Field by field: a bad field stops the profile with the fields before it applied.
    SelectByPosition(combox_videoformat, StrToInt(Field(f, 0)));
    SelectByPosition(combox_resolution, StrToInt(Field(f, 1)));
    SelectByPosition(combox_framerate, StrToInt(Field(f, 2)));
    edit_videoquality->SetText(Field(f, 3));
    SelectByPosition(combox_audioHZ, StrToInt(Field(f, 4)));
    SelectByPosition(ab_dropdown, StrToInt(Field(f, 5)));
    SelectByPosition(combox_audiochannels, StrToInt(Field(f, 6)));
    SelectByPosition(combox_outfiletype, StrToInt(Field(f, 7)));
}

void Txconverter::ProfilesListChange(QObject*) {
    ApplySelectedProfile(CurrentDevice);
}

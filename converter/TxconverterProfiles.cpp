// The converter window's profile list and settings panel: each method reads the controls, lets
// the profile selection (profiles/ProfileSelection.h) work on plain values and shows the result.
#include "converter/Txconverter.h"
#include "platform/Dialogs.h"
#include "profiles/ProfileSelection.h"
#include "profiles/TProfile.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinSpinEdit.h"

namespace {

QString SectionOf(DeviceType device) {
    const DeviceInfo* info = FindDevice(device);
    return info ? info->section : QString();
}

QStringList ItemsOf(const SkinComboBox* list) {
    QStringList items;
    for (int i = 0; i < list->Count(); ++i)
        items << list->Item(i);
    return items;
}

void Fill(SkinComboBox* list, const QStringList& items) {
    list->Clear();
    for (const QString& item : items)
        list->AddItem(item);
}

// The settings panel's seven lists, each with the items it holds.
struct PanelList {
    SkinComboBox* Txconverter::*control;
    QStringList ValueLists::*items;
    ListChoice OutputSettings::*choice;
};

constexpr PanelList kPanelLists[] = {
    {&Txconverter::combox_videoformat, &ValueLists::videoCodec, &OutputSettings::videoCodec},
    {&Txconverter::combox_resolution, &ValueLists::resolution, &OutputSettings::resolution},
    {&Txconverter::combox_framerate, &ValueLists::frameRate, &OutputSettings::frameRate},
    {&Txconverter::ab_dropdown, &ValueLists::audioBitRate, &OutputSettings::audioBitRate},
    {&Txconverter::combox_audioHZ, &ValueLists::sampleRate, &OutputSettings::sampleRate},
    {&Txconverter::combox_audiochannels, &ValueLists::channels, &OutputSettings::channels},
    {&Txconverter::combox_outfiletype, &ValueLists::fileType, &OutputSettings::fileType},
};

ValueLists ListsOf(const Txconverter& window) {
    ValueLists lists;
    for (const PanelList& p : kPanelLists)
        lists.*p.items = ItemsOf(window.*p.control);
    return lists;
}

void FillLists(Txconverter& window, const ValueLists& lists) {
    for (const PanelList& p : kPanelLists)
        Fill(window.*p.control, lists.*p.items);
}

// Shows the list choices and the video bit rate; the letterbox and the volume are not a
// profile's.
void ShowSettings(Txconverter& window, const OutputSettings& settings) {
    for (const PanelList& p : kPanelLists)
        (window.*p.control)->SetItemIndex((settings.*p.choice).index);
    window.edit_videoquality->SetText(settings.videoBitRate);
}

// Runs `step`, then `show`s what it left, also when it raised: the panel then shows the fields
// applied before the error, as it would had each field been set on the controls directly.
template <typename Step, typename Show>
void ShowAfter(Step step, Show show) {
    try {
        step();
    } catch (...) {
        show();
        throw;
    }
    show();
}

}  // namespace

void Txconverter::LoadDeviceProfiles(DeviceType device) {
    const DeviceInfo* family = FindDevice(device);
    if (!family)
        return;  // only a device button sets the window up
    // The family's section is read once: a catalog with thousands of custom profiles loads as
    // fast as a small one.
    const ProfileSection stored = ReadProfileSection(family->section);
    FamilyProfiles loaded;
    OutputSettings settings = CurrentSettings();
    ShowAfter([&] { LoadFamilyProfiles(stored, *family, loaded, settings); },
              [&] {
                  Fill(ProfilesList, loaded.entries);
                  ProfilesList->SetItemIndex(loaded.selected);
                  if (loaded.listsRead)
                      FillLists(*this, loaded.lists);
                  ShowSettings(*this, settings);
              });
}

void Txconverter::ApplySelectedProfile(DeviceType device) {
    const QString section = SectionOf(device);
    const QString text = ProfilesList->Text();
    if (IsCustomEntry(text)) {
        ApplyCustomProfile(section, text);
        return;
    }
    const DeviceInfo* family = FindDevice(device);
    if (!family)
        return;
    const ValueLists lists = ListsOf(*this);
    OutputSettings settings = CurrentSettings();
    ShowAfter(
        [&] {
            ApplyBuiltInProfile(ReadProfileSection(section), *family, lists,
                                ProfilesList->ItemIndex(), settings);
        },
        [&] { ShowSettings(*this, settings); });
}

void Txconverter::ListCustomProfiles(const QString& section) {
    for (const QString& description :
         ReadValueList(ReadProfileSection(section), QStringLiteral("CustomProfile"))) {
        ProfilesList->AddItem(description);
    }
}

void Txconverter::ApplyCustomProfile(const QString& section, const QString& text) {
    const ValueLists lists = ListsOf(*this);
    OutputSettings settings = CurrentSettings();
    ShowAfter([&] { ApplyCustomProfileTo(ReadProfileSection(section), lists, text, settings); },
              [&] { ShowSettings(*this, settings); });
}

void Txconverter::ProfilesListChange(QObject*) {
    ApplySelectedProfile(CurrentDevice);
}

void Txconverter::CustomProfileButtonClick(QObject*) {
    if (!Profile)
        return;
    Profile->StartFrom(ListsOf(*this), CurrentSettings(), SectionOf(CurrentDevice));
    platform::dialogs().ExecModal(*Profile);
    const std::optional<QString> saved = Profile->SavedDescription();
    if (!saved)
        return;  // cancelled
    ProfilesList->AddItem(*saved);
    const DeviceInfo* family = FindDevice(CurrentDevice);
    if (family && family->selectsSavedProfile)
        ProfilesList->SetItemIndex(ProfilesList->Count() - 1);
    // The new profile for a family that selects it; otherwise the entry selected before, again.
    ApplySelectedProfile(CurrentDevice);
}

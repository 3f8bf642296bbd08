// The converter window's profile list and settings panel: each method reads the controls, lets
// the profile selection (profiles/core/ProfileSelection.h) work on plain values and shows the
// result.
#include "converter/Txconverter.h"
#include "platform/Dialogs.h"
#include "profiles/SettingsPanel.h"
#include "profiles/TProfile.h"
#include "profiles/core/ProfileSelection.h"
#include "skin/SkinComboBox.h"

namespace {

QString SectionOf(DeviceType device) {
    const DeviceInfo* info = FindDevice(device);
    return info ? info->section : QString();
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
                  ProfilesList->Clear();
                  for (const QString& entry : loaded.entries)
                      ProfilesList->AddItem(entry);
                  ProfilesList->SetItemIndex(loaded.selected);
                  if (loaded.listsRead)
                      FillPanelLists(SettingsControls(), loaded.lists);
                  ShowPanelSettings(SettingsControls(), settings);
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
    const ValueLists lists = PanelLists(SettingsControls());
    OutputSettings settings = CurrentSettings();
    ShowAfter(
        [&] {
            ApplyBuiltInProfile(ReadProfileSection(section), *family, lists,
                                ProfilesList->ItemIndex(), settings);
        },
        [&] { ShowPanelSettings(SettingsControls(), settings); });
}

void Txconverter::ListCustomProfiles(const QString& section) {
    for (const QString& description :
         ReadValueList(ReadProfileSection(section), QStringLiteral("CustomProfile"))) {
        ProfilesList->AddItem(description);
    }
}

void Txconverter::ApplyCustomProfile(const QString& section, const QString& text) {
    const ValueLists lists = PanelLists(SettingsControls());
    OutputSettings settings = CurrentSettings();
    ShowAfter([&] { ApplyCustomProfileTo(ReadProfileSection(section), lists, text, settings); },
              [&] { ShowPanelSettings(SettingsControls(), settings); });
}

void Txconverter::ProfilesListChange(QObject*) {
    ApplySelectedProfile(CurrentDevice);
}

void Txconverter::CustomProfileButtonClick(QObject*) {
    if (!Profile)
        return;
    Profile->StartFrom(PanelLists(SettingsControls()), CurrentSettings(), SectionOf(CurrentDevice));
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

#include "profiles/SettingsPanel.h"

#include "skin/SkinComboBox.h"
#include "skin/SkinSpinEdit.h"

namespace {

// Each list of the panel with its items and its choice.
struct PanelList {
    SkinComboBox* SettingsPanel::*control;
    QStringList ValueLists::*items;
    ListChoice OutputSettings::*choice;
};

constexpr PanelList kLists[] = {
    {&SettingsPanel::videoCodec, &ValueLists::videoCodec, &OutputSettings::videoCodec},
    {&SettingsPanel::resolution, &ValueLists::resolution, &OutputSettings::resolution},
    {&SettingsPanel::frameRate, &ValueLists::frameRate, &OutputSettings::frameRate},
    {&SettingsPanel::audioBitRate, &ValueLists::audioBitRate, &OutputSettings::audioBitRate},
    {&SettingsPanel::sampleRate, &ValueLists::sampleRate, &OutputSettings::sampleRate},
    {&SettingsPanel::channels, &ValueLists::channels, &OutputSettings::channels},
    {&SettingsPanel::fileType, &ValueLists::fileType, &OutputSettings::fileType},
};

}  // namespace

ValueLists PanelLists(const SettingsPanel& panel) {
    ValueLists lists;
    for (const PanelList& l : kLists) {
        const SkinComboBox* control = panel.*l.control;
        for (int i = 0; i < control->Count(); ++i)
            (lists.*l.items) << control->Item(i);
    }
    return lists;
}

OutputSettings PanelSettings(const SettingsPanel& panel) {
    OutputSettings settings;
    for (const PanelList& l : kLists)
        settings.*l.choice = {(panel.*l.control)->ItemIndex(), (panel.*l.control)->Text()};
    settings.videoBitRate = panel.videoBitRate->Text();
    return settings;
}

void FillPanelLists(const SettingsPanel& panel, const ValueLists& lists) {
    for (const PanelList& l : kLists) {
        SkinComboBox* control = panel.*l.control;
        control->Clear();
        for (const QString& item : lists.*l.items)
            control->AddItem(item);
    }
}

void ShowPanelSettings(const SettingsPanel& panel, const OutputSettings& settings) {
    for (const PanelList& l : kLists)
        (panel.*l.control)->SetItemIndex((settings.*l.choice).index);
    panel.videoBitRate->SetText(settings.videoBitRate);
}

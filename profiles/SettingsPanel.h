// The output settings controls of a window, the converter window's panel or the custom profile
// editor's copy of it: seven pick-only lists and the video bit rate's spin edit, read and shown
// as plain values (profiles/core/ProfileSelection.h).
#pragma once

#include "profiles/core/OutputSettings.h"
#include "profiles/core/ProfileSelection.h"

class SkinComboBox;
class SkinSpinEdit;

struct SettingsPanel {
    SkinComboBox* videoCodec;
    SkinComboBox* resolution;
    SkinComboBox* frameRate;
    SkinComboBox* audioBitRate;
    SkinComboBox* sampleRate;
    SkinComboBox* channels;
    SkinComboBox* fileType;
    SkinSpinEdit* videoBitRate;
};

// The items each list holds.
ValueLists PanelLists(const SettingsPanel& panel);
// Each list's choice and the bit rate's text; the letterbox and the volume keep their defaults.
OutputSettings PanelSettings(const SettingsPanel& panel);
// Fills each list with its items anew, nothing chosen.
void FillPanelLists(const SettingsPanel& panel, const ValueLists& lists);
// Chooses each list's item by its position and sets the bit rate's text.
void ShowPanelSettings(const SettingsPanel& panel, const OutputSettings& settings);

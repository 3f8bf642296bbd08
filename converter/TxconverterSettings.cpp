// The output settings panel read as one value, for the job plan and the custom profile editor.
#include "converter/Txconverter.h"
#include "profiles/SettingsPanel.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinTrackBar.h"

SettingsPanel Txconverter::SettingsControls() const {
    return {combox_videoformat, combox_resolution,    combox_framerate,   ab_dropdown,
            combox_audioHZ,     combox_audiochannels, combox_outfiletype, edit_videoquality};
}

OutputSettings Txconverter::CurrentSettings() const {
    OutputSettings settings = PanelSettings(SettingsControls());
    settings.letterbox = m_checkLetterbox->Checked();
    settings.volume = tr_audio_vol->Position();
    return settings;
}

// The output settings panel read as one value, for the job plan and the custom profile editor,
// and the letterbox box that the window remembers.
#include "converter/Txconverter.h"
#include "profiles/SettingsPanel.h"
#include "profiles/core/ProfileDatabase.h"
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

namespace {

// Whether "Auto add letterbox to keep aspect" is ticked: "1" on, anything else off.
const QString kMainSettings = QStringLiteral("MainSettings");
const QString kLetterbox = QStringLiteral("Letterbox");

}  // namespace

void Txconverter::m_checkLetterboxClick(QObject*) {
    WriteProfileValue(kMainSettings, kLetterbox,
                      m_checkLetterbox->Checked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Txconverter::LoadLetterbox() {
    m_checkLetterbox->SetChecked(ReadProfileValue(kMainSettings, kLetterbox, QStringLiteral("0")) ==
                                 QStringLiteral("1"));
}

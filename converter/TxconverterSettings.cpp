// The output settings panel read as one value, for the job plan and the custom profile editor.
#include "converter/Txconverter.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinSpinEdit.h"
#include "skin/SkinTrackBar.h"

namespace {

ListChoice ChoiceOf(const SkinComboBox* list) {
    return {list->ItemIndex(), list->Text()};
}

}  // namespace

OutputSettings Txconverter::CurrentSettings() const {
    OutputSettings settings;
    settings.videoCodec = ChoiceOf(combox_videoformat);
    settings.resolution = ChoiceOf(combox_resolution);
    settings.frameRate = ChoiceOf(combox_framerate);
    settings.audioBitRate = ChoiceOf(ab_dropdown);
    settings.sampleRate = ChoiceOf(combox_audioHZ);
    settings.channels = ChoiceOf(combox_audiochannels);
    settings.fileType = ChoiceOf(combox_outfiletype);
    settings.videoBitRate = edit_videoquality->Text();
    settings.letterbox = m_checkLetterbox->Checked();
    settings.volume = tr_audio_vol->Position();
    return settings;
}

// The custom profile editor: a modal window that starts with a copy of the converter window's
// output settings, lets the user adjust them and name them, and saves them as a custom profile
// of the current device family. The converter window hands it its lists, settings and section
// before it opens, and after it closes lists and applies the description it saved.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>
#include <optional>

#include "profiles/core/OutputSettings.h"
#include "profiles/core/ProfileSelection.h"

class SkinButton;
class SkinComboBox;
class SkinEdit;
class SkinForm;
class SkinSpinEdit;
struct SettingsPanel;

class TProfile : public QDialog {
    Q_OBJECT
public:
    explicit TProfile(QWidget* parent = nullptr);
    ~TProfile() override;

    // ---- Components, as the window's layout places them ----
    SkinForm* WindowSkin;
    QLabel* LabelVideoFormat;
    SkinComboBox* combox_videoformat;
    QLabel* LabelResolution;
    QLabel* ResolutionHint;
    SkinComboBox* combox_resolution;
    QLabel* LabelFramerate;
    SkinComboBox* combox_framerate;
    QLabel* LabelVideoQuality;
    SkinSpinEdit* edit_videoquality;
    QLabel* LabelKbps;
    QLabel* LabelAudioFrameRate;
    SkinComboBox* combox_audioHZ;
    QLabel* LabelAudioQuality;
    SkinComboBox* ab_dropdown;
    QLabel* LabelAudioChannels;
    SkinComboBox* combox_audiochannels;
    QLabel* LabelOutputFileType;
    SkinComboBox* combox_outfiletype;
    QLabel* LabelProfileName;
    SkinEdit* ProfileName;
    SkinButton* BtnSaveProfile;
    SkinButton* BtnCancelProfile;

    // What the next showing starts from: the converter window's lists and settings, and the
    // section of its family, where a save stores the profile. Forgets an earlier save.
    void StartFrom(const ValueLists& lists, const OutputSettings& settings, const QString& section);
    // The description of the profile saved since StartFrom; none when nothing was saved.
    std::optional<QString> SavedDescription() const;

    // Runs each time the editor is shown: starts from the converter window's settings.
    void FormShow();
    // Copies the converter window's lists, selections and video bitrate into the editor.
    void FillFromConverter();
    // The editor's settings: the seven lists' choices and the video bitrate text.
    OutputSettings EditedSettings() const;
    // The profile's description: "Custom->" + name + " (Video:...Kbps,...fps;Audio:...)".
    QString DescriptionText(const QString& name) const;
    // The eight parameters: the selected positions (-1 for none) and the video bitrate text.
    QString ParameterRow() const;
    // Stores the profile at the section's first free position and gives back its description.
    QString SaveCustomProfile(const QString& section, const QString& name);

    void BtnSaveProfileClick(QObject* sender);
    void BtnCancelProfileClick(QObject* sender);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    SettingsPanel Controls() const;

    ValueLists startLists_;
    OutputSettings startSettings_;
    QString section_;
    std::optional<QString> saved_;
};

// The one custom profile editor of the program.
extern TProfile* Profile;

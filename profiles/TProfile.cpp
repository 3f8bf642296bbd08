#include "profiles/TProfile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include "platform/Handler.h"
#include "profiles/SettingsPanel.h"
#include "skin/Artwork.h"
#include "skin/SkinButton.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinForm.h"
#include "skin/SkinSpinEdit.h"
#include "skin/WindowFont.h"

using platform::Guarded;

TProfile* Profile = nullptr;

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

SkinComboBox* MakeList(QWidget* parent, const char* name, int left, int top, int width) {
    auto* list = new SkinComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(left, top, width, 21);
    list->SetUIStyle(UIStyle::WinXP);
    return list;
}

SkinButton* MakeButton(QWidget* parent, const char* name, int left, int top,
                       const QString& caption) {
    auto* button = new SkinButton(parent);
    button->setObjectName(name);
    button->setGeometry(left, top, 80, 25);
    button->SetUIStyle(UIStyle::WinXP);
    button->SetCaption(caption);
    return button;
}

// Blanks and control characters removed at both ends.
QString TrimmedName(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

}  // namespace

TProfile::TProfile(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    Profile = this;
    BuildLayout();
    BtnSaveProfile->OnClick = Guarded([this](QObject* s) { BtnSaveProfileClick(s); });
    BtnCancelProfile->OnClick = Guarded([this](QObject* s) { BtnCancelProfileClick(s); });
}

TProfile::~TProfile() {
    if (Profile == this)
        Profile = nullptr;
}

void TProfile::BuildLayout() {
    setObjectName("Profile");
    setWindowTitle("Profile");
    setFont(WindowFont());
    setModal(true);
    resize(491, 341);

    // The skin gives the window its shape and client size.
    WindowSkin = new SkinForm(this);
    WindowSkin->setObjectName("WindowSkin");
    WindowSkin->SetGlyph(Artwork::WindowBitmap("profile"));

    LabelVideoFormat = MakeLabel(this, "LabelVideoFormat", 24, 50, "Video Format:");
    combox_videoformat = MakeList(this, "combox_videoformat", 109, 46, 97);
    LabelResolution = MakeLabel(this, "LabelResolution", 236, 51, "Video Resolution:");
    ResolutionHint = MakeLabel(this, "ResolutionHint", 328, 32, "\"width\" x \"height\"");
    combox_resolution = MakeList(this, "combox_resolution", 328, 47, 117);
    LabelFramerate = MakeLabel(this, "LabelFramerate", 24, 83, "Framerate:");
    combox_framerate = MakeList(this, "combox_framerate", 109, 79, 95);

    LabelVideoQuality = MakeLabel(this, "LabelVideoQuality", 236, 84, "Video Quality:");
    edit_videoquality = new SkinSpinEdit(this);
    edit_videoquality->setObjectName("edit_videoquality");
    edit_videoquality->setGeometry(328, 78, 71, 25);
    edit_videoquality->SetUIStyle(UIStyle::WinXP);
    edit_videoquality->SetIncrement(1);
    edit_videoquality->SetMinValue(0);
    edit_videoquality->SetHighValue(0);
    edit_videoquality->SetText("512");
    LabelKbps = MakeLabel(this, "LabelKbps", 403, 84, "kbps");

    LabelAudioFrameRate = MakeLabel(this, "LabelAudioFrameRate", 16, 120, "Audio Frame Rate:");
    combox_audioHZ = MakeList(this, "combox_audioHZ", 109, 116, 94);
    LabelAudioQuality = MakeLabel(this, "LabelAudioQuality", 236, 119, "Audio Quality:");
    ab_dropdown = MakeList(this, "ab_dropdown", 328, 115, 98);
    LabelAudioChannels = MakeLabel(this, "LabelAudioChannels", 24, 154, "Audio Channels:");
    combox_audiochannels = MakeList(this, "combox_audiochannels", 109, 150, 100);
    LabelOutputFileType = MakeLabel(this, "LabelOutputFileType", 236, 154, "Output File Type:");
    combox_outfiletype = MakeList(this, "combox_outfiletype", 328, 150, 70);

    LabelProfileName = MakeLabel(this, "LabelProfileName", 60, 212, "Profile Name:");
    ProfileName = new SkinEdit(this);
    ProfileName->setObjectName("ProfileName");
    ProfileName->setGeometry(136, 208, 217, 21);
    ProfileName->SetUIStyle(UIStyle::WinXP);
    ProfileName->SetText("CustomDevice");

    BtnSaveProfile = MakeButton(this, "BtnSaveProfile", 288, 264, "Save Profile");
    BtnCancelProfile = MakeButton(this, "BtnCancelProfile", 384, 264, "Cancel");

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TProfile::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guarded([this] { FormShow(); })();
}

void TProfile::FormShow() {
    FillFromConverter();
}

void TProfile::StartFrom(const ValueLists& lists, const OutputSettings& settings,
                         const QString& section) {
    startLists_ = lists;
    startSettings_ = settings;
    section_ = section;
    saved_.reset();
}

std::optional<QString> TProfile::SavedDescription() const {
    return saved_;
}

SettingsPanel TProfile::Controls() const {
    return {combox_videoformat, combox_resolution,    combox_framerate,   ab_dropdown,
            combox_audioHZ,     combox_audiochannels, combox_outfiletype, edit_videoquality};
}

void TProfile::FillFromConverter() {
    FillPanelLists(Controls(), startLists_);
    ShowPanelSettings(Controls(), startSettings_);
    // The bitrate as the converter's spin edit reads it: the text's integer, 0 when it is none.
    edit_videoquality->SetValue(edit_videoquality->GetValue());
}

OutputSettings TProfile::EditedSettings() const {
    return PanelSettings(Controls());
}

QString TProfile::DescriptionText(const QString& name) const {
    return CustomProfileDescription(name, EditedSettings());
}

QString TProfile::ParameterRow() const {
    return CustomProfileParameters(EditedSettings());
}

QString TProfile::SaveCustomProfile(const QString& section, const QString& name) {
    return StoreCustomProfile(section, name, EditedSettings());
}

void TProfile::BtnSaveProfileClick(QObject*) {
    if (ProfileName->Text().isEmpty())
        ProfileName->SetText("CustomDevice");
    const QString name = TrimmedName(ProfileName->Text());
    saved_ = SaveCustomProfile(section_, name);
    accept();
}

void TProfile::BtnCancelProfileClick(QObject*) {
    reject();
}

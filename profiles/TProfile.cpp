#include "profiles/TProfile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include "skin/Artwork.h"
#include "profiles/DeviceTable.h"
#include "skin/WindowFont.h"
#include "converter/Txconverter.h"
#include "platform/Handler.h"
#include "profiles/ProfileDatabase.h"
#include "skin/SkinButton.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinForm.h"
#include "skin/SkinSpinEdit.h"

using platform::Guarded;

TProfile* Profile = nullptr;

namespace {

const QString kNoData = QStringLiteral("NoData");

// The longest value the profile database gives back; a longer description would not read back
// equal to the entry it was listed as.
constexpr qsizetype kMaxStoredText = 2047;

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

// A parameter field as comma text: plain digits stay as they are; a text that a blank, a comma
// or a quote would split or change is quoted, so the stored row keeps its eight fields.
QString CommaField(const QString& text) {
    bool plain = true;
    for (const QChar c : text) {
        if (c.unicode() <= 32 || c == QChar(',') || c == QChar('"'))
            plain = false;
    }
    if (plain)
        return text;
    QString quoted = text;
    quoted.replace(QChar('"'), QStringLiteral("\"\""));
    return QChar('"') + quoted + QChar('"');
}

void CopyList(SkinComboBox* target, const SkinComboBox* source) {
    target->Clear();
    for (int i = 0; i < source->Count(); ++i)
        target->AddItem(source->Item(i));
    target->SetItemIndex(source->ItemIndex());
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

void TProfile::FillFromConverter() {
    if (!xconverter)
        return;
    CopyList(combox_videoformat, xconverter->combox_videoformat);
    CopyList(combox_resolution, xconverter->combox_resolution);
    CopyList(combox_framerate, xconverter->combox_framerate);
    edit_videoquality->SetValue(xconverter->edit_videoquality->GetValue());
    CopyList(combox_audioHZ, xconverter->combox_audioHZ);
    CopyList(ab_dropdown, xconverter->ab_dropdown);
    CopyList(combox_audiochannels, xconverter->combox_audiochannels);
    CopyList(combox_outfiletype, xconverter->combox_outfiletype);
}

QString TProfile::DescriptionText(const QString& name) const {
    return QStringLiteral("Custom->") + name + QStringLiteral(" (") + QStringLiteral("Video:") +
           combox_resolution->Text() + QStringLiteral(",") + edit_videoquality->Text() +
           QStringLiteral("Kbps,") + combox_framerate->Text() + QStringLiteral("fps;") +
           QStringLiteral("Audio:") + combox_audioHZ->Text() + QStringLiteral(",") +
           ab_dropdown->Text() + QStringLiteral(",") + combox_audiochannels->Text() +
           QStringLiteral(")");
}

QString TProfile::ParameterRow() const {
    const QStringList fields = {
        QString::number(combox_videoformat->ItemIndex()),
        QString::number(combox_resolution->ItemIndex()),
        QString::number(combox_framerate->ItemIndex()),
        CommaField(edit_videoquality->Text()),
        QString::number(combox_audioHZ->ItemIndex()),
        QString::number(ab_dropdown->ItemIndex()),
        QString::number(combox_audiochannels->ItemIndex()),
        QString::number(combox_outfiletype->ItemIndex()),
    };
    return fields.join(QChar(','));
}

QString TProfile::SaveCustomProfile(const QString& section, const QString& name) {
    const QString description = DescriptionText(name).left(kMaxStoredText);
    const ProfileSection stored = ReadProfileSection(section);
    int n = 0;
    while (stored.Value("CustomProfile" + QString::number(n), kNoData) != kNoData) {
        ++n;
    }
    // The parameters go first: should the second write fail, no description is left behind
    // that would be listed without parameters, and the next save reuses the position.
    WriteProfileValue(section, "CustomProfilePar" + QString::number(n), ParameterRow());
    WriteProfileValue(section, "CustomProfile" + QString::number(n), description);
    return description;
}

void TProfile::BtnSaveProfileClick(QObject*) {
    if (ProfileName->Text().isEmpty())
        ProfileName->SetText("CustomDevice");
    const QString name = TrimmedName(ProfileName->Text());
    const DeviceType device = xconverter->CurrentDevice;
    const DeviceInfo* info = FindDevice(device);
    const QString description = SaveCustomProfile(info ? info->section : QString(), name);

    xconverter->ProfilesList->AddItem(description);
    if (device == Dev3GP) {
        xconverter->ProfilesList->SetItemIndex(xconverter->ProfilesList->Count() - 1);
    }
    xconverter->ApplySelectedProfile(device);
    accept();
}

void TProfile::BtnCancelProfileClick(QObject*) {
    reject();
}

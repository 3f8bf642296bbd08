// The converter window's own logic: its layout, its set-up for a device family each time it is
// shown, its reset, closing, the output folder choice, the volume label, the locking of controls
// during a job and its message map.
#include "converter/Txconverter.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include "media/core/Thumbnails.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/FolderChooser.h"
#include "platform/Handler.h"
#include "platform/JpegImage.h"
#include "platform/WindowMessages.h"
#include "platform/core/DataFolders.h"
#include "platform/core/EngineApi.h"
#include "platform/core/FileSystem.h"
#include "platform/core/FloatingPoint.h"
#include "platform/core/Paths.h"
#include "platform/core/Placement.h"
#include "preview/TrimRange.h"
#include "profiles/core/OutputRoot.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/Artwork.h"
#include "skin/ImageButton.h"
#include "skin/ImagePanel.h"
#include "skin/Labels.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinForm.h"
#include "skin/SkinGroupBox.h"
#include "skin/SkinProgressBar.h"
#include "skin/SkinSpinEdit.h"
#include "skin/SkinTrackBar.h"
#include "skin/WindowFont.h"

using platform::Guarded;

Txconverter* xconverter = nullptr;

const QString kStopJobAndClose =
    QStringLiteral("A conversion is running. Stop it and close the window?");

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                  const QString& text, bool fixedSize) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->move(left, top);
    if (fixedSize) {
        label->resize(width, height);
    } else {
        label->adjustSize();
    }
    return label;
}

ImageButton* MakeButton(QWidget* parent, const char* name, int left, int top, int width, int height,
                        bool transparent) {
    auto* button = new ImageButton(parent);
    button->setObjectName(name);
    button->move(left, top);
    button->SetTransparent(transparent);
    button->SetUIStyle(UIStyle::FromThemeFile);
    button->SetAutoSize(true);
    Artwork::Dress(button, "converter", name, QSize(width, height));
    return button;
}

SkinComboBox* MakeList(QWidget* parent, const char* name, int left, int top, int width, int height,
                       UIStyle look) {
    auto* list = new SkinComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(left, top, width, height);
    list->SetUIStyle(look);
    if (look == UIStyle::Protein) {
        list->SetButtonColor(QColor(251, 250, 251));
        list->SetBorderColor(Qt::black);
        list->SetArrowColor(Qt::black);
    }
    return list;
}

// The file and total bars, one under the other: 0 to 100, with their percentage shown.
SkinProgressBar* MakeBar(QWidget* parent, const char* name, int top) {
    auto* bar = new SkinProgressBar(parent);
    bar->setObjectName(name);
    bar->setGeometry(73, top, 511, 10);
    bar->SetMin(0);
    bar->SetHigh(100);
    bar->SetPosition(0);
    bar->SetShowCaption(true);
    return bar;
}

}  // namespace

Txconverter::Txconverter(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    xconverter = this;
    handle_ = std::make_unique<platform::WindowHandle>(this);
    BuildLayout();
    BindHandlers();
    setAcceptDrops(true);
    platform::MaskFloatingPointExceptions();
    Engine().Init();
}

Txconverter::~Txconverter() {
    // The add's worker goes first: it finishes the file in progress and hands nothing more to
    // the window.
    Adds.reset();
    handle_->Detach();
    ClosePreview();
    if (xconverter == this)
        xconverter = nullptr;
}

KivoWindow* Txconverter::Handle() {
    return handle_->Handle();
}

void Txconverter::BuildLayout() {
    setObjectName("xconverter");
    setWindowTitle("iPod/PSP/3GP Converter");
    setFont(WindowFont());
    resize(786, 624);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(palette);

    WindowSkin = new SkinForm(this);
    WindowSkin->setObjectName("WindowSkin");
    WindowSkin->SetGlyph(Artwork::WindowBitmap("converter"));

    TitleName = MakeLabel(this, "TitleName", 32, 8, 289, 13, "All To IPOD Video Converter", true);
    // A press on the title reaches the skin below it, which moves the window.
    TitleName->setAttribute(Qt::WA_TransparentForMouseEvents);
    BtnMinimize = MakeButton(this, "BtnMinimize", 706, 7, 28, 15, false);
    BtnClose = MakeButton(this, "BtnClose", 739, 7, 28, 15, false);

    ListImagePanel = new TListImagePanel(this);
    ListImagePanel->setObjectName("ListImagePanel");
    ListImagePanel->setGeometry(28, 40, 435, 297);
    ListImagePanel->SetColor(Qt::white);
    ListImagePanel->SetDrawStyle(DrawStyle::Stretch);
    ListImagePanel->SetPicture(Artwork::ListWatermark(QSize(435, 297)));
    ListImagePanel->setContextMenuPolicy(Qt::CustomContextMenu);
    ListMenu = new QMenu(ListImagePanel);
    AddFolder = ListMenu->addAction(QStringLiteral("Add folder..."));
    OpenOutputFolder = ListMenu->addAction(QStringLiteral("Open output folder"));
    ListMenu->addSeparator();
    ConvertMarkedRange = ListMenu->addAction(QStringLiteral("Convert only the marked range"));
    ConvertMarkedRange->setCheckable(true);
    ConvertMarkedRange->setChecked(true);
    FilesAtOnceMenu = ListMenu->addMenu(QStringLiteral("Files converted at once"));
    auto* atOnceGroup = new QActionGroup(FilesAtOnceMenu);
    for (int count = 1; count <= 4; ++count) {
        QAction* choice = FilesAtOnceMenu->addAction(QString::number(count));
        choice->setCheckable(true);
        choice->setChecked(count == 1);
        atOnceGroup->addAction(choice);
        FilesAtOnceChoices.push_back(choice);
    }

    Player = new ImagePanel(this);
    Player->setObjectName("Player");
    Player->setGeometry(475, 37, 283, 205);
    Player->SetColor(QColor(128, 0, 0));

    PlayerTrack = new SkinTrackBar(this);
    PlayerTrack->setObjectName("PlayerTrack");
    PlayerTrack->setGeometry(480, 251, 276, 20);
    PlayerTrack->SetMin(0);
    PlayerTrack->SetHigh(10);
    PlayerTrack->SetPosition(0);
    PlayerTrack->SetPageSize(2);
    PlayerTrack->SetLineSize(1);
    PlayerTrack->SetShowTick(false);

    BtnPlayPause = MakeButton(this, "BtnPlayPause", 558, 271, 57, 60, true);
    BtnPlayPause->setToolTip(QStringLiteral("Play"));
    PlayerTime =
        MakeLabel(this, "PlayerTime", 476, 274, 80, 14, QStringLiteral("00:00 / 00:00"), true);
    PlayerTime->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Light on the dark pane's frame, as the skin's own captions there.
    QPalette timePalette = PlayerTime->palette();
    timePalette.setColor(QPalette::WindowText, QColor(226, 232, 242));
    PlayerTime->setPalette(timePalette);
    BtnStop = MakeButton(this, "BtnStop", 511, 303, 32, 32, true);
    BtnSetStartPoint = MakeButton(this, "BtnSetStartPoint", 636, 303, 32, 32, true);
    BtnSetEndPoint = MakeButton(this, "BtnSetEndPoint", 687, 303, 33, 33, true);
    BtnSetEndPoint->SetAutoSize(false);
    BtnSetEndPoint->resize(33, 33);

    FileAdd = MakeButton(this, "FileAdd", 39, 343, 60, 45, true);
    FileRemove = MakeButton(this, "FileRemove", 112, 343, 60, 45, true);
    Label9 = MakeLabel(this, "Label9", 192, 349, 71, 13, "Output profiles:", false);
    ProfilesList = MakeList(this, "ProfilesList", 192, 364, 409, 24, UIStyle::WinXP);
    ProfilesList->setFont(QFont("Arial", 10));
    CustomProfileButton = MakeButton(this, "CustomProfileButton", 542, 340, 60, 23, true);
    LabelOutputFolder =
        MakeLabel(this, "LabelOutputFolder", 611, 348, 64, 13, "Output folder:", false);
    BtnBrows = MakeButton(this, "BtnBrows", 691, 342, 60, 23, true);
    OutputFolder = new SkinEdit(this);
    OutputFolder->setObjectName("OutputFolder");
    OutputFolder->setGeometry(611, 367, 142, 19);
    OutputFolder->SetText(platform::DefaultOutputRoot());

    Label1 = MakeRuleLine(this, "Label1", QRect(11, 392, 747, 1));
    Label2 = MakeRuleLine(this, "Label2", QRect(11, 394, 747, 1));

    OutputSettingsGroup = new SkinGroupBox(this);
    OutputSettingsGroup->setObjectName("OutputSettingsGroup");
    OutputSettingsGroup->setGeometry(25, 396, 721, 123);
    OutputSettingsGroup->SetUIStyle(UIStyle::MacOS);
    OutputSettingsGroup->SetTransparent(true);
    OutputSettingsGroup->SetBorderColor(QColor(127, 127, 127));
    OutputSettingsGroup->SetCaptionColor(Qt::black);
    OutputSettingsGroup->SetCaption("Output Settings");
    QWidget* group = OutputSettingsGroup;

    Label12 = MakeLabel(group, "Label12", 6, 17, 65, 13, "Video Format:", false);
    combox_videoformat = MakeList(group, "combox_videoformat", 73, 14, 80, 21, UIStyle::Protein);
    Label3 = MakeLabel(group, "Label3", 165, 19, 83, 13, "Video Resolution:", false);
    combox_resolution = MakeList(group, "combox_resolution", 250, 15, 117, 21, UIStyle::Protein);
    m_checkLetterbox = new SkinCheckBox(group);
    m_checkLetterbox->setObjectName("m_checkLetterbox");
    m_checkLetterbox->SetUIStyle(UIStyle::MacOS);
    m_checkLetterbox->SetAutoSize(false);
    m_checkLetterbox->SetTransparent(true);
    m_checkLetterbox->setGeometry(376, 15, 196, 21);
    m_checkLetterbox->SetCaption("Auto add letterbox to keep aspect");
    m_checkLetterbox->SetChecked(false);
    Label4 = MakeLabel(group, "Label4", 581, 19, 50, 13, "Framerate:", false);
    combox_framerate = MakeList(group, "combox_framerate", 632, 15, 78, 21, UIStyle::Protein);
    Label5 = MakeLabel(group, "Label5", 5, 58, 65, 13, "Video Quality:", false);
    edit_videoquality = new SkinSpinEdit(group);
    edit_videoquality->setObjectName("edit_videoquality");
    edit_videoquality->setGeometry(74, 54, 71, 25);
    edit_videoquality->SetUIStyle(UIStyle::WinXP);
    edit_videoquality->SetIncrement(1);
    edit_videoquality->SetMinValue(0);
    edit_videoquality->SetHighValue(0);
    edit_videoquality->SetValue(512);
    Label10 = MakeLabel(group, "Label10", 147, 60, 23, 13, "kbps", false);
    Label6 = MakeLabel(group, "Label6", 194, 60, 65, 13, "Audio Quality:", false);
    ab_dropdown = MakeList(group, "ab_dropdown", 262, 56, 98, 21, UIStyle::Protein);
    Audio = MakeLabel(group, "Audio", 392, 60, 88, 13, "Audio Frame Rate:", false);
    combox_audioHZ = MakeList(group, "combox_audioHZ", 481, 57, 91, 21, UIStyle::Protein);
    Label7 = MakeLabel(group, "Label7", 6, 98, 77, 13, "Audio Channels:", false);
    combox_audiochannels =
        MakeList(group, "combox_audiochannels", 87, 94, 106, 21, UIStyle::Protein);
    Label8 = MakeLabel(group, "Label8", 203, 98, 70, 13, "Volume : 100%", false);
    tr_audio_vol = new SkinTrackBar(group);
    tr_audio_vol->setObjectName("tr_audio_vol");
    tr_audio_vol->setGeometry(277, 96, 137, 20);
    tr_audio_vol->SetMin(0);
    tr_audio_vol->SetHigh(300);
    tr_audio_vol->SetPosition(100);
    tr_audio_vol->SetShowTick(false);
    Label13 = MakeLabel(group, "Label13", 419, 100, 81, 13, "Output File Type:", false);
    combox_outfiletype = MakeList(group, "combox_outfiletype", 504, 94, 70, 21, UIStyle::Protein);

    Run = MakeButton(this, "Run", 620, 453, 134, 130, false);
    Stop = MakeButton(this, "Stop", 621, 453, 134, 130, false);
    Stop->hide();

    ProgressFile = MakeBar(this, "ProgressFile", 544);
    ProgressTotal = MakeBar(this, "ProgressTotal", 557);
    Converting_Infor =
        MakeLabel(this, "Converting_Infor", 74, 570, 497, 13, "Process Info : ", true);

    PlayerTimer = new QTimer(this);
    PlayerTimer->setObjectName("PlayerTimer");
    PlayerTimer->setInterval(1000);

    bf_OpenFolder1 = new FolderChooser(this);
    bf_OpenFolder1->setObjectName("bf_OpenFolder1");

    // The skin gives the window its client size; centre it on the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(CentredWithin(screen->availableGeometry(), size()));
}

void Txconverter::BindHandlers() {
    BtnClose->OnClick = Guarded([this](QObject* s) { BtnCloseClick(s); });
    BtnMinimize->OnClick = Guarded([this](QObject* s) { BtnMinimizeClick(s); });
    ListImagePanel->OnClick = Guarded([this](QObject* s) { ListImagePanelClick(s); });
    ListImagePanel->OnDeleteKey = Guarded([this](QObject* s) { FileRemoveClick(s); });
    connect(ListImagePanel, &QWidget::customContextMenuRequested, this,
            [menu = Guarded([this](const QPoint& p) { ListImagePanelContextMenu(p); })](
                const QPoint& p) mutable { menu(p); });
    connect(AddFolder, &QAction::triggered, this,
            [add = Guarded([this] { AddFolderClick(); })](bool) mutable { add(); });
    connect(OpenOutputFolder, &QAction::triggered, this,
            [open = Guarded([this] { OpenOutputFolderClick(); })](bool) mutable { open(); });
    connect(ConvertMarkedRange, &QAction::triggered, this, [toggle = Guarded([this](bool on) {
                                                                ConvertMarkedRangeClick(on);
                                                            })](bool on) mutable { toggle(on); });
    for (size_t i = 0; i < FilesAtOnceChoices.size(); ++i) {
        connect(FilesAtOnceChoices[i], &QAction::triggered, this,
                [choose = Guarded([this, count = int(i) + 1] { FilesAtOnceClick(count); })](
                    bool) mutable { choose(); });
    }
    PlayerTrack->OnMouseDown =
        Guarded([this](QObject* s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
            PlayerTrackMouseDown(s, b, m, x, y);
        });
    // The readout follows the thumb while the user drags it.
    PlayerTrack->OnChange = Guarded([this](QObject*) { ShowPlayState(); });
    PlayerTrack->OnMouseUp = Guarded([this](QObject* s, Qt::MouseButton b, Qt::KeyboardModifiers m,
                                            int x, int y) { PlayerTrackMouseUp(s, b, m, x, y); });
    BtnPlayPause->OnClick = Guarded([this](QObject* s) { BtnPlayPauseClick(s); });
    BtnStop->OnClick = Guarded([this](QObject* s) { BtnStopClick(s); });
    BtnSetStartPoint->OnClick = Guarded([this](QObject* s) { BtnSetStartPointClick(s); });
    BtnSetEndPoint->OnClick = Guarded([this](QObject* s) { BtnSetEndPointClick(s); });
    FileAdd->OnClick = Guarded([this](QObject* s) { FileAddClick(s); });
    FileRemove->OnClick = Guarded([this](QObject* s) { FileRemoveClick(s); });
    // The rows' targets follow the output file type, whether the user picks it or a profile.
    ProfilesList->OnChange = Guarded([this](QObject* s) {
        ProfilesListChange(s);
        RefreshTargetNames();
    });
    combox_outfiletype->OnChange = Guarded([this](QObject*) { RefreshTargetNames(); });
    CustomProfileButton->OnClick = Guarded([this](QObject* s) { CustomProfileButtonClick(s); });
    BtnBrows->OnClick = Guarded([this](QObject* s) { BtnBrowsClick(s); });
    tr_audio_vol->OnChange = Guarded([this](QObject* s) { tr_audio_volChange(s); });
    m_checkLetterbox->OnClick = Guarded([this](QObject* s) { m_checkLetterboxClick(s); });
    Run->OnClick = Guarded([this](QObject* s) { RunClick(s); });
    Stop->OnClick = Guarded([this](QObject* s) { StopClick(s); });
    connect(PlayerTimer, &QTimer::timeout, this,
            [tick = Guarded([this] { PlayerTimerTimer(); })]() mutable { tick(); });
}

bool Txconverter::event(QEvent* event) {
    if (event->type() == platform::WindowMessageEvent::EventType()) {
        Guarded([this](const platform::WindowMessageEvent& m) { WndProc(m); })(
            static_cast<const platform::WindowMessageEvent&>(*event));
        return true;
    }
    return QWidget::event(event);
}

void Txconverter::WndProc(const platform::WindowMessageEvent& message) {
    if (message.msg == WM_GRAPHEVENT)
        HandleGraphEvents();  // nothing else is posted to this window
}

void Txconverter::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Guarded([this] { FormShow(); })();
}

// Every way of closing the window comes here: its own close button, the window manager's
// (Alt+F4, the title bar of the desktop) and the end of the desktop session. Closing while a job
// runs would stop it: the user is asked first, and "no" keeps the job running and the window
// open. A closed window hands back to the launcher, so a window always remains, except when the
// session ends and the launcher closes as well.
void Txconverter::closeEvent(QCloseEvent* event) {
    bool close = true;
    Guarded([this, &close] {
        close = !JobRunning() || platform::dialogs().Ask(this, kStopJobAndClose, QString());
        if (close)
            FormClose();
    })();
    if (!close) {
        event->ignore();
        return;
    }
    event->accept();
    if (ShowLauncher && !qApp->isSavingSession())
        Guarded([this] { ShowLauncher(); })();
}

void Txconverter::FormShow() {
    ResetWindow();
    SetJobControlsEnabled(true);
    StopRequested = false;
    // The family's kept list, then the files from the command line, are added once the window
    // is set up and shown.
    ListRestored = false;
    QMetaObject::invokeMethod(
        this, Guarded([this, generation = ++ShowGeneration, files = std::exchange(FilesToAdd, {})] {
            if (generation != ShowGeneration)
                return;  // closed before it came to this
            RestoreList();
            ListRestored = true;
            if (!files.isEmpty())
                AddMediaFiles(files);
        }),
        Qt::QueuedConnection);
    SetupForDevice(CurrentDevice);
}

void Txconverter::ResetWindow() {
    const int rows = ListImagePanel->ItemCount;
    for (int i = 0; i < rows; ++i) {
        ListImagePanel->SelectItem(0);
        ListImagePanel->RemoveItem();
    }
    ProfilesList->Clear();
    OutputFolder->SetText(QString());
    for (SkinComboBox* list : {combox_videoformat, combox_resolution, combox_framerate, ab_dropdown,
                               combox_audioHZ, combox_audiochannels, combox_outfiletype}) {
        list->Clear();
    }
    m_checkLetterbox->SetChecked(false);
    edit_videoquality->SetValue(512);
    tr_audio_vol->SetPosition(100);
    ProgressFile->SetPosition(0);
    ProgressTotal->SetPosition(0);
    Converting_Infor->setText("Process Info : ");
    // The track shows a range only for a selected row: a fresh window shows the plain line.
    DrawTrimLines(PlayerTrack->BarBitmap(), PlayerTrack->width(), 0, 0, 0);
    PlayerTrack->update();
    TrackShowsRow = false;
    ShowPlayState();
    ShowListHint();
}

void Txconverter::SetupForDevice(DeviceType device) {
    const DeviceInfo* info = FindDevice(device);
    ExeFolder = platform::ExeFolder();
    if (!info)
        return;  // only a device button shows this window
    TitleName->setText(info->title);
    CopyThumbnailToOutput = info->copyStill;
    LoadDeviceProfiles(device);
    LoadConvertMarkedRange();
    LoadLetterbox();
    LoadFilesAtOnce();
    Player->SetPicture(platform::LoadPicture(ExeFolder + info->picture));
    if (const QString folder = FamilyOutputFolder(*info); !folder.isEmpty())
        OutputFolder->SetText(folder);
}

void Txconverter::FormClose() {
    EndJobForClose();  // a running job's engine stops before its rows go
    CancelAdds();
    ClosePreview();
    if (ListRestored)
        SaveList();
    ListRestored = false;
    ++ShowGeneration;
    ResetWindow();
    const QString thumbnails = ThumbnailFolder(platform::StillsParentFolder());
    if (platform::DirectoryExists(thumbnails))
        ClearFolder(thumbnails, false);
}

// The launcher returns through closeEvent, as after the window manager's close.
void Txconverter::BtnCloseClick(QObject*) {
    close();
}

// The launcher is hidden while this window is open, so minimising this window minimises the
// application, as the launcher's own button does.
void Txconverter::BtnMinimizeClick(QObject*) {
    showMinimized();
}

void Txconverter::BtnBrowsClick(QObject*) {
    const DeviceInfo* info = FindDevice(CurrentDevice);
    const QString subFolder = info ? info->subFolder : QString();
    bf_OpenFolder1->Title = "Select a folder to save the target files.";
    bf_OpenFolder1->InitialFolder = OutputFolder->Text().trimmed();
    if (!bf_OpenFolder1->Execute())
        return;
    const QString chosen = platform::WithTrailingSeparator(bf_OpenFolder1->FolderName);
    if (!platform::DirectoryExists(chosen))
        platform::CreateDir(chosen);
    if (!platform::DirectoryExists(chosen + subFolder))
        platform::CreateDir(chosen + subFolder);
    if (platform::DirectoryExists(chosen + subFolder)) {
        WriteProfileValue("MainSettings", "DefaultOutputMainPath", chosen);
        OutputFolder->SetText(chosen + subFolder);
    } else {
        platform::ShowMessage(this, "Please choose anthor folder to save the target files.");
    }
}

void Txconverter::tr_audio_volChange(QObject*) {
    Label8->setText(QStringLiteral("Volume : %1%").arg(tr_audio_vol->Position()));
    Label8->adjustSize();
}

void Txconverter::SetJobControlsEnabled(bool enabled) {
    // The list with its buttons, the profile and folder choice and the preview's buttons; then
    // the output settings panel.
    QWidget* const controls[] = {
        ListImagePanel, FileAdd,          FileRemove, ProfilesList, CustomProfileButton, BtnBrows,
        OutputFolder,   BtnSetStartPoint, BtnStop,    BtnPlayPause, BtnSetEndPoint};
    QWidget* const settings[] = {combox_videoformat, combox_resolution,    m_checkLetterbox,
                                 combox_framerate,   edit_videoquality,    ab_dropdown,
                                 combox_audioHZ,     combox_audiochannels, tr_audio_vol,
                                 combox_outfiletype};
    for (QWidget* control : controls)
        control->setEnabled(enabled);
    for (QWidget* control : settings)
        control->setEnabled(enabled);
}

void Txconverter::ClearFolder(const QString& folder, bool recursive) {
    const QString base = platform::WithTrailingSeparator(folder);
    for (const platform::DirEntry& entry : platform::ListFolder(base)) {
        if (entry.name == "." || entry.name == "..")
            continue;
        if (!entry.isFolder) {
            platform::DeleteFile(base + entry.name);
        } else if (recursive) {
            ClearFolder(base + entry.name, true);
        }
    }
}

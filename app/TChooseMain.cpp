#include "app/TChooseMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "app/Taboutkivodvd.h"
#include "converter/Txconverter.h"
#include "platform/Dialogs.h"
#include "platform/Handler.h"
#include "platform/core/Placement.h"
#include "platform/Shell.h"
#include "skin/Artwork.h"
#include "skin/ImageButton.h"
#include "skin/Labels.h"
#include "skin/SkinForm.h"
#include "skin/WindowFont.h"

using platform::Guarded;

TChooseMain* ChooseMain = nullptr;

const QString HomePageAddress = QStringLiteral("https://www.qorconverter.com/");
const QString HelpPageAddress = QStringLiteral("https://www.qorconverter.com/help/");
const QString ContactMailLink = QStringLiteral("mailto:support@qorconverter.com");

QString LauncherDescription(int index) {
    static const QString head = "Qor 3GP PSP IPOD MP4 PDA Video Converter. \n\n\n";
    static const char* sources[] = {"AVI DIVX XVID", "MPEG1 MPEG2", "WMV ASF", "MP4",
                                    "MOV... etc."};
    if (index == -1) {
        QString text = head;
        for (int i = 0; i < 5; ++i) {
            text += QStringLiteral(" Convert %1 to 3GP PSP IPOD MP4 PDA Video%2\n")
                        .arg(sources[i], i < 2 ? "   " : "  ");
        }
        return text;
    }
    struct Target {
        const char* name;
        const char* closing;
    };
    static const Target targets[] = {
        {"3GP 3GPP 3G2", "You can play the movies on your mobile phone."},
        {"PSP-MP4", "You can play the movies on your PSP."},
        {"IPOD-MP4", "You can play the movies on your IPOD."},
        {"PPC PDA", "You can play the movies on your PPC PDA."},
        {"Standard MP4", "You can play the movies on PC or other device."},
    };
    if (index < 0 || index > 4)
        return QString();
    QString text = head;
    for (int i = 0; i < 5; ++i) {
        text += QStringLiteral(" Convert %1 to %2 Video   \n").arg(sources[i], targets[index].name);
    }
    return text + "\n " + targets[index].closing;
}

namespace {

ImageButton* MakeButton(QWidget* parent, const char* name, int left, int top, int width,
                        int height) {
    auto* button = new ImageButton(parent);
    button->setObjectName(name);
    button->move(left, top);
    button->SetTransparent(true);
    button->SetUIStyle(UIStyle::FromThemeFile);
    button->SetAutoSize(true);
    Artwork::Dress(button, "launcher", name, QSize(width, height));
    return button;
}

}  // namespace

TChooseMain::TChooseMain(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    ChooseMain = this;
    setObjectName("ChooseMain");
    setWindowTitle("Qor Converter");
    setFont(WindowFont());
    resize(656, 479);

    WindowSkin = new SkinForm(this);
    WindowSkin->setObjectName("WindowSkin");
    WindowSkin->SetGlyph(Artwork::WindowBitmap("launcher"));

    Label1 = MakeRuleLine(this, "Label1", QRect(22, 391, 383, 1));
    Label2 = MakeRuleLine(this, "Label2", QRect(22, 394, 383, 1));
    Label3 = MakeColouredLabel(this, "Label3", QRect(320, 376, 80, 13), Qt::white);
    Label4 = MakeColouredLabel(this, "Label4", QRect(321, 377, 80, 13), QColor(128, 128, 128));
    Label3->setText("Qor Converter");
    Label4->setText("Qor Converter");
    Label3->raise();
    Label5 = MakeColouredLabel(this, "Label5", QRect(40, 215, 370, 152), Qt::white);
    Label6 = MakeColouredLabel(this, "Label6", QRect(41, 216, 370, 152), Qt::black);
    for (QLabel* text : {Label5, Label6}) {
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setWordWrap(true);
    }
    Label5->raise();

    Btn3GP = MakeButton(this, "Btn3GP", 473, 50, 122, 66);
    BtnPSP = MakeButton(this, "BtnPSP", 475, 118, 122, 66);
    BtnIPOD = MakeButton(this, "BtnIPOD", 478, 196, 122, 66);
    BtnPDA = MakeButton(this, "BtnPDA", 478, 265, 122, 66);
    BtnMP4 = MakeButton(this, "BtnMP4", 480, 328, 122, 66);
    BtnAbout = MakeButton(this, "BtnAbout", 64, 402, 63, 22);
    BtnHome = MakeButton(this, "BtnHome", 137, 402, 63, 22);
    BtnEmail = MakeButton(this, "BtnEmail", 205, 402, 63, 22);
    BtnHelp = MakeButton(this, "BtnHelp", 348, 402, 63, 22);
    BtnMinimize = MakeButton(this, "BtnMinimize", 424, 26, 12, 9);
    BtnClose = MakeButton(this, "BtnClose", 445, 23, 11, 12);

    // PSP and iPod are complete families but are not offered here; PDA takes the iPod's place.
    BtnIPOD->hide();
    BtnPSP->hide();
    BtnPDA->move(BtnPDA->x(), BtnIPOD->y());

    Btn3GP->OnClick = Guarded([this](QObject* s) { Btn3GPClick(s); });
    BtnPSP->OnClick = Guarded([this](QObject* s) { BtnPSPClick(s); });
    BtnIPOD->OnClick = Guarded([this](QObject* s) { BtnIPODClick(s); });
    BtnPDA->OnClick = Guarded([this](QObject* s) { BtnPDAClick(s); });
    BtnMP4->OnClick = Guarded([this](QObject* s) { BtnMP4Click(s); });
    BtnClose->OnClick = Guarded([this](QObject* s) { BtnCloseClick(s); });
    BtnMinimize->OnClick = Guarded([this](QObject* s) { BtnMinimizeClick(s); });
    BtnAbout->OnClick = Guarded([this](QObject* s) { BtnAboutClick(s); });
    BtnHome->OnClick = Guarded([this](QObject* s) { BtnHomeClick(s); });
    BtnHelp->OnClick = Guarded([this](QObject* s) { BtnHelpClick(s); });
    BtnEmail->OnClick = Guarded([this](QObject* s) { BtnEmailClick(s); });

    WindowSkin->OnMouseMove =
        Guarded([this](QObject*, Qt::KeyboardModifiers, int, int) { ShowDescription(-1); });
    const std::pair<ImageButton*, DeviceType> devices[] = {
        {Btn3GP, Dev3GP}, {BtnPSP, DevPSP}, {BtnIPOD, DevIPOD}, {BtnPDA, DevPDA}, {BtnMP4, DevMP4}};
    for (const auto& [button, device] : devices) {
        button->OnMouseMove = Guarded(
            [this, d = device](QObject*, Qt::KeyboardModifiers, int, int) { ShowDescription(d); });
    }

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(CentredWithin(screen->availableGeometry(), size()));
}

TChooseMain::~TChooseMain() {
    if (ChooseMain == this)
        ChooseMain = nullptr;
}

void TChooseMain::ShowDescription(int index) {
    if (ShownDescription == index)
        return;
    ShownDescription = index;
    Label5->setText(LauncherDescription(index));
    Label6->setText(Label5->text());
}

void TChooseMain::ChooseDevice(DeviceType device) {
    SelectedDevice = device;
    hide();
    if (xconverter) {
        // The converter is set up for the family when it shows, and comes back here on close.
        xconverter->CurrentDevice = device;
        xconverter->ShowLauncher = [launcher = QPointer<TChooseMain>(this)] {
            if (launcher)
                launcher->ShowAgain();
        };
        xconverter->setWindowState(xconverter->windowState() & ~Qt::WindowMinimized);
        xconverter->show();
        xconverter->raise();
        xconverter->activateWindow();
    }
}

void TChooseMain::ShowAgain() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TChooseMain::Btn3GPClick(QObject*) {
    ChooseDevice(Dev3GP);
}
void TChooseMain::BtnPSPClick(QObject*) {
    ChooseDevice(DevPSP);
}
void TChooseMain::BtnIPODClick(QObject*) {
    ChooseDevice(DevIPOD);
}
void TChooseMain::BtnPDAClick(QObject*) {
    ChooseDevice(DevPDA);
}
void TChooseMain::BtnMP4Click(QObject*) {
    ChooseDevice(DevMP4);
}

void TChooseMain::BtnCloseClick(QObject*) {
    QCoreApplication::quit();
}

void TChooseMain::BtnMinimizeClick(QObject*) {
    showMinimized();
}

void TChooseMain::BtnAboutClick(QObject*) {
    if (aboutkivodvd)
        platform::dialogs().ExecModal(*aboutkivodvd);
}

void TChooseMain::BtnHomeClick(QObject*) {
    platform::ShellOpen(HomePageAddress);
}
void TChooseMain::BtnHelpClick(QObject*) {
    platform::ShellOpen(HelpPageAddress);
}
void TChooseMain::BtnEmailClick(QObject*) {
    platform::ShellOpen(ContactMailLink);
}

void TChooseMain::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}

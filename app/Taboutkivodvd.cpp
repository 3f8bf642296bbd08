#include "app/Taboutkivodvd.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include "app/TChooseMain.h"
#include "platform/Handler.h"
#include "platform/core/Paths.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/Labels.h"
#include "skin/SkinButton.h"
#include "skin/UrlLabel.h"
#include "skin/WindowFont.h"

Taboutkivodvd* aboutkivodvd = nullptr;

Taboutkivodvd::Taboutkivodvd(QWidget* parent) : QDialog(parent) {
    aboutkivodvd = this;
    setObjectName("aboutkivodvd");
    setWindowTitle("About");
    setFont(WindowFont());
    setFixedSize(468, 285);

    QFont titleFont = WindowFont();
    titleFont.setBold(true);
    titleFont.setPixelSize(15);
    Label2 = MakeColouredLabel(this, "Label2", QRect(16, 16, 417, 17), Qt::white);
    Label8 = MakeColouredLabel(this, "Label8", QRect(17, 17, 417, 17),
                               palette().color(QPalette::WindowText));
    Label2->setFont(titleFont);
    Label8->setFont(titleFont);
    Label8->raise();
    Label4 = MakeColouredLabel(this, "Label4", QRect(352, 40, 110, 13),
                               palette().color(QPalette::WindowText));

    MakerLine = MakeColouredLabel(this, "MakerLine", QRect(336, 189, 80, 13), Qt::white);
    MakerShadow =
        MakeColouredLabel(this, "MakerShadow", QRect(337, 189, 80, 13), QColor(128, 128, 128));
    MakerLine->setText("Qor Converter");
    MakerShadow->setText("Qor Converter");
    MakerLine->raise();
    Label3 = MakeRuleLine(this, "Label3", QRect(-10, 201, 470, 1));
    Label7 = MakeRuleLine(this, "Label7", QRect(-10, 205, 470, 1));

    WebLink = new UrlLabel(this);
    WebLink->setObjectName("WebLink");
    WebLink->move(8, 216);
    WebLink->SetCaption("WebSite: " + HomePageAddress);
    WebLink->SetURL(HomePageAddress);
    ContactLink = new UrlLabel(this);
    ContactLink->setObjectName("ContactLink");
    ContactLink->move(8, 235);
    QString mail = ContactMailLink;
    if (mail.startsWith("mailto:", Qt::CaseInsensitive))
        mail = mail.mid(7);
    ContactLink->SetCaption("Contact:   " + mail);
    ContactLink->SetURL(ContactMailLink);

    BtnAboutClose = new SkinButton(this);
    BtnAboutClose->setObjectName("BtnAboutClose");
    BtnAboutClose->SetUIStyle(UIStyle::WinXP);
    BtnAboutClose->setGeometry(360, 224, 80, 27);
    BtnAboutClose->SetCaption("Close");
    BtnAboutClose->OnClick = platform::Guarded([this](QObject* s) { BtnAboutCloseClick(s); });

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

Taboutkivodvd::~Taboutkivodvd() {
    if (aboutkivodvd == this)
        aboutkivodvd = nullptr;
}

QString Taboutkivodvd::ReadVersionValue(const QString& section, const QString& key,
                                        const QString& def) {
    return ReadIniValue(platform::ExeFolder() + "Gver.dll", section, key, def);
}

void Taboutkivodvd::FormShow() {
    const QString sp = ReadVersionValue("Config", "sp", "IPOD/PSP/3GP/MP4 Video Converter");
    const QString ver1 = ReadVersionValue("Config", "ver1", "4");
    const QString ver2 = ReadVersionValue("Config", "ver2", "0");
    const QString ver3 = ReadVersionValue("Config", "ver3", "0");
    const QString buildon = ReadVersionValue("Config", "buildon", "20070115");
    Label2->setText("QOR " + sp + "  " + ver1 + "." + ver2 + "." + ver3);
    Label8->setText(Label2->text());
    Label4->setText("Build On " + buildon);
    Label4->adjustSize();
}

void Taboutkivodvd::BtnAboutCloseClick(QObject*) {
    done(0);
}

void Taboutkivodvd::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        platform::Guarded([this] { FormShow(); })();
}

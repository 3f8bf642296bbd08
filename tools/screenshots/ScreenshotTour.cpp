// A guided tour of the program's windows for screenshots: starts the windows as the program
// does, walks through the launcher, the converter window for 3GP with three clips listed and the
// default profile applied, the profile editor and the about box, saves a PNG of each and checks
// the launcher's and the converter's geometry and the buttons' pictures on the way. Runs under a
// virtual X display.
//   qor_screenshots <output folder> <clip> [<clip> ...]
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <deque>

#include "app/TChooseMain.h"
#include "app/Taboutkivodvd.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "profiles/ProfileDatabase.h"
#include "profiles/TProfile.h"
#include "skin/ImageButton.h"
#include "skin/ImagePanel.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"

namespace {

int g_failures = 0;

void Check(bool ok, const QString& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", qPrintable(what));
    if (!ok)
        ++g_failures;
}

void Settle(int ms = 300) {
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(ms);
    while (timer.isActive())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Saves the window as the user sees it: a shaped window shows only its shape, over a plain
// desktop colour.
void Save(QWidget* window, const QString& path) {
    Settle();
    const QPixmap picture = window->grab();
    QImage shot(picture.size(), QImage::Format_RGB32);
    shot.fill(QColor(58, 64, 76));
    QPainter painter(&shot);
    if (!window->mask().isEmpty())
        painter.setClipRegion(window->mask());
    painter.drawPixmap(0, 0, picture);
    painter.end();
    Check(shot.save(path), "saved " + path);
}

// Every image button of a window shows a picture and has that picture's size (the end-point
// button keeps its own size of 33 x 33).
void CheckButtonsDressed(QWidget* window, const QString& name) {
    int dressed = 0, total = 0;
    for (ImageButton* button : window->findChildren<ImageButton*>()) {
        ++total;
        if (!button->PicNormal().isNull() && !button->PicMouseOn().isNull() &&
            !button->PicMouseDown().isNull() && button->size() == button->PicNormal().size())
            ++dressed;
        else
            std::printf("     %s has no fitting picture\n", qPrintable(button->objectName()));
    }
    Check(total > 0 && dressed == total,
          QString("%1: %2 of %3 image buttons dressed").arg(name).arg(dressed).arg(total));
}

// Answers the open dialog with the tour's clips and shows modal windows without blocking.
class TourDialogs : public platform::Dialogs {
public:
    std::deque<QString> clips;
    std::function<void(QDialog&)> onModal;

    void MessageBox(QWidget*, const QString& text, const QString& caption,
                    platform::BoxIcon) override {
        std::printf("message box [%s]: %s\n", qPrintable(caption), qPrintable(text));
    }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&,
                                    const QList<platform::FileFilter>&) override {
        if (clips.empty())
            return std::nullopt;
        QString clip = clips.front();
        clips.pop_front();
        return clip;
    }
    std::optional<QString> BrowseForFolder(QWidget*, const QString&, unsigned,
                                           const QString&) override {
        return std::nullopt;
    }
    int ExecModal(QDialog& dialog) override {
        dialog.show();
        if (onModal)
            onModal(dialog);
        dialog.hide();
        return 0;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("QorConverter");
    QApplication::setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C");
    if (argc < 2) {
        std::fprintf(stderr, "usage: qor_screenshots <output folder> <clip>...\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    QDir().mkpath(out);
    // The output root lies under the home folder, which a test may point at a fresh folder.
    QDir().mkpath(QDir::homePath());
    TourDialogs dialogs;
    for (int i = 2; i < argc; ++i)
        dialogs.clips.push_back(QString::fromLocal8Bit(argv[i]));
    platform::SetDialogs(&dialogs);

    TChooseMain launcher;
    Txconverter converter;
    Taboutkivodvd about;
    TProfile profile;
    launcher.show();
    Settle();

    Check(launcher.size() == QSize(648, 452), "launcher is 648 x 452");
    Check(launcher.Btn3GP->isVisible() && launcher.Btn3GP->y() == 50, "3GP button at top 50");
    Check(launcher.BtnPDA->isVisible() && launcher.BtnPDA->y() == 196, "PDA button at top 196");
    Check(launcher.BtnMP4->isVisible() && launcher.BtnMP4->y() == 328, "MP4 button at top 328");
    Check(!launcher.BtnPSP->isVisible() && !launcher.BtnIPOD->isVisible(),
          "PSP and iPod buttons hidden");
    CheckButtonsDressed(&launcher, "launcher");
    launcher.ShowDescription(-1);
    Save(&launcher, out + "launcher.png");

    launcher.Btn3GP->Click();
    Settle();
    const QString root = ReadProfileValue("MainSettings", "DefaultOutputMainPath", "");
    Check(launcher.isHidden(), "3GP hides the launcher");
    Check(converter.isVisible() && converter.size() == QSize(778, 597),
          "converter window is 778 x 597");
    Check(converter.TitleName->text() == "All To 3GP 3GPP (Mobile) Video Converter",
          "converter shows the 3GP title");
    Check(converter.OutputFolder->Text().endsWith("/3GP/") &&
              platform::DirectoryExists(converter.OutputFolder->Text()),
          "output folder " + converter.OutputFolder->Text() + " exists");
    Check(converter.ProfilesList->ItemIndex() >= 0, "a default profile is selected");
    const int clipCount = int(dialogs.clips.size());
    for (int i = 0; i < clipCount; ++i)
        converter.FileAdd->Click();
    Check(converter.ListImagePanel->ItemCount == clipCount,
          QString("%1 clips listed").arg(converter.ListImagePanel->ItemCount));
    CheckButtonsDressed(&converter, "converter window");
    Check(!converter.Player->Picture().isNull(), "the preview pane shows the device picture");
    Save(&converter, out + "converter-3gp.png");

    dialogs.onModal = [&](QDialog& dialog) { Save(&dialog, out + "profile-editor.png"); };
    converter.CustomProfileButton->Click();

    converter.BtnClose->Click();
    Settle();
    Check(converter.isHidden() && launcher.isVisible(), "close brings the launcher back");

    dialogs.onModal = [&](QDialog& dialog) { Save(&dialog, out + "about.png"); };
    launcher.BtnAbout->Click();

    QTimer::singleShot(200, [&] { launcher.BtnClose->Click(); });
    const int code = app.exec();
    Check(code == 0, "the launcher's close button ends the program with exit code 0");
    platform::SetDialogs(nullptr);
    std::printf("%d checks failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}

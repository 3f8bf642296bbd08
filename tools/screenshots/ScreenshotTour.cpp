// A guided tour of the program's windows for screenshots: starts the windows as the program
// does, walks through the launcher, the converter window for 3GP with three clips listed and the
// default profile applied, the profile editor and the about box, saves a PNG of each and checks
// the launcher's and the converter's geometry and the buttons' pictures on the way. Runs under a
// virtual X display. With --window-manager (a window manager runs on the display, and the
// xdotool program drives the real pointer) it also minimises and restores the converter, drags
// it by its title, turns the wheel over the list, runs a job and brings the launcher back from
// a minimised state, with a screenshot of each.
//   qor_screenshots [--window-manager] <output folder> <clip> [<clip> ...]
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <clocale>
#include <cstdio>
#include <deque>
#include <functional>

#include "app/TChooseMain.h"
#include "app/Taboutkivodvd.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/core/FileSystem.h"
#include "profiles/TProfile.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/ImageButton.h"
#include "skin/ImagePanel.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinScrollBar.h"

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

// Waits for `done` while the events run; false when the deadline passes first.
bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// The whole screen as the user sees it, window manager and all.
void SaveScreen(const QString& path) {
    Settle();
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    Check(screen.save(path), "saved " + path);
}

// Drives the real pointer through xdotool, so that the window manager sees it too.
bool Pointer(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool Exposed(QWidget* window) {
    return window->windowHandle() && window->windowHandle()->isExposed();
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
    bool Ask(QWidget*, const QString& text, const QString&) override {
        std::printf("question: %s (answered yes)\n", qPrintable(text));
        return true;
    }
    int Choose(QWidget*, const QString& text, const QString&, const QStringList&) override {
        std::printf("question: %s (answered with the first choice)\n", qPrintable(text));
        return 0;
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

// Namesakes with their own targets, and the real wheel over a row.
void ListWithTheWheel(Txconverter& converter, const QString& out) {
    TListImagePanel* list = converter.ListImagePanel;
    Check(list->ItemCount >= 6, QString("%1 rows listed to scroll").arg(list->ItemCount));
    QStringList targets;
    for (int i = 0; i < list->ItemCount; ++i)
        targets << list->GetItem(unsigned(i))->TargetName;
    std::printf("     targets: %s\n", qPrintable(targets.join(", ")));
    Check(targets.removeDuplicates() == 0, "every row has its own target name");

    // Two notches of the real wheel over the second row move the list by two rows.
    converter.activateWindow();
    WaitFor([&] { return converter.isActiveWindow(); }, 15000);
    const QPoint overRow = list->GetItem(1)->mapToGlobal(QPoint(150, 30));
    Pointer({"mousemove", QString::number(overRow.x()), QString::number(overRow.y())});
    Pointer({"click", "5"});
    Pointer({"click", "5"});
    const bool scrolled = WaitFor([&] { return list->ListScrollBar->Position() == 2 * 71; }, 15000);
    Check(scrolled, QString("two wheel notches scroll the list by two rows (position %1)")
                        .arg(list->ListScrollBar->Position()));
    Save(&converter, out + "converter-wheel.png");
}

// A running job: the locked image buttons show their dimmed pictures.
void RunningJob(Txconverter& converter, const QString& out) {
    converter.Run->Click();
    Check(WaitFor([&] { return converter.JobRunning(); }, 15000), "Run starts the job");
    Settle(800);
    int dimmed = 0;
    const std::initializer_list<ImageButton*> locked = {
        converter.FileAdd,          converter.FileRemove,    converter.CustomProfileButton,
        converter.BtnBrows,         converter.BtnPlayPause,  converter.BtnStop,
        converter.BtnSetStartPoint, converter.BtnSetEndPoint};
    for (ImageButton* button : locked) {
        const QPoint middle(button->width() / 2, button->height() / 2);
        dimmed += !button->isEnabled() &&
                  button->grab().toImage().pixel(middle) == button->PicDisabled().pixel(middle);
    }
    Check(dimmed == int(locked.size()), QString("%1 of %2 locked buttons show their dimmed picture")
                                            .arg(dimmed)
                                            .arg(locked.size()));
    Save(&converter, out + "converter-job-running.png");
    converter.Stop->Click();
    Check(WaitFor([&] { return !converter.JobRunning(); }, 20000), "Stop ends the job");
}

// The converter under a window manager: the wheel over the list, minimise and restore, a drag
// by the title and a running job with its locked buttons dimmed.
void WindowManagerTour(TChooseMain&, Txconverter& converter, const QString& out) {
    TListImagePanel* list = converter.ListImagePanel;
    const bool clips = list->ItemCount > 0;
    if (clips)
        ListWithTheWheel(converter, out);
    else
        std::printf("     no clips given: the wheel and the job are left out\n");

    // Minimise and restore.
    converter.BtnMinimize->Click();
    Check(WaitFor([&] { return !Exposed(&converter); }, 15000),
          "the minimise button minimises the converter");
    SaveScreen(out + "converter-minimised.png");
    converter.showNormal();
    converter.activateWindow();
    Check(WaitFor([&] { return Exposed(&converter) && !converter.isMinimized(); }, 15000),
          "the converter comes back restored");
    SaveScreen(out + "converter-restored.png");

    // A drag by the title moves the window by the pointer's way.
    const QPoint before = converter.pos();
    const QPoint grip = converter.mapToGlobal(converter.TitleName->geometry().center());
    Pointer({"mousemove", QString::number(grip.x()), QString::number(grip.y())});
    Pointer({"mousedown", "1"});
    for (int step = 1; step <= 6; ++step) {
        Pointer({"mousemove", QString::number(grip.x() - 20 * step),
                 QString::number(grip.y() + 15 * step)});
        Settle(50);
    }
    Pointer({"mouseup", "1"});
    const bool moved = WaitFor([&] { return converter.pos() != before; }, 15000);
    Check(moved, QString("a drag by the title moves the converter from %1,%2 to %3,%4")
                     .arg(before.x())
                     .arg(before.y())
                     .arg(converter.pos().x())
                     .arg(converter.pos().y()));
    SaveScreen(out + "converter-moved.png");

    if (clips)
        RunningJob(converter, out);
}

// Minimising the launcher, restoring it, opening a family and closing it brings the launcher
// back visible and active.
void LauncherComesBack(TChooseMain& launcher, Txconverter& converter, const QString& out) {
    launcher.BtnMinimize->Click();
    Check(WaitFor([&] { return !Exposed(&launcher); }, 15000), "the launcher minimises");
    launcher.showNormal();
    Check(WaitFor([&] { return Exposed(&launcher); }, 15000), "the launcher is restored");
    launcher.BtnMP4->Click();
    Check(WaitFor([&] { return Exposed(&converter); }, 15000), "MP4 opens the converter");
    converter.BtnClose->Click();
    Check(WaitFor([&] { return Exposed(&launcher) && launcher.isActiveWindow(); }, 15000),
          "closing the converter brings the launcher back visible and active");
    Check(!launcher.isMinimized(), "the launcher is not minimised");
    SaveScreen(out + "launcher-back.png");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("QorConverter");
    QApplication::setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C");
    int first = 1;
    const bool windowManager = argc > 1 && QString::fromLocal8Bit(argv[1]) == "--window-manager";
    if (windowManager)
        ++first;
    if (argc < first + 1) {
        std::fprintf(stderr,
                     "usage: qor_screenshots [--window-manager] <output folder> <clip>...\n");
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[first])).absolutePath() + "/";
    QDir().mkpath(out);
    // The output root lies under the home folder, which a test may point at a fresh folder.
    QDir().mkpath(QDir::homePath());
    TourDialogs dialogs;
    for (int i = first + 1; i < argc; ++i)
        dialogs.clips.push_back(QString::fromLocal8Bit(argv[i]));
    // With a window manager the list gets namesakes of the first clip as well, enough rows to
    // scroll, each with its own target name.
    QTemporaryDir namesakes;
    if (windowManager && !dialogs.clips.empty()) {
        for (const char* name :
             {"holiday.beach.avi", "holiday.party.avi", "holiday.avi", "holiday.night.avi"}) {
            const QString copy = namesakes.path() + "/" + name;
            if (QFile::copy(dialogs.clips.front(), copy))
                dialogs.clips.push_back(copy);
        }
    }
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

    if (windowManager)
        WindowManagerTour(launcher, converter, out);

    converter.BtnClose->Click();
    Settle();
    Check(converter.isHidden() && launcher.isVisible(), "close brings the launcher back");

    if (windowManager)
        LauncherComesBack(launcher, converter, out);

    dialogs.onModal = [&](QDialog& dialog) { Save(&dialog, out + "about.png"); };
    launcher.BtnAbout->Click();

    QTimer::singleShot(200, [&] { launcher.BtnClose->Click(); });
    const int code = app.exec();
    Check(code == 0, "the launcher's close button ends the program with exit code 0");
    platform::SetDialogs(nullptr);
    std::printf("%d checks failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}

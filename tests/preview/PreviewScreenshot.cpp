// Plays a clip in the converter window and saves a picture of the window while it plays:
//   preview_screenshot <clip> <png>
// Run under a virtual X display by scripts/preview-screenshot.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <clocale>
#include <cstdio>

#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "preview/core/PreviewPlayer.h"
#include "skin/ImageButton.h"
#include "skin/SkinTrackBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/WaitUntil.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: preview_screenshot <clip> <png>\n");
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("QorConverter");
    std::setlocale(LC_NUMERIC, "C");
    const QString clip = QString::fromLocal8Bit(argv[1]);

    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    window.CurrentDevice = DevMP4;
    window.show();
    dialogs.openAnswers.push_back(clip);
    window.FileAddClick(window.FileAdd);
    testsupport::WaitUntil([&] { return !window.AddsPending(); });
    if (window.ListImagePanel->ItemCount < 1) {
        std::fprintf(stderr, "the clip was not added\n");
        return 1;
    }
    window.BtnPlayPauseClick(window.BtnPlayPause);

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2500)
        QApplication::processEvents(QEventLoop::AllEvents, 20);

    const QPixmap shot = window.screen()->grabWindow(window.winId());
    const bool saved = shot.save(QString::fromLocal8Bit(argv[2]));
    std::printf("playing %d, track %d of %d, window %dx%d, saved %d\n", int(PreviewPlaying),
                window.PlayerTrack->Position(), window.PlayerTrack->High(), shot.width(),
                shot.height(), int(saved));
    for (const ShownMessage& m : dialogs.messages)
        std::printf("message: %s\n", qPrintable(m.text));
    window.ClosePreview();
    return saved && PreviewPlaying ? 0 : 1;
}

// Add benchmark: 100 generated 1080p files are added to the converter window through its add
// path (AddMediaFiles, as Add's dialog and a drop do), probed and their stills made by the real
// engine. A timer on the window's thread ticks every 5 ms; the worst gap between two ticks,
// less the interval, is the longest the window could not answer. Also printed: the time from
// the add until the last row shows. Runs on the offscreen platform.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <memory>

#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

constexpr int Files = 100;
constexpr int TickMs = 5;

// One 1080p clip with sound, as a camera or a download gives it; the others are copies under
// other names, so every add probes and decodes a file of its own.
bool MakeClips(const QString& folder, QStringList& paths) {
    const QString first = folder + "/clip000.mp4";
    const int exit = QProcess::execute("ffmpeg", {"-v",
                                                  "error",
                                                  "-y",
                                                  "-f",
                                                  "lavfi",
                                                  "-i",
                                                  "testsrc2=size=1920x1080:rate=25",
                                                  "-f",
                                                  "lavfi",
                                                  "-i",
                                                  "sine=frequency=440:sample_rate=48000",
                                                  "-t",
                                                  "8",
                                                  "-c:v",
                                                  "libx264",
                                                  "-preset",
                                                  "ultrafast",
                                                  "-g",
                                                  "50",
                                                  "-pix_fmt",
                                                  "yuv420p",
                                                  "-c:a",
                                                  "aac",
                                                  "-shortest",
                                                  first});
    if (exit != 0)
        return false;
    paths.append(first);
    for (int i = 1; i < Files; ++i) {
        const QString copy = folder + QString::asprintf("/clip%03d.mp4", i);
        if (!QFile::copy(first, copy))
            return false;
        paths.append(copy);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    ScratchInstall install;
    QTemporaryDir clips;
    QStringList paths;
    if (!clips.isValid() || !MakeClips(clips.path(), paths)) {
        std::fprintf(stderr, "the ffmpeg tool could not make the clips\n");
        return 1;
    }

    FakeDialogs dialogs;
    auto window = std::make_unique<Txconverter>();
    window->CurrentDevice = DevMP4;
    window->show();
    app.processEvents();
    TListImagePanel* list = window->ListImagePanel;

    // The window's pulse: the gap between two ticks beyond the interval is a delay the user
    // would feel.
    QElapsedTimer sinceTick;
    qint64 worstGapNs = 0;
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    pulse.setInterval(TickMs);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        worstGapNs = std::max(worstGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });

    QElapsedTimer clock;
    // The add starts from the event loop, as a click or a drop does.
    QTimer::singleShot(0, window.get(), [&] {
        clock.start();
        sinceTick.start();
        pulse.start();
        window->AddMediaFiles(paths);
    });
    qint64 lastRowNs = -1;
    QElapsedTimer deadline;
    deadline.start();
    while (deadline.elapsed() < 600000) {
        app.processEvents(QEventLoop::AllEvents, 5);
        if (clock.isValid() && list->ItemCount >= Files) {
            lastRowNs = clock.nsecsElapsed();
            break;
        }
    }
    // A few more ticks, so that a delay that lasted until the last row is measured too.
    QElapsedTimer after;
    after.start();
    while (lastRowNs >= 0 && after.elapsed() < 100)
        app.processEvents(QEventLoop::AllEvents, 5);
    pulse.stop();
    if (lastRowNs < 0) {
        std::fprintf(stderr, "only %d of %d rows were added\n", list->ItemCount, Files);
        return 1;
    }
    const double worstDelayMs = std::max<qint64>(0, worstGapNs - TickMs * 1000000LL) / 1e6;
    std::printf("add %d files of 1920x1080: last row after %.0f ms (%.1f ms a file)\n", Files,
                lastRowNs / 1e6, lastRowNs / 1e6 / Files);
    std::printf("worst delay of the window's event loop: %.1f ms (goal under 50 ms)\n",
                worstDelayMs);
    window->close();
    return 0;
}

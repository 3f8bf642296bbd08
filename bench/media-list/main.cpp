// Media list benchmark: the time and memory one added row costs, against decoding its still
// alone, and the cost of a scroll step against a repaint that moves nothing. Runs on the
// offscreen platform; the engine is a stand-in that copies a real 160 x 120 JPEG still.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <memory>

#include "FakeEngine.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/JpegImage.h"
#include "skin/SkinScrollBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

constexpr int Rows = 200;

long ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

double Ms(qint64 ns) {
    return double(ns) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    ScratchInstall install;
    const QString still = install.Path("still.jpg");
    if (!platform::LoadJpeg(install.Path("3GP.jpg"))
             .scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
             .save(still, "JPG", 85)) {
        std::fprintf(stderr, "cannot write the still\n");
        return 1;
    }

    FakeDialogs dialogs;
    FakeEngine engine;
    engine.still = still;
    engine.probe.duration = 3725;
    engine.probe.videoFormat = "mpeg4";
    engine.probe.audioFormat = "mp2";
    engine.probe.width = 640;
    engine.probe.height = 480;
    engine.probe.fps = 25;
    engine.probe.bitRate = 192;
    engine.probe.sampleRate = 44100;
    engine.probe.channels = 2;

    auto window = std::make_unique<Txconverter>();
    window->CurrentDevice = DevMP4;
    window->show();
    app.processEvents();
    TListImagePanel* list = window->ListImagePanel;

    // Reference: decoding the still alone, as often as rows are added.
    QElapsedTimer clock;
    clock.start();
    qint64 decodeNs = 0;
    for (int i = 0; i < Rows; ++i) {
        clock.restart();
        const QImage image = platform::LoadJpeg(still);
        decodeNs += clock.nsecsElapsed();
        if (image.isNull())
            return 1;
    }
    const double decodeMs = Ms(decodeNs) / Rows;

    // Adding the rows through the window's add handler, painting after each.
    const long memoryBefore = ResidentBytes();
    qint64 addNs = 0, worstNs = 0;
    for (int i = 0; i < Rows; ++i) {
        dialogs.openAnswers.push_back(QStringLiteral("/clips/clip%1.avi").arg(i));
        clock.restart();
        window->FileAddClick(window->FileAdd);
        app.processEvents();
        const qint64 ns = clock.nsecsElapsed();
        addNs += ns;
        worstNs = std::max(worstNs, ns);
    }
    const long memoryAfter = ResidentBytes();
    if (list->ItemCount != Rows) {
        std::fprintf(stderr, "only %d rows were added\n", list->ItemCount);
        return 1;
    }
    const double addMs = Ms(addNs) / Rows;
    const double rowKiB = double(memoryAfter - memoryBefore) / Rows / 1024.0;
    const double stillKiB = 160.0 * 120.0 * 4.0 / 1024.0;

    // Scrolling: every step of 10 pixels from the top to the bottom, repainting the list,
    // against repaints that move nothing.
    SkinScrollBar* bar = list->ListScrollBar;
    int steps = 0;
    clock.restart();
    for (int position = 0; position <= bar->High(); position += 10, ++steps) {
        bar->SetPosition(position);
        list->repaint();
    }
    const double scrollMs = Ms(clock.nsecsElapsed()) / std::max(steps, 1);
    clock.restart();
    for (int i = 0; i < steps; ++i)
        list->repaint();
    const double repaintMs = Ms(clock.nsecsElapsed()) / std::max(steps, 1);

    std::printf("media list: %d rows, scroll range 0..%d\n", Rows, bar->High());
    std::printf("add per row      %8.3f ms   (still decode %.3f ms, ratio %.1f)\n", addMs, decodeMs,
                addMs / decodeMs);
    std::printf("slowest add      %8.3f ms   (budget 20 ms: %s)\n", Ms(worstNs),
                Ms(worstNs) <= 20.0 ? "met" : "MISSED");
    std::printf("memory per row   %8.1f KiB  (decoded still %.1f KiB, ratio %.1f)\n", rowKiB,
                stillKiB, rowKiB / stillKiB);
    std::printf(
        "scroll step      %8.3f ms   (repaint in place %.3f ms, ratio %.2f) over %d "
        "steps\n",
        scrollMs, repaintMs, scrollMs / repaintMs, steps);
    window->close();
    return 0;
}

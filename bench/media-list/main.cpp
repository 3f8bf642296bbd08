// Media list benchmark: what one added row costs in time and memory, against decoding its still
// alone, and what a scroll step costs, against a repaint that moves nothing. Rows are added
// through the converter window's add handler with painting after each; the engine is a timed
// stand-in that writes a real 160 x 120 JPEG still, and its time is left out of the add figures.
// Runs on the offscreen platform.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <memory>

#include "FakeEngine.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/JpegImage.h"
#include "skin/ImageButton.h"
#include "skin/SkinScrollBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/WaitUntil.h"

namespace {

constexpr int Rows = 200;
constexpr double AddBudgetMs = 20.0;

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

// The stand-in engine, timed: writing the still is the engine's share of an add.
class TimedEngine : public FakeEngine {
public:
    int GetFileinfo(const char* path, EngineFileInfo* info) override {
        QElapsedTimer clock;
        clock.start();
        const int result = FakeEngine::GetFileinfo(path, info);
        spentNs += clock.nsecsElapsed();
        return result;
    }
    int GetPicure(const char* path, int seconds, const char* size, const char* jpeg) override {
        QElapsedTimer clock;
        clock.start();
        const int result = FakeEngine::GetPicure(path, seconds, size, jpeg);
        spentNs += clock.nsecsElapsed();
        return result;
    }
    qint64 spentNs = 0;
};

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
    TimedEngine engine;
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
    for (int i = 0; i < Rows; ++i) {
        if (platform::LoadJpeg(still).isNull())
            return 1;
    }
    const double decodeMs = Ms(clock.nsecsElapsed()) / Rows;

    const long memoryBefore = ResidentBytes();
    qint64 addNs = 0, worstNs = 0;
    int worstRow = 0, overBudget = 0;
    for (int i = 0; i < Rows; ++i) {
        dialogs.openAnswers.push_back(QStringLiteral("/clips/clip%1.avi").arg(i));
        const qint64 engineBefore = engine.spentNs;
        clock.restart();
        window->FileAddClick(window->FileAdd);
        testsupport::WaitUntil([&] { return !window->AddsPending(); });
        app.processEvents();
        const qint64 ns = clock.nsecsElapsed() - (engine.spentNs - engineBefore);
        addNs += ns;
        if (ns > worstNs)
            worstNs = ns, worstRow = i;
        if (Ms(ns) > AddBudgetMs)
            ++overBudget;
    }
    const long memoryAfter = ResidentBytes();
    if (list->ItemCount != Rows) {
        std::fprintf(stderr, "only %d rows were added\n", list->ItemCount);
        return 1;
    }
    const double addMs = Ms(addNs) / Rows;
    const double rowKiB = double(memoryAfter - memoryBefore) / Rows / 1024.0;
    const double stillKiB = 160.0 * 120.0 * 4.0 / 1024.0;

    // Scrolling: every step of 10 pixels from the top to the bottom, each repainted, against
    // as many renderings of the list where it stands.
    SkinScrollBar* bar = list->ListScrollBar;
    int steps = 0;
    clock.restart();
    for (int position = 0; position <= bar->High(); position += 10, ++steps) {
        bar->SetPosition(position);
        list->repaint();
    }
    const double scrollMs = Ms(clock.nsecsElapsed()) / std::max(steps, 1);
    clock.restart();
    for (int i = 0; i < steps; ++i) {
        if (list->grab().isNull())
            return 1;
    }
    const double repaintMs = Ms(clock.nsecsElapsed()) / std::max(steps, 1);

    std::printf("media list: %d rows, scroll range 0..%d\n", Rows, bar->High());
    std::printf(
        "add per row    %8.3f ms  (still decode %.3f ms, ratio %.1f); engine stand-in "
        "%.3f ms on top\n",
        addMs, decodeMs, addMs / decodeMs, Ms(engine.spentNs) / Rows);
    std::printf("slowest add    %8.3f ms  (row %d; %d of %d adds over the %.0f ms budget)\n",
                Ms(worstNs), worstRow, overBudget, Rows, AddBudgetMs);
    std::printf("memory per row %8.1f KiB (decoded still %.1f KiB, ratio %.2f)\n", rowKiB, stillKiB,
                rowKiB / stillKiB);
    std::printf("scroll step    %8.3f ms  (rendering in place %.3f ms, ratio %.2f), %d steps\n",
                scrollMs, repaintMs, scrollMs / repaintMs, steps);
    window->close();
    return 0;
}

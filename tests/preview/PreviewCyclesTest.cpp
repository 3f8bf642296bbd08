// Opening and closing the preview a hundred times leaves no thread and no growing memory behind.
#include <gtest/gtest.h>
#include <malloc.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>
#include <cstdio>

#include "Clips.h"
#include "platform/WindowMessages.h"
#include "preview/MediaGraph.h"
#include "preview/MpvGraph.h"

namespace {

int ThreadCount() {
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

int OpenFileCount() {
    return int(QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

// Resident memory after handing freed memory back to the system, so that what the allocator
// keeps cached for later is not counted as growth.
long ResidentKiB() {
    malloc_trim(0);
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

// One preview as the converter window opens and closes it, with the window's release order.
void OpenAndClose(const QString& path, QWidget& pane, KivoWindow* window) {
    std::shared_ptr<IGraphBuilder> graph = CreateMpvGraph({QStringLiteral("null")});
    ASSERT_TRUE(graph);
    std::shared_ptr<IMediaControl> control = graph->QueryMediaControl();
    ASSERT_TRUE(control->RenderFile(path));
    std::shared_ptr<IVideoWindow> video = graph->QueryVideoWindow();
    std::shared_ptr<IMediaEventEx> events = graph->QueryMediaEvent();
    events->SetNotifyWindow(window, 33756, 0);
    video->SetOwner(&pane);
    video->SetWindowPosition(5, 0, 273, 205);
    video->SetMessageDrain(&pane);
    std::shared_ptr<IMediaSeeking> seeking = graph->QueryMediaSeeking();
    ASSERT_TRUE(control->Run());
    // A glimpse of the picture, as a user would get before pressing Stop.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    control->Stop();
    control.reset();
    video.reset();
    events.reset();
    seeking.reset();
    graph.reset();
    QCoreApplication::processEvents();
}

TEST(PreviewCycles, HundredOpenCloseCyclesLeaveNoThreadOrGrowingMemory) {
    // Every player brings new threads, and the C library gives new threads pools of their own
    // that it keeps for later ones (up to eight per core); with two pools, what stays resident
    // is what the preview really keeps.
    mallopt(M_ARENA_MAX, 2);
    const QString path = clips::Video("cycle.mp4", 2, 320, 240);
    QWidget pane;
    pane.resize(283, 205);
    QObject receiver;
    platform::WindowHandle handle(&receiver);

    // The first cycles load what stays loaded for the process (codecs, caches).
    const int threadsBefore = ThreadCount();
    const int filesBefore = OpenFileCount();
    const long residentBefore = ResidentKiB();
    for (int i = 0; i < 20; ++i)
        OpenAndClose(path, pane, handle.Handle());
    const long residentAfterFirst = ResidentKiB();

    for (int i = 0; i < 100; ++i) {
        OpenAndClose(path, pane, handle.Handle());
        if (HasFatalFailure())
            return;
    }
    QCoreApplication::sendPostedEvents();
    const long residentAfter = ResidentKiB();
    const int threadsAfter = ThreadCount();
    const int filesAfter = OpenFileCount();

    std::printf("threads: %d before, %d after 120 cycles\n", threadsBefore, threadsAfter);
    std::printf(
        "resident memory: %ld KiB before, %ld KiB after 20 cycles, %ld KiB after 100 more "
        "(%+ld KiB)\n",
        residentBefore, residentAfterFirst, residentAfter, residentAfter - residentAfterFirst);
    std::printf("open files: %d before, %d after\n", filesBefore, filesAfter);
    EXPECT_EQ(threadsAfter, threadsBefore);
    EXPECT_EQ(filesAfter, filesBefore);
    EXPECT_TRUE(pane.findChildren<QWidget*>().isEmpty());
    // A leak of one decoded frame per cycle would add well over this.
    EXPECT_LT(residentAfter - residentAfterFirst, 6 * 1024);
}

}  // namespace

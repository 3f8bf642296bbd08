// Opening and closing the preview a hundred times leaves no thread and no growing memory behind,
// and a start that fails keeps no player.
#include <gtest/gtest.h>
#include <malloc.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QWidget>
#include <algorithm>
#include <cstdio>

#include "Clips.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/WindowMessages.h"
#include "preview/MediaGraph.h"
#include "preview/MpvGraph.h"
#include "preview/core/PreviewPlayer.h"
#include "skin/ImageButton.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

// The names of the process's threads.
QStringList ThreadNames() {
    QStringList names;
    for (const QString& id : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm("/proc/self/task/" + id + "/comm");
        if (comm.open(QIODevice::ReadOnly))
            names << QString::fromUtf8(comm.readAll().trimmed());
    }
    return names;
}

// The threads a player owns: mpv names each of its threads "mpv/...". Libraries that the
// process loads on the way (Qt, glib) may start threads of their own, which are not counted.
int PlayerThreads() {
    return int(ThreadNames().filter(QRegularExpression("^mpv/")).size());
}

// A player's threads are joined when it is destroyed, but the last of them may still be
// leaving the process when that returns (more so on a busy machine): their end is awaited.
bool NoPlayerThreadRemains() {
    return clips::PumpUntil([] { return PlayerThreads() == 0; }, 30000);
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
    std::shared_ptr<IMediaEventEx> events = graph->QueryMediaEvent();
    ASSERT_TRUE(clips::Render(*control, *events, path));
    std::shared_ptr<IVideoWindow> video = graph->QueryVideoWindow();
    events->SetNotifyWindow(window, 33756, 0);
    video->SetOwner(&pane);
    video->SetWindowPosition(5, 0, 273, 205);
    video->SetMessageDrain(&pane);
    std::shared_ptr<IMediaSeeking> seeking = graph->QueryMediaSeeking();
    ASSERT_TRUE(control->Run());
    // A glimpse of the picture, as a user would get before pressing Stop.
    ASSERT_TRUE(clips::PumpUntil(
        [&] {
            ReferenceTime position = 0;
            return seeking->GetCurrentPosition(position) && position > 0;
        },
        60000));
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
    // that it keeps for later ones, as many as contention on a busy machine calls for; with one
    // pool, what stays resident is what the preview really keeps.
    mallopt(M_ARENA_MAX, 1);
    const QString path = clips::Video("cycle.mp4", 2, 320, 240);
    QWidget pane;
    pane.resize(283, 205);
    QObject receiver;
    platform::WindowHandle handle(&receiver);

    // The first cycles load what stays loaded for the process (codecs, caches, and what a
    // library opens on first use and keeps), so the counts are taken after them.
    const long residentBefore = ResidentKiB();
    for (int i = 0; i < 20; ++i)
        OpenAndClose(path, pane, handle.Handle());
    EXPECT_TRUE(NoPlayerThreadRemains()) << ThreadNames().join(' ').toStdString();
    const int threadsBefore = int(ThreadNames().size());
    const int filesBefore = OpenFileCount();

    // Resident memory after 20, 70 and 120 cycles. A leak grows it in both halves; what the
    // allocator or a library takes once for good shows in one half only.
    long resident[3] = {ResidentKiB(), 0, 0};
    for (int half = 1; half <= 2; ++half) {
        for (int i = 0; i < 50; ++i) {
            OpenAndClose(path, pane, handle.Handle());
            if (HasFatalFailure())
                return;
        }
        QCoreApplication::sendPostedEvents();
        resident[half] = ResidentKiB();
    }
    const bool settled = NoPlayerThreadRemains();
    const int threadsAfter = int(ThreadNames().size());
    const int filesAfter = OpenFileCount();

    std::printf("threads: %d after 20 cycles, %d after 100 more\n", threadsBefore, threadsAfter);
    std::printf(
        "resident memory: %ld KiB before, %ld, %ld and %ld KiB after 20, 70 and 120 cycles\n",
        residentBefore, resident[0], resident[1], resident[2]);
    std::printf("open files: %d before, %d after\n", filesBefore, filesAfter);
    EXPECT_TRUE(settled) << ThreadNames().join(' ').toStdString();
    EXPECT_EQ(filesAfter, filesBefore);
    EXPECT_TRUE(pane.findChildren<QWidget*>().isEmpty());
    // A leak of one decoded frame per cycle would add well over this to each half.
    EXPECT_LT(std::min(resident[1] - resident[0], resident[2] - resident[1]), 3 * 1024);
}

TEST(PreviewCycles, AFailedStartKeepsNoPlayer) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    SetGraphFactory([] { return CreateMpvGraph({QStringLiteral("null")}); });
    TItemPanel* row = window.ListImagePanel->AddItem(install.Path("MP4.jpg"));
    ASSERT_NE(row, nullptr);
    row->SourcePath = clips::Unreadable();

    const auto failedStart = [&] {
        dialogs.messages.clear();
        window.BtnPlayPauseClick(window.BtnPlayPause);
        ASSERT_TRUE(clips::PumpUntil([&] { return !dialogs.messages.empty(); }, 60000));
        EXPECT_FALSE(PreviewPlaying);
        EXPECT_FALSE(window.Graph || window.MediaControl || window.VideoWindow ||
                     window.MediaEvent || window.MediaSeeking);
    };
    for (int i = 0; i < 3 && !HasFatalFailure(); ++i) {
        failedStart();
        EXPECT_TRUE(NoPlayerThreadRemains()) << ThreadNames().join(' ').toStdString();
    }
    SetGraphFactory(nullptr);
}

}  // namespace

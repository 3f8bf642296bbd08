// Adding off the window's thread: the window answers while the engine probes, the rows come in
// the order added, Run waits for the files on their way, and the window can close or go while
// a file is being probed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "converter/Txconverter.h"
#include "media/FakeEngine.h"
#include "media/package/ListImagePanel.h"
#include "skin/ImageButton.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/WaitUntil.h"

namespace {

using testsupport::WaitUntil;

// Each probe waits until the test lets one more through, as a slow disk or share would.
class GatedEngine : public FakeEngine {
public:
    int GetFileinfo(const char* path, EngineFileInfo* info) override {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return passes_ > 0; });
        --passes_;
        lock.unlock();
        const int result = FakeEngine::GetFileinfo(path, info);
        lock.lock();
        --waiting_;
        ++done_;
        changed_.notify_all();
        return result;
    }
    void Let(int files) {
        std::lock_guard lock(mutex_);
        passes_ += files;
        changed_.notify_all();
    }
    // Whether a probe is held at the gate (or just let through).
    bool Held() {
        std::lock_guard lock(mutex_);
        return waiting_ > 0;
    }
    // How many probes have been made.
    int Done() {
        std::lock_guard lock(mutex_);
        return done_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int passes_ = 0;
    int waiting_ = 0;
    int done_ = 0;
};

class MediaAddWorker : public ::testing::Test {
protected:
    MediaAddWorker() {
        engine.probe.duration = 60;
        engine.probe.width = 640;
        engine.probe.height = 480;
        engine.still = install.Path("MP4.jpg");
        window = std::make_unique<Txconverter>();
        window->CurrentDevice = DevMP4;
        window->FormShow();
    }
    ~MediaAddWorker() override {
        engine.Let(1000);  // whatever is still held goes through
        window.reset();
    }

    QStringList Clips(const QStringList& names) {
        QStringList paths;
        for (const QString& name : names) {
            QFile file(clips.filePath(name));
            file.open(QIODevice::WriteOnly);
            file.write("clip");
            paths << clips.filePath(name);
        }
        return paths;
    }
    QStringList Listed() const {
        QStringList paths;
        for (int i = 0; i < window->ListImagePanel->ItemCount; ++i)
            paths << window->ListImagePanel->GetItem(unsigned(i))->SourcePath;
        return paths;
    }

    ScratchInstall install;
    FakeDialogs dialogs;
    GatedEngine engine;
    QTemporaryDir clips;
    std::unique_ptr<Txconverter> window;
};

TEST_F(MediaAddWorker, RowsComeInTheOrderAddedWhileTheWindowAnswers) {
    const QStringList paths = Clips({"c.avi", "a.avi", "b.avi"});
    window->AddMediaFiles(paths);
    EXPECT_TRUE(window->AddsPending());
    EXPECT_EQ(window->ListImagePanel->ItemCount, 0);
    // The same file again while it is on its way is refused as listed, in a message that
    // follows the first add's.
    window->AddMediaFiles({paths[0]});

    for (int listed = 1; listed <= 3; ++listed) {
        SCOPED_TRACE(listed);
        ASSERT_TRUE(WaitUntil([&] { return engine.Held(); }));
        // The window's timers run while the probe is held.
        bool ticked = false;
        QTimer::singleShot(0, [&] { ticked = true; });
        ASSERT_TRUE(WaitUntil([&] { return ticked; }, 2000));
        EXPECT_EQ(window->ListImagePanel->ItemCount, listed - 1);
        engine.Let(1);
        ASSERT_TRUE(WaitUntil([&] { return window->ListImagePanel->ItemCount == listed; }));
    }
    EXPECT_EQ(Listed(), paths);
    ASSERT_TRUE(WaitUntil([&] { return !window->AddsPending(); }));
    EXPECT_EQ(window->ListImagePanel->GetItem(2)->TargetName, "b.MP4");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.LastText(), "Select media file already add in.");
}

TEST_F(MediaAddWorker, RunWaitsForTheFilesOnTheirWay) {
    engine.startsConversions = true;
    window->AddMediaFiles(Clips({"a.avi", "b.avi"}));
    window->RunClick(window->Run);
    EXPECT_FALSE(window->JobRunning());
    EXPECT_TRUE(dialogs.messages.empty());  // not "No file to convert"
    engine.Let(2);
    ASSERT_TRUE(WaitUntil([&] { return window->JobRunning(); }));
    EXPECT_EQ(window->ListImagePanel->ItemCount, 2);
    EXPECT_EQ(engine.conversions, 1u);  // one file at once: the first row
    window->StopClick(window->Stop);
}

TEST_F(MediaAddWorker, ClosingOrDestroyingTheWindowDuringAnAddMakesNoRow) {
    window->AddMediaFiles(Clips({"a.avi", "b.avi"}));
    ASSERT_TRUE(WaitUntil([&] { return engine.Held(); }));
    window->FormClose();
    EXPECT_FALSE(window->AddsPending());
    engine.Let(1);
    ASSERT_TRUE(WaitUntil([&] { return engine.Done() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ListImagePanel->ItemCount, 0);
    // The second file was dropped before its probe.
    WaitUntil([] { return false; }, 100);
    EXPECT_EQ(engine.Done(), 1);
    EXPECT_FALSE(engine.Held());

    // The window goes while a probe is held: its end waits for that file and nothing reaches
    // the window afterwards.
    window->FormShow();
    window->AddMediaFiles(Clips({"c.avi"}));
    ASSERT_TRUE(WaitUntil([&] { return engine.Held(); }));
    // Lets go once the window's end has begun, usually while it already waits for the held
    // file; the counts below hold whichever comes first.
    std::atomic<bool> ending{false};
    std::thread release([this, &ending] {
        while (!ending)
            std::this_thread::yield();
        engine.Let(1);
    });
    ending = true;
    window.reset();
    release.join();
    QCoreApplication::processEvents();
    EXPECT_EQ(engine.Done(), 2);
}

}  // namespace

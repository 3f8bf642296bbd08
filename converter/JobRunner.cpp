// Run and Stop: converting the listed files one after another. For each row the runner reads
// the row and the settings panel, has the job plan turn them into the engine's values and the
// job queue hand them to _X; the engine reports on its own thread through the two callbacks,
// whose effects are queued to the window, and ends each row with WM_CONVERTDONE, on which the
// queue says how the row ended and which row starts next. The runner writes what the queue
// answers into the bars, the row marks, the status line and Run and Stop.
#include <QAction>
#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "converter/JobPlan.h"
#include "converter/JobQueue.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/EngineApi.h"
#include "platform/Errors.h"
#include "platform/WindowMessages.h"
#include "skin/ImageButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinProgressBar.h"

namespace {

// How long the window's end waits for a stopped conversion to end.
constexpr auto kEngineEndWait = std::chrono::seconds(10);

// What _X is given as its window: it hands WM_CONVERTDONE to the converter window's message
// map and counts the conversions that have not ended yet, so that the window's end can wait
// for the engine's thread. It also names the window that the callbacks report to. It lives
// for the whole process, as the engine's thread may post to it at any time.
class EngineEndpoint : public KivoWindow {
public:
    EngineEndpoint() { post = &EngineEndpoint::Post; }

    // A conversion for `window` is about to start.
    void Starting(Txconverter* window) {
        std::lock_guard lock(mutex_);
        window_ = window;
        ++running_;
    }

    // The window goes: nothing more reaches it; waits up to `limit` for running conversions
    // to announce their end when `wait` is set.
    void Forget(Txconverter* window, bool wait) {
        std::unique_lock lock(mutex_);
        if (window_ == window)
            window_ = nullptr;
        if (wait)
            ended_.wait_for(lock, kEngineEndWait, [this] { return running_ == 0; });
        running_ = 0;
    }

    // Queues `apply` to run on the window's thread, after everything queued before it.
    template <class Fn>
    void Queue(Fn apply) {
        std::lock_guard lock(mutex_);
        if (!window_)
            return;
        Txconverter* window = window_;
        QMetaObject::invokeMethod(
            window, [window, apply = std::move(apply)] { apply(*window); }, Qt::QueuedConnection);
    }

private:
    static void Post(KivoWindow* self, unsigned msg, uintptr_t wparam, intptr_t lparam) {
        auto* endpoint = static_cast<EngineEndpoint*>(self);
        std::lock_guard lock(endpoint->mutex_);
        if (endpoint->window_) {
            // The same event the window's own handle delivers: Txconverter::event hands it to
            // the message map. A window being destroyed drops it unprocessed.
            QCoreApplication::postEvent(endpoint->window_,
                                        new platform::WindowMessageEvent(msg, wparam, lparam));
        }
        if (msg == WM_CONVERTDONE && endpoint->running_ > 0) {
            --endpoint->running_;
            endpoint->ended_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable ended_;
    Txconverter* window_ = nullptr;
    int running_ = 0;
};

EngineEndpoint& Endpoint() {
    // Never destroyed: the engine's thread may outlive every static of the program.
    static EngineEndpoint* endpoint = new EngineEndpoint;
    return *endpoint;
}

}  // namespace

// The engine the window's job queue drives: the callbacks registered before every _X, and
// _X given the endpoint that carries the end message to the window.
class WindowEngine : public JobEngine {
public:
    explicit WindowEngine(Txconverter* window) : window_(window) {}

    void Convert(JobCallId, ArgumentVector& arguments) override {
        Engine().SetInfoCallback(&Txconverter::InfoCallback);
        Engine().SetPercentCallback(&Txconverter::PercentCallback);
        EngineEndpoint& endpoint = Endpoint();
        endpoint.Starting(window_);
        Engine().X(&endpoint, arguments.Count(), arguments.Data());
    }
    void Stop(JobCallId) override { Engine().Stop(); }

private:
    Txconverter* window_;
};

// The window's job queue and the engine behind it.
class JobRunnerState {
public:
    explicit JobRunnerState(Txconverter* window) : window(window), engine(window) {}

    ~JobRunnerState() {
        // The window goes while a conversion may still run (the program ends during a job):
        // stop the engine and give its thread the time to end before the window is gone.
        const bool outstanding = queue.Outstanding();
        if (outstanding)
            engine.Stop(0);
        Endpoint().Forget(window, outstanding);
    }

    Txconverter* window;
    WindowEngine engine;
    JobQueue queue{engine};
};

namespace {

JobQueue& Jobs(Txconverter& window) {
    if (!window.JobState)
        window.JobState = std::make_shared<JobRunnerState>(&window);
    return window.JobState->queue;
}

}  // namespace

bool Txconverter::JobRunning() const {
    return JobState && JobState->queue.Running();
}

void Txconverter::RunClick(QObject*) {
    if (ListImagePanel->ItemCount < 1) {
        platform::ShowMessage(
            this, "No file to convert\n,Please click the 'Add Button' to add file to list");
        return;
    }
    JobQueue& jobs = Jobs(*this);
    const std::vector<int> startRows = jobs.Run(ListImagePanel->ItemCount);
    CurrentRow = jobs.CurrentRow();
    StopRequested = jobs.StopRequested();
    ProgressTotal->SetMin(0);
    ProgressTotal->SetHigh(ListImagePanel->ItemCount);
    ProgressTotal->SetPosition(0);
    ListImagePanel->SelectItem(0);
    SetJobControlsEnabled(false);
    Stop->show();
    Run->hide();
    // The marks of the job before go: each row shows how this job ends for it.
    for (int i = 0; i < ListImagePanel->ItemCount; ++i) {
        TItemPanel* row = ListImagePanel->GetItem(unsigned(i));
        if (!row->OutcomeMark.isEmpty())
            row->SetOutcomeMark(QString(), false);
    }
    for (int position : startRows)
        StartRowConversion(position);
}

void Txconverter::StopClick(QObject*) {
    const QString closing = Jobs(*this).Stop();
    SetJobControlsEnabled(true);
    StopRequested = true;
    Stop->hide();
    Run->show();
    if (!closing.isEmpty())
        Converting_Infor->setText(closing);
}

void Txconverter::EndJobForClose() {
    if (!JobState || !JobState->queue.EndForClose())
        return;
    StopRequested = true;
    SetJobControlsEnabled(true);
    Stop->hide();
    Run->show();
}

void Txconverter::OnConvertDone(uintptr_t outcome, intptr_t call) {
    if (!JobState)
        return;  // no call of ours was ever made
    JobQueue& jobs = JobState->queue;
    const RowEnd end = jobs.Done(JobCallId(call), outcome);
    if (end.rowEnded) {
        ProgressFile->SetPosition(100);
        if (auto* row = static_cast<TItemPanel*>(end.row))
            row->SetOutcomeMark(end.mark, end.failed);
        CurrentRow = jobs.CurrentRow();
        ProgressTotal->StepIt();
        if (!end.startRows.empty())
            ListImagePanel->SelectItem(end.startRows.front());
    }
    if (!end.startRows.empty()) {
        for (int position : end.startRows)
            StartRowConversion(position);
        return;
    }
    if (!end.jobEnded)
        return;
    Converting_Infor->setText(end.closingText);
    SetJobControlsEnabled(true);
    Run->show();
    Stop->hide();
    JobEnd tally = jobs.Tally();
    tally.outputFolder = JobOutputFolder;
    AnnounceJobEnd(tally);
}

void Txconverter::StartRowConversion(int position) {
    if (position < 0 || position >= ListImagePanel->ItemCount) {
        throw EListError::OutOfBounds(position);
    }
    TItemPanel* row = ListImagePanel->GetItem(unsigned(position));
    JobOutputFolder = JobOutputFolderOf(OutputFolder->Text());
    // With "Convert only the marked range" on, a row converts the range drawn on its track.
    const PlanRange range = ConvertMarkedRange->isChecked() ? MarkedRange(*row) : PlanRange{};
    const RowPlan plan = PlanRow(*row, CurrentSettings(),
                                 {CurrentDevice, CopyThumbnailToOutput, JobOutputFolder}, range);
    // PDAs: the settings show the selected profile again once the row's values are read.
    if (const DeviceInfo* info = FindDevice(CurrentDevice); info && info->reappliesProfileBeforeRun)
        ApplySelectedProfile(CurrentDevice);
    RunEngine(position, plan, row);
}

void Txconverter::RunEngine(int position, const RowPlan& plan, TItemPanel* row) {
    Jobs(*this).Start(position, plan, row);
}

// Called on the engine's thread: the text is copied at once and shown on the window's thread.
int Txconverter::InfoCallback(const char* text) {
    const QString caption = QString::fromUtf8(text ? text : "");
    Endpoint().Queue([caption](Txconverter& window) {
        if (window.JobState && window.JobState->queue.Report(0, caption))
            window.Converting_Infor->setText(caption);
    });
    return 0;
}

// Called on the engine's thread: the clamped percentage moves the file bar on the window's
// thread.
int Txconverter::PercentCallback(int value) {
    const int percent = std::clamp(value, 0, 100);
    Endpoint().Queue([percent](Txconverter& window) {
        if (window.JobState && window.JobState->queue.Reporting())
            window.ProgressFile->SetPosition(percent);
    });
    return 0;
}

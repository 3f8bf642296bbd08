// Run and Stop: converting the listed files, one after another or, with "Files converted at
// once" above 1, that many side by side. For each row the runner reads the row and the settings
// panel, has the job plan turn them into the engine's values and the job queue hand them to the
// engine: _X with one at once, a conversion of its own through the side-by-side interface with
// more. The engine reports on its own threads; those reports are queued to the window with the
// number of their call, and each row ends with WM_CONVERTDONE (its lparam the call's number),
// on which the queue says how the row ended and which rows start next. The runner writes what
// the queue answers into the bars, the row marks, the status line and Run and Stop.
#include <QAction>
#include <QCoreApplication>
#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "converter/ExistingTargets.h"
#include "converter/JobPlan.h"
#include "converter/JobQueue.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/EngineApi.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Handler.h"
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

    // A side-by-side conversion for `window` is about to start: it is not counted, as the
    // window's end waits for it through its handle.
    void Attach(Txconverter* window) {
        std::lock_guard lock(mutex_);
        window_ = window;
    }

    // Posts the end of side-by-side call `call` to the window.
    void PostEnd(uintptr_t outcome, JobCallId call) {
        std::lock_guard lock(mutex_);
        if (window_) {
            QCoreApplication::postEvent(
                window_, new platform::WindowMessageEvent(WM_CONVERTDONE, outcome, intptr_t(call)));
        }
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
            window, platform::Guarded([window, apply = std::move(apply)] { apply(*window); }),
            Qt::QueuedConnection);
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

// What a report of call `call` (0: the oldest outstanding) changes on the window's thread.
void ShowReport(Txconverter& window, JobCallId call, const QString& caption);
void ShowPercent(Txconverter& window, JobCallId call, int percent);

EngineEndpoint& Endpoint() {
    // Never destroyed: the engine's thread may outlive every static of the program.
    static EngineEndpoint* endpoint = new EngineEndpoint;
    return *endpoint;
}

}  // namespace

// Names one side-by-side conversion to its events: the user pointer they carry. Its number
// is all it holds, so an event that comes late never reaches a window that has gone: it goes
// through the endpoint, which then drops it.
struct SideBySideCall {
    JobCallId call = 0;
};

namespace {

// The events of a side-by-side conversion, on its own thread: status and percent are queued to
// the window's thread with the call's number, and the end posts WM_CONVERTDONE with the outcome
// as wparam (a refused vector failed) and the call's number as lparam.
void OnConversionStatus(void* user, const char* text) {
    const JobCallId call = static_cast<SideBySideCall*>(user)->call;
    const QString caption = QString::fromUtf8(text ? text : "");
    Endpoint().Queue([call, caption](Txconverter& window) { ShowReport(window, call, caption); });
}

void OnConversionPercent(void* user, int value) {
    const JobCallId call = static_cast<SideBySideCall*>(user)->call;
    const int percent = std::clamp(value, 0, 100);
    Endpoint().Queue([call, percent](Txconverter& window) { ShowPercent(window, call, percent); });
}

void OnConversionEnded(void* user, int outcome, const char*) {
    const uintptr_t wparam = outcome == KIVO_CONVERSION_FINISHED  ? KIVO_CONVERSION_FINISHED
                             : outcome == KIVO_CONVERSION_STOPPED ? KIVO_CONVERSION_STOPPED
                                                                  : KIVO_CONVERSION_FAILED;
    Endpoint().PostEnd(wparam, static_cast<SideBySideCall*>(user)->call);
}

}  // namespace

// The engine the window's job queue drives. With one file at once: the callbacks registered
// before every _X, and _X given the endpoint that carries the end message to the window. With
// more: each call a conversion of its own, started through the side-by-side interface.
class WindowEngine : public JobEngine {
public:
    explicit WindowEngine(Txconverter* window) : window_(window) {}

    // Whether the calls from now on run side by side (set at each Run).
    bool sideBySide = false;

    void Convert(JobCallId call, ArgumentVector& arguments) override {
        EngineEndpoint& endpoint = Endpoint();
        if (!sideBySide) {
            Engine().SetInfoCallback(&Txconverter::InfoCallback);
            Engine().SetPercentCallback(&Txconverter::PercentCallback);
            endpoint.Starting(window_);
            Engine().X(&endpoint, arguments.Count(), arguments.Data());
            return;
        }
        endpoint.Attach(window_);
        auto name = std::make_unique<SideBySideCall>(SideBySideCall{call});
        const KivoConversionEvents events{name.get(), &OnConversionStatus, &OnConversionPercent,
                                          &OnConversionEnded};
        KivoConversion* handle =
            Engine().StartConversion(arguments.Count(), arguments.Data(), &events);
        if (!handle) {
            // Not even started: the call still ends, as failed, like every other.
            endpoint.PostEnd(KIVO_CONVERSION_FAILED, call);
            return;
        }
        conversions_[call] = Conversion{handle, std::move(name)};
    }

    void Stop(JobCallId call) override {
        const auto found = conversions_.find(call);
        if (found != conversions_.end())
            Engine().StopConversion(found->second.handle);
        else
            Engine().Stop();
    }

    // The end of call `call` has reached the window: its conversion is released.
    void Release(JobCallId call) {
        const auto found = conversions_.find(call);
        if (found == conversions_.end())
            return;
        Engine().FreeConversion(found->second.handle);
        conversions_.erase(found);
    }

    // The window goes: waits until `deadline` for every conversion to end and releases those
    // that did. One that did not is left to run on (with its name, as its events still come).
    void ReleaseAll(std::chrono::steady_clock::time_point deadline) {
        for (auto& [call, conversion] : conversions_) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (Engine().WaitConversion(conversion.handle,
                                        int(std::max<long long>(0, left.count()))) ==
                KIVO_CONVERSION_RUNNING) {
                conversion.name.release();
                continue;
            }
            Engine().FreeConversion(conversion.handle);
        }
        conversions_.clear();
    }

private:
    struct Conversion {
        KivoConversion* handle = nullptr;
        std::unique_ptr<SideBySideCall> name;  // its events' user pointer
    };

    Txconverter* window_;
    std::map<JobCallId, Conversion> conversions_;
};

// The window's job queue and the engine behind it.
class JobRunnerState {
public:
    explicit JobRunnerState(Txconverter* window) : window(window), engine(window) {}

    ~JobRunnerState() {
        // The window goes while conversions may still run (the program ends during a job):
        // stop every one and give their threads the time to end before the window is gone.
        const auto deadline = std::chrono::steady_clock::now() + kEngineEndWait;
        const bool outstanding = queue.Outstanding();
        if (outstanding)
            queue.EndForClose();
        Endpoint().Forget(window, outstanding);
        engine.ReleaseAll(deadline);
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
    std::vector<int> skipped;
    if (!AskAboutExistingTargets(skipped))
        return;
    JobQueue& jobs = Jobs(*this);
    jobs.SetAtOnce(FilesAtOnce());
    JobState->engine.sideBySide = jobs.AtOnce() > 1;
    const std::vector<int> startRows = jobs.Run(ListImagePanel->ItemCount, skipped);
    CurrentRow = jobs.CurrentRow();
    StopRequested = jobs.StopRequested();
    ProgressTotal->SetMin(0);
    ProgressTotal->SetHigh(ListImagePanel->ItemCount - int(skipped.size()));
    ProgressTotal->SetPosition(0);
    ListImagePanel->SelectItem(startRows.empty() ? 0 : startRows.front());
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

bool Txconverter::AskAboutExistingTargets(std::vector<int>& skipped) {
    const QString folder = JobOutputFolderOf(OutputFolder->Text());
    QStringList targets;
    for (int i = 0; i < ListImagePanel->ItemCount; ++i)
        targets << ListImagePanel->GetItem(unsigned(i))->TargetName;
    const auto exists = [](const QString& path) { return platform::FileExists(path); };
    std::vector<int> existing = ExistingTargets(targets, folder, exists);
    // A target that is the source itself is no question: its row fails as it always does.
    std::erase_if(existing, [&](int position) {
        return CheckTarget(ListImagePanel->GetItem(unsigned(position))->SourcePath,
                           folder + targets[position], true) == TargetProblem::IsSource;
    });
    if (existing.empty())
        return true;
    QStringList names;
    for (int position : existing)
        names << targets[position];
    const ExistingTargetsAnswer answer = ExistingTargetsAnswerOf(platform::dialogs().Choose(
        this, ExistingTargetsQuestion(names, folder), QStringLiteral("Files exist already"),
        ExistingTargetsChoices()));
    switch (answer) {
        case ExistingTargetsAnswer::Cancel:
            return false;
        case ExistingTargetsAnswer::Replace:
            return true;
        case ExistingTargetsAnswer::KeepBoth: {
            const QStringList kept = KeepBothTargets(targets, existing, folder, exists);
            for (int position : existing) {
                TItemPanel* row = ListImagePanel->GetItem(unsigned(position));
                row->TargetName = kept[position];
                row->RefreshText();
            }
            return true;
        }
        case ExistingTargetsAnswer::Skip:
            if (existing.size() == size_t(ListImagePanel->ItemCount)) {
                platform::ShowMessage(this,
                                      QStringLiteral("Every file of the list exists "
                                                     "already: nothing to convert."),
                                      QStringLiteral("Notice"));
                return false;
            }
            skipped = existing;
            return true;
    }
    return true;
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
    JobState->engine.Release(JobCallId(call));
    if (end.rowEnded) {
        // The file bar: full as a row ends, or the least advanced of the rows still running.
        ProgressFile->SetPosition(jobs.RunningRows().empty() ? 100 : jobs.FilePercent());
        if (auto* row = static_cast<TItemPanel*>(end.row))
            row->SetOutcomeMark(end.mark, end.failed);
        CurrentRow = jobs.CurrentRow();
        ProgressTotal->StepIt();
        if (!end.startRows.empty())
            ListImagePanel->SelectItem(end.startRows.front());
    }
    for (int position : end.startRows)
        StartRowConversion(position);
    if (!end.jobEnded) {
        // With several at once the status line names the files converting now.
        if (jobs.RunningRows().size() > 1)
            Converting_Infor->setText(jobs.StatusLine());
        return;
    }
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

namespace {

void ShowReport(Txconverter& window, JobCallId call, const QString& caption) {
    if (!window.JobState)
        return;
    JobQueue& jobs = window.JobState->queue;
    // With one row running the engine's own line shows; with more, each file's percentage.
    if (jobs.Report(call, caption))
        window.Converting_Infor->setText(jobs.StatusLine());
}

void ShowPercent(Txconverter& window, JobCallId call, int percent) {
    if (!window.JobState)
        return;
    JobQueue& jobs = window.JobState->queue;
    if (!jobs.Percent(call, percent))
        return;
    window.ProgressFile->SetPosition(jobs.FilePercent());
    if (jobs.RunningRows().size() > 1)
        window.Converting_Infor->setText(jobs.StatusLine());
}

}  // namespace

// Called on the engine's thread: the text is copied at once and shown on the window's thread.
int Txconverter::InfoCallback(const char* text) {
    const QString caption = QString::fromUtf8(text ? text : "");
    Endpoint().Queue([caption](Txconverter& window) { ShowReport(window, 0, caption); });
    return 0;
}

// Called on the engine's thread: the clamped percentage moves the file bar on the window's
// thread.
int Txconverter::PercentCallback(int value) {
    const int percent = std::clamp(value, 0, 100);
    Endpoint().Queue([percent](Txconverter& window) { ShowPercent(window, 0, percent); });
    return 0;
}

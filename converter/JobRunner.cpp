// Run and Stop: converting the listed files, one after another or, with "Files converted at
// once" above 1, that many side by side. For each row the runner reads the row and the settings
// panel, has the job plan turn them into the engine's values and the job queue hand them to the
// engine, each row a conversion of its own (kivo_conversion_*). A conversion reports on its own
// thread; its status lines, progress numbers and end record are queued to the window's thread
// with the number of its call, where the queue says what they mean: how the row ended, which
// rows start next. The runner writes what the queue answers into the bars, the row marks, the
// status line and Run and Stop, and copies each ended row's still beside its output.
#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>

#include "converter/Txconverter.h"
#include "converter/core/ExistingTargets.h"
#include "converter/core/JobPlan.h"
#include "converter/core/JobQueue.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/Handler.h"
#include "platform/core/EngineApi.h"
#include "platform/core/Errors.h"
#include "platform/core/FileSystem.h"
#include "skin/ImageButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinProgressBar.h"

namespace {

// How long the window's end waits for a stopped conversion to end.
constexpr auto kEngineEndWait = std::chrono::seconds(10);

// Carries the events of the window's conversions from their threads to the window's thread. It
// lives for the whole process, as a conversion's thread may report at any time; once the window
// has gone, what comes is dropped.
class EventRelay {
public:
    void Attach(Txconverter* window) {
        std::lock_guard lock(mutex_);
        window_ = window;
    }

    void Forget(Txconverter* window) {
        std::lock_guard lock(mutex_);
        if (window_ == window)
            window_ = nullptr;
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
    std::mutex mutex_;
    Txconverter* window_ = nullptr;
};

EventRelay& Relay() {
    // Never destroyed: a conversion's thread may outlive every static of the program.
    static EventRelay* relay = new EventRelay;
    return *relay;
}

// What a report of call `call` changes on the window's thread.
void ShowReport(Txconverter& window, JobCallId call, const QString& caption);
void ShowPercent(Txconverter& window, JobCallId call, int percent);

// The events of a conversion, on its own thread: each is copied at once and queued to the
// window's thread with the call's number. The number is their user pointer and all they carry,
// so an event that comes late never reaches a window that has gone: the relay drops it.
JobCallId CallOf(void* user) {
    return JobCallId(reinterpret_cast<std::uintptr_t>(user));
}

void OnConversionStatus(void* user, const char* text) {
    const QString caption = QString::fromUtf8(text ? text : "");
    Relay().Queue(
        [call = CallOf(user), caption](Txconverter& window) { ShowReport(window, call, caption); });
}

void OnConversionProgress(void* user, const KivoProgress* progress) {
    const int percent = std::clamp(progress ? progress->percent : 0, 0, 100);
    Relay().Queue([call = CallOf(user), percent](Txconverter& window) {
        ShowPercent(window, call, percent);
    });
}

// A null end: a conversion the engine could not even create ends, failed, like every other.
void OnConversionEnd(void* user, const KivoEnd* end) {
    const ConversionEnd ended = end ? ConversionEndOf(*end) : NotStartedEnd();
    Relay().Queue(
        [call = CallOf(user), ended](Txconverter& window) { window.OnConversionEnd(call, ended); });
}

}  // namespace

// The engine the window's job queue drives: each call a conversion of its own.
class WindowEngine : public JobEngine {
public:
    explicit WindowEngine(Txconverter* window) : window_(window) {}

    void Convert(JobCallId call, ArgumentVector& arguments) override {
        Relay().Attach(window_);
        KivoConversionEvents events{};
        events.user = reinterpret_cast<void*>(std::uintptr_t(call));
        events.status = &OnConversionStatus;
        events.progress = &OnConversionProgress;
        events.end = &OnConversionEnd;
        if (KivoConversion* handle =
                Engine().StartConversion(arguments.Count(), arguments.Data(), &events))
            conversions_[call] = handle;
        else
            OnConversionEnd(events.user, nullptr);
    }

    void Stop(JobCallId call) override {
        const auto found = conversions_.find(call);
        if (found != conversions_.end())
            Engine().StopConversion(found->second);
    }

    // The end of call `call` has reached the window: its conversion is released.
    void Release(JobCallId call) {
        const auto found = conversions_.find(call);
        if (found == conversions_.end())
            return;
        Engine().FreeConversion(found->second);
        conversions_.erase(found);
    }

    // The window goes: waits until `deadline` for every conversion to end and releases those
    // that did. One that did not is left to run on.
    void ReleaseAll(std::chrono::steady_clock::time_point deadline) {
        for (auto& [call, conversion] : conversions_) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (Engine().WaitConversion(conversion, int(std::max<long long>(0, left.count()))) !=
                KIVO_CONVERSION_RUNNING)
                Engine().FreeConversion(conversion);
        }
        conversions_.clear();
    }

private:
    Txconverter* window_;
    std::map<JobCallId, KivoConversion*> conversions_;
};

// The window's job queue, the engine behind it and the row each running call marks when it
// ends (gone when the row was removed meanwhile).
class JobRunnerState {
public:
    explicit JobRunnerState(Txconverter* window) : window(window), engine(window) {}

    ~JobRunnerState() {
        // The window goes while conversions may still run (the program ends during a job):
        // stop every one and give their threads the time to end before the window is gone.
        const auto deadline = std::chrono::steady_clock::now() + kEngineEndWait;
        queue.EndForClose();
        Relay().Forget(window);
        engine.ReleaseAll(deadline);
    }

    Txconverter* window;
    WindowEngine engine;
    JobQueue queue{engine};
    std::map<JobCallId, QPointer<TItemPanel>> rows;
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
    if (AddsPending()) {
        // The files being added belong to the job: it starts once they are listed.
        RunAfterAdds = true;
        return;
    }
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
    RunAfterAdds = false;
    const QString closing = Jobs(*this).Stop();
    SetJobControlsEnabled(true);
    StopRequested = true;
    Stop->hide();
    Run->show();
    if (!closing.isEmpty())
        Converting_Infor->setText(closing);
}

void Txconverter::EndJobForClose() {
    RunAfterAdds = false;
    if (!JobState || !JobState->queue.EndForClose())
        return;
    StopRequested = true;
    SetJobControlsEnabled(true);
    Stop->hide();
    Run->show();
}

void Txconverter::OnConversionEnd(JobCallId call, const ConversionEnd& ended) {
    if (!JobState)
        return;  // no call of ours was ever made
    JobQueue& jobs = JobState->queue;
    const RowEnd end = jobs.Done(call, ended);
    JobState->engine.Release(call);
    const QPointer<TItemPanel> row = JobState->rows[call];
    JobState->rows.erase(call);
    // Every ended call's still goes beside its output, also one of a stopped job.
    if (end.keepsStill)
        CopyStillBesideOutput(end.plan);
    if (end.rowEnded) {
        // The file bar: full as a row ends, or the least advanced of the rows still running.
        ProgressFile->SetPosition(jobs.RunningRows().empty() ? 100 : jobs.FilePercent());
        if (row)
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
    const JobCallId call = Jobs(*this).Start(position, plan);
    JobState->rows[call] = row;
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

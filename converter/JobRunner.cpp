// Run and Stop: converting the listed files one after another. For each row the runner reads
// the row and the settings into the engine's argument vector and calls _X; the engine reports
// on its own thread through the two callbacks, whose effects are queued to the window, and
// ends each row with WM_CONVERTDONE, on which the runner finishes the row and starts the next.
//
// Every engine call is remembered, oldest first, with the job it belongs to, until its
// WM_CONVERTDONE arrives. A job that was stopped or abandoned by closing the window therefore
// never has its late end message (or late reports) mistaken for a row of a newer job, and a
// new job waits for the stopped conversion to end before its first row starts.
#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "converter/ArgumentVector.h"
#include "platform/EngineApi.h"
#include "converter/JobOutcome.h"
#include "converter/Letterbox.h"
#include "converter/LevelCeiling.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/WindowMessages.h"
#include "skin/ImageButton.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinProgressBar.h"
#include "skin/SkinSpinEdit.h"
#include "skin/SkinTrackBar.h"

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

// The runner's bookkeeping of engine calls and jobs.
class JobRunnerState {
public:
    explicit JobRunnerState(Txconverter* window) : window_(window) {}

    ~JobRunnerState() {
        // The window goes while a conversion may still run (the program ends during a job):
        // stop the engine and give its thread the time to end before the window is gone.
        const bool outstanding = !calls.empty();
        if (outstanding)
            Engine().Stop();
        Endpoint().Forget(window_, outstanding);
    }

    struct EngineCall {
        int job = 0;
        std::unique_ptr<ArgumentVector> arguments;  // kept until the engine ended the call
        QString still;             // the row's still, for the PSP family; empty otherwise
        QString thumbnailPath;     // where the still goes beside the output
        QPointer<TItemPanel> row;  // the row converted; null once it has been removed
        QString lastStatus;        // the engine's last status line for this call
    };

    // Whether the oldest outstanding call belongs to the current job: reports and the end
    // message arrive in the order the engine made them, one conversion after another.
    bool CurrentCallFirst() const { return !calls.empty() && calls.front().job == job; }
    bool CurrentCallOutstanding() const {
        return std::any_of(calls.begin(), calls.end(),
                           [this](const EngineCall& call) { return call.job == job; });
    }

    std::deque<EngineCall> calls;        // oldest first
    int job = 0;                         // number of the current (or last) job
    bool running = false;                // Run hidden, Stop shown
    bool startPending = false;           // the first row waits for a stopped conversion to end
    QString rowStill, rowThumbnailPath;  // of the row StartRowConversion is starting
    QPointer<TItemPanel> rowItem;        // the row StartRowConversion is starting
    int rows = 0;                        // rows in the current job
    std::vector<FailedRow> failures;     // the current job's failed rows, in order

private:
    Txconverter* window_;
};

namespace {

JobRunnerState& Jobs(Txconverter& window) {
    if (!window.JobState)
        window.JobState = std::make_shared<JobRunnerState>(&window);
    return *window.JobState;
}

// The PSP family keeps a THM copy of the row's still beside the output; failures are ignored.
void CopyStill(const JobRunnerState::EngineCall& call) {
    if (call.still.isEmpty() || !platform::FileExists(call.still))
        return;
    if (platform::FileExists(call.thumbnailPath))
        platform::DeleteFile(call.thumbnailPath);
    platform::CopyFile(call.still, call.thumbnailPath, true);
}

// The output name with its last three characters replaced: clip.MP4 gives clip.THM.
QString ThumbnailName(const QString& targetName) {
    QString name = targetName;
    name.chop(3);
    return name + QStringLiteral("THM");
}

}  // namespace

bool Txconverter::JobRunning() const {
    return JobState && JobState->running;
}

void Txconverter::RunClick(QObject*) {
    if (ListImagePanel->ItemCount < 1) {
        platform::ShowMessage(
            this, "No file to convert\n,Please click the 'Add Button' to add file to list");
        return;
    }
    JobRunnerState& jobs = Jobs(*this);
    CurrentRow = 0;
    ProgressTotal->SetMin(0);
    ProgressTotal->SetHigh(ListImagePanel->ItemCount);
    ProgressTotal->SetPosition(0);
    ListImagePanel->SelectItem(0);
    SetJobControlsEnabled(false);
    StopRequested = false;
    Stop->show();
    Run->hide();
    ++jobs.job;
    jobs.running = true;
    jobs.rows = ListImagePanel->ItemCount;
    jobs.failures.clear();
    // The marks of the job before go: each row shows how this job ends for it.
    for (int i = 0; i < ListImagePanel->ItemCount; ++i) {
        TItemPanel* row = ListImagePanel->GetItem(unsigned(i));
        if (!row->OutcomeMark.isEmpty())
            row->SetOutcomeMark(QString(), false);
    }
    // A stopped conversion that has not ended yet: its end message starts the first row.
    jobs.startPending = !jobs.calls.empty();
    if (!jobs.startPending)
        StartRowConversion(0);
}

void Txconverter::StopClick(QObject*) {
    JobRunnerState& jobs = Jobs(*this);
    Engine().Stop();
    SetJobControlsEnabled(true);
    StopRequested = true;
    Stop->hide();
    Run->show();
    jobs.running = false;
    jobs.startPending = false;
    // No row of this job is converting (its start failed, or waited for an older
    // conversion): no end message will come to say so.
    if (!jobs.CurrentCallOutstanding())
        Converting_Infor->setText(JobClosingText(true, jobs.rows, jobs.failures));
}

void Txconverter::EndJobForClose() {
    if (!JobState)
        return;
    JobRunnerState& jobs = *JobState;
    if (!jobs.calls.empty()) {
        Engine().Stop();
        ++jobs.job;  // the late end message and reports now belong to no job
    }
    if (jobs.running) {
        jobs.running = false;
        jobs.startPending = false;
        StopRequested = true;
        SetJobControlsEnabled(true);
        Stop->hide();
        Run->show();
    }
}

void Txconverter::OnConvertDone(uintptr_t outcome) {
    if (!JobState || JobState->calls.empty())
        return;  // not the end of a call of ours
    JobRunnerState& jobs = *JobState;
    const JobRunnerState::EngineCall call = std::move(jobs.calls.front());
    jobs.calls.pop_front();

    if (call.job != jobs.job) {
        // The end of a stopped job's row: its output keeps its still, nothing else changes.
        CopyStill(call);
        if (jobs.startPending && jobs.calls.empty()) {
            jobs.startPending = false;
            StartRowConversion(CurrentRow);
        }
        return;
    }

    ProgressFile->SetPosition(100);
    CopyStill(call);
    // How the row ended comes from the engine's end message; only the words of a failure's
    // reason come from its last status line.
    const RowOutcome rowOutcome = OutcomeFromMessage(outcome);
    if (call.row) {
        call.row->SetOutcomeMark(RowMarkText(rowOutcome, call.lastStatus),
                                 rowOutcome == RowOutcome::Failed);
    }
    if (rowOutcome == RowOutcome::Failed) {
        const QString source = call.row ? call.row->SourcePath : QString();
        jobs.failures.push_back(
            FailedRow{QFileInfo(source).fileName(), ShortFailureReason(call.lastStatus)});
    }
    ++CurrentRow;
    ProgressTotal->StepIt();
    if (jobs.running && CurrentRow < ListImagePanel->ItemCount && !StopRequested) {
        ListImagePanel->SelectItem(CurrentRow);
        StartRowConversion(CurrentRow);
        return;
    }
    Converting_Infor->setText(JobClosingText(StopRequested, jobs.rows, jobs.failures));
    SetJobControlsEnabled(true);
    Run->show();
    Stop->hide();
    jobs.running = false;
    AnnounceJobEnd(int(jobs.failures.size()));
}

void Txconverter::StartRowConversion(int position) {
    JobRunnerState& jobs = Jobs(*this);
    if (position < 0 || position >= ListImagePanel->ItemCount) {
        throw EListError::OutOfBounds(position);
    }
    TItemPanel* row = ListImagePanel->GetItem(unsigned(position));

    JobOutputFolder = OutputFolder->Text().trimmed();
    if (!platform::DirectoryExists(JobOutputFolder))
        platform::CreateDir(JobOutputFolder);
    JobOutputFolder = platform::WithTrailingSeparator(JobOutputFolder);

    std::vector<QString> values(JobValueCount);
    values[ValueDuration] = DurationText(row->Duration);
    values[ValueSourcePath] = row->SourcePath;
    values[ValueVolume] = QString::number(tr_audio_vol->Position());
    values[ValueOutputPath] = JobOutputFolder + row->TargetName;
    values[ValueVideoCodec] = combox_videoformat->Text().toLower();
    const QString frameSize = combox_resolution->Text().toLower();
    LetterboxPads pads;
    if (m_checkLetterbox->Checked()) {
        const FrameSize target = ParseFrameSize(frameSize);
        pads = ComputeLetterbox(row->VideoWidth, row->VideoHeight, target.width, target.height);
    }
    values[ValuePadTop] = QString::number(pads.top);
    values[ValuePadBottom] = QString::number(pads.bottom);
    values[ValuePadLeft] = QString::number(pads.left);
    values[ValuePadRight] = QString::number(pads.right);
    values[ValueFrameSize] = frameSize;
    values[ValueFrameRate] = combox_framerate->Text().toLower();
    values[ValueVideoBitRate] = edit_videoquality->Text().toLower();
    values[ValueAudioCodec] = QStringLiteral("aac");
    values[ValueAudioChannels] = QString::number(combox_audiochannels->ItemIndex() + 1);
    const AudioRates rates = ApplyAudioRateRule(ab_dropdown->Text(), combox_audioHZ->Text());
    values[ValueAudioBitRate] = QString::number(rates.bitRate);
    values[ValueAudioRate] = QString::number(rates.sampleRate);
    values[ValueFormat] = OutputFormat(CurrentDevice, combox_outfiletype->ItemIndex());
    // Settings above the family's level ceiling are refused before the engine starts.
    CheckVideoCeiling(CurrentDevice, values[ValueVideoCodec], frameSize, values[ValueFrameRate],
                      values[ValueVideoBitRate]);
    // PDAs: the settings show the selected profile again once the row's values are read.
    if (const DeviceInfo* info = FindDevice(CurrentDevice); info && info->reappliesProfileBeforeRun)
        ApplySelectedProfile(CurrentDevice);

    jobs.rowStill = CopyThumbnailToOutput ? row->PicturePath : QString();
    jobs.rowThumbnailPath = JobOutputFolder + ThumbnailName(row->TargetName);
    jobs.rowItem = row;
    RunEngine(values);
}

void Txconverter::RunEngine(const std::vector<QString>& values) {
    JobRunnerState& jobs = Jobs(*this);
    JobRunnerState::EngineCall call;
    call.job = jobs.job;
    call.arguments = std::make_unique<ArgumentVector>(ArgumentEntries(values));
    call.still = std::exchange(jobs.rowStill, QString());
    call.thumbnailPath = std::exchange(jobs.rowThumbnailPath, QString());
    call.row = std::exchange(jobs.rowItem, nullptr);

    Engine().SetInfoCallback(&Txconverter::InfoCallback);
    Engine().SetPercentCallback(&Txconverter::PercentCallback);
    jobs.calls.push_back(std::move(call));
    EngineEndpoint& endpoint = Endpoint();
    endpoint.Starting(this);
    // The engine answers every call, accepted or refused, with one WM_CONVERTDONE.
    Engine().X(&endpoint, ArgumentCount, jobs.calls.back().arguments->Data());
}

// Called on the engine's thread: the text is copied at once and shown on the window's thread.
int Txconverter::InfoCallback(const char* text) {
    const QString caption = QString::fromUtf8(text ? text : "");
    Endpoint().Queue([caption](Txconverter& window) {
        if (!window.JobState || window.JobState->calls.empty())
            return;
        // Reports come in the engine's order: they are the oldest outstanding call's.
        window.JobState->calls.front().lastStatus = caption;
        if (window.JobState->CurrentCallFirst()) {
            window.Converting_Infor->setText(caption);
        }
    });
    return 0;
}

// Called on the engine's thread: the clamped percentage moves the file bar on the window's
// thread.
int Txconverter::PercentCallback(int value) {
    const int percent = std::clamp(value, 0, 100);
    Endpoint().Queue([percent](Txconverter& window) {
        if (window.JobState && window.JobState->CurrentCallFirst()) {
            window.ProgressFile->SetPosition(percent);
        }
    });
    return 0;
}

// The job queue: which row of a job runs next, what each of the engine's end messages means
// for the job, Stop, and how the job ends. It keeps every engine call, oldest first, with the
// job it belongs to, until its end message arrives. A job that was stopped or abandoned by
// closing the window therefore never has its late end message (or late reports) taken for a
// row of a newer job, and a new job waits for the stopped conversion to end before its first
// row starts. No widgets: the job runner reads the rows and writes the bars, the marks and the
// status line from what the queue answers.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "converter/ArgumentVector.h"
#include "converter/JobNotice.h"
#include "converter/JobOutcome.h"
#include "converter/JobPlan.h"

// The engine as the queue drives it.
class JobEngine {
public:
    virtual ~JobEngine() = default;
    // Starts converting with the 36 entries, which stay in place until the call has ended. The
    // engine ends every call, accepted or refused, with one end message, which the window hands
    // to JobQueue::Done; calls end in the order they were made.
    virtual void Convert(ArgumentVector& arguments) = 0;
    // Asks the running conversion to end soon; its end message still comes.
    virtual void Stop() = 0;
};

// What one end message means for the window.
struct RowEnd {
    bool rowEnded = false;   // a row of the current job ended: file bar full, total bar on
    QObject* row = nullptr;  // that row; null when it has been removed since it started
    QString mark;            // the mark it shows until the next Run (RowMarkText)
    bool failed = false;     // its conversion failed
    int startRow = -1;       // the row to start now, -1 for none
    bool jobEnded = false;   // the job is over: the controls unlock
    QString closingText;     // the status line then
};

class JobQueue {
public:
    explicit JobQueue(JobEngine& engine) : engine_(engine) {}

    bool Running() const { return running_; }
    int CurrentRow() const { return currentRow_; }
    bool StopRequested() const { return stopRequested_; }
    // Whether an engine call, of any job, has not ended yet.
    bool Outstanding() const { return !calls_.empty(); }

    // Run with a list of `rows` rows (at least one): a new job from the first row. Returns
    // whether the first row is to start now; otherwise a stopped conversion has not ended yet
    // and its end message answers with the first row to start.
    bool Run(int rows);
    // The current row of the current job starts with `plan`; `row` is the list's row, given
    // back with its end.
    void Start(const RowPlan& plan, QObject* row);
    // Stop: the engine is asked to stop and the job is over. Returns the closing status line
    // when no row of the job is converting (its start failed, or it waited for an older
    // conversion), as no end message will come to say so; empty otherwise.
    QString Stop();
    // The window closes: a running conversion is asked to stop, and its end message and
    // reports belong to no job any more. Returns whether a job was running.
    bool EndForClose();
    // The end message of the oldest outstanding call, with the engine's outcome
    // (KIVO_CONVERSION_FINISHED, _STOPPED or _FAILED). Every call copies its still beside its
    // output, whichever job it belongs to; only the current job's rows move the job on.
    RowEnd Done(uintptr_t outcome);

    // A status line from the engine, for the oldest outstanding call. Returns whether it
    // belongs to the current job and shows.
    bool Report(const QString& statusLine);
    // Whether the engine's reports belong to the current job (its call is the oldest).
    bool Reporting() const { return !calls_.empty() && calls_.front().job == job_; }

    // How the current (or last) job went; the output folder is the window's to fill in.
    JobEnd Tally() const;

private:
    struct EngineCall {
        int job = 0;
        RowPlan plan;
        std::unique_ptr<ArgumentVector> arguments;  // kept until the engine ended the call
        QPointer<QObject> row;
        QString lastStatus;  // the engine's last status line for this call
    };

    JobEngine& engine_;
    std::deque<EngineCall> calls_;  // oldest first
    int job_ = 0;                   // number of the current (or last) job
    bool running_ = false;
    bool startPending_ = false;  // the first row waits for a stopped conversion to end
    bool stopRequested_ = false;
    int currentRow_ = 0;
    int rows_ = 0;
    int converted_ = 0;
    std::vector<FailedRow> failures_;  // the current job's failed rows, in order
};

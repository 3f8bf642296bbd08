// The job queue: which row of a job runs next, what each conversion's end means for the job,
// Stop, and how the job ends. It keeps every conversion, oldest first, with the job it belongs
// to, until its end arrives. A job that was stopped or abandoned by closing the window therefore
// never has its late end (or late reports) taken for a row of a newer job, and a new job waits
// for the stopped conversions to end before its first row starts. Its state is all it changes:
// the job runner and qor-convert read the rows, start the conversions, copy the stills and
// write the bars, the marks and the status line from what the queue answers.
#pragma once

#include <QString>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "converter/JobNotice.h"
#include "converter/core/ArgumentVector.h"
#include "converter/core/JobOutcome.h"
#include "converter/core/JobPlan.h"

// Names one conversion for its reports and its end; the queue numbers them from 1.
using JobCallId = std::uint64_t;

// The engine as the queue drives it.
class JobEngine {
public:
    virtual ~JobEngine() = default;
    // Starts converting with the entries, which stay in place until the call has ended. Every
    // call, accepted, refused or not even started, ends once; the caller hands that end to
    // JobQueue::Done with `call`.
    virtual void Convert(JobCallId call, ArgumentVector& arguments) = 0;
    // Asks call `call` to end soon; its end still comes.
    virtual void Stop(JobCallId call) = 0;
};

// What one end means for the window.
struct RowEnd {
    bool callEnded = false;      // an outstanding call ended
    bool keepsStill = false;     // ...and kept its output: `plan`'s still goes beside it (a failed
                                 // conversion leaves no THM: a player would list a picture alone)
    RowPlan plan;                // the plan it converted
    bool rowEnded = false;       // a row of the current job ended: file bar full, total bar on
    QString mark;                // the mark it shows until the next Run (RowMarkText)
    bool failed = false;         // its conversion failed
    std::vector<int> startRows;  // the rows to start now, in list order
    bool jobEnded = false;       // the job is over: the controls unlock
    QString closingText;         // the status line then
};

class JobQueue {
public:
    // `atOnce`: how many rows of a job convert side by side (1: one after another).
    explicit JobQueue(JobEngine& engine, int atOnce = 1) : engine_(engine), atOnce_(atOnce) {}

    // Takes effect at the next Run; at least 1.
    void SetAtOnce(int atOnce);

    bool Running() const { return running_; }
    // The first row of the current job that has not ended yet (the lowest running row).
    int CurrentRow() const;
    bool StopRequested() const { return stopRequested_; }

    // Run with a list of `rows` rows (at least one): a new job from the first row. Returns the
    // rows to start now (up to AtOnce, in list order); none while a stopped job's conversions
    // have not all ended: the last of their ends answers with the rows to start.
    // The rows at `skipped` (list positions) are passed over: they neither start nor count.
    std::vector<int> Run(int rows, const std::vector<int>& skipped = {});
    // Row `position` of the current job starts with `plan`. Returns the call's number.
    JobCallId Start(int position, const RowPlan& plan);
    // Stop: the engine is asked to stop every call of the job and the job is over. Returns the
    // closing status line when no row of the job is converting (its start failed, or it waited
    // for an older conversion), as no end will come to say so; empty otherwise.
    QString Stop();
    // The window closes: running conversions are asked to stop, and their ends and
    // reports belong to no job any more. Returns whether a job was running.
    bool EndForClose();
    // The end of call `call`. Every call's end gives its plan back (its still goes beside its
    // output when it finished or was stopped with something kept, whichever job it belongs to; a
    // failed one leaves no THM); only the current job's rows move the job on. An end for a call
    // that is not outstanding changes nothing.
    RowEnd Done(JobCallId call, const ConversionEnd& end);

    // A status line from the engine for call `call`. Returns whether it belongs to the current
    // job.
    bool Report(JobCallId call, const QString& statusLine);
    // A percentage from the engine for call `call`. Returns whether it belongs to the current
    // job.
    bool Percent(JobCallId call, int percent);

    // What the file bar shows: the percentage of the least advanced running row of the job.
    int FilePercent() const;
    // What the status line shows while rows run: the engine's own last line while one row of
    // the job runs, and with more the running files with their percentages, in list order
    // ("Converting a.avi 42%, b.avi 17%").
    QString StatusLine() const;
    // The rows of the current job that are converting, in list order.
    std::vector<int> RunningRows() const;

    // How the current (or last) job went; the output folder is the window's to fill in.
    JobEnd Tally() const;

private:
    struct EngineCall {
        JobCallId id = 0;
        int job = 0;
        int position = 0;  // the row's place in the job's list
        RowPlan plan;
        std::unique_ptr<ArgumentVector> arguments;  // kept until the engine ended the call
        QString lastStatus;                         // the engine's last status line for this call
        int percent = 0;                            // the engine's last percentage for this call
    };

    JobEngine& engine_;
    int atOnce_ = 1;
    JobCallId lastId_ = 0;
    std::deque<EngineCall> calls_;  // oldest first
    int job_ = 0;                   // number of the current (or last) job
    bool running_ = false;
    bool startPending_ = false;  // the first rows wait for a stopped job's conversions to end
    bool stopRequested_ = false;
    int jobAtOnce_ = 1;         // AtOnce as it was when the current job began
    int currentRow_ = 0;        // the next row of the job to hand out
    std::vector<int> toStart_;  // rows handed out to start that have not started yet
    int rows_ = 0;
    std::vector<int> skipped_;  // rows of the current job passed over
    int converted_ = 0;
    std::vector<FailedRow> failures_;  // the current job's failed rows, in list order
    std::vector<int> failedRows_;      // their rows

    // The calls of the current job, in list order.
    std::vector<const EngineCall*> JobCalls() const;
    // Hands out the rows that start now, as places free up.
    std::vector<int> TakeRowsToStart();
    // The outstanding call `call`; end() when none.
    std::deque<EngineCall>::iterator Find(JobCallId call);
};

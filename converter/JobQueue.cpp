#include "converter/JobQueue.h"

#include <QFileInfo>
#include <algorithm>

bool JobQueue::Run(int rows) {
    ++job_;
    running_ = true;
    stopRequested_ = false;
    currentRow_ = 0;
    rows_ = rows;
    converted_ = 0;
    failures_.clear();
    startPending_ = !calls_.empty();
    return !startPending_;
}

void JobQueue::Start(const RowPlan& plan, QObject* row) {
    EngineCall call;
    call.job = job_;
    call.plan = plan;
    call.arguments = std::make_unique<ArgumentVector>(plan.Entries());
    call.row = row;
    calls_.push_back(std::move(call));
    engine_.Convert(*calls_.back().arguments);
}

QString JobQueue::Stop() {
    engine_.Stop();
    stopRequested_ = true;
    running_ = false;
    startPending_ = false;
    const bool converting = std::any_of(
        calls_.begin(), calls_.end(), [this](const EngineCall& call) { return call.job == job_; });
    return converting ? QString() : JobClosingText(true, rows_, failures_);
}

bool JobQueue::EndForClose() {
    if (!calls_.empty()) {
        engine_.Stop();
        ++job_;
    }
    const bool wasRunning = running_;
    if (running_) {
        running_ = false;
        startPending_ = false;
        stopRequested_ = true;
    }
    return wasRunning;
}

RowEnd JobQueue::Done(uintptr_t outcome) {
    RowEnd end;
    if (calls_.empty())
        return end;  // not the end of a call of ours
    const EngineCall call = std::move(calls_.front());
    calls_.pop_front();
    CopyStillBesideOutput(call.plan);

    if (call.job != job_) {
        // The end of a stopped job's row: a new job waiting for it starts its first row.
        if (startPending_ && calls_.empty()) {
            startPending_ = false;
            end.startRow = currentRow_;
        }
        return end;
    }

    // How the row ended comes from the engine's end message; only the words of a failure's
    // reason come from its last status line.
    const RowOutcome rowOutcome = OutcomeFromMessage(outcome);
    end.rowEnded = true;
    end.row = call.row.data();
    end.mark = RowMarkText(rowOutcome, call.lastStatus);
    end.failed = rowOutcome == RowOutcome::Failed;
    if (end.failed) {
        failures_.push_back(FailedRow{QFileInfo(call.plan.values[ValueSourcePath]).fileName(),
                                      ShortFailureReason(call.lastStatus)});
    }
    if (rowOutcome == RowOutcome::Converted)
        ++converted_;
    ++currentRow_;
    if (running_ && currentRow_ < rows_ && !stopRequested_) {
        end.startRow = currentRow_;
        return end;
    }
    running_ = false;
    end.jobEnded = true;
    end.closingText = JobClosingText(stopRequested_, rows_, failures_);
    return end;
}

bool JobQueue::Report(const QString& statusLine) {
    if (calls_.empty())
        return false;
    // Reports come in the engine's order: they are the oldest outstanding call's.
    calls_.front().lastStatus = statusLine;
    return Reporting();
}

JobEnd JobQueue::Tally() const {
    JobEnd end;
    end.rows = rows_;
    end.converted = converted_;
    end.failed = int(failures_.size());
    end.stopped = stopRequested_;
    return end;
}

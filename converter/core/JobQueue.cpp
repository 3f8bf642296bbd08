#include "converter/core/JobQueue.h"

#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace {

QString FileNameOf(const RowPlan& plan) {
    return QFileInfo(plan.values[ValueSourcePath]).fileName();
}

}  // namespace

void JobQueue::SetAtOnce(int atOnce) {
    atOnce_ = std::max(1, atOnce);
}

std::vector<const JobQueue::EngineCall*> JobQueue::JobCalls() const {
    std::vector<const EngineCall*> running;
    for (const EngineCall& call : calls_) {
        if (call.job == job_)
            running.push_back(&call);
    }
    std::sort(running.begin(), running.end(),
              [](const EngineCall* a, const EngineCall* b) { return a->position < b->position; });
    return running;
}

std::vector<int> JobQueue::TakeRowsToStart() {
    std::vector<int> rows;
    int busy = int(JobCalls().size() + toStart_.size());
    while (currentRow_ < rows_ && busy < jobAtOnce_) {
        if (std::find(skipped_.begin(), skipped_.end(), currentRow_) != skipped_.end()) {
            ++currentRow_;
            continue;
        }
        rows.push_back(currentRow_);
        toStart_.push_back(currentRow_++);
        ++busy;
    }
    return rows;
}

std::deque<JobQueue::EngineCall>::iterator JobQueue::Find(JobCallId call) {
    return std::find_if(calls_.begin(), calls_.end(),
                        [call](const EngineCall& c) { return c.id == call; });
}

int JobQueue::CurrentRow() const {
    int lowest = currentRow_;
    for (const EngineCall* call : JobCalls())
        lowest = std::min(lowest, call->position);
    for (int row : toStart_)
        lowest = std::min(lowest, row);
    return lowest;
}

std::vector<int> JobQueue::Run(int rows, const std::vector<int>& skipped) {
    ++job_;
    running_ = true;
    stopRequested_ = false;
    jobAtOnce_ = atOnce_;
    currentRow_ = 0;
    toStart_.clear();
    rows_ = rows;
    skipped_ = skipped;
    converted_ = 0;
    failures_.clear();
    failedRows_.clear();
    // A stopped job's conversions still run: the new job's rows wait for the last to end.
    startPending_ = !calls_.empty();
    return startPending_ ? std::vector<int>{} : TakeRowsToStart();
}

JobCallId JobQueue::Start(int position, const RowPlan& plan) {
    toStart_.erase(std::remove(toStart_.begin(), toStart_.end(), position), toStart_.end());
    EngineCall call;
    call.id = ++lastId_;
    call.job = job_;
    call.position = position;
    call.plan = plan;
    call.arguments = std::make_unique<ArgumentVector>(plan.Entries());
    calls_.push_back(std::move(call));
    // Elements of a deque stay in place when others are added or removed at its ends, and the
    // entries are on the heap anyway: they outlive the call.
    engine_.Convert(calls_.back().id, *calls_.back().arguments);
    return lastId_;
}

QString JobQueue::Stop() {
    // Every outstanding call is asked: those of an older job were asked before, and once more
    // does no harm.
    for (const EngineCall& call : calls_)
        engine_.Stop(call.id);
    stopRequested_ = true;
    running_ = false;
    startPending_ = false;
    toStart_.clear();
    return !JobCalls().empty() ? QString()
                               : JobClosingText(true, rows_ - int(skipped_.size()), failures_);
}

bool JobQueue::EndForClose() {
    const bool wasRunning = running_;
    if (running_ || !calls_.empty())
        Stop();
    if (!calls_.empty())
        ++job_;  // the stopped conversions' late ends and reports belong to no job
    return wasRunning;
}

RowEnd JobQueue::Done(JobCallId id, const ConversionEnd& conversionEnd) {
    RowEnd end;
    const auto found = Find(id);
    if (found == calls_.end())
        return end;  // not the end of an outstanding call of ours
    const EngineCall call = std::move(*found);
    calls_.erase(found);
    end.callEnded = true;
    end.keepsStill = OutcomeOf(conversionEnd.outcome) != RowOutcome::Failed;
    end.plan = call.plan;

    if (call.job != job_) {
        // The end of a stopped job's row: when it was the last, a new job waiting for it starts.
        if (startPending_ && calls_.empty()) {
            startPending_ = false;
            end.startRows = TakeRowsToStart();
        }
        return end;
    }

    const RowOutcome rowOutcome = OutcomeOf(conversionEnd.outcome);
    end.rowEnded = true;
    end.mark = RowMarkText(conversionEnd);
    end.failed = rowOutcome == RowOutcome::Failed;
    if (end.failed) {
        // Kept in list order, so that the closing line names the first failed row of the list.
        const auto at = std::upper_bound(failedRows_.begin(), failedRows_.end(), call.position);
        failures_.insert(failures_.begin() + (at - failedRows_.begin()),
                         FailedRow{FileNameOf(call.plan), FailureWords(conversionEnd)});
        failedRows_.insert(at, call.position);
    }
    if (rowOutcome == RowOutcome::Converted)
        ++converted_;
    if (running_ && !stopRequested_)
        end.startRows = TakeRowsToStart();
    if (!end.startRows.empty() || !JobCalls().empty() || !toStart_.empty())
        return end;
    running_ = false;
    end.jobEnded = true;
    end.closingText = JobClosingText(stopRequested_, rows_ - int(skipped_.size()), failures_);
    return end;
}

bool JobQueue::Report(JobCallId id, const QString& statusLine) {
    const auto found = Find(id);
    if (found == calls_.end())
        return false;
    found->lastStatus = statusLine;
    return found->job == job_;
}

bool JobQueue::Percent(JobCallId id, int percent) {
    const auto found = Find(id);
    if (found == calls_.end())
        return false;
    found->percent = std::clamp(percent, 0, 100);
    return found->job == job_;
}

int JobQueue::FilePercent() const {
    const std::vector<const EngineCall*> running = JobCalls();
    int least = running.empty() ? 0 : 100;
    for (const EngineCall* call : running)
        least = std::min(least, call->percent);
    return least;
}

std::vector<int> JobQueue::RunningRows() const {
    std::vector<int> rows;
    for (const EngineCall* call : JobCalls())
        rows.push_back(call->position);
    return rows;
}

QString JobQueue::StatusLine() const {
    const std::vector<const EngineCall*> running = JobCalls();
    if (running.empty())
        return QString();
    if (running.size() == 1)
        return running.front()->lastStatus;
    QStringList parts;
    for (const EngineCall* call : running)
        parts << QStringLiteral("%1 %2%").arg(FileNameOf(call->plan)).arg(call->percent);
    return QStringLiteral("Converting ") + parts.join(QStringLiteral(", "));
}

JobEnd JobQueue::Tally() const {
    JobEnd end;
    end.rows = rows_ - int(skipped_.size());
    end.converted = converted_;
    end.failed = int(failures_.size());
    end.stopped = stopRequested_;
    return end;
}

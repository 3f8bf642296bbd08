// The engine as qor-convert drives it: one file at a time through _X and its end message, as
// the window does, or several side by side as conversion objects whose events carry the
// number of their call. Either way every report lands, in order, in one queue that the run
// loop reads on the main thread.
#pragma once

#include <QString>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "converter/JobQueue.h"

struct KivoConversion;

// One report of the engine for one call (0: the _X conversion, the oldest outstanding call).
struct EngineReport {
    enum Kind { Status, Percent, Ended };
    Kind kind = Status;
    JobCallId call = 0;
    QString text;   // Status: the line; Ended: the reason of a failed conversion
    int value = 0;  // Percent: 0..100; Ended: KIVO_CONVERSION_FINISHED, _STOPPED or _FAILED
};

// The queue between the engine's threads and the run loop.
class EngineReports {
public:
    void Push(EngineReport report);
    // Takes every waiting report, oldest first, after waiting up to `wait` for one (or for
    // `wake` to hold, checked at least every `wait`).
    std::deque<EngineReport> Take(std::chrono::milliseconds wait,
                                  const std::function<bool()>& wake);

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<EngineReport> reports_;
};

class CliEngine : public JobEngine {
public:
    // With `atOnce` 1 each file goes through _X and its two callbacks exactly as one file at a
    // time always did; with more, each file is a conversion of its own.
    CliEngine(int atOnce, EngineReports& reports);
    // Stops and waits for every conversion still running; puts the callbacks back.
    ~CliEngine() override;
    CliEngine(const CliEngine&) = delete;
    CliEngine& operator=(const CliEngine&) = delete;

    void Convert(JobCallId call, ArgumentVector& arguments) override;
    void Stop(JobCallId call) override;
    // The run loop has taken call `call`'s end: its conversion is released.
    void Release(JobCallId call);

private:
    struct Call;
    int atOnce_;
    EngineReports& reports_;
    std::map<JobCallId, std::unique_ptr<Call>> calls_;
};

// The engine as qor-convert drives it: each file a conversion of its own (kivo_conversion_*),
// whose events carry the number of their call. Every report lands, in order, in one queue that
// the run loop reads on the main thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "converter/core/JobOutcome.h"
#include "converter/core/JobQueue.h"

struct KivoConversion;

// One report of the engine for one call: its progress, or its end. Its status lines are the
// window's; qor-convert writes its own lines from the numbers.
struct EngineReport {
    bool ended = false;
    JobCallId call = 0;
    KivoProgress progress{};  // not ended: the numbers
    ConversionEnd end;        // ended: how
};

class CliEngine : public JobEngine {
public:
    CliEngine();
    // Stops and waits for every conversion still running.
    ~CliEngine() override;
    CliEngine(const CliEngine&) = delete;
    CliEngine& operator=(const CliEngine&) = delete;

    void Convert(JobCallId call, ArgumentVector& arguments) override;
    void Stop(JobCallId call) override;
    // The run loop has taken call `call`'s end: its conversion is released.
    void Release(JobCallId call);
    // Takes every waiting report, oldest first, after waiting up to `wait` for one (or for
    // `wake` to hold, checked at least every `wait`).
    std::deque<EngineReport> Take(std::chrono::milliseconds wait,
                                  const std::function<bool()>& wake);

private:
    struct Call;
    void Push(EngineReport report);

    std::mutex mutex_;  // guards the reports, which the engine's threads push
    std::condition_variable arrived_;
    std::deque<EngineReport> reports_;
    std::map<JobCallId, std::unique_ptr<Call>> calls_;
};

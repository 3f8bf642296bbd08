#include "cli/CliEngine.h"

#include <utility>

#include "platform/core/EngineApi.h"

// A conversion and what its events need to name it.
struct CliEngine::Call {
    CliEngine* engine = nullptr;
    JobCallId id = 0;
    KivoConversion* conversion = nullptr;

    static void OnProgress(void* user, const KivoProgress* progress) {
        const auto* call = static_cast<Call*>(user);
        if (!progress)
            return;
        EngineReport report;
        report.call = call->id;
        report.progress = *progress;
        call->engine->Push(std::move(report));
    }
    static void OnEnd(void* user, const KivoEnd* end) {
        const auto* call = static_cast<Call*>(user);
        EngineReport report;
        report.ended = true;
        report.call = call->id;
        report.end = end ? ConversionEndOf(*end) : NotStartedEnd();
        call->engine->Push(std::move(report));
    }
};

void CliEngine::Push(EngineReport report) {
    std::lock_guard lock(mutex_);
    reports_.push_back(std::move(report));
    arrived_.notify_one();
}

std::deque<EngineReport> CliEngine::Take(std::chrono::milliseconds wait,
                                         const std::function<bool()>& wake) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, wait, [&] { return !reports_.empty() || wake(); });
    return std::exchange(reports_, {});
}

CliEngine::CliEngine() {
    Engine().Init();
}

CliEngine::~CliEngine() {
    for (auto& [id, call] : calls_)
        Engine().FreeConversion(call->conversion);
}

void CliEngine::Convert(JobCallId call, ArgumentVector& arguments) {
    auto entry = std::make_unique<Call>();
    entry->engine = this;
    entry->id = call;
    KivoConversionEvents events{};
    events.user = entry.get();
    events.progress = Call::OnProgress;
    events.end = Call::OnEnd;
    entry->conversion = Engine().StartConversion(arguments.Count(), arguments.Data(), &events);
    if (!entry->conversion) {
        // Every call ends once, also one the engine could not even create (or refuses to, as
        // an engine without conversions does).
        Call::OnEnd(entry.get(), nullptr);
        return;
    }
    calls_.emplace(call, std::move(entry));
}

void CliEngine::Stop(JobCallId call) {
    if (const auto found = calls_.find(call); found != calls_.end())
        Engine().StopConversion(found->second->conversion);
}

void CliEngine::Release(JobCallId call) {
    if (const auto found = calls_.find(call); found != calls_.end()) {
        Engine().FreeConversion(found->second->conversion);
        calls_.erase(found);
    }
}

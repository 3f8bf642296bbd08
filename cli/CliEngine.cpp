#include "cli/CliEngine.h"

#include <algorithm>
#include <utility>

#include "platform/EngineApi.h"

namespace {

void PushStatus(EngineReports* reports, JobCallId call, const char* text) {
    if (reports)
        reports->Push({EngineReport::Status, call, QString::fromUtf8(text ? text : ""), 0});
}

void PushPercent(EngineReports* reports, JobCallId call, int percent) {
    if (reports)
        reports->Push({EngineReport::Percent, call, QString(), std::clamp(percent, 0, 100)});
}

// The _X callbacks carry no user pointer: they reach the queue of the one engine that runs
// files one at a time.
EngineReports* g_singleReports = nullptr;

int InfoReport(const char* text) {
    PushStatus(g_singleReports, 0, text);
    return 0;
}

int PercentReport(int percent) {
    PushPercent(g_singleReports, 0, percent);
    return 0;
}

void PostEnd(KivoWindow*, unsigned message, uintptr_t outcome, intptr_t) {
    if (message == WM_CONVERTDONE && g_singleReports)
        g_singleReports->Push({EngineReport::Ended, 0, QString(), int(outcome)});
}

KivoWindow g_window{PostEnd};

}  // namespace

// A conversion side by side and what its events need to name it.
struct CliEngine::Call {
    EngineReports* reports = nullptr;
    JobCallId id = 0;
    KivoConversion* conversion = nullptr;

    static void OnStatus(void* user, const char* text) {
        const auto* call = static_cast<Call*>(user);
        PushStatus(call->reports, call->id, text);
    }
    static void OnPercent(void* user, int percent) {
        const auto* call = static_cast<Call*>(user);
        PushPercent(call->reports, call->id, percent);
    }
    static void OnEnded(void* user, int outcome, const char* reason) {
        const auto* call = static_cast<Call*>(user);
        // A refused vector wrote nothing: for the job it is a failed file.
        call->reports->Push(
            {EngineReport::Ended, call->id, QString::fromUtf8(reason ? reason : ""),
             outcome == KIVO_CONVERSION_REFUSED ? KIVO_CONVERSION_FAILED : outcome});
    }
};

void EngineReports::Push(EngineReport report) {
    std::lock_guard lock(mutex_);
    reports_.push_back(std::move(report));
    arrived_.notify_one();
}

std::deque<EngineReport> EngineReports::Take(std::chrono::milliseconds wait,
                                             const std::function<bool()>& wake) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, wait, [&] { return !reports_.empty() || wake(); });
    return std::exchange(reports_, {});
}

CliEngine::CliEngine(int atOnce, EngineReports& reports)
    : atOnce_(std::max(atOnce, 1)), reports_(reports) {
    Engine().Init();
    if (atOnce_ == 1) {
        g_singleReports = &reports_;
        Engine().SetInfoCallback(InfoReport);
        Engine().SetPercentCallback(PercentReport);
    }
}

CliEngine::~CliEngine() {
    for (auto& [id, call] : calls_)
        Engine().FreeConversion(call->conversion);
    if (atOnce_ == 1) {
        Engine().SetInfoCallback(nullptr);
        Engine().SetPercentCallback(nullptr);
        g_singleReports = nullptr;
    }
}

void CliEngine::Convert(JobCallId call, ArgumentVector& arguments) {
    if (atOnce_ == 1) {
        Engine().X(&g_window, arguments.Count(), arguments.Data());
        return;
    }
    auto entry = std::make_unique<Call>();
    entry->reports = &reports_;
    entry->id = call;
    const KivoConversionEvents events{entry.get(), Call::OnStatus, Call::OnPercent, Call::OnEnded};
    entry->conversion = Engine().StartConversion(arguments.Count(), arguments.Data(), &events);
    if (!entry->conversion) {
        // Every call ends once, also one the engine could not even create (or refuses to, as
        // an engine without side-by-side conversions does).
        reports_.Push({EngineReport::Ended, call,
                       QStringLiteral("the engine could not start the conversion"),
                       KIVO_CONVERSION_FAILED});
        return;
    }
    calls_.emplace(call, std::move(entry));
}

void CliEngine::Stop(JobCallId call) {
    if (atOnce_ == 1) {
        Engine().Stop();
        return;
    }
    if (const auto found = calls_.find(call); found != calls_.end())
        Engine().StopConversion(found->second->conversion);
}

void CliEngine::Release(JobCallId call) {
    if (const auto found = calls_.find(call); found != calls_.end()) {
        Engine().FreeConversion(found->second->conversion);
        calls_.erase(found);
    }
}

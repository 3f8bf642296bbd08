#include "Job.h"

#include <atomic>
#include <mutex>

#include "Conversion.h"

namespace kivo {
namespace {

std::atomic<KivoInfoCallback> g_infoCallback{nullptr};
std::atomic<KivoPercentCallback> g_percentCallback{nullptr};

// The job's events: the callbacks are read at each report, so a change takes effect from the
// next one; the window is the user pointer.
void OnStatus(void*, const char* text) {
    if (KivoInfoCallback callback = g_infoCallback.load()) {
        callback(text);
    }
}

void OnPercent(void*, int percent) {
    if (KivoPercentCallback callback = g_percentCallback.load()) {
        callback(percent);
    }
}

void OnEnded(void* user, int outcome, const char*) {
    auto* window = static_cast<KivoWindow*>(user);
    if (window && window->post) {
        // The window knows three ends: a refused vector failed.
        uintptr_t wparam = outcome == KIVO_CONVERSION_REFUSED ? KIVO_CONVERSION_FAILED : outcome;
        window->post(window, WM_CONVERTDONE, wparam, 0);
    }
}

// The one job of the exports.
class Job {
public:
    ~Job() {
        // The library is being unloaded: end the conversion rather than leave a thread behind
        // (a conversion still waiting for the one before stops that one too).
        std::lock_guard start(startMutex_);
        KivoConversion* last = Take();
        StopConversion(last);
        FreeConversion(last);
    }

    bool Start(KivoWindow* window, const std::vector<std::string>& argv) {
        std::lock_guard start(startMutex_);
        KivoConversion* predecessor = nullptr;
        if (OnConversionThread()) {
            // Called from a callback of a running conversion, which cannot wait for itself:
            // the new conversion waits for the one before on its own thread.
            std::lock_guard state(stateMutex_);
            predecessor = current_;
        } else {
            std::unique_lock state(stateMutex_);
            KivoConversion* previous = current_;
            state.unlock();
            // Mydll_Stop may still stop it while it is waited for.
            WaitForConversion(previous, -1);
            FreeConversion(Take());
        }
        KivoConversionEvents events{window, OnStatus, OnPercent, OnEnded, nullptr, nullptr};
        bool refused = false;
        KivoConversion* next = StartConversion(argv, events, predecessor, refused);
        std::lock_guard state(stateMutex_);
        current_ = next;
        return !refused;
    }

    void Stop() {
        std::lock_guard state(stateMutex_);
        StopConversion(current_);
    }

private:
    KivoConversion* Take() {
        std::lock_guard state(stateMutex_);
        KivoConversion* conversion = current_;
        current_ = nullptr;
        return conversion;
    }

    std::mutex startMutex_;  // one start at a time
    std::mutex stateMutex_;  // guards current_, never held while waiting
    KivoConversion* current_ = nullptr;
};

Job& TheJob() {
    static Job job;
    return job;
}

}  // namespace

void SetInfoCallback(KivoInfoCallback callback) {
    g_infoCallback.store(callback);
}
void SetPercentCallback(KivoPercentCallback callback) {
    g_percentCallback.store(callback);
}

bool StartJob(KivoWindow* window, std::vector<std::string> argv) {
    return TheJob().Start(window, argv);
}

void StopJob() {
    TheJob().Stop();
}

}  // namespace kivo

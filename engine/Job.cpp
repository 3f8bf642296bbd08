#include "Job.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "Arguments.h"
#include "Log.h"
#include "OutputFile.h"
#include "Transcoder.h"

namespace kivo {
namespace {

using Clock = std::chrono::steady_clock;

// At most about ten reports a second: the window repaints on each.
constexpr auto kReportInterval = std::chrono::milliseconds(100);

std::atomic<KivoInfoCallback> g_infoCallback{nullptr};
std::atomic<KivoPercentCallback> g_percentCallback{nullptr};

// The conversion's thread (and the encoder threads it starts, which inherit its niceness) gives
// way to the window's thread when both want the CPU, so the window stays responsive on a
// machine with few cores while the conversion still uses every idle cycle.
void YieldToTheInterface() {
#if defined(__linux__)
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 5);
#endif
}

void Info(const std::string& text) {
    if (KivoInfoCallback callback = g_infoCallback.load()) {
        callback(text.c_str());
    }
}

void Percent(int percent) {
    if (KivoPercentCallback callback = g_percentCallback.load()) {
        callback(std::clamp(percent, 0, 100));
    }
}

std::string HoursMinutesSeconds(double seconds) {
    long total = seconds > 0 ? long(seconds + 0.5) : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                  total % 60);
    return text;
}

// Turns the conversion's progress into status lines and percentages, at a steady pace.
class ProgressReporter {
public:
    ProgressReporter(std::string name, double duration)
        : name_(std::move(name)), duration_(duration), started_(Clock::now()) {}

    void Update(double outputSeconds, long long frames) {
        Clock::time_point now = Clock::now();
        if (now - lastReport_ < kReportInterval) {
            return;
        }
        lastReport_ = now;
        // A player started meanwhile may have taken libav's log over.
        InstallLogCallback();
        double elapsed = std::chrono::duration<double>(now - started_).count();
        int percent = duration_ > 0 ? int(outputSeconds * 100 / duration_) : 0;
        percent = std::clamp(percent, 0, 99);  // 100 only once the file is complete
        char text[512];
        double speed = elapsed > 0 ? outputSeconds / elapsed : 0;
        double fps = elapsed > 0 ? frames / elapsed : 0;
        std::string left = speed > 0 && duration_ > 0
                               ? HoursMinutesSeconds((duration_ - outputSeconds) / speed)
                               : std::string("--:--:--");
        std::snprintf(text, sizeof text, "Converting %s  %d%%  %.1f fps  speed %.2fx  time left %s",
                      name_.c_str(), percent, fps, speed, left.c_str());
        Info(text);
        Percent(percent);
    }

private:
    std::string name_;
    double duration_;
    Clock::time_point started_;
    Clock::time_point lastReport_{};
};

void RunConversion(KivoWindow* window, const ConversionArguments& args, bool valid,
                   const std::string& refusal, std::shared_ptr<std::atomic<bool>> stop) {
    LogCapture log;
    uintptr_t outcome = KIVO_CONVERSION_FAILED;
    if (!valid) {
        Info("Failed: " + refusal);
    } else {
        std::string name = FileNamePart(args.input);
        Info("Converting " + name);
        Percent(0);
        ProgressReporter reporter(name, args.durationSeconds);
        TranscodeResult result = Transcode(
            args, *stop,
            [&reporter](double seconds, long long frames) { reporter.Update(seconds, frames); });
        switch (result.outcome) {
            case Outcome::Finished:
                outcome = KIVO_CONVERSION_FINISHED;
                Percent(100);
                Info("Finished " + name);
                break;
            case Outcome::Stopped:
                outcome = KIVO_CONVERSION_STOPPED;
                Info(result.outputSeconds > 0
                         ? "Stopped by user: " + name + ", the first " +
                               HoursMinutesSeconds(result.outputSeconds) + " are kept"
                         : "Stopped by user: " + name);
                break;
            case Outcome::Failed:
                Info("Failed: " + name + ": " + result.message);
                break;
        }
    }
    if (window && window->post) {
        window->post(window, WM_CONVERTDONE, outcome, 0);
    }
}

// The one job of the engine.
class Job {
public:
    ~Job() {
        // The library is being unloaded: end the conversion rather than leave a thread behind.
        StopJob();
        std::lock_guard start(startMutex_);
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    bool Start(KivoWindow* window, std::vector<std::string> argv) {
        std::lock_guard start(startMutex_);
        if (thread_.joinable()) {
            if (thread_.get_id() == std::this_thread::get_id()) {
                // Called from a callback of the running conversion: it cannot wait for itself.
                thread_.detach();
            } else {
                thread_.join();
            }
        }
        std::vector<const char*> pointers;
        for (const std::string& entry : argv) {
            pointers.push_back(entry.c_str());
        }
        auto args = std::make_shared<ConversionArguments>();
        std::string refusal;
        bool valid = ParseArguments(int(pointers.size()), pointers.data(), *args, refusal);
        auto stop = std::make_shared<std::atomic<bool>>(false);
        {
            std::lock_guard state(stateMutex_);
            stop_ = stop;
        }
        thread_ = std::thread([window, args, valid, refusal, stop] {
            YieldToTheInterface();
            RunConversion(window, *args, valid, refusal, stop);
        });
        return valid;
    }

    void Stop() {
        std::lock_guard state(stateMutex_);
        if (stop_) {
            stop_->store(true);
        }
    }

private:
    std::mutex startMutex_;  // one start at a time
    std::mutex stateMutex_;  // guards stop_, never held while waiting
    std::shared_ptr<std::atomic<bool>> stop_;
    std::thread thread_;
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
    return TheJob().Start(window, std::move(argv));
}

void StopJob() {
    TheJob().Stop();
}

}  // namespace kivo

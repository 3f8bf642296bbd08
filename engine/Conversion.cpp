#include "Conversion.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
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

struct KivoConversion {
    KivoConversionEvents events{};
    kivo::ConversionArguments args;
    bool valid = false;
    std::string refusal;
    KivoConversion* predecessor = nullptr;  // waited for and freed on this one's thread
    std::atomic<bool> stop{false};

    mutable std::mutex mutex;
    std::condition_variable endedCondition;
    bool ended = false;                     // guarded by mutex, with outcome
    int outcome = KIVO_CONVERSION_RUNNING;  //
    std::string reason;                     // written once, before ended is set
    int reasonCode = KIVO_REASON_NONE;      //
    bool freeWhenEnded = false;             // freed from its own events: the thread frees it

    std::thread thread;
};

namespace kivo {
namespace {

using Clock = std::chrono::steady_clock;

// At most about ten reports a second: the window repaints on each.
constexpr auto kReportInterval = std::chrono::milliseconds(100);
// How often a conversion waiting for its predecessor looks at its own stop flag.
constexpr int kPredecessorPollMs = 50;

thread_local KivoConversion* t_conversion = nullptr;

// A conversion's thread (and the encoder threads it starts, which inherit its niceness) gives
// way to the window's thread when both want the CPU, so the window stays responsive on a
// machine with few cores while the conversion still uses every idle cycle.
void YieldToTheInterface() {
#if defined(__linux__)
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 5);
#endif
}

void Status(const KivoConversion& conversion, const std::string& text) {
    if (conversion.events.status) {
        conversion.events.status(conversion.events.user, text.c_str());
    }
}

void Percent(const KivoConversion& conversion, int percent) {
    if (conversion.events.percent) {
        conversion.events.percent(conversion.events.user, std::clamp(percent, 0, 100));
    }
}

void Progress(const KivoConversion& conversion, const KivoProgress& progress) {
    Percent(conversion, progress.percent);
    if (conversion.events.progress) {
        conversion.events.progress(conversion.events.user, &progress);
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
    ProgressReporter(const KivoConversion& conversion, std::string name, double duration)
        : conversion_(conversion),
          name_(std::move(name)),
          duration_(duration),
          started_(Clock::now()) {}

    void Update(double outputSeconds, long long frames) {
        Clock::time_point now = Clock::now();
        if (now - lastReport_ < kReportInterval) {
            return;
        }
        lastReport_ = now;
        // A player started meanwhile may have taken libav's log over.
        InstallLogCallback();
        double elapsed = std::chrono::duration<double>(now - started_).count();
        KivoProgress progress{};
        progress.outputSeconds = outputSeconds;
        progress.durationSeconds = duration_;
        progress.percent = duration_ > 0 ? int(outputSeconds * 100 / duration_) : 0;
        progress.percent = std::clamp(progress.percent, 0, 99);  // 100 only once complete
        progress.speed = elapsed > 0 ? outputSeconds / elapsed : 0;
        progress.framesPerSecond = elapsed > 0 ? frames / elapsed : 0;
        progress.secondsLeft = progress.speed > 0 && duration_ > 0
                                   ? std::max(0.0, (duration_ - outputSeconds) / progress.speed)
                                   : -1;
        std::string left = progress.secondsLeft >= 0 ? HoursMinutesSeconds(progress.secondsLeft)
                                                     : std::string("--:--:--");
        char text[512];
        std::snprintf(text, sizeof text, "Converting %s  %d%%  %.1f fps  speed %.2fx  time left %s",
                      name_.c_str(), progress.percent, progress.framesPerSecond, progress.speed,
                      left.c_str());
        Status(conversion_, text);
        Progress(conversion_, progress);
    }

private:
    const KivoConversion& conversion_;
    std::string name_;
    double duration_;
    Clock::time_point started_;
    Clock::time_point lastReport_{};
};

// How a conversion ended: what its end event and the queries give.
struct Ending {
    int outcome = KIVO_CONVERSION_FAILED;
    int reason = KIVO_REASON_OTHER;
    int systemError = 0;
    double keptSeconds = 0;
    std::string text;
    std::string path;
};

// Converts (or reports the refusal) and gives the outcome and the reason.
Ending Convert(KivoConversion& conversion) {
    Ending ending;
    if (!conversion.valid) {
        Status(conversion, "Failed: " + conversion.refusal);
        ending.outcome = KIVO_CONVERSION_REFUSED;
        ending.reason = KIVO_REASON_SETTINGS_REFUSED;
        ending.text = conversion.refusal;
        return ending;
    }
    const ConversionArguments& args = conversion.args;
    std::string name = FileNamePart(args.input);
    Status(conversion, "Converting " + name);
    Percent(conversion, 0);
    ProgressReporter reporter(conversion, name, args.durationSeconds);
    TranscodeResult result = Transcode(
        args, conversion.stop,
        [&reporter](double seconds, long long frames) { reporter.Update(seconds, frames); });
    ending.keptSeconds = result.outputSeconds;
    switch (result.outcome) {
        case Outcome::Finished:
            Percent(conversion, 100);
            Status(conversion,
                   "Finished " + name + (result.note.empty() ? "" : " (" + result.note + ")"));
            ending.outcome = KIVO_CONVERSION_FINISHED;
            ending.reason = KIVO_REASON_NONE;
            return ending;
        case Outcome::Stopped:
            Status(conversion, result.outputSeconds > 0
                                   ? "Stopped by user: " + name + ", the first " +
                                         HoursMinutesSeconds(result.outputSeconds) + " are kept"
                                   : "Stopped by user: " + name);
            ending.outcome = KIVO_CONVERSION_STOPPED;
            ending.reason = KIVO_REASON_STOPPED;
            return ending;
        case Outcome::Failed:
            break;
    }
    Status(conversion, "Failed: " + name + ": " + result.message);
    ending.outcome = KIVO_CONVERSION_FAILED;
    ending.reason = result.reason;
    ending.systemError = result.systemError;
    ending.text = result.message;
    ending.path = result.keptPath;
    return ending;
}

void ReportEnd(const KivoConversion& conversion, const Ending& ending) {
    if (conversion.events.ended) {
        conversion.events.ended(conversion.events.user, ending.outcome, ending.text.c_str());
    }
    if (conversion.events.end) {
        KivoEnd end{ending.outcome,     ending.reason,       ending.systemError,
                    ending.keptSeconds, ending.text.c_str(), ending.path.c_str()};
        conversion.events.end(conversion.events.user, &end);
    }
}

void WaitForPredecessor(KivoConversion& conversion) {
    KivoConversion* predecessor = conversion.predecessor;
    if (!predecessor) {
        return;
    }
    while (WaitForConversion(predecessor, kPredecessorPollMs) == KIVO_CONVERSION_RUNNING) {
        if (conversion.stop.load()) {
            StopConversion(predecessor);
        }
    }
    FreeConversion(predecessor);
    conversion.predecessor = nullptr;
}

void Run(KivoConversion& conversion) {
    {
        // The thread object is complete once its starter lets go of the mutex.
        std::lock_guard lock(conversion.mutex);
    }
    YieldToTheInterface();
    t_conversion = &conversion;
    WaitForPredecessor(conversion);
    Ending ending;
    {
        LogCapture log;  // this conversion's libav errors
        ending = Convert(conversion);
    }
    ReportEnd(conversion, ending);
    bool freeNow;
    {
        std::lock_guard lock(conversion.mutex);
        conversion.reason = std::move(ending.text);
        conversion.reasonCode = ending.reason;
        conversion.outcome = ending.outcome;
        conversion.ended = true;
        freeNow = conversion.freeWhenEnded;
    }
    conversion.endedCondition.notify_all();
    t_conversion = nullptr;
    if (freeNow) {
        conversion.thread.detach();
        delete &conversion;
    }
}

}  // namespace

KivoConversion* StartConversion(const std::vector<std::string>& argv,
                                const KivoConversionEvents& events, KivoConversion* predecessor,
                                bool& refused) {
    auto conversion = std::make_unique<KivoConversion>();
    conversion->events = events;
    std::vector<const char*> pointers;
    for (const std::string& entry : argv) {
        pointers.push_back(entry.c_str());
    }
    conversion->valid = ParseArguments(int(pointers.size()), pointers.data(), conversion->args,
                                       conversion->refusal);
    conversion->predecessor = predecessor;
    refused = !conversion->valid;
    KivoConversion* started = conversion.get();
    std::lock_guard lock(started->mutex);
    started->thread = std::thread([started] { Run(*started); });
    return conversion.release();
}

void StopConversion(KivoConversion* conversion) {
    if (conversion) {
        conversion->stop.store(true);
    }
}

int WaitForConversion(KivoConversion* conversion, int milliseconds) {
    if (!conversion) {
        return KIVO_CONVERSION_FAILED;
    }
    std::unique_lock lock(conversion->mutex);
    auto ended = [conversion] { return conversion->ended; };
    if (milliseconds < 0) {
        conversion->endedCondition.wait(lock, ended);
    } else {
        conversion->endedCondition.wait_for(lock, std::chrono::milliseconds(milliseconds), ended);
    }
    return conversion->outcome;
}

int ConversionOutcome(const KivoConversion* conversion) {
    if (!conversion) {
        return KIVO_CONVERSION_FAILED;
    }
    std::lock_guard lock(conversion->mutex);
    return conversion->outcome;
}

const char* ConversionReason(const KivoConversion* conversion) {
    if (!conversion) {
        return "";
    }
    std::lock_guard lock(conversion->mutex);
    return conversion->ended ? conversion->reason.c_str() : "";
}

int ConversionReasonCode(const KivoConversion* conversion) {
    if (!conversion) {
        return KIVO_REASON_OTHER;
    }
    std::lock_guard lock(conversion->mutex);
    return conversion->ended ? conversion->reasonCode : KIVO_REASON_NONE;
}

void FreeConversion(KivoConversion* conversion) {
    if (!conversion) {
        return;
    }
    StopConversion(conversion);
    if (conversion == t_conversion) {
        // Freed from its own events: the thread frees it once it has ended.
        std::lock_guard lock(conversion->mutex);
        conversion->freeWhenEnded = true;
        return;
    }
    WaitForConversion(conversion, -1);
    if (conversion->thread.joinable()) {
        conversion->thread.join();
    }
    delete conversion;
}

bool OnConversionThread() {
    return t_conversion != nullptr;
}

}  // namespace kivo

// Routes libav's log into the engine instead of the terminal and keeps the last error line of
// each probe, still and conversion, so a failed one can tell the user what libav complained
// about.
//
// Other users of libav in the same process (the preview's player) install their own log
// callback and put libav's default one back (which prints to the terminal) when they end, so
// the engine installs its callback again at the start of every probe, still and conversion.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "kivoengine.h"

namespace kivo {

// Installs the log callback at error level; safe to call any number of times from any thread.
void InstallLogCallback();

// The error lines of one probe, still or conversion. Creating one installs the log callback and
// makes it the calling thread's capture until it is destroyed: lines libav logs on that thread
// go to it alone. Lines logged on threads without a capture (libav's own codec and filter
// threads) go to the capture whose tag (LogOwnerTag) their codec context or filter graph
// carries, or, when it is gone, to nobody; lines of untagged contexts go to every capture that is
// alive, so a conversion still hears about its decoders.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Makes `capture` the current thread's capture for the life of the scope (a helper thread
    // of a conversion); a null capture changes nothing.
    class ThreadScope {
    public:
        explicit ThreadScope(LogCapture* capture);
        ~ThreadScope();
        ThreadScope(const ThreadScope&) = delete;
        ThreadScope& operator=(const ThreadScope&) = delete;

    private:
        LogCapture* previous_;
        bool set_;
    };

    struct State;

private:
    std::shared_ptr<State> state_;
    LogCapture* previous_;
};

// The current thread's capture, or null.
LogCapture* CurrentLogCapture();

// The tag of the current thread's capture (null without one), for a codec context's `opaque`
// (libav copies it into the contexts of its frame threads) or a filter graph's `opaque`: lines
// they log on libav's own threads then reach this capture alone. A tag never names a later
// capture, and is small enough not to be mistaken for another program part's pointer.
void* LogOwnerTag();

// The last line libav logged at error level or worse into the current thread's capture, without
// its trailing line break; empty when none was logged since the last ClearLastError() or when
// the thread has no capture.
std::string LastErrorLine();
void ClearLastError();

// Text for a libav error code, such as "No such file or directory".
std::string ErrorText(int code);

// `text` with libav's reason in brackets: the last error line it logged on this thread, else
// the text of `code`.
std::string WithLibavReason(const std::string& text, int code);

// The first failure of a conversion, whichever of its threads met it: later ones are consequences
// and are not kept.
class FirstFailure {
public:
    // Keeps `message` with its reason code (a KivoReason) and the operating system's errno
    // behind it unless a failure was kept already; always false, so that a step can end with
    // `return failure.Fail(...)`.
    bool Fail(int reason, std::string message, int systemError = 0);
    // A failure of the output file from libav's error `code`: a full disk, a refused permission
    // or a name too long get their own reason, anything else `reason`.
    bool FailWriting(int reason, const std::string& text, int code);
    std::string Message() const;
    int Reason() const;  // KIVO_REASON_NONE while nothing failed
    int SystemError() const;

private:
    mutable std::mutex mutex_;
    std::string message_;
    int reason_ = 0;
    int systemError_ = 0;
};

// The reason code for an operating system's errno met while writing the output.
int ReasonOfWriteError(int systemError, int otherwise);

}  // namespace kivo

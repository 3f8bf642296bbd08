#include "Log.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace kivo {

struct LogCapture::State {
    uintptr_t tag = 0;
    std::string lastError;
};

namespace {

// Never destroyed: libav's threads may log while the program ends.
struct Registry {
    std::mutex mutex;
    std::vector<LogCapture::State*> alive;
    uintptr_t lastTag = 0;  // tags are handed out in order: 1, 2, 3 ...
};
Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

thread_local LogCapture* t_capture = nullptr;
thread_local LogCapture::State* t_state = nullptr;

// The tag that the context logging a line carries; 0 when it carries none.
uintptr_t TagOf(void* avcl) {
    if (!avcl) {
        return 0;
    }
    // libav's contexts begin with their class.
    const AVClass* type = *static_cast<const AVClass* const*>(avcl);
    if (type == avcodec_get_class()) {
        return reinterpret_cast<uintptr_t>(static_cast<const AVCodecContext*>(avcl)->opaque);
    }
    if (type == avfilter_get_class()) {
        const AVFilterGraph* graph = static_cast<const AVFilterContext*>(avcl)->graph;
        return graph ? reinterpret_cast<uintptr_t>(graph->opaque) : 0;
    }
    return 0;
}

void LogCallback(void* avcl, int level, const char* fmt, va_list args) {
    // Only errors are kept; everything else is dropped before any formatting work.
    if (level > AV_LOG_ERROR) {
        return;
    }
    char line[512];
    int printPrefix = 0;  // the status line is for users: no "[mp4 @ 0x...]" prefix
    av_log_format_line2(avcl, level, fmt, args, line, sizeof line, &printPrefix);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        return;
    }
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    if (t_state) {
        t_state->lastError = std::move(text);
        return;
    }
    uintptr_t tag = TagOf(avcl);
    bool owned = tag != 0 && tag <= registry.lastTag;  // else another user's opaque, or none
    for (LogCapture::State* state : registry.alive) {
        if (!owned || state->tag == tag) {
            state->lastError = text;
        }
    }
}

}  // namespace

void InstallLogCallback() {
    av_log_set_level(AV_LOG_ERROR);
    av_log_set_callback(LogCallback);
}

LogCapture::LogCapture() : state_(std::make_shared<State>()), previous_(t_capture) {
    InstallLogCallback();
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    state_->tag = ++registry.lastTag;
    registry.alive.push_back(state_.get());
    t_capture = this;
    t_state = state_.get();
}

LogCapture::~LogCapture() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    std::erase(registry.alive, state_.get());
    if (t_capture == this) {
        t_capture = previous_;
        t_state = previous_ ? previous_->state_.get() : nullptr;
    }
}

LogCapture::ThreadScope::ThreadScope(LogCapture* capture)
    : previous_(t_capture), set_(capture != nullptr) {
    if (set_) {
        std::lock_guard lock(TheRegistry().mutex);
        t_capture = capture;
        t_state = capture->state_.get();
    }
}

LogCapture::ThreadScope::~ThreadScope() {
    if (set_) {
        std::lock_guard lock(TheRegistry().mutex);
        t_capture = previous_;
        t_state = previous_ ? previous_->state_.get() : nullptr;
    }
}

LogCapture* CurrentLogCapture() {
    return t_capture;
}

void* LogOwnerTag() {
    std::lock_guard lock(TheRegistry().mutex);
    return t_state ? reinterpret_cast<void*>(t_state->tag) : nullptr;
}

std::string LastErrorLine() {
    std::lock_guard lock(TheRegistry().mutex);
    return t_state ? t_state->lastError : std::string();
}

void ClearLastError() {
    std::lock_guard lock(TheRegistry().mutex);
    if (t_state) {
        t_state->lastError.clear();
    }
}

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

std::string WithLibavReason(const std::string& text, int code) {
    std::string reason = LastErrorLine();
    if (reason.empty()) {
        reason = ErrorText(code);
    }
    return text + " (" + reason + ")";
}

bool FirstFailure::Fail(int reason, std::string message, int systemError) {
    std::lock_guard lock(mutex_);
    if (message_.empty()) {
        message_ = std::move(message);
        reason_ = reason;
        systemError_ = systemError;
    }
    return false;
}

bool FirstFailure::FailWriting(int reason, const std::string& text, int code) {
    const int systemError = code < 0 && code > -4096 ? AVUNERROR(code) : 0;
    return Fail(ReasonOfWriteError(systemError, reason), WithLibavReason(text, code), systemError);
}

std::string FirstFailure::Message() const {
    std::lock_guard lock(mutex_);
    return message_;
}

int FirstFailure::Reason() const {
    std::lock_guard lock(mutex_);
    return reason_;
}

int FirstFailure::SystemError() const {
    std::lock_guard lock(mutex_);
    return systemError_;
}

int ReasonOfWriteError(int systemError, int otherwise) {
    switch (systemError) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return KIVO_REASON_DISK_FULL;
        case EACCES:
        case EPERM:
        case EROFS:
        case ENAMETOOLONG:
        case ENOTDIR:
        case EISDIR:
            return KIVO_REASON_OUTPUT_NOT_WRITABLE;
        case ENOENT:
            return KIVO_REASON_OUTPUT_FOLDER_MISSING;
        default:
            return otherwise;
    }
}

}  // namespace kivo

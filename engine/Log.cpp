#include "Log.h"

#include <mutex>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace kivo {
namespace {

std::mutex g_mutex;
std::string g_lastError;

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
    std::lock_guard lock(g_mutex);
    g_lastError = std::move(text);
}

}  // namespace

void InstallLogCallback() {
    av_log_set_level(AV_LOG_ERROR);
    av_log_set_callback(LogCallback);
}

std::string LastErrorLine() {
    std::lock_guard lock(g_mutex);
    return g_lastError;
}

void ClearLastError() {
    std::lock_guard lock(g_mutex);
    g_lastError.clear();
}

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace kivo

// libav's error lines reach the probe, still or conversion that caused them, and no other: each
// keeps its own last line, a helper thread can work for one, and a capture takes libav's log
// back from whoever replaced the callback.
#include <gtest/gtest.h>

#include <thread>

#include "Log.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

void LogError(const char* text) {
    av_log(nullptr, AV_LOG_ERROR, "%s\n", text);
}

TEST(LogCapture, EachCallKeepsItsOwnLastErrorLine) {
    kivo::LogCapture conversion;
    LogError("the conversion's reason");

    // A probe on another thread: its lines are its own.
    std::thread([] {
        kivo::LogCapture probe;
        LogError("the probe's reason");
        EXPECT_EQ(kivo::LastErrorLine(), "the probe's reason");
    }).join();
    EXPECT_EQ(kivo::LastErrorLine(), "the conversion's reason");

    // A thread of the conversion's own, such as the one converting the sound.
    std::thread([capture = &conversion] {
        kivo::LogCapture::ThreadScope scope(capture);
        LogError("the sound's reason");
    }).join();
    EXPECT_EQ(kivo::LastErrorLine(), "the sound's reason");

    // A thread without a capture (libav's codec threads) reaches every capture alive.
    std::thread([] {
        LogError("a codec thread's line");
        EXPECT_EQ(kivo::LastErrorLine(), "");
    }).join();
    EXPECT_EQ(kivo::LastErrorLine(), "a codec thread's line");

    // Warnings are not reasons.
    av_log(nullptr, AV_LOG_WARNING, "only a warning\n");
    EXPECT_EQ(kivo::LastErrorLine(), "a codec thread's line");
    kivo::ClearLastError();
    EXPECT_EQ(kivo::LastErrorLine(), "");
}

TEST(LogCapture, ANewCallTakesTheLogBackFromAnotherUserOfLibav) {
    kivo::LogCapture outer;
    // What a player does when its last instance ends: libav's default, the terminal, is back.
    av_log_set_callback(av_log_default_callback);
    {
        kivo::LogCapture inner;
        LogError("heard by the engine");
        EXPECT_EQ(kivo::LastErrorLine(), "heard by the engine");
    }
    // The outer call is the thread's capture again, untouched by the inner one's line.
    EXPECT_EQ(kivo::LastErrorLine(), "");
}

TEST(LogCapture, AThreadWithoutACaptureHasNoReason) {
    std::thread([] {
        kivo::InstallLogCallback();
        LogError("nobody listens");
        EXPECT_EQ(kivo::LastErrorLine(), "");
        kivo::ClearLastError();  // harmless
    }).join();
}

}  // namespace

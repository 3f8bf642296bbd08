// libav's error lines reach the probe, still or conversion that caused them, and no other: each
// keeps its own last line, a helper thread can work for one, and a capture takes libav's log
// back from whoever replaced the callback.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "Log.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
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

// Two conversions side by side: a line their codecs or filters log on libav's own threads
// reaches the conversion whose tag the context carries; only an untold line reaches both.
TEST(LogCapture, ACodecThreadsLineReachesTheConversionItsContextBelongsTo) {
    kivo::LogCapture first;
    void* firstTag = kivo::LogOwnerTag();
    void* secondTag = nullptr;
    kivo::LogCapture* second = nullptr;
    void* goneTag = nullptr;
    {
        kivo::LogCapture gone;
        goneTag = kivo::LogOwnerTag();
    }
    std::unique_ptr<kivo::LogCapture> secondOwner;
    std::thread([&] {
        // The second conversion's capture lives on beyond its thread for the test's sake.
        secondOwner = std::make_unique<kivo::LogCapture>();
        secondTag = kivo::LogOwnerTag();
        second = secondOwner.get();
    }).join();
    ASSERT_NE(firstTag, nullptr);
    ASSERT_NE(secondTag, firstTag);
    int foreign = 0;  // another user of libav, such as a player, keeps its own pointer there

    AVCodecContext* codec = avcodec_alloc_context3(nullptr);
    AVFilterGraph* graph = avfilter_graph_alloc();
    AVFilterContext* filter =
        avfilter_graph_alloc_filter(graph, avfilter_get_by_name("null"), "null");
    ASSERT_TRUE(codec && graph && filter);
    const struct {
        const char* name;
        void* codecOpaque;  // null: the line comes from the filter
        void* graphOpaque;
        bool toFirst;
        bool toSecond;
    } cases[] = {
        {"the first's decoder", firstTag, nullptr, true, false},
        {"the second's encoder", secondTag, nullptr, false, true},
        {"the second's filter", nullptr, secondTag, false, true},
        {"an untagged codec", nullptr, nullptr, true, true},
        {"another user's codec", &foreign, nullptr, true, true},
        {"a finished call's codec", goneTag, nullptr, false, false},
    };
    auto lastOf = [](kivo::LogCapture* capture) {
        std::string line;
        std::thread([&] {
            kivo::LogCapture::ThreadScope scope(capture);
            line = kivo::LastErrorLine();
            kivo::ClearLastError();
        }).join();
        return line;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool fromFilter = c.graphOpaque != nullptr;
        codec->opaque = c.codecOpaque;
        graph->opaque = c.graphOpaque;
        std::thread([&] {
            av_log(fromFilter ? static_cast<void*>(filter) : codec, AV_LOG_ERROR, "%s\n", c.name);
        }).join();
        EXPECT_EQ(lastOf(&first), c.toFirst ? c.name : "");
        EXPECT_EQ(lastOf(second), c.toSecond ? c.name : "");
    }
    avfilter_graph_free(&graph);
    avcodec_free_context(&codec);
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

// A source that cannot be read on (an input/output error, a file that shrinks while it is read)
// fails its conversion: the status says "Failed", the end message says failed, the part written
// is deleted and an older file of the target's name is kept. A source read to its end still
// finishes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "Job.h"
#include "LibavPtr.h"
#include "MediaInput.h"

namespace {

namespace fs = std::filesystem;

std::mutex g_mutex;
std::condition_variable g_changed;
std::vector<std::string> g_lines;
int g_done = 0;
long g_outcome = -1;

int OnInfo(const char* text) {
    std::lock_guard lock(g_mutex);
    g_lines.emplace_back(text);
    return 0;
}

void Post(KivoWindow*, unsigned msg, uintptr_t wparam, intptr_t) {
    std::lock_guard lock(g_mutex);
    if (msg == WM_CONVERTDONE && ++g_done == 1)
        g_outcome = long(wparam);
    g_changed.notify_all();
}

KivoWindow g_window{Post};

struct Ended {
    int doneMessages = 0;
    long outcome = -1;
    std::string lastLine;
};

// Converts `input` to `output` through the engine's job and waits for its end message.
Ended Convert(const std::string& input, const std::string& output) {
    {
        std::lock_guard lock(g_mutex);
        g_lines.clear();
        g_done = 0;
        g_outcome = -1;
    }
    kivo::SetInfoCallback(OnInfo);
    kivo::StartJob(&g_window, {"hacktest.exe", "-y", "-i", input, "-vcodec", "mpeg4", "-s",
                               "160x120", "-acodec", "aac", "-f", "mp4", output});
    std::unique_lock lock(g_mutex);
    g_changed.wait_for(lock, std::chrono::seconds(120), [] { return g_done > 0; });
    return Ended{g_done, g_outcome, g_lines.empty() ? std::string() : g_lines.back()};
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool AnyPartLeft(const std::string& folder) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".part") != std::string::npos)
            return true;
    }
    return false;
}

class SourceRead : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char pattern[] = "/tmp/kivo-source-read-XXXXXX";
        folder_ = mkdtemp(pattern);
        const struct {
            const char* name;
            const char* codecs;
        } clips[] = {{"clip.avi", "-c:v mpeg4 -q:v 2 -c:a libmp3lame"},
                     {"clip.mp4", "-c:v libx264 -preset ultrafast -c:a aac"}};
        for (const auto& clip : clips) {
            const std::string command =
                "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
                "testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440 -t 6 " +
                std::string(clip.codecs) + " '" + folder_ + "/" + clip.name + "'";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        }
    }
    static void TearDownTestSuite() {
        kivo::FailSourceReadsAfter("", -1);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    void TearDown() override { kivo::FailSourceReadsAfter("", -1); }

    static std::string File(const std::string& name) { return folder_ + "/" + name; }
    static inline std::string folder_;
};

TEST_F(SourceRead, AReadErrorFailsTheConversionAndKeepsNoPart) {
    const struct {
        std::string name;
        std::string source;
        double failAt;     // part of the source's size readable; negative: all of it
        bool olderTarget;  // a file of the target's name exists before
        long outcome;
        std::string line;
    } cases[] = {
        {"AVI read to its end", "clip.avi", -1, false, KIVO_CONVERSION_FINISHED,
         "Finished clip.avi"},
        {"AVI failing half-way", "clip.avi", 0.5, false, KIVO_CONVERSION_FAILED,
         "Failed: clip.avi: could not read the source"},
        {"MP4 failing half-way over an older target", "clip.mp4", 0.5, true, KIVO_CONVERSION_FAILED,
         "Failed: clip.mp4: could not read the source"},
        {"MP4 read to its end", "clip.mp4", -1, false, KIVO_CONVERSION_FINISHED,
         "Finished clip.mp4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = File(c.source);
        const std::string target = File("out.MP4");
        fs::remove(target);
        if (c.olderTarget) {
            std::ofstream(target) << "the older file";
        }
        kivo::FailSourceReadsAfter(source,
                                   c.failAt < 0 ? -1 : int64_t(fs::file_size(source) * c.failAt));
        const Ended ended = Convert(source, target);
        EXPECT_EQ(ended.doneMessages, 1);
        EXPECT_EQ(ended.outcome, c.outcome);
        EXPECT_EQ(ended.lastLine, c.line);
        if (c.outcome == KIVO_CONVERSION_FINISHED) {
            EXPECT_GT(fs::file_size(target), 1000u);
        } else if (c.olderTarget) {
            EXPECT_EQ(ReadAll(target), "the older file");
        } else {
            EXPECT_FALSE(fs::exists(target));
        }
        EXPECT_FALSE(AnyPartLeft(folder_));
    }
}

TEST_F(SourceRead, ASourceThatShrinksWhileReadIsAReadErrorNotItsEnd) {
    const std::string source = File("shrinking.avi");
    fs::copy_file(File("clip.avi"), source, fs::copy_options::overwrite_existing);
    const auto size = int64_t(fs::file_size(source));
    std::string error;
    kivo::InputPtr input = kivo::OpenMediaFile(source, nullptr, error);
    ASSERT_TRUE(input) << error;
    kivo::PacketPtr packet = kivo::MakePacket();
    // Read a quarter, then the file loses its second half under the reader.
    int ret = 0;
    while ((ret = av_read_frame(input.get(), packet.get())) >= 0 && avio_tell(input->pb) < size / 4)
        av_packet_unref(packet.get());
    ASSERT_GE(ret, 0);
    av_packet_unref(packet.get());  // the packet the loop stopped at
    fs::resize_file(source, size_t(size / 2));
    int packets = 0;
    while ((ret = av_read_frame(input.get(), packet.get())) >= 0 && packets < 100000) {
        av_packet_unref(packet.get());
        ++packets;
    }
    EXPECT_LT(ret, 0);
    EXPECT_EQ(input->pb->error, AVERROR(EIO));

    // Read whole, the same file ends without an error.
    input = kivo::OpenMediaFile(File("clip.avi"), nullptr, error);
    ASSERT_TRUE(input) << error;
    while ((ret = av_read_frame(input.get(), packet.get())) >= 0)
        av_packet_unref(packet.get());
    EXPECT_EQ(ret, AVERROR_EOF);
    EXPECT_EQ(input->pb->error, 0);
}

}  // namespace

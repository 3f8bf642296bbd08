// What a conversion never destroys and never waits for: the source itself as a target (with or
// without overwrite), a file that appears at the target while it converts, sources that are not
// regular files; and the operating system's reason kept when the output cannot be written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "EngineTestSupport.h"
#include "SampleClips.h"
#include "kivoengine.h"

namespace enginetest {
namespace {

ScratchFolder* g_folder = nullptr;

std::string File(const std::string& name) {
    return g_folder->File(name);
}

const auto* const g_environment = UseSourceFolder(g_folder, [](ScratchFolder& folder) {
    ASSERT_TRUE(MakeClip(folder.File("clip.MP4"), 176, 144, "25", 2, "-c:v mpeg4 -c:a aac"));
    ASSERT_TRUE(
        MakeClip(folder.File("long.avi"), 320, 240, "25", 30, "-c:v mpeg4 -c:a libmp3lame"));
});

// The end record of one conversion, copied out of its end event.
struct Ended {
    int outcome = KIVO_CONVERSION_RUNNING;
    int reason = -1;
    int systemError = 0;
    std::string text;
    std::string path;
};

struct Recorder {
    std::mutex mutex;
    Ended ended;
    // Called once, on the conversion's thread, when the first percent above 0 is reported.
    std::function<void()> midway;

    KivoConversionEvents Events() {
        KivoConversionEvents events{};
        events.user = this;
        events.percent = [](void* user, int percent) {
            auto* self = static_cast<Recorder*>(user);
            if (percent > 0 && percent < 100 && self->midway) {
                self->midway();
                self->midway = nullptr;
            }
        };
        events.end = [](void* user, const KivoEnd* end) {
            auto* self = static_cast<Recorder*>(user);
            std::lock_guard lock(self->mutex);
            self->ended = {end->outcome, end->reason, end->systemError, end->text, end->path};
        };
        return events;
    }
};

KivoConversion* Start(const Vector& vector, Recorder& recorder) {
    std::vector<const char*> pointers;
    for (const std::string& entry : vector.entries) {
        pointers.push_back(entry.c_str());
    }
    const KivoConversionEvents events = recorder.Events();
    return kivo_conversion_start(int(pointers.size()), pointers.data(), &events);
}

// Converts and waits at most `seconds` for the end; a conversion still running then fails the
// test and is stopped.
Ended ConvertWithin(const Vector& vector, double seconds) {
    Recorder recorder;
    KivoConversion* conversion = Start(vector, recorder);
    const int outcome = kivo_conversion_wait(conversion, int(seconds * 1000));
    EXPECT_NE(outcome, KIVO_CONVERSION_RUNNING) << "still running after " << seconds << " s";
    kivo_conversion_free(conversion);
    std::lock_guard lock(recorder.mutex);
    return recorder.ended;
}

Vector PlainVector(const std::string& input, const std::string& output, bool overwrite) {
    Vector vector =
        MakeVector("0", input, output, "mpeg4", "176x144", "25", "256", "1", "22050", "32", "mp4");
    if (!overwrite) {
        vector.entries.erase(vector.entries.begin() + 1);  // no "-y"
    }
    return vector;
}

TEST(TargetSafety, TheSourceItselfIsNeverATarget) {
    const std::string source = File("self/clip.MP4");
    ASSERT_EQ(mkdir(File("self").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(File("self/sub").c_str(), 0755), 0);
    const std::string original = ReadFile(File("clip.MP4"));
    WriteFile(source, original);
    ASSERT_EQ(symlink(source.c_str(), File("self/link.MP4").c_str()), 0);
    ASSERT_EQ(link(source.c_str(), File("self/hard.MP4").c_str()), 0);
    const struct {
        const char* name;
        std::string target;
    } cases[] = {
        {"the same path", source},
        {"another spelling", File("self/sub/../clip.MP4")},
        {"a link to the source", File("self/link.MP4")},
        {"a second hard link", File("self/hard.MP4")},
    };
    for (const auto& c : cases) {
        for (const bool overwrite : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (overwrite ? " with -y" : " without -y"));
            const Ended ended = ConvertWithin(PlainVector(source, c.target, overwrite), 30);
            EXPECT_EQ(ended.outcome, KIVO_CONVERSION_FAILED);
            EXPECT_EQ(ended.reason, KIVO_REASON_OUTPUT_IS_SOURCE) << ended.text;
            EXPECT_TRUE(ReadFile(source) == original);
        }
    }
}

TEST(TargetSafety, AFileThatAppearsWhileConvertingIsKept) {
    const struct {
        const char* name;
        bool overwrite;
        bool replaced;
    } cases[] = {
        {"without -y the new file stays", false, false},
        {"with -y it is replaced", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target =
            File(std::string("appears-") + (c.overwrite ? "y" : "n") + ".MP4");
        const std::string free = target.substr(0, target.size() - 4) + " (2).MP4";
        Recorder recorder;
        // The user saves a file of the target's name while the conversion runs.
        recorder.midway = [&] { WriteFile(target, "saved by the user meanwhile"); };
        KivoConversion* conversion =
            Start(PlainVector(File("long.avi"), target, c.overwrite).Set("-t", "30"), recorder);
        EXPECT_NE(kivo_conversion_wait(conversion, 120000), KIVO_CONVERSION_RUNNING);
        kivo_conversion_free(conversion);
        const Ended& ended = recorder.ended;
        if (c.replaced) {
            EXPECT_EQ(ended.outcome, KIVO_CONVERSION_FINISHED) << ended.text;
            EXPECT_EQ(ProbeWithTool(target)["video.codec_name"], "mpeg4");
            EXPECT_FALSE(Exists(free));
            continue;
        }
        EXPECT_EQ(ended.outcome, KIVO_CONVERSION_FAILED);
        EXPECT_EQ(ended.reason, KIVO_REASON_OUTPUT_EXISTS);
        EXPECT_EQ(ReadFile(target), "saved by the user meanwhile");
        EXPECT_EQ(ended.path, free);
        EXPECT_NE(ended.text.find(free), std::string::npos) << ended.text;
        EXPECT_EQ(ProbeWithTool(free)["video.codec_name"], "mpeg4");
    }
}

TEST(TargetSafety, TwoConversionsToOneTargetNeverBothSucceed) {
    const std::string target = File("shared.MP4");
    Recorder first;
    Recorder second;
    KivoConversion* a = Start(PlainVector(File("clip.MP4"), target, false), first);
    KivoConversion* b = Start(PlainVector(File("clip.MP4"), target, false), second);
    EXPECT_NE(kivo_conversion_wait(a, 60000), KIVO_CONVERSION_RUNNING);
    EXPECT_NE(kivo_conversion_wait(b, 60000), KIVO_CONVERSION_RUNNING);
    kivo_conversion_free(a);
    kivo_conversion_free(b);
    const int finished = (first.ended.outcome == KIVO_CONVERSION_FINISHED) +
                         (second.ended.outcome == KIVO_CONVERSION_FINISHED);
    EXPECT_EQ(finished, 1);
    const Ended& loser =
        first.ended.outcome == KIVO_CONVERSION_FINISHED ? second.ended : first.ended;
    EXPECT_EQ(loser.reason, KIVO_REASON_OUTPUT_EXISTS) << loser.text;
}

// A pipe whose writer keeps writing a clip's bytes until told to stop.
class PipeWriter {
public:
    PipeWriter(const std::string& fifo, const std::string& bytes)
        : thread_([this, fifo, bytes] {
              const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
              if (fd < 0) {
                  return;  // nobody opened it for reading: nothing to feed
              }
              size_t at = 0;
              while (!done_) {
                  const ssize_t n = write(fd, bytes.data() + at % bytes.size(),
                                          std::min<size_t>(4096, bytes.size() - at % bytes.size()));
                  if (n > 0) {
                      at += size_t(n);
                  } else {
                      // The pipe is full: wait until its reader takes bytes (or the test ends).
                      pollfd writable{fd, POLLOUT, 0};
                      poll(&writable, 1, 50);
                  }
              }
              close(fd);
          }) {}
    ~PipeWriter() {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

TEST(TargetSafety, OnlyRegularFilesAreSourcesAndNoneIsWaitedFor) {
    ASSERT_EQ(mkfifo(File("quiet.fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(File("busy.fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(File("folder.avi").c_str(), 0755), 0);
    ASSERT_EQ(symlink(File("clip.MP4").c_str(), File("link.MP4").c_str()), 0);
    // The pipe is held open for writing, so that a reader would never see its end.
    // It is closed only after the writer stopped: a write with no reader left would end the
    // test with SIGPIPE.
    const int held = open(File("busy.fifo").c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    auto writer = std::make_unique<PipeWriter>(File("busy.fifo"), ReadFile(File("long.avi")));
    const struct {
        const char* name;
        std::string source;
        int reason;
    } cases[] = {
        {"a pipe without a writer", File("quiet.fifo"), KIVO_REASON_SOURCE_NOT_A_FILE},
        {"a pipe being written", File("busy.fifo"), KIVO_REASON_SOURCE_NOT_A_FILE},
        {"a folder", File("folder.avi"), KIVO_REASON_SOURCE_NOT_A_FILE},
        {"a device", "/dev/zero", KIVO_REASON_SOURCE_NOT_A_FILE},
        {"a missing file", File("missing.avi"), KIVO_REASON_SOURCE_MISSING},
        {"a name too long", File(std::string(300, 'n') + ".avi"), KIVO_REASON_SOURCE_UNREADABLE},
        {"a link to a file", File("link.MP4"), KIVO_REASON_NONE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto started = std::chrono::steady_clock::now();
        const Ended ended = ConvertWithin(PlainVector(c.source, File("kinds.MP4"), true), 10);
        EXPECT_EQ(ended.reason, c.reason) << ended.text;
        if (c.reason != KIVO_REASON_NONE) {
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
            EngineFileInfo info{};
            EXPECT_EQ(Mydll_GetFileinfo(c.source.c_str(), &info), -1);
            EXPECT_EQ(Mydll_GetPicure(c.source.c_str(), 5, "160x120", File("kinds.jpg").c_str()),
                      -1);
        }
    }
    writer.reset();
    close(held);
}

TEST(TargetSafety, OutputFailuresKeepTheSystemsReason) {
    WriteFile(File("plain file"), "not a folder");
    const struct {
        const char* name;
        std::string target;
        int reason;
        int systemError;
    } cases[] = {
        {"a file where the folder goes", File("plain file/out.MP4"),
         KIVO_REASON_OUTPUT_NOT_WRITABLE, ENOTDIR},
        {"a name over 255 bytes", File(std::string(300, 'o') + ".MP4"),
         KIVO_REASON_OUTPUT_NOT_WRITABLE, ENAMETOOLONG},
        {"a missing folder", File("no such folder/out.MP4"), KIVO_REASON_OUTPUT_FOLDER_MISSING,
         ENOENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Ended ended = ConvertWithin(PlainVector(File("clip.MP4"), c.target, true), 30);
        EXPECT_EQ(ended.outcome, KIVO_CONVERSION_FAILED);
        EXPECT_EQ(ended.reason, c.reason) << ended.text;
        EXPECT_EQ(ended.systemError, c.systemError) << ended.text;
        if (c.systemError != ENOENT) {
            EXPECT_NE(ended.text.find(std::strerror(c.systemError)), std::string::npos)
                << ended.text;
        }
    }
}

}  // namespace
}  // namespace enginetest

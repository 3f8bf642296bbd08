// Conversions side by side: two at once write the same bytes as one after the other, a stop
// or a failure of one leaves the other alone, each reports its own outcome and reason to its
// own events, and waiting, refusal and release keep their promises; _X over one conversion can
// still be called from its own callback.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
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
    ASSERT_TRUE(MakeClip(File("a.avi"), 176, 144, "25", 3, "-c:v mpeg4 -c:a libmp3lame"));
    ASSERT_TRUE(
        MakeClip(File("b.mp4"), 320, 240, "30", 3, "-c:v libx264 -preset ultrafast -c:a aac"));
    ASSERT_TRUE(MakeClip(File("long.avi"), 320, 240, "25", 30, "-c:v mpeg4 -c:a libmp3lame"));
    WriteFile(File("words.avi"), "This is a text file that only pretends to be a video.\n");
    std::string good = ReadFile(File("b.mp4"));
    WriteFile(File("cut.mp4"), good.substr(0, good.size() * 2 / 3));
});

// What one conversion's events brought; the user pointer is the recorder itself.
class Recorder {
public:
    KivoConversionEvents Events() { return {this, &OnStatus, &OnPercent, &OnEnded}; }

    // Waits (at most `seconds`) until the percentage reached `percent` or the conversion ended.
    bool WaitForPercent(int percent, double seconds) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
            return percent_ >= percent || endedCount_ > 0;
        }) && percent_ >= percent;
    }
    int EndedCount() const {
        std::lock_guard lock(mutex_);
        return endedCount_;
    }
    int Outcome() const {
        std::lock_guard lock(mutex_);
        return outcome_;
    }
    std::string Reason() const {
        std::lock_guard lock(mutex_);
        return reason_;
    }
    std::thread::id EndedOn() const {
        std::lock_guard lock(mutex_);
        return endedOn_;
    }
    std::vector<std::string> Lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    std::string LastLine() const {
        std::lock_guard lock(mutex_);
        return lines_.empty() ? std::string() : lines_.back();
    }

private:
    static void OnStatus(void* user, const char* text) {
        auto* self = static_cast<Recorder*>(user);
        std::lock_guard lock(self->mutex_);
        self->lines_.emplace_back(text);
    }
    static void OnPercent(void* user, int percent) {
        auto* self = static_cast<Recorder*>(user);
        std::lock_guard lock(self->mutex_);
        self->percent_ = percent;
        self->changed_.notify_all();
    }
    static void OnEnded(void* user, int outcome, const char* reason) {
        auto* self = static_cast<Recorder*>(user);
        std::lock_guard lock(self->mutex_);
        ++self->endedCount_;
        self->outcome_ = outcome;
        self->reason_ = reason;
        self->endedOn_ = std::this_thread::get_id();
        self->changed_.notify_all();
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    int percent_ = -1;
    int endedCount_ = 0;
    int outcome_ = KIVO_CONVERSION_RUNNING;
    std::string reason_;
    std::thread::id endedOn_;
};

struct Free {
    void operator()(KivoConversion* conversion) const { kivo_conversion_free(conversion); }
};
using Conversion = std::unique_ptr<KivoConversion, Free>;

Conversion StartWith(const Vector& vector, const KivoConversionEvents& events) {
    std::vector<const char*> pointers;
    for (const std::string& entry : vector.entries) {
        pointers.push_back(entry.c_str());
    }
    return Conversion(kivo_conversion_start(int(pointers.size()), pointers.data(), &events));
}

Conversion Start(const Vector& vector, Recorder& recorder) {
    return StartWith(vector, recorder.Events());
}

// Generous: under a thread checker the long clip converts at a third of its real time.
constexpr int kMinute = 60000;
constexpr int kLongRun = 5 * kMinute;

Vector PlainVector(const std::string& duration, const std::string& input,
                   const std::string& output) {
    return MakeVector(duration, input, output, "mpeg4", "320x240", "25", "384", "2", "44100", "96",
                      "mp4");
}

// The text after "Failed: <name>: " (or "Failed: " for a refused vector) of a last line.
std::string ReasonOf(const std::string& line, const std::string& name) {
    std::string lead = name.empty() ? "Failed: " : "Failed: " + name + ": ";
    return line.rfind(lead, 0) == 0 ? line.substr(lead.size()) : "(not a failure: " + line + ")";
}

TEST(SideBySide, TwoAtOnceWriteTheSameBytesAsOneAfterTheOther) {
    const struct {
        const char* name;
        const char* vcodec;
        const char* format;
    } cases[] = {
        {"MPEG-4 in 3GP", "mpeg4", "3gp"},
        {"H.263 in 3GP", "h263", "3gp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto vector = [&](const std::string& source, const std::string& output) {
            return MakeVector("3", File(source), File(output), c.vcodec, "176x144", "15", "128",
                              "1", "22050", "32", c.format);
        };
        std::string bytes[2][2];  // [one after the other, at once][a, b]
        for (int atOnce = 0; atOnce < 2; ++atOnce) {
            std::string mode = atOnce ? "at once " : "in turn ";
            Recorder a, b;
            Conversion first = Start(vector("a.avi", mode + "a.3gp"), a);
            if (!atOnce) {
                EXPECT_EQ(kivo_conversion_wait(first.get(), kMinute), KIVO_CONVERSION_FINISHED);
            }
            Conversion second = Start(vector("b.mp4", mode + "b.3gp"), b);
            EXPECT_EQ(kivo_conversion_wait(first.get(), kMinute), KIVO_CONVERSION_FINISHED);
            EXPECT_EQ(kivo_conversion_wait(second.get(), kMinute), KIVO_CONVERSION_FINISHED);
            bytes[atOnce][0] = ReadFile(File(mode + "a.3gp"));
            bytes[atOnce][1] = ReadFile(File(mode + "b.3gp"));
        }
        for (int file = 0; file < 2; ++file) {
            EXPECT_GT(bytes[0][file].size(), 1000u);
            EXPECT_TRUE(bytes[0][file] == bytes[1][file]) << "file " << file << " differs";
        }
    }
}

TEST(SideBySide, StoppingOneLeavesTheOtherToItsEnd) {
    Recorder stopped, finished;
    Conversion first = Start(PlainVector("30", File("long.avi"), File("stopped.MP4")), stopped);
    Conversion second = Start(PlainVector("30", File("long.avi"), File("finished.MP4")), finished);
    ASSERT_TRUE(stopped.WaitForPercent(1, 300));
    ASSERT_TRUE(finished.WaitForPercent(1, 300));
    kivo_conversion_stop(first.get());
    EXPECT_EQ(kivo_conversion_wait(first.get(), kLongRun), KIVO_CONVERSION_STOPPED);
    EXPECT_EQ(kivo_conversion_wait(second.get(), kLongRun), KIVO_CONVERSION_FINISHED);

    EXPECT_EQ(stopped.LastLine().rfind("Stopped by user: long.avi, the first ", 0), 0u)
        << stopped.LastLine();
    EXPECT_EQ(finished.LastLine(), "Finished long.avi");
    for (Recorder* recorder : {&stopped, &finished}) {
        EXPECT_EQ(recorder->EndedCount(), 1);
        EXPECT_EQ(recorder->Reason(), "");
    }
    double kept = std::atof(ProbeWithTool(File("stopped.MP4"))["format.duration"].c_str());
    double whole = std::atof(ProbeWithTool(File("finished.MP4"))["format.duration"].c_str());
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, whole);
    EXPECT_NEAR(whole, 30, 0.5);
    EXPECT_TRUE(FilesContaining(g_folder->Path(), ".part").empty());
}

TEST(SideBySide, EachReportsItsOwnOutcomeAndReason) {
    const struct {
        const char* name;
        const char* source;
        const char* reasonPart;
    } cases[] = {
        {"text named .avi", "words.avi", "Cannot read the source"},
        {"MP4 cut before its index", "cut.mp4", "Cannot read the source"},
        {"missing file", "missing.avi", "does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder failing, finishing;
        Conversion good = Start(PlainVector("3", File("b.mp4"), File("good.MP4")), finishing);
        Conversion bad = Start(PlainVector("3", File(c.source), File("bad.MP4")), failing);
        EXPECT_EQ(kivo_conversion_wait(bad.get(), kMinute), KIVO_CONVERSION_FAILED);
        EXPECT_EQ(kivo_conversion_wait(good.get(), kMinute), KIVO_CONVERSION_FINISHED);

        std::string reason = kivo_conversion_reason(bad.get());
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << reason;
        EXPECT_EQ(reason, failing.Reason());
        EXPECT_EQ(reason, ReasonOf(failing.LastLine(), c.source));
        EXPECT_STREQ(kivo_conversion_reason(good.get()), "");
        EXPECT_EQ(finishing.Reason(), "");
        EXPECT_EQ(finishing.LastLine(), "Finished b.mp4");
        // Each conversion's events went to its own recorder: its lines name its own source.
        for (const std::string& line : failing.Lines()) {
            EXPECT_NE(line.find(c.source), std::string::npos) << line;
        }
        for (const std::string& line : finishing.Lines()) {
            EXPECT_NE(line.find("b.mp4"), std::string::npos) << line;
        }
        EXPECT_FALSE(Exists(File("bad.MP4")));
    }
}

TEST(SideBySide, ARefusedVectorEndsOnceOnTheConversionsThread) {
    const Vector good = PlainVector("3", File("a.avi"), File("refused.MP4"));
    const struct {
        const char* name;
        Vector vector;
        const char* reasonPart;
    } cases[] = {
        {"unknown codec", Vector(good).Set("-vcodec", "divx"), "Unknown video codec \"divx\""},
        {"illegal H.263 size", Vector(good).Set("-vcodec", "h263"), "176x144"},
        {"no entries", Vector{}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder recorder;
        Conversion refused = Start(c.vector, recorder);
        ASSERT_TRUE(refused);
        EXPECT_EQ(kivo_conversion_wait(refused.get(), kMinute), KIVO_CONVERSION_REFUSED);
        EXPECT_EQ(kivo_conversion_outcome(refused.get()), KIVO_CONVERSION_REFUSED);
        EXPECT_EQ(recorder.EndedCount(), 1);
        EXPECT_EQ(recorder.Outcome(), KIVO_CONVERSION_REFUSED);
        EXPECT_NE(recorder.EndedOn(), std::this_thread::get_id());
        std::string reason = kivo_conversion_reason(refused.get());
        EXPECT_FALSE(reason.empty());
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << reason;
        EXPECT_EQ(reason, ReasonOf(recorder.LastLine(), ""));
        EXPECT_FALSE(Exists(File("refused.MP4")));
    }
}

// What the typed events of one conversion brought: its progress numbers and its end record.
class TypedRecorder {
public:
    KivoConversionEvents Events() {
        KivoConversionEvents events{};
        events.user = this;
        events.progress = &OnProgress;
        events.end = &OnEnd;
        return events;
    }
    bool WaitForPercent(int percent, double seconds) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
            return last_.percent >= percent || ends_ > 0;
        }) && last_.percent >= percent;
    }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    KivoProgress last_{};
    int progressCount_ = 0;
    KivoEnd end_{};
    std::string endText_;
    int ends_ = 0;

private:
    static void OnProgress(void* user, const KivoProgress* progress) {
        auto* self = static_cast<TypedRecorder*>(user);
        std::lock_guard lock(self->mutex_);
        self->last_ = *progress;
        ++self->progressCount_;
        self->changed_.notify_all();
    }
    static void OnEnd(void* user, const KivoEnd* end) {
        auto* self = static_cast<TypedRecorder*>(user);
        std::lock_guard lock(self->mutex_);
        self->end_ = *end;
        self->endText_ = end->text ? end->text : "";
        self->end_.text = self->end_.path = nullptr;  // valid only during the call
        ++self->ends_;
        self->changed_.notify_all();
    }
};

// A front end reads how a conversion ended from the end record alone: its outcome, reason code
// and kept length, with progress numbers on the way.
TEST(SideBySide, TheEndRecordCarriesTheReasonCodeAndTheNumbers) {
    const Vector finish = PlainVector("3", File("a.avi"), File("typed.MP4"));
    const struct {
        const char* name;
        Vector vector;
        bool stop;
        int outcome, reason;
        double keptFrom, keptTo;  // the kept length's range
    } cases[] = {
        {"finished", finish, false, KIVO_CONVERSION_FINISHED, KIVO_REASON_NONE, 2.8, 3.2},
        {"refused", Vector(finish).Set("-vcodec", "divx"), false, KIVO_CONVERSION_REFUSED,
         KIVO_REASON_SETTINGS_REFUSED, 0, 0},
        {"missing source", PlainVector("3", File("gone.avi"), File("typed.MP4")), false,
         KIVO_CONVERSION_FAILED, KIVO_REASON_SOURCE_MISSING, 0, 0},
        {"stopped", PlainVector("30", File("long.avi"), File("typed.MP4")), true,
         KIVO_CONVERSION_STOPPED, KIVO_REASON_STOPPED, 0.01, 29.9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TypedRecorder recorder;
        Conversion conversion = StartWith(c.vector, recorder.Events());
        ASSERT_TRUE(conversion);
        if (c.stop) {
            ASSERT_TRUE(recorder.WaitForPercent(5, 300));
            kivo_conversion_stop(conversion.get());
        }
        EXPECT_EQ(kivo_conversion_wait(conversion.get(), kLongRun), c.outcome);
        std::lock_guard lock(recorder.mutex_);
        EXPECT_EQ(recorder.ends_, 1);
        EXPECT_EQ(recorder.end_.outcome, c.outcome);
        EXPECT_EQ(recorder.end_.reason, c.reason);
        EXPECT_EQ(kivo_conversion_reason_code(conversion.get()), c.reason);
        EXPECT_GE(recorder.end_.keptSeconds, c.keptFrom);
        EXPECT_LE(recorder.end_.keptSeconds, c.keptTo);
        EXPECT_EQ(recorder.endText_.empty(),
                  c.reason == KIVO_REASON_NONE || c.reason == KIVO_REASON_STOPPED);
        if (c.outcome == KIVO_CONVERSION_FINISHED || c.stop) {
            // Progress came as numbers: a percentage of a known length, at a measured rate.
            EXPECT_GT(recorder.progressCount_, 0);
            EXPECT_NEAR(recorder.last_.durationSeconds, c.stop ? 30 : 3, 0.2);
            EXPECT_GT(recorder.last_.framesPerSecond, 0);
            EXPECT_GT(recorder.last_.speed, 0);
            EXPECT_GT(recorder.last_.outputSeconds, 0);
        }
        std::remove(File("typed.MP4").c_str());
    }
}

TEST(SideBySide, WaitSaysRunningUntilTheEndAndFreeStopsAndWaits) {
    Recorder recorder;
    Conversion conversion = Start(PlainVector("30", File("long.avi"), File("freed.MP4")), recorder);
    EXPECT_EQ(kivo_conversion_wait(conversion.get(), 0), KIVO_CONVERSION_RUNNING);
    ASSERT_TRUE(recorder.WaitForPercent(1, 300));
    EXPECT_EQ(kivo_conversion_wait(conversion.get(), 10), KIVO_CONVERSION_RUNNING);
    EXPECT_EQ(kivo_conversion_outcome(conversion.get()), KIVO_CONVERSION_RUNNING);
    EXPECT_STREQ(kivo_conversion_reason(conversion.get()), "");
    conversion.reset();  // freed while it runs
    EXPECT_EQ(recorder.EndedCount(), 1);
    EXPECT_EQ(recorder.Outcome(), KIVO_CONVERSION_STOPPED);
    EXPECT_TRUE(Exists(File("freed.MP4")));
    EXPECT_TRUE(FilesContaining(g_folder->Path(), ".part").empty());
}

// The exports over one conversion: _X called from the running conversion's own info callback
// neither deadlocks nor stops it; the new conversion follows once it has ended.
struct ChainedJob {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<uintptr_t> posts;  // the wparams of WM_CONVERTDONE, in order
    std::vector<std::string> lines;
    int chainedResult = 99;
    Vector next;
};
ChainedJob g_chain;

void PostToChain(KivoWindow*, unsigned msg, uintptr_t wparam, intptr_t) {
    std::lock_guard lock(g_chain.mutex);
    if (msg == WM_CONVERTDONE) {
        g_chain.posts.push_back(wparam);
        g_chain.changed.notify_all();
    }
}
KivoWindow g_chainWindow{PostToChain};

int CallX(const Vector& vector) {
    std::vector<char*> pointers;
    for (const std::string& entry : vector.entries) {
        pointers.push_back(const_cast<char*>(entry.c_str()));
    }
    return _X(&g_chainWindow, int(pointers.size()), pointers.data());
}

TEST(SideBySide, XCalledFromItsOwnCallbackStartsTheNextConversionAfterIt) {
    const Vector first = PlainVector("3", File("a.avi"), File("chain first.MP4"));
    const struct {
        const char* name;
        Vector next;
        int result;
        uintptr_t nextOutcome;
        const char* nextLine;
    } cases[] = {
        {"a good vector", PlainVector("3", File("b.mp4"), File("chain second.MP4")), 0,
         KIVO_CONVERSION_FINISHED, "Finished b.mp4"},
        {"a refused vector", Vector(first).Set("-vcodec", "divx"), -1, KIVO_CONVERSION_FAILED,
         "Failed: Unknown video codec \"divx\""},
    };
    SetGetPercentCallBackFun(nullptr);
    SetGetInfoCallBackFun([](const char* text) {
        std::string line = text;
        Vector next;
        {
            std::lock_guard lock(g_chain.mutex);
            g_chain.lines.push_back(line);
            if (line != "Finished a.avi") {
                return 0;
            }
            next = g_chain.next;
        }
        int result = CallX(next);
        std::lock_guard lock(g_chain.mutex);
        g_chain.chainedResult = result;
        return 0;
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            std::lock_guard lock(g_chain.mutex);
            g_chain.posts.clear();
            g_chain.lines.clear();
            g_chain.next = c.next;
        }
        ASSERT_EQ(CallX(first), 0);
        std::unique_lock lock(g_chain.mutex);
        ASSERT_TRUE(g_chain.changed.wait_for(lock, std::chrono::minutes(1),
                                             [] { return g_chain.posts.size() >= 2; }));
        EXPECT_EQ(g_chain.chainedResult, c.result);
        EXPECT_EQ(g_chain.posts, (std::vector<uintptr_t>{KIVO_CONVERSION_FINISHED, c.nextOutcome}));
        EXPECT_EQ(g_chain.lines.back().rfind(c.nextLine, 0), 0u) << g_chain.lines.back();
    }
    SetGetInfoCallBackFun(nullptr);
}

TEST(SideBySide, TheVersionAndANullConversion) {
    EXPECT_EQ(kivo_api_version(), KIVO_API_VERSION);
    kivo_conversion_stop(nullptr);
    EXPECT_EQ(kivo_conversion_wait(nullptr, -1), KIVO_CONVERSION_FAILED);
    EXPECT_EQ(kivo_conversion_outcome(nullptr), KIVO_CONVERSION_FAILED);
    EXPECT_STREQ(kivo_conversion_reason(nullptr), "");
    kivo_conversion_free(nullptr);
}

}  // namespace
}  // namespace enginetest

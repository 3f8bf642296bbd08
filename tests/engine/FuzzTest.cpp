// Replays a corpus of damaged files through the engine as the program uses it: probe, still and
// a two-second conversion each. Every file must end its conversion with exactly one end message
// within a deadline, and a failed conversion must leave nothing under the target's name. The
// corpus is the kept damaged files, the timestamp-jump clips and mutants of a few small clips.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>

#include "EngineTestSupport.h"
#include "HostileSources.h"
#include "Mutator.h"
#include "SampleClips.h"
#include "kivoengine.h"

namespace enginetest {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kCallDeadline = std::chrono::seconds(15);
constexpr double kConversionDeadline = 30;

// Runs a call of the engine that returns on the calling thread; a call that hangs ends the
// program, as nothing can take its thread back.
int WithDeadline(const std::string& what, const std::function<int()>& call) {
    auto running = std::make_shared<std::packaged_task<int()>>(call);
    std::future<int> result = running->get_future();
    std::thread([running] { (*running)(); }).detach();
    if (result.wait_for(kCallDeadline) != std::future_status::ready) {
        std::fprintf(stderr, "%s did not return within its deadline\n", what.c_str());
        std::fflush(nullptr);
        std::_Exit(1);
    }
    return result.get();
}

std::vector<std::string> MakeCorpus(const ScratchFolder& folder) {
    std::vector<std::string> corpus;
    for (const std::string& name : HostileFileNames()) {
        corpus.push_back(HostileFile(name));
    }
    if (!MakeJumpClips(folder)) {
        ADD_FAILURE() << "the ffmpeg tool could not make the jump clips";
    }
    for (const std::string& name : JumpClipNames()) {
        corpus.push_back(folder.File(name));
    }
    const struct {
        const char* name;
        const char* codecs;
    } clips[] = {
        {"clip.mp4", "-c:v libx264 -preset ultrafast -c:a aac"},
        {"clip.avi", "-c:v mpeg4 -c:a libmp3lame"},
        {"clip.flv", "-c:v flv -c:a libmp3lame"},
        {"clip.mkv", "-c:v mpeg4 -c:a libvorbis"},
        {"clip.mpg", "-c:v mpeg1video -c:a mp2 -f mpeg"},
        {"clip.wmv", "-c:v wmv2 -c:a wmav2"},
    };
    uint32_t seed = 1;
    for (const auto& clip : clips) {
        const std::string source = folder.File(clip.name);
        if (!MakeClip(source, 160, 120, "25", 3, clip.codecs)) {
            ADD_FAILURE() << "the ffmpeg tool could not make " << clip.name;
            continue;
        }
        const std::string bytes = ReadFile(source);
        for (int round = 0; round < 2; ++round) {
            for (Mutation kind : AllMutations()) {
                const std::string mutant = folder.File(std::string(MutationName(kind)) + "-" +
                                                       std::to_string(seed) + "-" + clip.name);
                WriteFile(mutant, Mutate(bytes, kind, seed++));
                corpus.push_back(mutant);
            }
        }
    }
    return corpus;
}

TEST(Fuzz, EveryDamagedFileEndsOnceAndAFailureLeavesNoOutput) {
    MyDll_Init();
    ScratchFolder folder;
    const std::vector<std::string> corpus = MakeCorpus(folder);
    ASSERT_GE(corpus.size(), 80u);
    const std::string target = folder.File("fuzzed.3gp");
    const std::string still = folder.File("fuzzed.jpg");
    Clock::time_point started = Clock::now();
    int finished = 0;
    for (const std::string& source : corpus) {
        SCOPED_TRACE(source);
        EngineFileInfo info{};
        WithDeadline("the probe of " + source,
                     [&] { return Mydll_GetFileinfo(source.c_str(), &info); });
        EXPECT_GE(info.duration, 0);
        EXPECT_GE(info.width, 0);
        EXPECT_GE(info.height, 0);
        EXPECT_GE(info.channels, 0);
        std::remove(still.c_str());
        int stillResult = WithDeadline("the still of " + source, [&] {
            return Mydll_GetPicure(source.c_str(), 5, "160x120", still.c_str());
        });
        EXPECT_EQ(stillResult == 0, Exists(still));

        std::remove(target.c_str());
        ConversionReport report = Convert(PhoneVector("2", source, target), kConversionDeadline);
        if (report.doneMessages == 0) {
            std::fprintf(stderr, "the conversion of %s did not end\n", source.c_str());
            std::fflush(nullptr);
            std::_Exit(1);
        }
        EXPECT_EQ(report.doneMessages, 1);
        const std::string line = report.LastLine();
        if (line.rfind("Finished ", 0) == 0) {
            ++finished;
            EXPECT_TRUE(Exists(target));
        } else {
            EXPECT_EQ(line.rfind("Failed: ", 0), 0u) << line;
            EXPECT_FALSE(Exists(target)) << line;
        }
        EXPECT_TRUE(FilesContaining(folder.Path(), ".part").empty());
    }
    std::printf("%zu files, %d converted, %.1f s\n", corpus.size(), finished,
                std::chrono::duration<double>(Clock::now() - started).count());
}

}  // namespace
}  // namespace enginetest

// Unloading the engine (the program closing) while it converts a source whose timestamps jump
// far ahead: the conversion is stopped and waited for, and the unload returns at once. The
// engine is unloaded when its process exits, so a child process converts and exits while the
// test watches it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <future>
#include <memory>
#include <mutex>

#include "EngineTestSupport.h"
#include "HostileSources.h"
#include "kivoengine.h"

namespace enginetest {
namespace {

using Clock = std::chrono::steady_clock;

int g_report = -1;  // the child's end of the pipe

void PostToParent(KivoWindow*, unsigned msg, uintptr_t, intptr_t) {
    if (msg == WM_CONVERTDONE) {
        (void)!write(g_report, "D", 1);
    }
}

std::mutex g_mutex;
std::condition_variable g_progress;
int g_progressLines = 0;

// A progress line ("Converting ... fps ...") says that output is being written.
int OnInfo(const char* text) {
    if (std::string(text).find(" fps ") != std::string::npos) {
        std::lock_guard lock(g_mutex);
        ++g_progressLines;
        g_progress.notify_all();
    }
    return 0;
}

// In the child: starts the conversion, reports once it is under way, and exits with it running.
[[noreturn]] void ConvertAndExit(const std::string& source, const std::string& output) {
    MyDll_Init();
    static KivoWindow window{PostToParent};
    Vector vector = PspVector("100180", source, output);
    std::vector<char*> pointers;
    for (std::string& entry : vector.entries) {
        pointers.push_back(entry.data());
    }
    SetGetInfoCallBackFun(OnInfo);
    _X(&window, int(pointers.size()), pointers.data());
    {
        std::unique_lock lock(g_mutex);
        g_progress.wait(lock, [] { return g_progressLines >= 3; });
    }
    (void)!write(g_report, "E", 1);
    std::exit(0);  // unloads the engine
}

TEST(EngineUnload, DuringAJumpClipsConversionReturnsWithinASecond) {
    ScratchFolder folder;
    ASSERT_TRUE(MakeJumpClips(folder, 180));
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeEnds[0]);
        g_report = pipeEnds[1];
        ConvertAndExit(folder.File("picture-jump.mkv"), folder.File("unloaded.mp4"));
    }
    close(pipeEnds[1]);
    // The child's reports: "E" when it starts to exit, "D" for each end message; then the
    // pipe closes as it ends. A child that hangs is killed after the deadline.
    auto reading = std::async(std::launch::async, [fd = pipeEnds[0]] {
        std::string reports;
        Clock::time_point exitAt{};
        char c;
        while (read(fd, &c, 1) == 1) {
            reports += c;
            if (c == 'E') {
                exitAt = Clock::now();
            }
        }
        return std::pair{reports, std::chrono::duration<double>(Clock::now() - exitAt).count()};
    });
    bool ended = reading.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    if (!ended) {
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(ended) << "the child process hung";
    auto [reports, exitSeconds] = reading.get();
    close(pipeEnds[0]);
    std::printf("reports %s; the unload took %.3f s\n", reports.c_str(), exitSeconds);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // The conversion was under way and ended with the unload, with its end message.
    EXPECT_EQ(reports, "ED");
    EXPECT_LT(exitSeconds, 1.0);
}

}  // namespace
}  // namespace enginetest

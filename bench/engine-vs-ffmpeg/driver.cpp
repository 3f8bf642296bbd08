// The engine's side of the benchmark: runs one probe plus still, or one conversion, through the
// library's exports exactly as the program does, and waits for the end message.
//
//   engine-bench-driver still <source> <jpeg>
//   engine-bench-driver convert <output> <entry>...   (the vector's entries 1..34 follow)
//
// Exit status 0 when the engine reported success.
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "kivoengine.h"

namespace {

std::mutex g_mutex;
std::condition_variable g_done;
bool g_finished = false;
std::string g_lastInfo;

int OnInfo(const char* text) {
    std::lock_guard lock(g_mutex);
    g_lastInfo = text;
    return 0;
}

int OnPercent(int) {
    return 0;
}

void Post(KivoWindow*, unsigned msg, uintptr_t, intptr_t) {
    if (msg == WM_CONVERTDONE) {
        std::lock_guard lock(g_mutex);
        g_finished = true;
        g_done.notify_all();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s still <source> <jpeg> | convert <entries>...\n", argv[0]);
        return 2;
    }
    MyDll_Init();
    if (std::strcmp(argv[1], "still") == 0 && argc == 4) {
        EngineFileInfo info{};
        int probe = Mydll_GetFileinfo(argv[2], &info);
        int still = Mydll_GetPicure(argv[2], 5, "160x120", argv[3]);
        std::printf("%d s %s %dx%d %.2f fps / %s %d Hz %d ch\n", info.duration, info.videoFormat,
                    info.width, info.height, info.fps, info.audioFormat, info.sampleRate,
                    info.channels);
        return probe == 0 && still == 0 ? 0 : 1;
    }
    if (std::strcmp(argv[1], "convert") == 0) {
        std::vector<char*> vector{const_cast<char*>("hacktest.exe")};
        for (int i = 2; i < argc; ++i) {
            vector.push_back(argv[i]);
        }
        SetGetInfoCallBackFun(OnInfo);
        SetGetPercentCallBackFun(OnPercent);
        KivoWindow window{Post};
        // KIVO_REPEAT=n converts n times in a row (for leak checks).
        const char* repeatText = std::getenv("KIVO_REPEAT");
        int repeat = repeatText ? std::max(1, std::atoi(repeatText)) : 1;
        bool ok = true;
        for (int i = 0; i < repeat; ++i) {
            g_finished = false;
            _X(&window, int(vector.size()), vector.data());
            std::unique_lock lock(g_mutex);
            g_done.wait(lock, [] { return g_finished; });
            std::printf("%s\n", g_lastInfo.c_str());
            ok = ok && g_lastInfo.rfind("Finished", 0) == 0;
            if (std::getenv("KIVO_KEEP")) {  // keep each run's output as <output>.<run>
                std::string kept = std::string(argv[argc - 1]) + "." + std::to_string(i);
                std::rename(argv[argc - 1], kept.c_str());
            }
        }
        return ok ? 0 : 1;
    }
    std::fprintf(stderr, "unknown mode %s\n", argv[1]);
    return 2;
}

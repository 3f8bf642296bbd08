// The engine's side of the benchmark: runs one probe plus still, or one conversion, through the
// library's exports exactly as the program does, and waits for the conversion's end.
//
//   engine-bench-driver still <source> <jpeg>
//   engine-bench-driver convert <output> <entry>...   (the vector's entries 1..34 follow)
//
// Exit status 0 when the engine reported success.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "kivoengine.h"

namespace {

// The last status line of a conversion: the run prints it.
void OnStatus(void* user, const char* text) {
    *static_cast<std::string*>(user) = text ? text : "";
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
        // KIVO_REPEAT=n converts n times in a row (for leak checks).
        const char* repeatText = std::getenv("KIVO_REPEAT");
        int repeat = repeatText ? std::max(1, std::atoi(repeatText)) : 1;
        bool ok = true;
        for (int i = 0; i < repeat; ++i) {
            std::string lastStatus;
            KivoConversionEvents events{};
            events.user = &lastStatus;
            events.status = OnStatus;
            KivoConversion* conversion =
                kivo_conversion_start(int(vector.size()), vector.data(), &events);
            const int outcome = kivo_conversion_wait(conversion, -1);
            kivo_conversion_free(conversion);
            std::printf("%s\n", lastStatus.c_str());
            ok = ok && outcome == KIVO_CONVERSION_FINISHED;
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

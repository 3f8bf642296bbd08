// The engine's exported C functions: argument checks and hand-over to the units that do the
// work. No C++ exception leaves through them.
#include <mutex>
#include <string>
#include <vector>

#include "Conversion.h"
#include "Job.h"
#include "Log.h"
#include "Probe.h"
#include "Still.h"
#include "kivoengine.h"

namespace {

std::once_flag g_initialised;

void EnsureInitialised() {
    std::call_once(g_initialised, [] { kivo::InstallLogCallback(); });
}

// The probe's texts, kept until the next probe.
std::mutex g_probeMutex;
std::string g_videoFormat;
std::string g_audioFormat;

// Probes `path` with the probe's own log capture; false for a null or empty path or a file that
// cannot be read as media.
bool ProbePath(const char* path, kivo::ProbeResult& result) {
    EnsureInitialised();
    kivo::LogCapture log;
    std::string error;
    return path && *path && kivo::ProbeFile(path, result, error);
}

void FillRecord(EngineFileInfo* info, const kivo::ProbeResult& result) {
    std::lock_guard lock(g_probeMutex);
    g_videoFormat = result.videoFormat;
    g_audioFormat = result.audioFormat;
    info->duration = result.durationSeconds;
    info->videoFormat = g_videoFormat.c_str();
    info->audioFormat = g_audioFormat.c_str();
    info->width = result.width;
    info->height = result.height;
    info->fps = result.fps;
    info->bitRate = result.audioKbps;
    info->sampleRate = result.sampleRate;
    info->channels = result.channels;
}

// The vector's entries, copied; a missing entry becomes empty text, which the vector check
// refuses.
std::vector<std::string> Entries(int argc, const char* const* argv) {
    std::vector<std::string> entries;
    if (argv && argc > 0) {
        for (int i = 0; i < argc; ++i) {
            entries.emplace_back(argv[i] ? argv[i] : "");
        }
    }
    return entries;
}

}  // namespace

extern "C" {

int MyDll_Init(void) {
    try {
        EnsureInitialised();
        return 0;
    } catch (...) {
        return -1;
    }
}

int Mydll_GetFileinfo(const char* path, EngineFileInfo* info) {
    if (!info) {
        return -1;
    }
    try {
        kivo::ProbeResult result;
        const bool ok = ProbePath(path, result);
        FillRecord(info, ok ? result : kivo::ProbeResult{});
        return ok ? 0 : -1;
    } catch (...) {
        FillRecord(info, kivo::ProbeResult{});
        return -1;
    }
}

int kivo_probe(const char* path, KivoProbe* probe) {
    if (!probe) {
        return -1;
    }
    *probe = KivoProbe{};
    try {
        kivo::ProbeResult result;
        if (!ProbePath(path, result)) {
            return -1;
        }
        probe->durationSeconds = result.exactSeconds;
        probe->storedWidth = result.width;
        probe->storedHeight = result.height;
        probe->displayWidth = result.displayWidth;
        probe->displayHeight = result.displayHeight;
        probe->rotation = result.rotation;
        probe->sampleAspectNum = result.sampleAspectNum;
        probe->sampleAspectDen = result.sampleAspectDen;
        probe->interlaced = result.interlaced ? 1 : 0;
        probe->bitDepth = result.bitDepth;
        probe->colourSpace = result.colourSpace;
        probe->colourPrimaries = result.colourPrimaries;
        probe->colourTransfer = result.colourTransfer;
        probe->frameCount = result.frameCount;
        return 0;
    } catch (...) {
        *probe = KivoProbe{};
        return -1;
    }
}

int Mydll_GetPicure(const char* path, int seconds, const char* size, const char* jpegPath) {
    if (!path || !*path || !size || !jpegPath || !*jpegPath) {
        return -1;
    }
    try {
        EnsureInitialised();
        kivo::LogCapture log;
        std::string error;
        return kivo::CaptureStill(path, seconds, size, jpegPath, error) ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

int Mydll_Stop(void) {
    kivo::StopJob();
    return 0;
}

int SetGetInfoCallBackFun(KivoInfoCallback callback) {
    kivo::SetInfoCallback(callback);
    return 0;
}

int SetGetPercentCallBackFun(KivoPercentCallback callback) {
    kivo::SetPercentCallback(callback);
    return 0;
}

int _X(KivoWindow* window, int argc, char** argv) {
    try {
        EnsureInitialised();
        return kivo::StartJob(window, Entries(argc, argv)) ? 0 : -1;
    } catch (...) {
        // Could not even start a thread: still keep the promise of one end message.
        if (window && window->post) {
            window->post(window, WM_CONVERTDONE, KIVO_CONVERSION_FAILED, 0);
        }
        return -1;
    }
}

int kivo_api_version(void) {
    return KIVO_API_VERSION;
}

KivoConversion* kivo_conversion_start(int argc, const char* const* argv,
                                      const KivoConversionEvents* events) {
    try {
        EnsureInitialised();
        bool refused = false;
        return kivo::StartConversion(Entries(argc, argv), events ? *events : KivoConversionEvents{},
                                     nullptr, refused);
    } catch (...) {
        return nullptr;
    }
}

void kivo_conversion_stop(KivoConversion* conversion) {
    kivo::StopConversion(conversion);
}

int kivo_conversion_wait(KivoConversion* conversion, int milliseconds) {
    return kivo::WaitForConversion(conversion, milliseconds);
}

int kivo_conversion_outcome(const KivoConversion* conversion) {
    return kivo::ConversionOutcome(conversion);
}

const char* kivo_conversion_reason(const KivoConversion* conversion) {
    return kivo::ConversionReason(conversion);
}

int kivo_conversion_reason_code(const KivoConversion* conversion) {
    return kivo::ConversionReasonCode(conversion);
}

void kivo_conversion_free(KivoConversion* conversion) {
    kivo::FreeConversion(conversion);
}

}  // extern "C"

#include "platform/core/EngineApi.h"

int EngineApi::Probe(const char* path, KivoProbe* probe) {
    EngineFileInfo info{};
    const int result = GetFileinfo(path, &info);
    *probe = KivoProbe{};
    if (result == 0) {
        probe->durationSeconds = info.duration;
        probe->storedWidth = probe->displayWidth = info.width;
        probe->storedHeight = probe->displayHeight = info.height;
        probe->sampleAspectNum = probe->sampleAspectDen = 1;
    }
    return result;
}

namespace {

class LibraryEngine final : public EngineApi {
public:
    int Init() override { return MyDll_Init(); }
    int GetFileinfo(const char* path, EngineFileInfo* info) override {
        return Mydll_GetFileinfo(path, info);
    }
    int GetPicure(const char* path, int seconds, const char* size, const char* jpeg) override {
        return Mydll_GetPicure(path, seconds, size, jpeg);
    }
    KivoConversion* StartConversion(int argc, const char* const* argv,
                                    const KivoConversionEvents* events) override {
        return kivo_conversion_start(argc, argv, events);
    }
    void StopConversion(KivoConversion* conversion) override { kivo_conversion_stop(conversion); }
    int WaitConversion(KivoConversion* conversion, int milliseconds) override {
        return kivo_conversion_wait(conversion, milliseconds);
    }
    void FreeConversion(KivoConversion* conversion) override { kivo_conversion_free(conversion); }
    int ConversionReasonCode(const KivoConversion* conversion) override {
        return kivo_conversion_reason_code(conversion);
    }
    int Probe(const char* path, KivoProbe* probe) override { return kivo_probe(path, probe); }
};

LibraryEngine g_library;
EngineApi* g_engine = &g_library;

}  // namespace

EngineApi& Engine() {
    return *g_engine;
}

void SetEngine(EngineApi* replacement) {
    g_engine = replacement ? replacement : &g_library;
}

// How the windows reach the conversion engine: through this interface, so that tests can put a
// fake engine in place of the real library.
#pragma once

#include "engine/kivoengine.h"

class EngineApi {
public:
    virtual ~EngineApi() = default;
    virtual int Init() = 0;
    virtual int GetFileinfo(const char* path, EngineFileInfo* info) = 0;
    // What a player shows of the file (kivo_probe). An engine without it answers from the
    // probe record: whole seconds, and the stored size as the display size.
    virtual int Probe(const char* path, KivoProbe* probe);
    virtual int GetPicure(const char* path, int seconds, const char* size,
                          const char* jpegPath) = 0;
    virtual int Stop() = 0;
    virtual int SetInfoCallback(KivoInfoCallback callback) = 0;
    virtual int SetPercentCallback(KivoPercentCallback callback) = 0;
    virtual int X(KivoWindow* window, int argc, char** argv) = 0;

    // Conversions side by side (kivo_conversion_*). An engine without them refuses: no
    // conversion starts (null), and the rest ignore the null conversion.
    virtual KivoConversion* StartConversion(int /*argc*/, const char* const* /*argv*/,
                                            const KivoConversionEvents* /*events*/) {
        return nullptr;
    }
    virtual void StopConversion(KivoConversion* /*conversion*/) {}
    // The outcome, or KIVO_CONVERSION_RUNNING when it has not ended within `milliseconds`.
    virtual int WaitConversion(KivoConversion* /*conversion*/, int /*milliseconds*/) {
        return KIVO_CONVERSION_FAILED;
    }
    virtual void FreeConversion(KivoConversion* /*conversion*/) {}
    // The reason code of an ended conversion (a KivoReason).
    virtual int ConversionReasonCode(const KivoConversion* /*conversion*/) {
        return KIVO_REASON_OTHER;
    }
};

// The engine in use: the real library unless a test installed another.
EngineApi& Engine();

// Installs `replacement` (not owned); nullptr puts the real engine back.
void SetEngine(EngineApi* replacement);

// The probe record: one for the whole process, reused by every probe and never cleared.
extern EngineFileInfo FileInfo;

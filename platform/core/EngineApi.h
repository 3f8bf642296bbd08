// How the windows and qor-convert reach the conversion engine: through this interface, so that
// tests can put a fake engine in place of the real library. Every conversion goes through the
// per-conversion interface (kivo_conversion_*); the engine's one-at-a-time exports (_X, its
// callbacks and Mydll_Stop) are for other callers.
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

    // Conversions (kivo_conversion_*), one or several at once. An engine without them refuses:
    // no conversion starts (null), and the rest ignore the null conversion.
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

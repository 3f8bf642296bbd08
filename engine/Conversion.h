// One conversion on a thread of its own: its vector, stop flag, reports to its own events, and
// its outcome and reason, which others wait for. Any number run side by side; they share
// nothing but libav itself.
#pragma once

#include <string>
#include <vector>

#include "kivoengine.h"

namespace kivo {

// Starts converting `argv` on a new thread and returns at once; `refused` tells whether the
// vector was refused (the conversion then only reports the refusal, on its thread). When
// `predecessor` is given, the new thread first waits for it to end (stopping it when the new
// one is stopped meanwhile) and frees it: a conversion started from another conversion's thread
// cannot wait there. Throws when the thread cannot be created; `predecessor` is then untouched.
KivoConversion* StartConversion(const std::vector<std::string>& argv,
                                const KivoConversionEvents& events, KivoConversion* predecessor,
                                bool& refused);

void StopConversion(KivoConversion* conversion);
int WaitForConversion(KivoConversion* conversion, int milliseconds);
int ConversionOutcome(const KivoConversion* conversion);
const char* ConversionReason(const KivoConversion* conversion);
int ConversionReasonCode(const KivoConversion* conversion);
void FreeConversion(KivoConversion* conversion);

// Whether the calling thread is a conversion's own thread (its events run there).
bool OnConversionThread();

}  // namespace kivo

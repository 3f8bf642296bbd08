// The engine's single conversion job: one worker thread at a time, a stop flag, the progress
// snapshot and the callbacks that report it.
#pragma once

#include <string>
#include <vector>

#include "kivoengine.h"

namespace kivo {

// Sets the callbacks used by the next reports; null switches a report off.
void SetInfoCallback(KivoInfoCallback callback);
void SetPercentCallback(KivoPercentCallback callback);

// Starts a conversion of `argv` on the engine's thread, after waiting for the one before to
// end. `window` gets WM_CONVERTDONE exactly once when this conversion has ended, with how it
// ended (KIVO_CONVERSION_FINISHED, _STOPPED or _FAILED) as its wparam. Returns false
// when the vector was refused (the refusal is still reported and posted on the engine's
// thread).
bool StartJob(KivoWindow* window, std::vector<std::string> argv);

// Asks the running conversion, if any, to stop; returns at once.
void StopJob();

}  // namespace kivo

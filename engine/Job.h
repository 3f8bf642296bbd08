// The engine's single conversion job of the exports (_X, Mydll_Stop and the callback setters):
// one conversion at a time, reporting through the callbacks set at the moment of each report
// and posting WM_CONVERTDONE to the window it was started for.
#pragma once

#include <string>
#include <vector>

#include "kivoengine.h"

namespace kivo {

// Sets the callbacks used by the next reports; null switches a report off.
void SetInfoCallback(KivoInfoCallback callback);
void SetPercentCallback(KivoPercentCallback callback);

// Starts a conversion of `argv` on a thread of its own, after waiting for the one before to
// end. `window` gets WM_CONVERTDONE exactly once when this conversion has ended, with how it
// ended (KIVO_CONVERSION_FINISHED, _STOPPED or _FAILED) as its wparam. Returns false
// when the vector was refused (the refusal is still reported and posted on the conversion's
// thread). Throws when no thread could be started.
bool StartJob(KivoWindow* window, std::vector<std::string> argv);

// Asks the running conversion, if any, to stop; returns at once.
void StopJob();

}  // namespace kivo

// One conversion from start to end: read the source, decode, filter (trim to the asked length,
// frame rate, scale with pads, resample, volume), encode and write the output, which takes the
// target's name only when it is complete or stopped.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "Arguments.h"

namespace kivo {

enum class Outcome { Finished, Stopped, Failed };

struct TranscodeResult {
    Outcome outcome = Outcome::Failed;
    std::string message;       // why it failed, in plain words; empty otherwise
    int reason = 0;            // a KivoReason when it failed
    int systemError = 0;       // the errno behind the reason, or 0
    std::string keptPath;      // where the converted file was kept when the target was taken
    double outputSeconds = 0;  // length written
    std::string note;          // what was converted other than it should be, for the status line
};

// Called on the converting thread as output is produced: the output time reached, in seconds,
// and the number of video frames encoded so far.
using ProgressFunction = std::function<void(double outputSeconds, long long frames)>;

// Runs the conversion described by `args` on the calling thread until it ends, fails or
// `stop` becomes true. A stopped conversion keeps what was written, finalised, under the
// target name; a failed one leaves the target as it was.
TranscodeResult Transcode(const ConversionArguments& args, const std::atomic<bool>& stop,
                          const ProgressFunction& progress);

}  // namespace kivo

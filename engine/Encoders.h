// Opening the conversion's encoders as the stream plan says: the picture's (MPEG-4, Xvid,
// H.263, H.263+ or H.264 at its profile and level) and the sound's (AAC Low Complexity).
#pragma once

#include <string>

#include "LibavPtr.h"
#include "StreamPlan.h"

namespace kivo {

// How every encoder of one output is opened.
struct EncoderFlags {
    bool bitexact = false;      // no version notes, repeatable output
    bool globalHeader = false;  // the container holds the codec's headers
};

// The picture's encoder; null with `error` set to a plain sentence when it is missing or
// refuses its settings.
CodecContextPtr OpenVideoEncoder(const VideoPlan& plan, EncoderFlags flags, std::string& error);

// The AAC encoder's sample rates (ending with 0), for the sound's plan; null with `error` set
// when there is no AAC encoder.
const int* SoundEncoderRates(std::string& error);

// The sound's encoder; null with `error` set when it refuses its settings.
CodecContextPtr OpenAudioEncoder(const AudioPlan& plan, EncoderFlags flags, std::string& error);

}  // namespace kivo

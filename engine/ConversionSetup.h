// The parts of one conversion, set up before its first packet is read: the source with a
// decoder for each stream used, and the output container with an encoder, a filter graph and
// an output stream for the picture and the sound, as the stream plan says.
#pragma once

#include <atomic>

#include "Arguments.h"
#include "LibavPtr.h"
#include "Log.h"
#include "OutputMuxer.h"
#include "StreamPipe.h"

namespace kivo {

// Why a conversion whose start (-ss) lies at or beyond the source's end fails.
extern const char kStartBeyondEnd[];

struct ConversionStreams {
    explicit ConversionStreams(FirstFailure& failure) : muxer(failure) { audio.sound = true; }

    InputPtr input;
    OutputMuxer muxer;
    StreamPipe video;
    StreamPipe audio;
};

// Opens the source (its blocking reads give up once `stop` is set), plans and opens the
// output's streams, and starts the output file. False, with the reason kept in `failure`,
// when any of it fails.
bool SetUpConversion(const ConversionArguments& args, const std::atomic<bool>& stop,
                     ConversionStreams& streams, FirstFailure& failure);

// The picture's processing for a source picture of this size, pixel format and aspect: made
// from the first decoded picture when the source did not declare its format in advance.
bool BuildVideoGraph(ConversionStreams& streams, int width, int height, int format,
                     AVRational aspect, FirstFailure& failure);

}  // namespace kivo

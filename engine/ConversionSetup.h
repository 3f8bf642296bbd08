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
#include "StreamPlan.h"

namespace kivo {

// Why a conversion whose start (-ss) lies at or beyond the source's end fails.
extern const char kStartBeyondEnd[];

struct ConversionStreams {
    explicit ConversionStreams(FirstFailure& failure) : muxer(failure) { audio.sound = true; }

    ConversionArguments args;
    InputPtr input;
    OutputMuxer muxer;
    StreamPipe video;
    StreamPipe audio;
    VideoPlan videoPlan;
    PictureFacts declared;  // what the source says of its pictures before decoding
    std::string note;       // what the picture's processing could not do as it should
};

// Opens the source (its blocking reads give up once `stop` is set), plans and opens the
// output's streams, and starts the output file. False, with the reason kept in `failure`,
// when any of it fails.
bool SetUpConversion(const ConversionArguments& args, const std::atomic<bool>& stop,
                     ConversionStreams& streams, FirstFailure& failure);

// The picture's processing, made from the first decoded picture: its size, pixel format, sample
// aspect, colour description and interlacing are what the chain is built for (a source may
// declare none of them, or declare them wrongly).
bool BuildVideoGraph(ConversionStreams& streams, const AVFrame& first, FirstFailure& failure);

}  // namespace kivo

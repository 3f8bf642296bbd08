// Reads what the media list shows of a source: length, stream formats, picture size and
// audio properties.
#pragma once

#include <cstdint>
#include <string>

struct AVStream;

namespace kivo {

struct ProbeResult {
    int durationSeconds = 0;
    std::string videoFormat;  // codec name, empty without a video stream
    std::string audioFormat;  // codec name, empty without an audio stream
    int width = 0;
    int height = 0;
    float fps = 0;
    float audioKbps = 0;
    int sampleRate = 0;
    int channels = 0;

    // What a player shows (the probe beside the record).
    double exactSeconds = 0;  // the length in seconds, not truncated; 0 when unknown
    int displayWidth = 0;     // turned upright, the sample aspect applied
    int displayHeight = 0;
    int rotation = 0;  // clockwise degrees that turn the stored picture upright
    int sampleAspectNum = 1;
    int sampleAspectDen = 1;
    bool interlaced = false;
    int bitDepth = 0;
    int colourSpace = 2;  // libav's "unspecified"
    int colourPrimaries = 2;
    int colourTransfer = 2;
    int frameCount = 0;
};

// The clockwise turn, in degrees (0, 90, 180 or 270), that puts a stream's stored pictures
// upright, from its display matrix; 0 without one.
int UprightRotation(const AVStream* stream);

// Whether a stream's field order (libav's AVFieldOrder) says its pictures hold two fields.
bool InterlacedFieldOrder(int order);

// The picture's size as a player shows it: the width stretched by the sample aspect (`sarNum`
// / `sarDen`, ignored unless both are positive; a stretched width is even and at most
// kMaxPictureSide), then turned by `rotation`.
void DisplaySize(int width, int height, int sarNum, int sarDen, int rotation, int& displayWidth,
                 int& displayHeight);

// The highest values a probe reports; a damaged header's larger numbers are cut to them.
constexpr int kMaxPictureSide = 16384;
constexpr float kMaxFramesPerSecond = 1000;
constexpr float kMaxAudioKbps = 100000;
constexpr int kMaxSampleRate = 1000000;
constexpr int kMaxChannels = 64;

// A length in microseconds as whole seconds, or 0 (unknown) when it is negative or beyond
// what the record's signed 32-bit slot holds: such a length cannot be trusted.
int TrustedSeconds(int64_t microseconds);

// Cuts every value of `result` to its sane range: nothing negative, nothing absurdly large,
// no NaN.
void ClampProbeValues(ProbeResult& result);

// Fills `result` from the file; returns false (leaving `result` describing an empty file) and
// sets `error` when the file cannot be read as media.
bool ProbeFile(const std::string& path, ProbeResult& result, std::string& error);

}  // namespace kivo

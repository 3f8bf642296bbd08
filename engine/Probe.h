// Reads what the media list shows of a source: length, stream formats, picture size and
// audio properties.
#pragma once

#include <cstdint>
#include <string>

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
};

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

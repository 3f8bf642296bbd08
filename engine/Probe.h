// Reads what the media list shows of a source: length, stream formats, picture size and
// audio properties.
#pragma once

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

// Fills `result` from the file; returns false (leaving `result` describing an empty file) and
// sets `error` when the file cannot be read as media.
bool ProbeFile(const std::string& path, ProbeResult& result, std::string& error);

}  // namespace kivo

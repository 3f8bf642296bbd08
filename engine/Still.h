// The still picture of a source that the media list shows for each file.
#pragma once

#include <string>

namespace kivo {

// Decodes the video frame at `seconds` (the first frame when the source is shorter), scales it
// into `size` keeping its aspect with black bars, and writes it as a JPEG at `jpegPath`.
// An audio-only source gets a generated picture. Returns false and writes nothing when the
// source has nothing decodable or the size is invalid.
bool CaptureStill(const std::string& path, int seconds, const std::string& size,
                  const std::string& jpegPath, std::string& error);

}  // namespace kivo

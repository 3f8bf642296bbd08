// Writes an RGB picture as a baseline JPEG file with libjpeg.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivo {

// `rgb` holds width x height pixels of three bytes each, rows top to bottom. The file is
// written under a temporary name and renamed over `path`, so an existing picture of that name
// is replaced whole or not at all.
bool WriteJpegFile(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height,
                   std::string& error);

}  // namespace kivo

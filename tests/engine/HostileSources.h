// Damaged sources for the engine's tests: the files kept in the test data and the timestamp-jump
// clips the ffmpeg tool makes, with the vectors that showed their faults.
#pragma once

#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace enginetest {

// The folder of the kept damaged files.
std::string HostileFile(const std::string& name);
std::vector<std::string> HostileFileNames();

// Makes the timestamp-jump clips in `folder`: "picture-jump.mkv" (picture and sound, the
// picture jumping 100,000 s after one second), "picture-only-jump.mkv" and
// "sound-only-jump.mkv", each holding `seconds` of real content, their names led by `prefix`.
bool MakeJumpClips(const ScratchFolder& folder, int seconds = 4, const std::string& prefix = "");
std::vector<std::string> JumpClipNames();

// The phone vector (MPEG-4 176x144 at 15 fps, mono AAC at 22050 Hz, 3GP) and the PSP vector
// (MPEG-4 320x240 at 29.97 fps, stereo AAC at 24000 Hz).
Vector PhoneVector(const std::string& duration, const std::string& input,
                   const std::string& output);
Vector PspVector(const std::string& duration, const std::string& input, const std::string& output);

}  // namespace enginetest

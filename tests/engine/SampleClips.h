// The kinds of source file a user brings, made by the ffmpeg tool: what is made and what a
// probe of it must find.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace testing {
class Environment;
}

namespace enginetest {

struct SampleClip {
    std::string name;  // file name in the scratch folder
    std::string ffmpegArguments;
    int seconds;
    std::string videoCodec;  // empty: no video
    int width;
    int height;
    double fps;
    std::string audioCodec;  // empty: no audio
    int sampleRate;
    int channels;
};

// Every kind of clip the tests cover (3 s each, small sizes).
const std::vector<SampleClip>& SampleClipKinds();

// Makes every clip in `folder`; false (with the failing clip's name) when the tool failed.
bool MakeSampleClips(const ScratchFolder& folder, std::string& failed);

// Makes one clip of `seconds` from the tool's test pictures and a tone; `extra` holds the
// codec arguments.
bool MakeClip(const std::string& path, int width, int height, const std::string& rate, int seconds,
              const std::string& extra, bool withAudio = true);

// Registers, for the test program that calls it, a scratch folder made once before its tests
// run, with the engine initialised and `make` (which may assert) filling the folder; `folder`
// points to it until the tests have run. Returns the registration, for a namespace-scope
// constant.
const ::testing::Environment* UseSourceFolder(ScratchFolder*& folder,
                                              std::function<void(ScratchFolder&)> make);

// Registers, for the test program that calls it, the making of every clip once in a scratch
// folder before its tests run; Clip() then names a clip there.
void UseSampleClips();
std::string Clip(const std::string& name);
const ScratchFolder& ClipFolder();

}  // namespace enginetest

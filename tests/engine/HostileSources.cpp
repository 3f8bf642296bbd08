#include "HostileSources.h"

namespace enginetest {

std::string HostileFile(const std::string& name) {
    return std::string(KIVO_HOSTILE_DATA) + "/" + name;
}

std::vector<std::string> HostileFileNames() {
    return {"audio-steps-back.flv",    "audio-steps-back.mpg", "cut-after-260-bytes.mpg",
            "negative-duration.wmv",   "no-frames.mkv",        "sound-jump.mkv",
            "unknown-pixel-format.mp4"};
}

bool MakeJumpClips(const ScratchFolder& folder, int seconds, const std::string& prefix) {
    const std::string length = std::to_string(seconds);
    const std::string picture = "-f lavfi -i testsrc=size=160x120:rate=15:duration=" + length + " ";
    const std::string pictureJump = "-vf \"setpts=PTS+if(gte(T\\,1)\\,100000/TB\\,0)\" -c:v mjpeg ";
    const std::string sound = "-f lavfi -i sine=duration=" + length + ":sample_rate=22050 ";
    return RunFfmpeg(picture + sound + pictureJump + "-c:a aac -ac 1 " +
                     Quote(folder.File(prefix + "picture-jump.mkv"))) &&
           RunFfmpeg(picture + pictureJump +
                     Quote(folder.File(prefix + "picture-only-jump.mkv"))) &&
           RunFfmpeg(sound + "-af \"asetpts=PTS+if(gte(T\\,1)\\,100000/TB\\,0)\" -c:a aac " +
                     Quote(folder.File(prefix + "sound-only-jump.mkv")));
}

std::vector<std::string> JumpClipNames() {
    return {"picture-jump.mkv", "picture-only-jump.mkv", "sound-only-jump.mkv"};
}

Vector PhoneVector(const std::string& duration, const std::string& input,
                   const std::string& output) {
    return MakeVector(duration, input, output, "mpeg4", "176x144", "15", "128", "1", "22050", "32",
                      "3gp");
}

Vector PspVector(const std::string& duration, const std::string& input, const std::string& output) {
    return MakeVector(duration, input, output, "mpeg4", "320x240", "29.97", "768", "2", "24000",
                      "128", "psp");
}

}  // namespace enginetest

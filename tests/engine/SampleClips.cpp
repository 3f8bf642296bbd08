#include "SampleClips.h"

#include <gtest/gtest.h>

#include <memory>

#include "kivoengine.h"

namespace enginetest {
namespace {

std::string Video(int width, int height, const std::string& rate, int seconds) {
    // testsrc2 makes even sizes only; testsrc keeps odd ones.
    std::string source = width % 2 || height % 2 ? "testsrc" : "testsrc2";
    return "-f lavfi -i " + source + "=size=" + std::to_string(width) + "x" +
           std::to_string(height) + ":rate=" + rate + ":duration=" + std::to_string(seconds) + " ";
}

std::string Tone(int sampleRate, int channels, int seconds) {
    return "-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(sampleRate) +
           ":duration=" + std::to_string(seconds) + " -ac " + std::to_string(channels) + " ";
}

}  // namespace

const std::vector<SampleClip>& SampleClipKinds() {
    static const std::vector<SampleClip> clips = {
        {"asp.avi",
         Video(320, 240, "25", 3) + Tone(44100, 2, 3) +
             "-c:v mpeg4 -vtag XVID -bf 2 -c:a libmp3lame",
         3, "mpeg4", 320, 240, 25, "mp3", 44100, 2},
        {"msmpeg4v2.avi",
         Video(320, 240, "25", 3) + Tone(22050, 1, 3) + "-c:v msmpeg4v2 -c:a libmp3lame", 3,
         "msmpeg4v2", 320, 240, 25, "mp3", 22050, 1},
        {"program.mpg",
         Video(352, 240, "30000/1001", 3) + Tone(44100, 2, 3) + "-c:v mpeg1video -c:a mp2 -f mpeg",
         3, "mpeg1video", 352, 240, 29.97, "mp2", 44100, 2},
        {"dvd.vob",
         Video(720, 480, "30000/1001", 3) + Tone(48000, 2, 3) + "-c:v mpeg2video -c:a ac3 -f vob",
         3, "mpeg2video", 720, 480, 29.97, "ac3", 48000, 2},
        {"windows.wmv", Video(320, 240, "25", 3) + Tone(44100, 2, 3) + "-c:v wmv2 -c:a wmav2", 3,
         "wmv2", 320, 240, 25, "wmav2", 44100, 2},
        {"camera.mov",
         Video(320, 240, "25", 3) + Tone(44100, 2, 3) + "-c:v libx264 -preset ultrafast -c:a aac",
         3, "h264", 320, 240, 25, "aac", 44100, 2},
        {"player.mp4",
         Video(640, 360, "30", 3) + Tone(48000, 2, 3) + "-c:v libx264 -preset ultrafast -c:a aac",
         3, "h264", 640, 360, 30, "aac", 48000, 2},
        {"phone.3gp", Video(176, 144, "15", 3) + Tone(8000, 1, 3) + "-c:v h263 -c:a aac", 3, "h263",
         176, 144, 15, "aac", 8000, 1},
        {"flash.flv", Video(320, 240, "25", 3) + Tone(22050, 1, 3) + "-c:v flv -c:a libmp3lame", 3,
         "flv1", 320, 240, 25, "mp3", 22050, 1},
        {"matroska.mkv", Video(320, 240, "25", 3) + Tone(44100, 2, 3) + "-c:v mpeg4 -c:a libvorbis",
         3, "mpeg4", 320, 240, 25, "vorbis", 44100, 2},
        {"song.mp3", Tone(44100, 2, 3) + "-c:a libmp3lame", 3, "", 0, 0, 0, "mp3", 44100, 2},
        {"silent.mp4", Video(320, 240, "25", 3) + "-c:v mpeg4", 3, "mpeg4", 320, 240, 25, "", 0, 0},
        {"portrait.mp4",
         Video(240, 320, "25", 3) + Tone(44100, 2, 3) + "-c:v libx264 -preset ultrafast -c:a aac",
         3, "h264", 240, 320, 25, "aac", 44100, 2},
        {"odd size.avi", Video(321, 241, "25", 3) + Tone(32000, 1, 3) + "-c:v ffv1 -c:a pcm_s16le",
         3, "ffv1", 321, 241, 25, "pcm_s16le", 32000, 1},
    };
    return clips;
}

bool MakeSampleClips(const ScratchFolder& folder, std::string& failed) {
    for (const SampleClip& clip : SampleClipKinds()) {
        if (!RunFfmpeg(clip.ffmpegArguments + " " + Quote(folder.File(clip.name)))) {
            failed = clip.name;
            return false;
        }
    }
    return true;
}

bool MakeClip(const std::string& path, int width, int height, const std::string& rate, int seconds,
              const std::string& extra, bool withAudio) {
    std::string arguments = Video(width, height, rate, seconds);
    if (withAudio) {
        arguments += Tone(44100, 2, seconds);
    }
    return RunFfmpeg(arguments + extra + " " + Quote(path));
}

namespace {

// A scratch folder for one test program's sources, made before its tests and removed after.
class SourceFolderEnvironment : public ::testing::Environment {
public:
    SourceFolderEnvironment(ScratchFolder*& folder, std::function<void(ScratchFolder&)> make)
        : folder_(folder), make_(std::move(make)) {}

    void SetUp() override {
        MyDll_Init();
        scratch_ = std::make_unique<ScratchFolder>();
        folder_ = scratch_.get();
        make_(*scratch_);
    }
    void TearDown() override {
        folder_ = nullptr;
        scratch_.reset();
    }

private:
    ScratchFolder*& folder_;
    std::function<void(ScratchFolder&)> make_;
    std::unique_ptr<ScratchFolder> scratch_;
};

ScratchFolder* g_folder = nullptr;

}  // namespace

const ::testing::Environment* UseSourceFolder(ScratchFolder*& folder,
                                              std::function<void(ScratchFolder&)> make) {
    return ::testing::AddGlobalTestEnvironment(
        new SourceFolderEnvironment(folder, std::move(make)));
}

void UseSampleClips() {
    UseSourceFolder(g_folder, [](ScratchFolder& folder) {
        std::string failed;
        ASSERT_TRUE(MakeSampleClips(folder, failed)) << "the ffmpeg tool could not make " << failed;
    });
}

std::string Clip(const std::string& name) {
    return g_folder->File(name);
}

const ScratchFolder& ClipFolder() {
    return *g_folder;
}

}  // namespace enginetest

// After a preview player has come and gone in the same process (libmpv takes libav's log over
// while it plays and hands it back to libav's default, the terminal, when it ends), failed
// conversions and probes still give their own plain reasons and nothing reaches the terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mpv/client.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "EngineTestSupport.h"
#include "SampleClips.h"
#include "kivoengine.h"

namespace enginetest {
namespace {

// Sends everything written to file descriptor 2 into a file until Take().
class StderrCapture {
public:
    explicit StderrCapture(const std::string& path) : path_(path) {
        std::fflush(stderr);
        saved_ = dup(2);
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(file, 2);
        close(file);
    }
    ~StderrCapture() { Take(); }
    std::string Take() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
            saved_ = -1;
        }
        return ReadFile(path_);
    }

private:
    std::string path_;
    int saved_ = -1;
};

// Plays `path` in a headless player until the file is loaded, then ends the player.
bool PreviewOnce(const std::string& path) {
    mpv_handle* player = mpv_create();
    if (!player)
        return false;
    mpv_set_option_string(player, "vo", "null");
    mpv_set_option_string(player, "ao", "null");
    bool loaded = false;
    if (mpv_initialize(player) >= 0) {
        const char* command[] = {"loadfile", path.c_str(), nullptr};
        mpv_command(player, command);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!loaded && std::chrono::steady_clock::now() < deadline) {
            mpv_event* event = mpv_wait_event(player, 1.0);
            loaded = event->event_id == MPV_EVENT_FILE_LOADED;
            if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_SHUTDOWN)
                break;
        }
    }
    mpv_terminate_destroy(player);
    return loaded;
}

TEST(PlayerAndLog, AfterAPreviewReasonsStayPlainAndTheTerminalQuiet) {
    ScratchFolder folder;
    ASSERT_TRUE(MakeClip(folder.File("good.mp4"), 320, 240, "25", 3,
                         "-c:v libx264 -preset ultrafast -c:a aac"));
    const std::string good = ReadFile(folder.File("good.mp4"));
    WriteFile(folder.File("cut.mp4"), good.substr(0, good.size() * 2 / 3));  // no index left
    WriteFile(folder.File("words.avi"), "This is a text file that only pretends to be a video.\n");
    MyDll_Init();
    const Vector refused = MakeVector("3", folder.File("good.mp4"), folder.File("refused.MP4"),
                                      "h263p", "322x240", "25", "384", "2", "44100", "96", "mp4");
    // The encoder's own words, heard before any player ran.
    const std::string refusedLine = Convert(refused).LastLine();
    ASSERT_NE(refusedLine.find("encoder refused its settings ("), std::string::npos) << refusedLine;

    StderrCapture terminal(folder.File("stderr.txt"));
    ASSERT_TRUE(PreviewOnce(folder.File("good.mp4")));

    ConversionReport damaged =
        Convert(MakeVector("3", folder.File("cut.mp4"), folder.File("cut.MP4"), "mpeg4", "320x240",
                           "25", "384", "2", "44100", "96", "mp4"));
    EngineFileInfo info{};
    const int probe = Mydll_GetFileinfo(folder.File("words.avi").c_str(), &info);
    ConversionReport again = Convert(refused);
    const std::string written = terminal.Take();

    EXPECT_EQ(damaged.outcome, KIVO_CONVERSION_FAILED);
    EXPECT_EQ(damaged.LastLine(),
              "Failed: cut.mp4: Cannot read the source: The file is damaged (moov atom not found)");
    EXPECT_EQ(probe, -1);
    EXPECT_EQ(again.LastLine(), refusedLine);
    EXPECT_EQ(written, "");
}

}  // namespace
}  // namespace enginetest

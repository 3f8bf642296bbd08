// The converter window's preview on the real libmpv graph, silent and headless.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

#include "Clips.h"
#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "preview/MediaGraph.h"
#include "preview/MpvGraph.h"
#include "preview/core/PreviewPlayer.h"
#include "skin/ImageButton.h"
#include "skin/SkinTrackBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

using clips::PumpUntil;

class PreviewPlayback : public ::testing::Test {
protected:
    PreviewPlayback() {
        SetGraphFactory([] { return CreateMpvGraph({QStringLiteral("null")}); });
    }
    ~PreviewPlayback() override {
        window.ClosePreview();
        SetGraphFactory(nullptr);
    }

    void AddRow(const QString& source, double seconds) {
        TItemPanel* row = window.ListImagePanel->AddItem(install.Path("MP4.jpg"));
        ASSERT_NE(row, nullptr);
        row->SourcePath = source;
        row->Duration = seconds;
        row->EndPoint = int(seconds);
    }

    // Presses Play and waits until the file is open and the graph runs (the position timer on).
    void PlayUntilRunning() {
        window.BtnPlayPauseClick(window.BtnPlayPause);
        ASSERT_TRUE(PreviewPlaying) << dialogs.LastText().toStdString();
        ASSERT_TRUE(
            PumpUntil([&] { return window.PlayerTimer->isActive() || !PreviewPlaying; }, 60000));
        ASSERT_TRUE(PreviewPlaying) << dialogs.LastText().toStdString();
    }

    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
};

TEST_F(PreviewPlayback, PlaysWithTheTrackFollowingAndClosesAtTheEnd) {
    // Long enough that a loaded machine still shows a tick of the timer before the end.
    AddRow(clips::Video("long.mp4", 6, 320, 240), 6);
    PlayUntilRunning();
    EXPECT_EQ(window.PlayerTrack->High(), 6);
    EXPECT_TRUE(dialogs.messages.empty());

    // The once-a-second timer moves the track along.
    EXPECT_TRUE(PumpUntil([&] { return window.PlayerTrack->Position() >= 1; }, 60000));

    // The end of the file closes the preview through the graph's message; the track stays.
    ASSERT_TRUE(PumpUntil([&] { return !PreviewPlaying; }, 60000));
    EXPECT_FALSE(window.Graph || window.MediaControl || window.VideoWindow || window.MediaEvent ||
                 window.MediaSeeking);
    EXPECT_FALSE(window.PlayerTimer->isActive());
    EXPECT_GE(window.PlayerTrack->Position(), 1);
}

TEST_F(PreviewPlayback, ReleasingTheTrackSeeksThere) {
    AddRow(clips::Video("long.mp4", 6, 320, 240), 6);
    PlayUntilRunning();
    EXPECT_EQ(window.PlayerTrack->High(), 6);
    window.PlayerTrackMouseDown(window.PlayerTrack, Qt::LeftButton, {}, 0, 0);
    window.PlayerTrack->SetPosition(4);
    window.PlayerTrackMouseUp(window.PlayerTrack, Qt::LeftButton, {}, 0, 0);
    const auto near = [&] {
        ReferenceTime position = 0;
        return window.MediaSeeking && window.MediaSeeking->GetCurrentPosition(position) &&
               std::llabs(position - 4 * kReferenceTimePerSecond) < kReferenceTimePerSecond;
    };
    EXPECT_TRUE(PumpUntil(near, 60000));
}

TEST_F(PreviewPlayback, UnreadableFileShowsTheRenderFileMessage) {
    AddRow(clips::Unreadable(), 0);
    window.BtnPlayPauseClick(window.BtnPlayPause);
    ASSERT_TRUE(PumpUntil([&] { return !dialogs.messages.empty(); }, 60000));
    EXPECT_FALSE(PreviewPlaying);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.LastText(),
              "Not Supported Media Format,\nYou need to install some codec.\nRenderFile(wFile)");
    // The failed start keeps no player.
    EXPECT_FALSE(window.Graph || window.MediaControl || window.VideoWindow || window.MediaEvent ||
                 window.MediaSeeking);
}

}  // namespace

// The converter window's preview on a scripted graph that records its calls.
#include <gtest/gtest.h>

#include "PreviewWindowFixture.h"

namespace {

using namespace preview_window;

TEST(PreviewFit, VideoIsScaledToTwoEdgesAndCentred) {
    const struct {
        QSize video;
        QRect place;
    } cases[] = {
        {{320, 240}, {5, 0, 273, 205}},   {{640, 272}, {0, 42, 283, 120}},
        {{566, 410}, {0, 0, 283, 205}},   {{283, 205}, {0, 0, 283, 205}},
        {{100, 1000}, {131, 0, 20, 205}}, {{0, 0}, QRect()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.video.width());
        EXPECT_EQ(FitVideoIntoPane(QSize(283, 205), c.video), c.place);
    }
}

TEST_F(PreviewWindow, PlayWithEmptyListDoesNothing) {
    Play();
    EXPECT_EQ(created, 0);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(PreviewPlaying);
}

TEST_F(PreviewWindow, PlayBuildsTheGraphInOrderAndStartsPlaying) {
    AddRow("/clips/a.mp4", 125);
    Play();
    const std::vector<std::string> expected = {
        "RenderFile /clips/a.mp4",
        "SetNotifyWindow 33756 0",
        "SetOwner",
        "SetCaption MyDVD",
        "SetWindowStyle " + std::to_string(WS_CHILD | WS_CLIPSIBLINGS),
        "GetWindowPosition",
        "SetWindowPosition",
        "SetMessageDrain",
        "GetCapabilities",
        "SetTimeFormat",
        "GetDuration",
        "Run"};
    EXPECT_EQ(TakeLog(), expected);
    EXPECT_TRUE(PreviewPlaying);
    EXPECT_TRUE(TimerOn());
    EXPECT_EQ(window.PlayerTimer->interval(), 1000);
    EXPECT_EQ(window.PlayerTrack->High(), 125);
    EXPECT_EQ(graph->owner_, window.Player);
    EXPECT_EQ(graph->drain_, window.Player);
    EXPECT_EQ(graph->placed, QRect(5, 0, 273, 205));
    EXPECT_TRUE(window.Graph && window.MediaControl && window.VideoWindow && window.MediaEvent &&
                window.MediaSeeking);
    EXPECT_TRUE(dialogs.messages.empty());

    // A second press while it plays pauses it where it is, the next goes on from there; the
    // button shows what a press does.
    EXPECT_EQ(window.BtnPlayPause->toolTip(), "Pause");
    Play();
    EXPECT_EQ(created, 1);
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"Pause"});
    EXPECT_TRUE(PreviewPlaying);
    EXPECT_EQ(window.BtnPlayPause->toolTip(), "Play");
    Play();
    EXPECT_EQ(created, 1);
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"Run"});
    EXPECT_EQ(window.BtnPlayPause->toolTip(), "Pause");
}

TEST_F(PreviewWindow, VideoIsFittedIntoThePane) {
    const struct {
        int width, height;
        QRect place;
    } cases[] = {{320, 240, {5, 0, 273, 205}},
                 {640, 272, {0, 42, 283, 120}},
                 {566, 410, {0, 0, 283, 205}},
                 {0, 0, QRect()}};
    AddRow("/clips/a.mp4", 125);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        script.videoWidth = c.width;
        script.videoHeight = c.height;
        window.BtnStopClick(window.BtnStop);
        Play();
        EXPECT_EQ(graph->placed, c.place);
        EXPECT_TRUE(PreviewPlaying);  // a source without a picture plays its sound
    }
}

TEST_F(PreviewWindow, DurationSetsTheTrackRange) {
    const struct {
        ReferenceTime duration;
        int high;
    } cases[] = {{125 * kSecond, 125}, {6 * kSecond - 1, 5}, {kSecond - 1, 0}, {0, 0}};
    AddRow("/clips/a.mp4", 125);
    for (const auto& c : cases) {
        script.duration = c.duration;
        window.BtnStopClick(window.BtnStop);
        Play();
        EXPECT_EQ(window.PlayerTrack->High(), c.high) << c.duration;
        EXPECT_EQ(window.PlayerTrack->Min(), 0);
    }
}

TEST_F(PreviewWindow, FailedStartsShowTheirMessageAndLeaveThePreviewNotPlaying) {
    const QString noGraph = "You need to install the Microsoft DirectX 9.0 or higher.";
    const QString render =
        "Not Supported Media Format,\nYou need to install some codec.\nRenderFile(wFile)";
    const QString run = "Not Supported Media Format,\nYou need to install some codec .";
    const struct {
        const char* name;
        Script script;
        std::vector<QString> messages;
        std::vector<std::string> last;  // the graph's last calls
    } cases[] = {
        {"no graph", {.create = false}, {noGraph}, {}},
        {"render",
         {.render = false},
         {render},
         {"RenderFile /clips/a.mp4", "Stop", "release MediaControl", "release Graph"}},
        {"run",
         {.run = false},
         {run},
         {"Run", "Stop", "Stop", "release MediaControl", "release VideoWindow",
          "release MediaEvent", "release MediaSeeking", "release Graph"}},
    };
    AddRow("/clips/a.mp4", 125);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.ClosePreview();
        dialogs.messages.clear();
        log.clear();
        script = c.script;
        Play();
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_FALSE(PreviewPlaying);
        EXPECT_FALSE(TimerOn());
        // A graph that was created is released at once, in the closing order.
        EXPECT_FALSE(AnyHeld());
        ASSERT_GE(log.size(), c.last.size());
        EXPECT_EQ(std::vector<std::string>(log.end() - c.last.size(), log.end()), c.last);

        // The trim buttons still refuse.
        window.BtnSetStartPointClick(window.BtnSetStartPoint);
        EXPECT_EQ(dialogs.messages.size(), c.messages.size() + 1);

        // Stop finds nothing to close; the track keeps its place.
        window.PlayerTrack->SetPosition(7);
        window.BtnStopClick(window.BtnStop);
        EXPECT_FALSE(AnyHeld());
        EXPECT_EQ(window.PlayerTrack->Position(), 7);
    }
}

TEST_F(PreviewWindow, AFileOpenedInTheBackgroundStartsOnTheGraphsMessage) {
    AddRow("/clips/a.mp4", 125);
    script.opening = true;
    Play();
    const std::vector<std::string> opening = {
        "RenderFile /clips/a.mp4",
        "SetNotifyWindow 33756 0",
        "SetOwner",
        "SetCaption MyDVD",
        "SetWindowStyle " + std::to_string(WS_CHILD | WS_CLIPSIBLINGS),
        "SetMessageDrain"};
    EXPECT_EQ(TakeLog(), opening);
    EXPECT_TRUE(PreviewPlaying);
    EXPECT_FALSE(TimerOn());
    // A press while it opens changes nothing.
    Play();
    EXPECT_EQ(created, 1);

    graph->Raise(EC_FILE_RENDERED, 1);
    ProcessPosted();
    const std::vector<std::string> started = {"GetWindowPosition", "SetWindowPosition",
                                              "GetCapabilities",   "SetTimeFormat",
                                              "GetDuration",       "Run"};
    EXPECT_EQ(TakeLog(), started);
    EXPECT_EQ(graph->placed, QRect(5, 0, 273, 205));
    EXPECT_EQ(window.PlayerTrack->High(), 125);
    EXPECT_TRUE(PreviewPlaying);
    EXPECT_TRUE(TimerOn());
    EXPECT_TRUE(dialogs.messages.empty());

    // A file that turns out unreadable: the RenderFile message, and the graph released at once.
    const struct {
        const char* name;
        Script script;
        intptr_t opened;
        QString message;
        std::vector<std::string> last;  // the graph's last calls
    } failures[] = {
        {"render",
         {.opening = true},
         0,
         "Not Supported Media Format,\nYou need to install some codec.\nRenderFile(wFile)",
         {"SetMessageDrain", "Stop", "release MediaControl", "release VideoWindow",
          "release MediaEvent", "release Graph"}},
        {"run",
         {.opening = true, .run = false},
         1,
         "Not Supported Media Format,\nYou need to install some codec .",
         {"Run", "Stop", "Stop", "release MediaControl", "release VideoWindow",
          "release MediaEvent", "release MediaSeeking", "release Graph"}},
    };
    for (const auto& f : failures) {
        SCOPED_TRACE(f.name);
        window.BtnStopClick(window.BtnStop);
        script = f.script;
        dialogs.messages.clear();
        Play();
        ASSERT_TRUE(PreviewPlaying);
        graph->Raise(EC_FILE_RENDERED, f.opened);
        ProcessPosted();
        EXPECT_EQ(Messages(), std::vector<QString>{f.message});
        EXPECT_FALSE(PreviewPlaying);
        EXPECT_FALSE(TimerOn());
        EXPECT_FALSE(AnyHeld());
        ASSERT_GE(log.size(), f.last.size());
        EXPECT_EQ(std::vector<std::string>(log.end() - f.last.size(), log.end()), f.last);
    }
}

TEST_F(PreviewWindow, MissingSeekingPlaysWithoutPositionAndCapabilityFailureGoesOn) {
    AddRow("/clips/a.mp4", 125);
    script.seeking = false;
    Play();
    EXPECT_EQ(Messages(), std::vector<QString>{"Not Supported Media Seeking"});
    EXPECT_TRUE(PreviewPlaying);
    EXPECT_EQ(window.PlayerTrack->High(), 10);
    window.PlayerTrack->SetPosition(4);
    window.PlayerTimerTimer();
    EXPECT_EQ(window.PlayerTrack->Position(), 4);
    window.PlayerTrackMouseUp(window.PlayerTrack, Qt::LeftButton, {}, 0, 0);

    window.BtnStopClick(window.BtnStop);
    dialogs.messages.clear();
    script = Script{.capabilities = false};
    Play();
    EXPECT_EQ(Messages(), std::vector<QString>{"Could not read input file seeking capabilities"});
    EXPECT_TRUE(PreviewPlaying);
    EXPECT_EQ(window.PlayerTrack->High(), 125);
}

TEST_F(PreviewWindow, StopReleasesInOrderAndPutsTheTrackBack) {
    // Nothing open: nothing happens, the track keeps its place.
    window.PlayerTrack->SetPosition(6);
    window.BtnStopClick(window.BtnStop);
    EXPECT_EQ(window.PlayerTrack->Position(), 6);

    AddRow("/clips/a.mp4", 125);
    Play();
    window.PlayerTrack->SetPosition(50);
    TakeLog();
    window.BtnStopClick(window.BtnStop);
    std::vector<std::string> expected = {"Stop", "Stop"};
    expected.insert(expected.end(), kReleaseOrder.begin(), kReleaseOrder.end());
    EXPECT_EQ(TakeLog(), expected);
    EXPECT_FALSE(AnyHeld());
    EXPECT_FALSE(PreviewPlaying);
    EXPECT_FALSE(TimerOn());
    EXPECT_EQ(window.PlayerTrack->Position(), 0);

    // The next Play starts from the beginning with a new graph.
    Play();
    EXPECT_EQ(created, 2);
    EXPECT_TRUE(PreviewPlaying);
}

TEST_F(PreviewWindow, TimerShowsThePlayPositionInWholeSeconds) {
    AddRow("/clips/a.mp4", 125);
    Play();
    const struct {
        ReferenceTime position;
        bool ok;
        int shown;
    } ticks[] = {{42 * kSecond + 9'999'999, true, 42},
                 {0, true, 0},
                 {99 * kSecond, false, 0},
                 {400 * kSecond, true, 125}};
    for (const auto& t : ticks) {
        script.position = t.position;
        script.positionOk = t.ok;
        window.PlayerTrack->SetPosition(17);
        window.PlayerTimerTimer();
        EXPECT_EQ(window.PlayerTrack->Position(), t.shown) << t.position;
    }
}

TEST_F(PreviewWindow, SeeksOnlyWhilePlayingWhereTheTrackIsReleased) {
    // Not playing: pressing and releasing the track changes nothing.
    window.PlayerTimer->start();
    window.PlayerTrackMouseDown(window.PlayerTrack, Qt::LeftButton, {}, 0, 0);
    EXPECT_TRUE(TimerOn());
    window.PlayerTimer->stop();
    window.PlayerTrackMouseUp(window.PlayerTrack, Qt::LeftButton, {}, 0, 0);
    EXPECT_FALSE(TimerOn());

    AddRow("/clips/a.mp4", 125);
    Play();
    TakeLog();
    window.PlayerTrackMouseDown(window.PlayerTrack, Qt::LeftButton, {}, 100, 5);
    EXPECT_FALSE(TimerOn());
    window.PlayerTrack->SetPosition(30);
    window.PlayerTrackMouseUp(window.PlayerTrack, Qt::LeftButton, {}, 100, 5);
    EXPECT_TRUE(TimerOn());
    EXPECT_EQ(TakeLog(), std::vector<std::string>{"SetPositions 300000000 5 none 0"});

    // Moving the track with the keyboard seeks nothing; the next tick puts the thumb back.
    script.position = 12 * kSecond;
    window.PlayerTrack->SetPosition(90);
    window.PlayerTimerTimer();
    EXPECT_EQ(window.PlayerTrack->Position(), 12);
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(PreviewWindow, EndOfPlayCloseOnGraphEventsAndOthersAreOnlyFreed) {
    const struct {
        long code;
        bool closes;
    } cases[] = {{EC_COMPLETE, true}, {EC_USERABORT, true}, {EC_ERRORABORT, true}, {13, false}};
    AddRow("/clips/a.mp4", 125);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        window.ClosePreview();
        Play();
        ASSERT_TRUE(PreviewPlaying);
        window.PlayerTrack->SetPosition(77);
        TakeLog();
        std::shared_ptr<FakeGraph> playing = graph;
        playing->Raise(c.code);
        ProcessPosted();
        EXPECT_EQ(playing->taken, 1);
        EXPECT_EQ(playing->freed, 1);
        EXPECT_EQ(playing->timeouts.back(), 0);
        EXPECT_EQ(PreviewPlaying, !c.closes);
        EXPECT_EQ(AnyHeld(), !c.closes);
        EXPECT_EQ(TimerOn(), !c.closes);
        EXPECT_EQ(window.PlayerTrack->Position(), 77);  // the track stays where it was
        if (c.closes) {
            std::vector<std::string> expected = {"Stop"};
            expected.insert(expected.end(), kReleaseOrder.begin(), kReleaseOrder.end());
            EXPECT_EQ(TakeLog(), expected);
        }
    }
    // A message that arrives after the preview closed finds nothing to drain.
    window.HandleGraphEvents();
}

TEST_F(PreviewWindow, AnotherRowsClickStopsThePreviewWithoutStartingTheNewOne) {
    TItemPanel* first = AddRow("/clips/a.mp4", 125);
    TItemPanel* second = AddRow("/clips/b.mp4", 60);
    second->StartPoint = 10;
    second->EndPoint = 20;
    Play();
    ASSERT_TRUE(PreviewPlaying);
    window.ListImagePanel->SelectItem(1);
    window.ListImagePanelClick(window.ListImagePanel->ContentPanel);
    EXPECT_FALSE(PreviewPlaying);
    EXPECT_FALSE(AnyHeld());
    EXPECT_EQ(created, 1);
    // The bar shows the new row's range: 10 s to 20 s of 60 on the 276-pixel track.
    const QImage& bar = window.PlayerTrack->BarBitmap();
    EXPECT_EQ(bar.pixelColor(TrimRangeX(10, 60, 276), 0), QColor(0, 0, 255));
    EXPECT_EQ(bar.pixelColor(TrimRangeX(10, 60, 276) - 1, 0), QColor(128, 128, 128));
    EXPECT_EQ(first->EndPoint, 125);

    // Removing the selected row closes the preview as well.
    Play();
    ASSERT_TRUE(PreviewPlaying);
    window.FileRemoveClick(window.FileRemove);
    EXPECT_FALSE(PreviewPlaying);
    EXPECT_FALSE(AnyHeld());
}

}  // namespace

// The converter window's preview and trim points, on a scripted graph that records its calls.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <deque>
#include <string>
#include <tuple>
#include <vector>

#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/WindowMessages.h"
#include "preview/MediaGraph.h"
#include "preview/PreviewPlayer.h"
#include "preview/TrimRange.h"
#include "skin/ImageButton.h"
#include "skin/ImagePanel.h"
#include "skin/SkinTrackBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

constexpr ReferenceTime kSecond = kReferenceTimePerSecond;

// What the next graph does; every call lands in `log`.
struct Script {
    bool create = true;
    bool render = true;
    bool opening = false;  // RenderFile only starts opening; the test raises EC_FILE_RENDERED
    bool seeking = true;
    bool capabilities = true;
    bool run = true;
    int videoWidth = 320, videoHeight = 240;
    ReferenceTime duration = 125 * kSecond;
    ReferenceTime position = 0;
    bool positionOk = true;
};

class FakeGraph : public IGraphBuilder,
                  public IMediaControl,
                  public IVideoWindow,
                  public IMediaEventEx,
                  public IMediaSeeking,
                  public std::enable_shared_from_this<FakeGraph> {
public:
    FakeGraph(Script& script, std::vector<std::string>& log) : script_(script), log_(log) {}

    // A reference that logs its release and keeps the graph alive until then.
    template <class Interface>
    std::shared_ptr<Interface> Reference(const std::string& name) {
        auto self = shared_from_this();
        Interface* raw = this;
        return std::shared_ptr<Interface>(
            raw, [self, name, &log = log_](Interface*) { log.push_back("release " + name); });
    }

    std::shared_ptr<IMediaControl> QueryMediaControl() override {
        return Reference<IMediaControl>("MediaControl");
    }
    std::shared_ptr<IVideoWindow> QueryVideoWindow() override {
        return Reference<IVideoWindow>("VideoWindow");
    }
    std::shared_ptr<IMediaEventEx> QueryMediaEvent() override {
        return Reference<IMediaEventEx>("MediaEvent");
    }
    std::shared_ptr<IMediaSeeking> QueryMediaSeeking() override {
        if (!script_.seeking)
            return nullptr;
        return Reference<IMediaSeeking>("MediaSeeking");
    }

    RenderState RenderFile(const QString& path) override {
        log_.push_back("RenderFile " + path.toStdString());
        if (!script_.render)
            return RenderState::Failed;
        return script_.opening ? RenderState::Opening : RenderState::Rendered;
    }
    bool Run() override {
        log_.push_back("Run");
        return script_.run;
    }
    bool Stop() override {
        log_.push_back("Stop");
        return true;
    }

    bool SetOwner(QWidget* owner) override {
        owner_ = owner;
        log_.push_back("SetOwner");
        return true;
    }
    bool SetCaption(const QString& caption) override {
        log_.push_back("SetCaption " + caption.toStdString());
        return true;
    }
    bool SetWindowStyle(long style) override {
        log_.push_back("SetWindowStyle " + std::to_string(style));
        return true;
    }
    bool GetWindowPosition(int& left, int& top, int& width, int& height) override {
        log_.push_back("GetWindowPosition");
        if (script_.videoWidth <= 0)
            return false;
        left = top = 0;
        width = script_.videoWidth;
        height = script_.videoHeight;
        return true;
    }
    bool SetWindowPosition(int left, int top, int width, int height) override {
        placed = QRect(left, top, width, height);
        log_.push_back("SetWindowPosition");
        return true;
    }
    bool SetMessageDrain(QWidget* drain) override {
        drain_ = drain;
        log_.push_back("SetMessageDrain");
        return true;
    }

    bool SetNotifyWindow(KivoWindow* window, unsigned message, intptr_t instance) override {
        notify_ = window;
        message_ = message;
        log_.push_back("SetNotifyWindow " + std::to_string(message) + " " +
                       std::to_string(instance));
        return true;
    }
    bool GetEvent(long& code, intptr_t& param1, intptr_t& param2, int timeoutMs) override {
        timeouts.push_back(timeoutMs);
        if (events_.empty())
            return false;
        code = events_.front().first;
        param1 = events_.front().second;
        param2 = 200 + code;
        events_.pop_front();
        ++taken;
        return true;
    }
    bool FreeEventParams(long code, intptr_t param1, intptr_t param2) override {
        if (param2 == 200 + code)
            ++freed;
        return true;
    }

    bool GetCapabilities(unsigned& capabilities) override {
        log_.push_back("GetCapabilities");
        capabilities = AM_SEEKING_CanSeekAbsolute;
        return script_.capabilities;
    }
    bool SetTimeFormat(TimeFormat) override {
        log_.push_back("SetTimeFormat");
        return true;
    }
    bool GetDuration(ReferenceTime& duration) override {
        log_.push_back("GetDuration");
        duration = script_.duration;
        return true;
    }
    bool GetCurrentPosition(ReferenceTime& position) override {
        if (script_.positionOk)
            position = script_.position;
        return script_.positionOk;
    }
    bool SetPositions(ReferenceTime* current, unsigned currentFlags, ReferenceTime* stop,
                      unsigned stopFlags) override {
        log_.push_back("SetPositions " + std::to_string(*current) + " " +
                       std::to_string(currentFlags) + " " + (stop ? "stop" : "none") + " " +
                       std::to_string(stopFlags));
        return true;
    }

    // The graph queues an event and notifies the window, as a real one does from its threads.
    void Raise(long code, intptr_t param1 = 0) {
        events_.emplace_back(code, param1);
        platform::PostMessage(notify_, message_, 0, 0);
    }

    QRect placed;
    QWidget* owner_ = nullptr;
    QWidget* drain_ = nullptr;
    std::vector<int> timeouts;
    int taken = 0, freed = 0;

private:
    Script& script_;
    std::vector<std::string>& log_;
    std::deque<std::pair<long, intptr_t>> events_;
    KivoWindow* notify_ = nullptr;
    unsigned message_ = 0;
};

class PreviewWindow : public ::testing::Test {
protected:
    PreviewWindow() {
        SetGraphFactory([this]() -> std::shared_ptr<IGraphBuilder> {
            ++created;
            if (!script.create)
                return nullptr;
            graph = std::make_shared<FakeGraph>(script, log);
            return graph->Reference<IGraphBuilder>("Graph");
        });
    }
    void SetUp() override { window.PlayerTrack->UpdateControl(); }
    ~PreviewWindow() override {
        window.ClosePreview();
        SetGraphFactory(nullptr);
    }

    // A row for `source` of `seconds`, as the add makes it.
    TItemPanel* AddRow(const QString& source, double seconds) {
        TItemPanel* row = window.ListImagePanel->AddItem(install.Path("MP4.jpg"));
        EXPECT_NE(row, nullptr);
        if (!row)
            return nullptr;
        row->SourcePath = source;
        row->Duration = seconds;
        row->StartPoint = 0;
        row->EndPoint = int(seconds);
        row->MarkStart = 0;
        row->MarkEnd = int(seconds);
        row->RefreshText();
        return row;
    }

    void Play() { window.BtnPlayPauseClick(window.BtnPlayPause); }
    void ProcessPosted() { QCoreApplication::sendPostedEvents(); }
    bool TimerOn() const { return window.PlayerTimer->isActive(); }
    bool AnyHeld() const {
        return window.Graph || window.MediaControl || window.VideoWindow || window.MediaEvent ||
               window.MediaSeeking;
    }
    std::vector<std::string> TakeLog() { return std::exchange(log, {}); }
    std::vector<QString> Messages() const {
        std::vector<QString> texts;
        for (const ShownMessage& m : dialogs.messages)
            texts.push_back(m.text);
        return texts;
    }

    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    Script script;
    std::vector<std::string> log;
    std::shared_ptr<FakeGraph> graph;
    int created = 0;
};

const std::vector<std::string> kReleaseOrder = {"release MediaControl", "release VideoWindow",
                                                "release MediaEvent", "release MediaSeeking",
                                                "release Graph"};

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

    // A second press while it plays changes nothing.
    Play();
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_TRUE(PreviewPlaying);
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
    second->MarkStart = 10;
    second->MarkEnd = 20;
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
    EXPECT_EQ(first->MarkEnd, 125);

    // Removing the selected row closes the preview as well.
    Play();
    ASSERT_TRUE(PreviewPlaying);
    window.FileRemoveClick(window.FileRemove);
    EXPECT_FALSE(PreviewPlaying);
    EXPECT_FALSE(AnyHeld());
}

// ---- Trim points ----

const QColor kGrey(128, 128, 128), kBlue(0, 0, 255);

// The grey and blue runs of the bar's top two rows from x 1 on (x 0 is the bar picture's own),
// as (first x, last x, colour).
std::vector<std::tuple<int, int, QColor>> Runs(const QImage& bar) {
    std::vector<std::tuple<int, int, QColor>> runs;
    for (int x = 1; x < bar.width(); ++x) {
        const QColor c = bar.pixelColor(x, 0);
        EXPECT_EQ(bar.pixelColor(x, 1), c) << x;
        if (c != kGrey && c != kBlue)
            continue;
        if (!runs.empty() && std::get<2>(runs.back()) == c && std::get<1>(runs.back()) == x - 1)
            std::get<1>(runs.back()) = x;
        else
            runs.emplace_back(x, x, c);
    }
    return runs;
}

using ColourRun = std::tuple<int, int, QColor>;

TEST_F(PreviewWindow, NewRowShowsItsWholeLengthAsTheRange) {
    ASSERT_EQ(window.PlayerTrack->width(), 276);
    ASSERT_GE(window.PlayerTrack->BarBitmap().height(), 2);
    TItemPanel* row = AddRow("/clips/a.mp4", 125);
    window.DrawTrimRange(nullptr);
    EXPECT_EQ(Runs(window.PlayerTrack->BarBitmap()),
              (std::vector<ColourRun>{{1, 274, kBlue}, {275, 275, kGrey}}));
    EXPECT_TRUE(row->TextLabel->text().endsWith("Start Point:0  End Point:125"))
        << row->TextLabel->text().toStdString();

    // A row without a known length gets the grey line only.
    row->Duration = 0;
    window.DrawTrimRange(nullptr);
    EXPECT_EQ(Runs(window.PlayerTrack->BarBitmap()), (std::vector<ColourRun>{{1, 275, kGrey}}));
}

TEST_F(PreviewWindow, EndBeforeStartSwapsTheMarksButNotThePoints) {
    TItemPanel* row = AddRow("/clips/a.mp4", 125);
    Play();
    window.PlayerTrack->SetPosition(40);
    window.BtnSetStartPointClick(window.BtnSetStartPoint);
    EXPECT_EQ(row->StartPoint, 40);
    EXPECT_EQ(row->MarkStart, 40);
    EXPECT_EQ(row->MarkEnd, 125);
    EXPECT_EQ(Runs(window.PlayerTrack->BarBitmap()),
              (std::vector<ColourRun>{{1, 87, kGrey}, {88, 274, kBlue}, {275, 275, kGrey}}));

    window.PlayerTrack->SetPosition(30);
    window.BtnSetEndPointClick(window.BtnSetEndPoint);
    EXPECT_EQ(row->StartPoint, 40);
    EXPECT_EQ(row->EndPoint, 30);
    EXPECT_EQ(row->MarkStart, 30);
    EXPECT_EQ(row->MarkEnd, 40);
    EXPECT_TRUE(row->TextLabel->text().endsWith("Start Point:40  End Point:30"))
        << row->TextLabel->text().toStdString();
    // 30 s and 40 s of 125 on a 276-pixel track: x 66 to x 88.
    EXPECT_EQ(Runs(window.PlayerTrack->BarBitmap()),
              (std::vector<ColourRun>{{1, 65, kGrey}, {66, 88, kBlue}, {89, 275, kGrey}}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PreviewWindow, EqualMarksKeepTheDrawingButStoreThePoint) {
    TItemPanel* row = AddRow("/clips/a.mp4", 125);
    Play();
    window.PlayerTrack->SetPosition(40);
    window.BtnSetStartPointClick(window.BtnSetStartPoint);
    const QImage before = window.PlayerTrack->BarBitmap().copy();
    window.BtnSetEndPointClick(window.BtnSetEndPoint);
    EXPECT_EQ(window.PlayerTrack->BarBitmap(), before);
    EXPECT_EQ(row->EndPoint, 40);
    EXPECT_EQ(row->MarkStart, 40);
    EXPECT_EQ(row->MarkEnd, 40);
    EXPECT_TRUE(row->TextLabel->text().endsWith("Start Point:40  End Point:40"));
}

TEST_F(PreviewWindow, TrimButtonsOnlyRemindWhileNothingPlays) {
    const QString start =
        "Please play the file first, drag the slider bar and then click this bottom to set the "
        "start point";
    const QString end =
        "Please play the file first, drag the slider bar and then click this button to set the "
        "end point";
    TItemPanel* row = AddRow("/clips/a.mp4", 125);
    window.PlayerTrack->SetPosition(5);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "stopped" : "played to its end");
        dialogs.messages.clear();
        window.BtnSetStartPointClick(window.BtnSetStartPoint);
        window.BtnSetEndPointClick(window.BtnSetEndPoint);
        EXPECT_EQ(Messages(), (std::vector<QString>{start, end}));
        EXPECT_EQ(row->StartPoint, 0);
        EXPECT_EQ(row->EndPoint, 125);
        EXPECT_EQ(row->MarkStart, 0);
        EXPECT_EQ(row->MarkEnd, 125);
        Play();
        graph->Raise(EC_COMPLETE);
        ProcessPosted();
        ASSERT_FALSE(PreviewPlaying);
    }
}

}  // namespace

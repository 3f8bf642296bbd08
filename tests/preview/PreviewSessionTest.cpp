// The preview session on a scripted graph: what a start and each graph event leave open, and
// the trim marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "preview/core/PreviewSession.h"
#include "preview/core/TrimMarks.h"

namespace {

// One object behind all five references; each reference logs its release.
struct Fake : IGraphBuilder, IMediaControl, IVideoWindow, IMediaEventEx, IMediaSeeking {
    RenderState render = RenderState::Rendered;
    bool run = true;
    std::deque<std::pair<long, intptr_t>> events;
    std::vector<std::string> log;

    template <class I>
    std::shared_ptr<I> Ref(const char* name) {
        return std::shared_ptr<I>(this, [this, name](I*) { log.push_back(name); });
    }
    std::shared_ptr<IMediaControl> QueryMediaControl() override { return Ref<IMediaControl>("C"); }
    std::shared_ptr<IVideoWindow> QueryVideoWindow() override { return Ref<IVideoWindow>("V"); }
    std::shared_ptr<IMediaEventEx> QueryMediaEvent() override { return Ref<IMediaEventEx>("E"); }
    std::shared_ptr<IMediaSeeking> QueryMediaSeeking() override { return Ref<IMediaSeeking>("S"); }
    RenderState RenderFile(const QString&) override { return render; }
    bool Run() override {
        log.push_back("run");
        return run;
    }
    bool Pause() override {
        log.push_back("pause");
        return true;
    }
    bool Stop() override { return true; }
    bool SetOwner(QWidget*) override { return true; }
    bool SetCaption(const QString&) override { return true; }
    bool SetWindowStyle(long) override { return true; }
    bool GetWindowPosition(int&, int&, int&, int&) override { return false; }
    bool SetWindowPosition(int, int, int, int) override { return true; }
    bool SetMessageDrain(QWidget*) override { return true; }
    bool SetNotifyWindow(KivoWindow*, unsigned, intptr_t) override { return true; }
    bool GetEvent(long& code, intptr_t& param1, intptr_t&, int timeoutMs) override {
        if (events.empty() || timeoutMs != 0)
            return false;
        std::tie(code, param1) = events.front();
        events.pop_front();
        return true;
    }
    bool FreeEventParams(long, intptr_t, intptr_t) override { return true; }
    bool GetCapabilities(unsigned&) override { return true; }
    bool SetTimeFormat(TimeFormat) override { return true; }
    bool GetDuration(ReferenceTime& d) override {
        d = 125 * kReferenceTimePerSecond;
        return true;
    }
    bool GetCurrentPosition(ReferenceTime&) override { return false; }
    bool SetPositions(ReferenceTime*, unsigned, ReferenceTime*, unsigned) override { return true; }
};

TEST(PreviewSession, StartsAndGraphEventsLeaveThePreviewPlayingOrReleased) {
    const QString render =
        "Not Supported Media Format,\nYou need to install some codec.\nRenderFile(wFile)";
    const QString run = "Not Supported Media Format,\nYou need to install some codec .";
    const long kOther = 13;
    using R = RenderState;
    const struct {
        R render;
        bool run;
        std::vector<std::pair<long, intptr_t>> events;
        bool playing;               // afterwards; the references are held exactly while it plays
        std::optional<bool> timer;  // the position display, once both steps are shown
        std::vector<QString> messages;
    } cases[] = {
        {R::Rendered, true, {}, true, true, {}},
        {R::Rendered, false, {}, false, false, {run}},
        {R::Failed, true, {}, false, false, {render}},
        {R::Rendered, true, {{EC_COMPLETE, 0}}, false, false, {}},
        {R::Rendered, true, {{EC_USERABORT, 0}}, false, false, {}},
        {R::Rendered, true, {{EC_ERRORABORT, 0}, {kOther, 0}}, false, false, {}},
        {R::Rendered, true, {{kOther, 0}}, true, true, {}},
        {R::Rendered, true, {{EC_FILE_RENDERED, 1}}, true, true, {}},  // a late notice runs nothing
        {R::Opening, true, {}, true, {}, {}},  // counts as playing from the user's press
        {R::Opening, true, {{EC_FILE_RENDERED, 1}}, true, true, {}},
        {R::Opening, true, {{EC_FILE_RENDERED, 0}, {kOther, 0}}, false, false, {render}},
        {R::Opening, false, {{EC_FILE_RENDERED, 1}}, false, false, {run}},
        {R::Opening, true, {{EC_COMPLETE, 0}}, false, false, {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        Fake fake;
        fake.render = c.render;
        fake.run = c.run;
        bool playing = false;
        PreviewSession session(playing, [&fake] { return fake.Ref<IGraphBuilder>("G"); });
        PreviewStep step = session.Open("/clips/a.mp4", {});
        fake.events.assign(c.events.begin(), c.events.end());
        const PreviewStep handled = session.HandleEvents(QSize(283, 205));
        step.messages.insert(step.messages.end(), handled.messages.begin(), handled.messages.end());
        EXPECT_EQ(step.messages, c.messages);
        EXPECT_EQ(handled.timer ? handled.timer : step.timer, c.timer);
        EXPECT_EQ(playing, c.playing);
        EXPECT_EQ(bool(session.Graph || session.MediaControl || session.VideoWindow ||
                       session.MediaEvent || session.MediaSeeking),
                  c.playing);
        if (!c.playing) {
            EXPECT_EQ(fake.log.back(), "G");  // the graph goes last
        }
        EXPECT_LE(std::count(fake.log.begin(), fake.log.end(), "run"), 1);  // one run per start
    }
}

TEST(PreviewSession, PauseHoldsAPlayingPreviewAndResumeGoesOn) {
    enum Step { PauseIt, ResumeIt, EndIt, StopIt };
    const struct {
        std::vector<Step> steps;
        std::vector<bool> answers;  // what each step returned
        bool paused, playing;
    } cases[] = {
        {{PauseIt}, {true}, true, true},
        {{PauseIt, PauseIt}, {true, false}, true, true},
        {{ResumeIt}, {false}, false, true},  // nothing to go on from
        {{PauseIt, ResumeIt}, {true, true}, false, true},
        {{PauseIt, EndIt, ResumeIt}, {true, true, false}, false, false},
        {{PauseIt, StopIt, PauseIt}, {true, true, false}, false, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        Fake fake;
        bool playing = false;
        PreviewSession session(playing, [&fake] { return fake.Ref<IGraphBuilder>("G"); });
        ASSERT_TRUE(session.Open("/clips/a.mp4", {}).started);
        playing = true;  // the window counts a started preview as playing
        std::vector<bool> answers;
        for (Step step : c.steps) {
            switch (step) {
                case PauseIt:
                    answers.push_back(session.Pause());
                    break;
                case ResumeIt:
                    answers.push_back(session.Resume());
                    break;
                case EndIt:
                    fake.events.assign({{EC_COMPLETE, 0}});
                    session.HandleEvents(QSize(283, 205));
                    answers.push_back(true);
                    break;
                case StopIt:
                    answers.push_back(session.Stop());
                    break;
            }
        }
        EXPECT_EQ(answers, c.answers);
        EXPECT_EQ(session.Paused(), c.paused);
        EXPECT_EQ(playing, c.playing);
    }
}

TEST(TrimMarks, ButtonsSetTheirMarkKeepingTheRangeOrdered) {
    const struct {
        TrimMarks marks;
        TrimEnd which;
        int seconds;
        TrimMarks after;
        bool redraw;
    } cases[] = {
        {{0, 125}, TrimEnd::Start, 40, {40, 125}, true},
        {{40, 125}, TrimEnd::End, 30, {30, 40}, true},
        {{0, 125}, TrimEnd::Start, 130, {125, 130}, true},
        {{40, 125}, TrimEnd::End, 40, {40, 40}, false},
    };
    for (const auto& c : cases) {
        const TrimMarkChange change = SetTrimMark(c.marks, c.which, c.seconds);
        EXPECT_EQ(std::tie(change.marks.start, change.marks.end, change.redraw),
                  std::tie(c.after.start, c.after.end, c.redraw))
            << c.seconds;
    }
}

}  // namespace

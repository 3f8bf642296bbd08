// The converter window with a scripted graph that records its calls, shared by the preview and
// trim point tests.
#pragma once

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
#include "preview/TrimRange.h"
#include "preview/core/PreviewPlayer.h"
#include "skin/ImageButton.h"
#include "skin/ImagePanel.h"
#include "skin/SkinTrackBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace preview_window {

inline constexpr ReferenceTime kSecond = kReferenceTimePerSecond;

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
    bool Pause() override {
        log_.push_back("Pause");
        return true;
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
        row->StartPoint = 0;
        row->EndPoint = int(seconds);
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

inline const std::vector<std::string> kReleaseOrder = {"release MediaControl",
                                                       "release VideoWindow", "release MediaEvent",
                                                       "release MediaSeeking", "release Graph"};

}  // namespace preview_window

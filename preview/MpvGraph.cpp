#include "preview/MpvGraph.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QElapsedTimer>
#include <QImage>
#include <QMetaObject>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <clocale>
#include <cmath>
#include <cstring>
#include <deque>
#include <optional>
#include <string>

#include "platform/WindowMessages.h"

namespace {

// How long after loading the file the opening waits for its first picture.
constexpr int kFirstFrameWaitMs = 10000;

struct MpvHandleDeleter {
    void operator()(mpv_handle* handle) const { mpv_terminate_destroy(handle); }
};
struct MpvRenderDeleter {
    void operator()(mpv_render_context* context) const { mpv_render_context_free(context); }
};

// The widget the picture is drawn in: a child of the video window's owner.
class VideoSurface : public QWidget {
public:
    explicit VideoSurface(QWidget* owner) : QWidget(owner) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

    QImage frame;
    std::function<void()> onResize;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (!frame.isNull())
            painter.drawImage(0, 0, frame);
    }
    void resizeEvent(QResizeEvent*) override {
        if (onResize)
            onResize();
    }
};

class MpvGraph;

// What mpv's callbacks may touch from mpv's threads: a QObject that lives on the user interface
// thread and outlives the player. A queued call to a deleted receiver is dropped by Qt.
class CallbackTarget : public QObject {
public:
    explicit CallbackTarget(MpvGraph* graph) : graph(graph) {}
    MpvGraph* const graph;
    std::atomic<bool> eventsPending{false};
    std::atomic<bool> framePending{false};
};

struct GraphEvent {
    long code;
    intptr_t param1;
    intptr_t param2;
};

class MpvGraph final : public IGraphBuilder,
                       public IMediaControl,
                       public IVideoWindow,
                       public IMediaEventEx,
                       public IMediaSeeking,
                       public std::enable_shared_from_this<MpvGraph> {
public:
    explicit MpvGraph(const MpvGraphOptions& options)
        : options_(options), target_(std::make_unique<CallbackTarget>(this)) {}

    ~MpvGraph() override {
        UnloadFile();
        // The renderer goes before the player, and the player (with its threads and pending
        // callbacks) before anything its callbacks could reach.
        render_.reset();
        mpv_.reset();
        target_.reset();
        delete surface_.data();
    }

    bool Start();

    // IGraphBuilder
    std::shared_ptr<IMediaControl> QueryMediaControl() override {
        return {shared_from_this(), static_cast<IMediaControl*>(this)};
    }
    std::shared_ptr<IVideoWindow> QueryVideoWindow() override {
        return {shared_from_this(), static_cast<IVideoWindow*>(this)};
    }
    std::shared_ptr<IMediaEventEx> QueryMediaEvent() override {
        return {shared_from_this(), static_cast<IMediaEventEx*>(this)};
    }
    std::shared_ptr<IMediaSeeking> QueryMediaSeeking() override {
        return {shared_from_this(), static_cast<IMediaSeeking*>(this)};
    }

    // IMediaControl
    RenderState RenderFile(const QString& path) override;
    bool Run() override { return opened_ && SetPaused(false); }
    bool Pause() override { return SetPaused(true); }
    bool Stop() override { return SetPaused(true); }

    // IVideoWindow
    bool SetOwner(QWidget* owner) override;
    bool SetCaption(const QString& caption) override;
    bool SetWindowStyle(long style) override;
    bool GetWindowPosition(int& left, int& top, int& width, int& height) override;
    bool SetWindowPosition(int left, int top, int width, int height) override;
    bool SetMessageDrain(QWidget* drain) override;

    // IMediaEventEx
    bool SetNotifyWindow(KivoWindow* window, unsigned message, intptr_t instance) override;
    bool GetEvent(long& code, intptr_t& param1, intptr_t& param2, int timeoutMs) override;
    bool FreeEventParams(long, intptr_t, intptr_t) override { return true; }

    // IMediaSeeking
    bool GetCapabilities(unsigned& capabilities) override;
    bool SetTimeFormat(TimeFormat format) override { return format == TimeFormat::MediaTime; }
    bool GetDuration(ReferenceTime& duration) override;
    bool GetCurrentPosition(ReferenceTime& position) override;
    bool SetPositions(ReferenceTime* current, unsigned currentFlags, ReferenceTime* stop,
                      unsigned stopFlags) override;

    // Called on the user interface thread after mpv's callbacks and timers.
    void DrainMpvEvents();
    void RenderFrame(bool force);
    void FinishOpening(bool withoutPicture = false);

private:
    static void OnWakeup(void* context);
    static void OnFrameUpdate(void* context);

    void HandleMpvEvent(const mpv_event& event);
    void HandlePropertyChange(const mpv_event_property& property);
    void QueueEvent(long code, intptr_t param1, intptr_t param2);
    void UnloadFile();
    bool SetPaused(bool paused);
    void ShowSurface();

    MpvGraphOptions options_;
    std::unique_ptr<CallbackTarget> target_;
    std::unique_ptr<mpv_handle, MpvHandleDeleter> mpv_;
    std::unique_ptr<mpv_render_context, MpvRenderDeleter> render_;
    QPointer<VideoSurface> surface_;
    QPointer<QWidget> drain_;
    QString caption_;
    long style_ = 0;

    // Opening: loading_ from RenderFile until EC_FILE_RENDERED is queued; opened_ afterwards
    // when the file was opened.
    bool loading_ = false;
    bool loaded_ = false;  // mpv's file-loaded event came
    bool opened_ = false;
    bool ended_ = false;
    // Observed properties, as their last change events gave them.
    std::optional<double> timePos_, duration_;
    bool seekable_ = false;
    std::optional<bool> hasVideo_;  // unknown until the file's tracks are selected
    int64_t displayWidth_ = 0, displayHeight_ = 0;
    int videoWidth_ = 0, videoHeight_ = 0;
    QRect windowRect_;
    bool windowPlaced_ = false;

    std::deque<GraphEvent> events_;
    KivoWindow* notifyWindow_ = nullptr;
    unsigned notifyMessage_ = 0;
    intptr_t notifyInstance_ = 0;
};

bool MpvGraph::Start() {
    // mpv refuses to start under a numeric locale other than "C".
    std::setlocale(LC_NUMERIC, "C");
    mpv_.reset(mpv_create());
    if (!mpv_)
        return false;
    mpv_handle* mpv = mpv_.get();
    const QByteArray audio = options_.audioOutput.toUtf8();
    const std::pair<const char*, const char*> settings[] = {
        {"config", "no"},
        {"terminal", "no"},
        {"vo", "libmpv"},
        {"pause", "yes"},
        {"idle", "yes"},
        {"keep-open", "no"},
        {"hwdec", "no"},
        {"audio-display", "no"},
        {"osd-level", "0"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        // No script threads: the preview needs none of mpv's built-in scripts.
        {"load-scripts", "no"},
        {"load-stats-overlay", "no"},
        {"load-osd-console", "no"},
        {"load-auto-profiles", "no"},
        {"ytdl", "no"},
        {"sub-auto", "no"},
        {"resume-playback", "no"},
        {"save-position-on-quit", "no"},
    };
    for (const auto& [name, value] : settings)
        mpv_set_option_string(mpv, name, value);
    if (!audio.isEmpty())
        mpv_set_option_string(mpv, "ao", audio.constData());
    if (mpv_initialize(mpv) < 0)
        return false;

    // Everything the graph reports arrives as events, so that reading it never waits for mpv's
    // core. "dwidth" and "dheight" are the picture's size with its pixel aspect applied.
    mpv_observe_property(mpv, 0, "time-pos", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, 0, "duration", MPV_FORMAT_DOUBLE);
    mpv_observe_property(mpv, 0, "seekable", MPV_FORMAT_FLAG);
    mpv_observe_property(mpv, 0, "vid", MPV_FORMAT_STRING);
    mpv_observe_property(mpv, 0, "dwidth", MPV_FORMAT_INT64);
    mpv_observe_property(mpv, 0, "dheight", MPV_FORMAT_INT64);
    mpv_set_wakeup_callback(mpv, &MpvGraph::OnWakeup, target_.get());

    const char* apiType = MPV_RENDER_API_TYPE_SW;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(apiType)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context* render = nullptr;
    if (mpv_render_context_create(&render, mpv, params) < 0)
        return false;
    render_.reset(render);
    mpv_render_context_set_update_callback(render, &MpvGraph::OnFrameUpdate, target_.get());
    return true;
}

void MpvGraph::OnWakeup(void* context) {
    auto* target = static_cast<CallbackTarget*>(context);
    if (target->eventsPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        target,
        [target] {
            target->eventsPending = false;
            target->graph->DrainMpvEvents();
        },
        Qt::QueuedConnection);
}

void MpvGraph::OnFrameUpdate(void* context) {
    auto* target = static_cast<CallbackTarget*>(context);
    if (target->framePending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        target,
        [target] {
            target->framePending = false;
            target->graph->RenderFrame(false);
        },
        Qt::QueuedConnection);
}

RenderState MpvGraph::RenderFile(const QString& path) {
    if (!mpv_ || loading_ || loaded_)
        return RenderState::Failed;
    const QByteArray file = path.toUtf8();
    const char* command[] = {"loadfile", file.constData(), nullptr};
    if (mpv_command_async(mpv_.get(), 0, command) < 0)
        return RenderState::Failed;
    loading_ = true;
    return RenderState::Opening;
}

void MpvGraph::DrainMpvEvents() {
    if (!mpv_)
        return;
    for (;;) {
        const mpv_event* event = mpv_wait_event(mpv_.get(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        HandleMpvEvent(*event);
    }
}

void MpvGraph::HandleMpvEvent(const mpv_event& event) {
    switch (event.event_id) {
        case MPV_EVENT_FILE_LOADED:
            loaded_ = loading_;
            // A picture that never decodes must not hold the opening up: the file then opens
            // without one, and its sound plays.
            if (loaded_) {
                QTimer::singleShot(kFirstFrameWaitMs, target_.get(), [target = target_.get()] {
                    target->graph->FinishOpening(/*withoutPicture=*/true);
                });
            }
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<const mpv_event_end_file*>(event.data);
            ended_ = true;
            if (loading_) {
                loading_ = false;
                QueueEvent(EC_FILE_RENDERED, 0, 0);
            } else if (!opened_) {
                break;
            } else if (end->reason == MPV_END_FILE_REASON_EOF) {
                QueueEvent(EC_COMPLETE, 0, 0);
            } else if (end->reason == MPV_END_FILE_REASON_ERROR) {
                QueueEvent(EC_ERRORABORT, end->error, 0);
            }
            break;
        }
        case MPV_EVENT_PROPERTY_CHANGE:
            HandlePropertyChange(*static_cast<const mpv_event_property*>(event.data));
            break;
        case MPV_EVENT_SHUTDOWN:
            QueueEvent(EC_USERABORT, 0, 0);
            break;
        default:
            break;
    }
    FinishOpening();
}

void MpvGraph::HandlePropertyChange(const mpv_event_property& property) {
    const std::string name = property.name;
    const auto number = [&]() -> std::optional<double> {
        if (property.format == MPV_FORMAT_DOUBLE)
            return *static_cast<const double*>(property.data);
        return std::nullopt;
    };
    const auto integer = [&]() -> int64_t {
        return property.format == MPV_FORMAT_INT64 ? *static_cast<const int64_t*>(property.data)
                                                   : 0;
    };
    if (name == "time-pos") {
        // The player drops the position when the file ends; keeping where play ended means a
        // timer tick just before the end of play arrives never puts the track back to 0.
        if (const auto position = number())
            timePos_ = position;
    } else if (name == "duration") {
        duration_ = number();
    } else if (name == "seekable") {
        seekable_ =
            property.format == MPV_FORMAT_FLAG && *static_cast<const int*>(property.data) != 0;
    } else if (name == "vid") {
        // "auto" until the file's tracks are selected; then a track number or "no".
        const char* value =
            property.format == MPV_FORMAT_STRING ? *static_cast<char* const*>(property.data) : "";
        if (std::strcmp(value, "no") == 0)
            hasVideo_ = false;
        else if (value[0] >= '0' && value[0] <= '9')
            hasVideo_ = true;
    } else if (name == "dwidth" || name == "dheight") {
        (name == "dwidth" ? displayWidth_ : displayHeight_) = integer();
        if (displayWidth_ > 0 && displayHeight_ > 0) {
            videoWidth_ = int(displayWidth_);
            videoHeight_ = int(displayHeight_);
            if (!windowPlaced_)
                windowRect_ = QRect(0, 0, videoWidth_, videoHeight_);
            ShowSurface();
        }
    }
}

// The opening is over once mpv has loaded the file and, for a file with a picture, decoded the
// first frame (the container does not always tell the picture's size). Duration and
// seekability are known by then.
void MpvGraph::FinishOpening(bool withoutPicture) {
    if (!loading_ || !loaded_)
        return;
    if (!withoutPicture && (!hasVideo_ || (*hasVideo_ && videoWidth_ <= 0)))
        return;
    loading_ = false;
    opened_ = true;
    QueueEvent(EC_FILE_RENDERED, 1, 0);
}

void MpvGraph::QueueEvent(long code, intptr_t param1, intptr_t param2) {
    events_.push_back({code, param1, param2});
    if (notifyWindow_)
        platform::PostMessage(notifyWindow_, notifyMessage_, 0, notifyInstance_);
}

// Ends playback while drawing what mpv's video output still hands over: it waits for each frame
// to be drawn, and would hold up freeing the renderer if this thread just blocked.
void MpvGraph::UnloadFile() {
    if (!mpv_ || !render_)
        return;
    if (!loaded_ || ended_)
        return;
    loading_ = false;
    const char* stop[] = {"stop", nullptr};
    if (mpv_command_async(mpv_.get(), 0, stop) < 0)
        return;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
        RenderFrame(false);
        const mpv_event* event = mpv_wait_event(mpv_.get(), 0.005);
        if (event->event_id == MPV_EVENT_END_FILE || event->event_id == MPV_EVENT_IDLE)
            break;
    }
}

bool MpvGraph::SetPaused(bool paused) {
    if (!mpv_)
        return false;
    // Asynchronous, like every request the user interface thread makes while the file plays:
    // mpv's video output may be waiting for this thread to draw a frame.
    int flag = paused ? 1 : 0;
    return mpv_set_property_async(mpv_.get(), 0, "pause", MPV_FORMAT_FLAG, &flag) >= 0;
}

// ---- Video window ----

bool MpvGraph::SetOwner(QWidget* owner) {
    if (surface_ && surface_->parentWidget() == owner)
        return true;
    delete surface_.data();
    if (!owner)
        return true;
    surface_ = new VideoSurface(owner);
    surface_->setWindowTitle(caption_);
    surface_->onResize = [this] { RenderFrame(true); };
    surface_->hide();
    ShowSurface();
    return true;
}

void MpvGraph::ShowSurface() {
    if (!surface_ || videoWidth_ <= 0)
        return;
    surface_->setGeometry(windowRect_);
    surface_->setAttribute(Qt::WA_TransparentForMouseEvents,
                           drain_ && drain_ == surface_->parentWidget());
    surface_->show();
    surface_->raise();
    RenderFrame(true);
}

bool MpvGraph::SetCaption(const QString& caption) {
    caption_ = caption;
    if (surface_)
        surface_->setWindowTitle(caption);
    return true;
}

bool MpvGraph::SetWindowStyle(long style) {
    style_ = style;
    return true;
}

bool MpvGraph::GetWindowPosition(int& left, int& top, int& width, int& height) {
    if (videoWidth_ <= 0)
        return false;  // no picture, no video window
    left = windowRect_.x();
    top = windowRect_.y();
    width = windowRect_.width();
    height = windowRect_.height();
    return true;
}

bool MpvGraph::SetWindowPosition(int left, int top, int width, int height) {
    if (videoWidth_ <= 0 || width < 0 || height < 0)
        return false;
    windowRect_ = QRect(left, top, width, height);
    windowPlaced_ = true;
    if (surface_)
        surface_->setGeometry(windowRect_);
    return true;
}

bool MpvGraph::SetMessageDrain(QWidget* drain) {
    drain_ = drain;
    // Input over the picture goes to the pane under it when that pane is the drain.
    if (surface_) {
        surface_->setAttribute(Qt::WA_TransparentForMouseEvents,
                               drain && drain == surface_->parentWidget());
    }
    return true;
}

void MpvGraph::RenderFrame(bool force) {
    if (!render_)
        return;
    const uint64_t flags = mpv_render_context_update(render_.get());
    if (!(flags & MPV_RENDER_UPDATE_FRAME) && !force)
        return;
    // A frame nobody shows is still taken, so that mpv's video output never waits for it.
    const bool shown =
        surface_ && surface_->isVisibleTo(surface_->parentWidget()) && !surface_->size().isEmpty();
    if (!shown && !(flags & MPV_RENDER_UPDATE_FRAME))
        return;
    QImage scratch;
    QImage& frame = shown ? surface_->frame : scratch;
    const QSize size = shown ? surface_->size() : QSize(16, 16);
    if (frame.size() != size)
        frame = QImage(size, QImage::Format_RGB32);
    int renderSize[2] = {size.width(), size.height()};
    size_t stride = size_t(frame.bytesPerLine());
    int blockForTargetTime = 0;
    const char* format = "bgr0";  // the byte order of Format_RGB32 in memory
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, renderSize},
        {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>(format)},
        {MPV_RENDER_PARAM_SW_STRIDE, &stride},
        {MPV_RENDER_PARAM_SW_POINTER, frame.bits()},
        // Never sleep on the user interface thread until the frame's display time.
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &blockForTargetTime},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_render(render_.get(), params) >= 0 && shown)
        surface_->update();
}

// ---- Events ----

bool MpvGraph::SetNotifyWindow(KivoWindow* window, unsigned message, intptr_t instance) {
    notifyWindow_ = window;
    notifyMessage_ = message;
    notifyInstance_ = instance;
    if (notifyWindow_ && !events_.empty())
        platform::PostMessage(notifyWindow_, notifyMessage_, 0, notifyInstance_);
    return true;
}

// Answers at once whatever the timeout: waiting here would hold up mpv's video output, which
// may be waiting for this thread to draw a frame.
bool MpvGraph::GetEvent(long& code, intptr_t& param1, intptr_t& param2, int) {
    DrainMpvEvents();
    if (events_.empty())
        return false;
    const GraphEvent event = events_.front();
    events_.pop_front();
    code = event.code;
    param1 = event.param1;
    param2 = event.param2;
    return true;
}

// ---- Seeking ----

bool MpvGraph::GetCapabilities(unsigned& capabilities) {
    DrainMpvEvents();
    if (!opened_)
        return false;
    capabilities = AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetDuration;
    if (seekable_) {
        capabilities |=
            AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards;
    }
    return true;
}

bool MpvGraph::GetDuration(ReferenceTime& duration) {
    DrainMpvEvents();
    if (!duration_ || !std::isfinite(*duration_) || *duration_ < 0)
        return false;
    duration = std::llround(*duration_ * kReferenceTimePerSecond);
    return true;
}

bool MpvGraph::GetCurrentPosition(ReferenceTime& position) {
    DrainMpvEvents();
    if (!timePos_ || !std::isfinite(*timePos_))
        return false;
    position = std::llround(std::max(*timePos_, 0.0) * kReferenceTimePerSecond);
    return true;
}

bool MpvGraph::SetPositions(ReferenceTime* current, unsigned currentFlags, ReferenceTime*,
                            unsigned) {
    if (!opened_ || !current || (currentFlags & 3) != AM_SEEKING_AbsolutePositioning) {
        return false;
    }
    const QByteArray seconds =
        QByteArray::number(double(*current) / kReferenceTimePerSecond, 'f', 3);
    const char* how =
        (currentFlags & AM_SEEKING_SeekToKeyFrame) ? "absolute+keyframes" : "absolute+exact";
    const char* command[] = {"seek", seconds.constData(), how, nullptr};
    return mpv_command_async(mpv_.get(), 0, command) >= 0;
}

}  // namespace

std::shared_ptr<IGraphBuilder> CreateMpvGraph(const MpvGraphOptions& options) {
    auto graph = std::make_shared<MpvGraph>(options);
    if (!graph->Start())
        return nullptr;
    return graph;
}

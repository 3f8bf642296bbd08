// The preview's media graph on libmpv, on generated clips, headless and silent.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "Clips.h"
#include "platform/WindowMessages.h"
#include "preview/MediaGraph.h"
#include "preview/MpvGraph.h"

namespace {

using clips::PumpUntil;

constexpr unsigned kNotify = 33756;

// Collects the window messages posted to it.
class MessageSink : public QObject {
public:
    std::vector<unsigned> messages;

protected:
    bool event(QEvent* event) override {
        if (event->type() == platform::WindowMessageEvent::EventType()) {
            messages.push_back(static_cast<platform::WindowMessageEvent*>(event)->msg);
            return true;
        }
        return QObject::event(event);
    }
};

std::shared_ptr<IGraphBuilder> SilentGraph() {
    return CreateMpvGraph({QStringLiteral("null")});
}

struct Opened {
    std::shared_ptr<IGraphBuilder> graph;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<IVideoWindow> window;
    std::shared_ptr<IMediaEventEx> events;
    std::shared_ptr<IMediaSeeking> seeking;
};

Opened Open(const QString& path) {
    Opened o;
    o.graph = SilentGraph();
    if (!o.graph)
        return o;
    o.control = o.graph->QueryMediaControl();
    o.window = o.graph->QueryVideoWindow();
    o.events = o.graph->QueryMediaEvent();
    o.seeking = o.graph->QueryMediaSeeking();
    return o;
}

ReferenceTime Position(IMediaSeeking& seeking) {
    ReferenceTime position = -1;
    seeking.GetCurrentPosition(position);
    return position;
}

TEST(MpvGraph, RenderFileReportsPictureSizeAndDuration) {
    struct Case {
        const char* name;
        double seconds;
        int width, height;
    } cases[] = {{"a.mp4", 2, 320, 240}, {"b.mp4", 3, 640, 272}, {"short.mp4", 0.6, 160, 120}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Opened o = Open(clips::Video(c.name, c.seconds, c.width, c.height));
        ASSERT_TRUE(o.graph);
        ASSERT_TRUE(clips::Render(*o.control, *o.events,
                                  clips::Video(c.name, c.seconds, c.width, c.height)));
        int left = -1, top = -1, width = 0, height = 0;
        ASSERT_TRUE(o.window->GetWindowPosition(left, top, width, height));
        EXPECT_EQ(QRect(left, top, width, height), QRect(0, 0, c.width, c.height));
        unsigned capabilities = 0;
        EXPECT_TRUE(o.seeking->GetCapabilities(capabilities));
        EXPECT_TRUE(capabilities & AM_SEEKING_CanSeekAbsolute);
        EXPECT_TRUE(o.seeking->SetTimeFormat(TimeFormat::MediaTime));
        ReferenceTime duration = 0;
        ASSERT_TRUE(o.seeking->GetDuration(duration));
        EXPECT_NEAR(double(duration) / kReferenceTimePerSecond, c.seconds, 0.15);
    }
}

TEST(MpvGraph, SoundWithoutPictureHasNoVideoWindow) {
    QWidget pane;
    pane.resize(283, 205);
    Opened o = Open(clips::AudioOnly("tone.m4a", 1));
    ASSERT_TRUE(clips::Render(*o.control, *o.events, clips::AudioOnly("tone.m4a", 1)));
    o.window->SetOwner(&pane);
    int left, top, width, height;
    EXPECT_FALSE(o.window->GetWindowPosition(left, top, width, height));
    EXPECT_TRUE(o.control->Run());
    QCoreApplication::processEvents();
    for (QWidget* child : pane.findChildren<QWidget*>())
        EXPECT_FALSE(child->isVisibleTo(&pane));
}

TEST(MpvGraph, UnreadableOrMissingFileFailsToRender) {
    for (const QString& path : {clips::Unreadable(), QStringLiteral("/nonexistent/clip.avi")}) {
        SCOPED_TRACE(path.toStdString());
        Opened o = Open(path);
        ASSERT_TRUE(o.graph);
        // Opening is a request: the outcome comes later, and the graph never runs the file.
        EXPECT_EQ(o.control->RenderFile(path), RenderState::Opening);
        EXPECT_FALSE(o.control->Run());
        long code = 0;
        intptr_t param1 = -1, param2 = 0;
        ASSERT_TRUE(PumpUntil([&] { return o.events->GetEvent(code, param1, param2, 0); }, 60000));
        EXPECT_EQ(code, EC_FILE_RENDERED);
        EXPECT_EQ(param1, 0);
        EXPECT_FALSE(o.control->Run());
        unsigned capabilities = 0;
        EXPECT_FALSE(o.seeking->GetCapabilities(capabilities));
    }
}

TEST(MpvGraph, PlaysSeeksAndDrawsIntoTheOwner) {
    QWidget pane;
    pane.resize(283, 205);
    pane.setAutoFillBackground(true);
    pane.setPalette(QPalette(QColor(128, 0, 0)));
    const QString path = clips::Video("long.mp4", 6, 320, 240);
    Opened o = Open(path);
    ASSERT_TRUE(clips::Render(*o.control, *o.events, path));
    o.window->SetOwner(&pane);
    ASSERT_TRUE(o.window->SetWindowPosition(5, 0, 273, 205));
    o.window->SetMessageDrain(&pane);
    ASSERT_TRUE(o.control->Run());

    ASSERT_TRUE(
        PumpUntil([&] { return Position(*o.seeking) >= kReferenceTimePerSecond / 2; }, 30000))
        << "position stayed at " << Position(*o.seeking);

    // The picture covers the placed rectangle and leaves the pane's colour around it.
    const QImage shot = pane.grab().toImage();
    EXPECT_EQ(shot.pixelColor(2, 100), QColor(128, 0, 0));
    EXPECT_NE(shot.pixelColor(140, 100), QColor(128, 0, 0));
    EXPECT_NE(shot.pixelColor(140, 100), QColor(0, 0, 0));

    ReferenceTime target = 4 * kReferenceTimePerSecond;
    ASSERT_TRUE(o.seeking->SetPositions(&target,
                                        AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame,
                                        nullptr, AM_SEEKING_NoPositioning));
    EXPECT_TRUE(PumpUntil(
        [&] { return std::llabs(Position(*o.seeking) - target) < kReferenceTimePerSecond; }, 30000))
        << "position " << Position(*o.seeking);

    // Play runs to the end; the position then stays where play ended instead of reading 0.
    bool complete = false;
    ASSERT_TRUE(PumpUntil(
        [&] {
            long code = 0;
            intptr_t p1 = 0, p2 = 0;
            while (o.events->GetEvent(code, p1, p2, 0)) {
                o.events->FreeEventParams(code, p1, p2);
                complete = complete || code == EC_COMPLETE;
            }
            return complete;
        },
        60000));
    EXPECT_GE(Position(*o.seeking), 3 * kReferenceTimePerSecond);
}

TEST(MpvGraph, EndOfFileArrivesAsNotifyMessageAndCompleteEvent) {
    MessageSink sink;
    platform::WindowHandle handle(&sink);
    const QString path = clips::Video("short.mp4", 0.6, 160, 120);
    Opened o = Open(path);
    ASSERT_TRUE(clips::Render(*o.control, *o.events, path));
    o.events->SetNotifyWindow(handle.Handle(), kNotify, 0);
    ASSERT_TRUE(o.control->Run());
    ASSERT_TRUE(PumpUntil([&] { return !sink.messages.empty(); }, 60000));
    EXPECT_EQ(sink.messages.front(), kNotify);
    long code = 0;
    intptr_t p1 = 0, p2 = 0;
    ASSERT_TRUE(o.events->GetEvent(code, p1, p2, 0));
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_TRUE(o.events->FreeEventParams(code, p1, p2));
    EXPECT_FALSE(o.events->GetEvent(code, p1, p2, 0));
}

}  // namespace

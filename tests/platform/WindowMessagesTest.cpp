#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <thread>
#include <vector>

#include "platform/WindowMessages.h"

namespace {

class Recorder : public QObject {
public:
    std::vector<unsigned> received;
    Qt::HANDLE thread = nullptr;

protected:
    bool event(QEvent* e) override {
        if (e->type() == platform::WindowMessageEvent::EventType()) {
            received.push_back(static_cast<platform::WindowMessageEvent*>(e)->msg);
            thread = QThread::currentThreadId();
            return true;
        }
        return QObject::event(e);
    }
};

}  // namespace

TEST(WindowMessages, PostsFromAnyThreadArriveInOrderOnTheTargetsThread) {
    Recorder target;
    platform::WindowHandle handle(&target);
    std::thread engine([&] {
        for (unsigned i = 0; i < 100; ++i)
            platform::PostMessage(handle.Handle(), 1000 + i, i, 0);
    });
    engine.join();
    QCoreApplication::processEvents();
    ASSERT_EQ(target.received.size(), 100u);
    for (unsigned i = 0; i < 100; ++i)
        EXPECT_EQ(target.received[i], 1000 + i);
    EXPECT_EQ(target.thread, QThread::currentThreadId());
}

TEST(WindowMessages, ADetachedHandleDeliversNothing) {
    Recorder target;
    platform::WindowHandle handle(&target);
    handle.Detach();
    platform::PostMessage(handle.Handle(), 1212, 0, 0);
    platform::PostMessage(nullptr, 1212, 0, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(target.received.empty());
}

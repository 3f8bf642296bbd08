// The repeat of a held control: its timer exists only while held, keeps its first interval, and
// may be stopped from inside its own tick (a handler that disables the control ends the hold).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "skin/RepeatTimer.h"
#include "support/WaitUntil.h"

TEST(RepeatTimer, LivesOnlyWhileHeldAndKeepsItsFirstInterval) {
    QObject owner;
    const auto timers = [&owner] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return owner.findChildren<QTimer*>();
    };
    int ticks = 0;
    RepeatTimer* self = nullptr;
    RepeatTimer repeat(&owner, [&] {
        if (++ticks == 1)
            self->Stop();
    });
    self = &repeat;
    repeat.Start(200);
    repeat.Start(5);  // already running: interval and rhythm stay
    ASSERT_EQ(timers().size(), 1);
    EXPECT_EQ(timers().front()->interval(), 200);
    repeat.Stop();
    EXPECT_TRUE(timers().isEmpty());

    repeat.Start(-30);  // a negative interval counts as 0
    EXPECT_EQ(timers().front()->interval(), 0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !repeat.Running(); }));
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(timers().isEmpty());
}

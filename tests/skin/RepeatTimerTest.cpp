// The repeat of a held control: its timer exists only while held, keeps its first interval, and
// may be stopped from inside its own tick.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "skin/RepeatTimer.h"
#include "support/WaitUntil.h"

namespace {

int TimersOf(QObject& owner) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(owner.findChildren<QTimer*>().size());
}

}  // namespace

TEST(RepeatTimer, LivesOnlyWhileHeldAndKeepsItsFirstInterval) {
    QObject owner;
    int ticks = 0;
    RepeatTimer repeat(&owner, [&] { ++ticks; });
    EXPECT_EQ(TimersOf(owner), 0);
    repeat.Start(200);
    repeat.Start(5);  // already running: interval and rhythm stay
    ASSERT_EQ(TimersOf(owner), 1);
    EXPECT_EQ(owner.findChild<QTimer*>()->interval(), 200);
    repeat.Stop();
    EXPECT_FALSE(repeat.Running());
    EXPECT_EQ(TimersOf(owner), 0);
    repeat.Start(-30);  // a negative interval counts as 0
    EXPECT_EQ(owner.findChild<QTimer*>()->interval(), 0);

    repeat.Stop();

    // A tick that ends the hold (its handler disables the control) drops the timer safely.
    RepeatTimer* self = nullptr;
    RepeatTimer stopping(&owner, [&] {
        ++ticks;
        self->Stop();
    });
    self = &stopping;
    stopping.Start(0);
    ASSERT_TRUE(testsupport::WaitUntil([&] { return !stopping.Running(); }));
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(TimersOf(owner), 0);
}

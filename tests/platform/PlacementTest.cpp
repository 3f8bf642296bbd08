// Where a window opens on the screen's available area.
#include <gtest/gtest.h>

#include "platform/core/Placement.h"

TEST(Placement, CentredButNeverBeyondTheAvailableAreasTopLeft) {
    const struct {
        QRect available;
        QSize window;
        QPoint at;
    } cases[] = {
        {{0, 0, 1280, 1024}, {786, 624}, {247, 200}},
        {{0, 32, 1280, 992}, {786, 624}, {247, 216}},      // a panel along the top
        {{0, 0, 683, 384}, {786, 624}, {0, 0}},            // 1366x768 at a 2x scale
        {{64, 0, 700, 700}, {786, 624}, {64, 38}},         // a panel along the left, narrower
        {{1280, 0, 1920, 1080}, {656, 479}, {1912, 300}},  // the second screen
    };
    for (const auto& c : cases)
        EXPECT_EQ(CentredWithin(c.available, c.window), c.at)
            << c.available.x() << "," << c.available.width();
}

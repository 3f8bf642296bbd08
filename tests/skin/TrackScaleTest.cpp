// The track's arithmetic at the ends of the integer range, where a sum or a product in 32 bits
// would wrap; the ordinary values are guarded through the track bar itself (BarsTest).
#include <gtest/gtest.h>

#include <Qt>
#include <climits>

#include "skin/TrackScale.h"

TEST(TrackScale, WholeIntegerRangeNeverWraps) {
    EXPECT_EQ(ThumbOffset(INT_MAX, INT_MIN, INT_MAX, 265), 265);
    EXPECT_EQ(ThumbOffset(0, INT_MIN, INT_MAX, 265), 132);
    EXPECT_EQ(ThumbOffset(7, 7, 7, 265), 0);
    EXPECT_EQ(ValueAtPoint(270, 11, 276, INT_MIN, INT_MAX), INT_MAX);
    EXPECT_EQ(ValueAtPoint(-9, 11, 276, INT_MIN, INT_MAX), INT_MIN);
    EXPECT_EQ(ValueAtPoint(100, 276, 276, 5, 9), 5);  // a thumb as long as the track
    EXPECT_EQ(RepeatTowards(INT_MAX - 1, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(RepeatTowards(INT_MIN + 1, INT_MIN, INT_MAX), INT_MIN);
    EXPECT_EQ(PageTowards(INT_MAX, INT_MAX, true, INT_MAX), INT_MAX);
    EXPECT_EQ(PageTowards(INT_MIN, INT_MIN, false, INT_MAX), INT_MIN);

    struct Case {
        int key, position, expected;
    } keys[] = {{Qt::Key_PageDown, INT_MAX - 1, INT_MAX},
                {Qt::Key_PageUp, INT_MIN + 1, INT_MIN},
                {Qt::Key_Right, INT_MAX, INT_MAX},
                {Qt::Key_Up, INT_MIN, INT_MIN}};
    for (const Case& c : keys) {
        int target = 0;
        ASSERT_TRUE(KeyTarget(c.key, c.position, INT_MAX, INT_MAX, INT_MIN, INT_MAX, target));
        EXPECT_EQ(target, c.expected) << c.key;
    }
    int untouched = 42;
    EXPECT_FALSE(KeyTarget(Qt::Key_A, 0, 1, 1, 0, 10, untouched));
    EXPECT_EQ(untouched, 42);
}

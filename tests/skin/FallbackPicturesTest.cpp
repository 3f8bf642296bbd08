// A look with no pictures still gives every control a picture of the size its frames promise:
// a push-button frame of 74 x 21, as the button's auto size expects.
#include <gtest/gtest.h>

#include "skin/FallbackPictures.h"

TEST(FallbackPictures, StandInsAreCutLikeTheLookStrips) {
    const UIStyle none = static_cast<UIStyle>(9);
    struct Case {
        int entry, frame, frames;
        QSize size;
    } cases[] = {{LookEntry::ButtonStrip, 3, 3, {74, 21}},
                 {LookEntry::CheckBoxStrip, 4, 4, {13, 13}},
                 {LookEntry::ScrollButtons, 6, 6, {15, 15}},
                 {LookEntry::ScrollThumb, 2, 3, {5, 15}},
                 {LookEntry::TrackSlider, 0, 0, {11, 20}},
                 {LookEntry::TrackSliderVertical, 0, 0, {20, 11}}};
    for (const Case& c : cases)
        EXPECT_EQ(LookPicture(none, c.entry, c.frame, c.frames).size(), c.size) << c.entry;
    EXPECT_TRUE(LookPicture(none, LookEntry::BorderColor).isNull());
    // A look that has its pictures gives them, not the stand-in.
    QImage own;
    ASSERT_TRUE(GetInsideThemeBitmap(UIStyle::WinXP, LookEntry::ButtonStrip, own, 2, 3));
    EXPECT_EQ(LookPicture(UIStyle::WinXP, LookEntry::ButtonStrip, 2, 3), own);
}

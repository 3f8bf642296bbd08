// The captioned push-button: the focus look of each look and the disabled caption.
#include <gtest/gtest.h>

#include <QTest>

#include "SkinTestSupport.h"
#include "skin/SkinButton.h"

namespace {

QImage Shot(QWidget* w) {
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int Differences(const QImage& a, const QImage& b, QRect area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

int CountColour(const QImage& image, QRgb color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == color;
    }
    return count;
}

}  // namespace

TEST(SkinButton, FocusShowsARectangleOrABoldCaptionByLook) {
    struct Case {
        UIStyle look;
        bool rectangle;
        bool transparent;
    } cases[] = {
        {UIStyle::WinXP, true, false},     {UIStyle::DeepBlue, true, false},
        {UIStyle::Protein, true, false},   {UIStyle::MacOS, false, true},
        {UIStyle::BlueGlass, false, true},
    };
    for (const Case& c : cases) {
        QWidget window;
        window.resize(200, 100);
        SkinButton other(&window);
        SkinButton button(&window);
        button.move(0, 40);
        button.SetUIStyle(c.look);
        button.SetCaption(QStringLiteral("Close"));
        EXPECT_EQ(button.size(), QSize(80, 27));
        EXPECT_EQ(button.Transparent(), c.transparent) << int(c.look);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        other.setFocus();
        const QImage plain = Shot(&button);
        button.setFocus();
        ASSERT_TRUE(button.hasFocus());
        const QImage focused = Shot(&button);

        // The focus rectangle runs 2 pixels inside the edge.
        const QRect ring(2, 2, 76, 1);
        const int ringChanges =
            Differences(plain, focused, ring) + Differences(plain, focused, QRect(2, 2, 1, 23));
        const int captionChanges = Differences(plain, focused, QRect(10, 6, 60, 15));
        if (c.rectangle) {
            EXPECT_GT(ringChanges, 10) << int(c.look);
        } else {
            EXPECT_EQ(ringChanges, 0) << int(c.look);
            EXPECT_GT(captionChanges, 0) << int(c.look);  // bold caption
        }
    }
}

TEST(SkinButton, DisabledCaptionIsEmbossed) {
    for (UIStyle look : {UIStyle::WinXP, UIStyle::MacOS}) {
        QWidget window;
        SkinButton button(&window);
        button.SetUIStyle(look);
        button.SetCaption(QStringLiteral("Close"));
        QFont big = button.font();
        big.setPixelSize(16);
        big.setBold(true);
        button.setFont(big);
        window.show();
        const QImage enabled = Shot(&button);
        button.setEnabled(false);
        const QImage disabled = Shot(&button);
        // Only the caption changes: white one pixel down-right under grey 128.
        QImage changed(disabled.size(), QImage::Format_RGB32);
        changed.fill(0);
        for (int y = 0; y < disabled.height(); ++y) {
            for (int x = 0; x < disabled.width(); ++x) {
                if (enabled.pixel(x, y) != disabled.pixel(x, y)) {
                    changed.setPixel(x, y, disabled.pixel(x, y));
                }
            }
        }
        EXPECT_GT(CountColour(changed, qRgb(128, 128, 128)), 10) << int(look);
        EXPECT_GT(CountColour(changed, qRgb(255, 255, 255)), 5) << int(look);
    }
}

TEST(SkinButton, PressedCaptionShiftsOnePixel) {
    QWidget window;
    SkinButton button(&window);
    button.SetUIStyle(UIStyle::WinXP);
    button.SetCaption(QStringLiteral("I"));
    window.show();
    skintest::Press(&button, QPoint(5, 5));
    EXPECT_TRUE(button.Pressed());
    skintest::Release(&button, QPoint(5, 5));
    EXPECT_FALSE(button.Pressed());
}

TEST(SkinButton, FromThemeFileLooksExactlyLikeDeepBlue) {
    QWidget window;
    SkinButton theme(&window), deep(&window);
    theme.SetUIStyle(UIStyle::FromThemeFile);
    deep.SetUIStyle(UIStyle::DeepBlue);
    deep.move(0, 40);
    for (SkinButton* b : {&theme, &deep})
        b->SetCaption(QStringLiteral("Close"));
    window.show();
    EXPECT_EQ(Shot(&theme), Shot(&deep));
    skintest::Enter(&theme);
    skintest::Enter(&deep);
    EXPECT_EQ(Shot(&theme), Shot(&deep));
}

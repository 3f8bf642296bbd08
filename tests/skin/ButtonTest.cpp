// The push-button core and the picture button: states, repeat while held, keys, dialog keys,
// modal result, state pictures and their key colour.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "SkinTestSupport.h"
#include "skin/Drawing.h"
#include "skin/ImageButton.h"

using namespace skintest;

namespace {

QImage Solid(QRgb color, QSize size = QSize(30, 20)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QRgb CentrePixel(QWidget* w) {
    return w->grab().toImage().pixel(Centre(w));
}

struct Counts {
    int clicks = 0, repeats = 0, enters = 0, exits = 0;
};

void Count(CustomSkinButton& button, Counts& counts) {
    button.OnClick = [&counts](QObject*) { ++counts.clicks; };
    button.OnMouseContinuouslyDown = [&counts](QObject*) { ++counts.repeats; };
    button.OnMouseEnter = [&counts](QObject*) { ++counts.enters; };
    button.OnMouseExit = [&counts](QObject*) { ++counts.exits; };
}

}  // namespace

TEST(CustomSkinButton, HeldButtonRepeatsAndClicksOnceOnRelease) {
    QWidget window;
    ImageButton button(&window);
    button.SetPicNormal(Solid(qRgb(10, 20, 30)));
    window.show();
    Counts counts;
    Count(button, counts);

    QElapsedTimer held;
    held.start();
    Press(&button, Centre(&button));
    EXPECT_TRUE(button.Pressed());
    ASSERT_TRUE(WaitUntil([&] { return counts.repeats >= 3; }));
    const qint64 elapsed = held.elapsed();
    Release(&button, Centre(&button));
    // One repeat per interval, never sooner; a busy machine may only make them later.
    EXPECT_EQ(counts.repeats, 3);
    EXPECT_GE(elapsed, 3 * button.MouseContinuouslyDownInterval() - 5);
    EXPECT_EQ(counts.clicks, 1);
    EXPECT_FALSE(button.Pressed());
    QTest::qWait(150);  // the timer has gone with the release
    EXPECT_LE(counts.repeats, 3);

    // A quick click fires the click only.
    counts = Counts{};
    Press(&button, Centre(&button));
    Release(&button, Centre(&button));
    EXPECT_EQ(counts.clicks, 1);
    EXPECT_EQ(counts.repeats, 0);
}

TEST(CustomSkinButton, ReleaseOutsideOrDraggedOffGivesNoClick) {
    QWidget window;
    ImageButton button(&window);
    button.SetPicNormal(Solid(qRgb(10, 20, 30)));
    window.show();
    Counts counts;
    Count(button, counts);

    Press(&button, Centre(&button));
    Release(&button, QPoint(-5, -5));
    EXPECT_EQ(counts.clicks, 0);

    Press(&button, Centre(&button));
    MoveHeld(&button, QPoint(button.width() + 10, 3));
    EXPECT_FALSE(button.Pressed());
    QTest::qWait(150);
    EXPECT_EQ(counts.repeats, 0);  // no repeat once dragged off
    Release(&button, QPoint(button.width() + 10, 3));
    EXPECT_EQ(counts.clicks, 0);

    // Dragged off and back on while still held: the release clicks.
    Press(&button, Centre(&button));
    MoveHeld(&button, QPoint(-8, 3));
    MoveHeld(&button, Centre(&button));
    EXPECT_TRUE(button.Pressed());
    Release(&button, Centre(&button));
    EXPECT_EQ(counts.clicks, 1);
    counts.clicks = 0;

    // A double click is two ordinary presses: two clicks.
    Press(&button, Centre(&button));
    Release(&button, Centre(&button));
    Mouse(&button, QEvent::MouseButtonDblClick, Centre(&button));
    Release(&button, Centre(&button));
    EXPECT_EQ(counts.clicks, 2);
    // Other buttons fire only their mouse events.
    Press(&button, Centre(&button), Qt::RightButton);
    Release(&button, Centre(&button), Qt::RightButton);
    EXPECT_EQ(counts.clicks, 2);
}

TEST(CustomSkinButton, EnterLeaveAndKeys) {
    QWidget window;
    ImageButton button(&window);
    button.SetPicNormal(Solid(qRgb(10, 20, 30)));
    window.show();
    Counts counts;
    Count(button, counts);

    Enter(&button);
    EXPECT_TRUE(button.MouseOn());
    Press(&button, Centre(&button));
    Leave(&button);
    EXPECT_FALSE(button.MouseOn());
    EXPECT_FALSE(button.Pressed());
    EXPECT_EQ(counts.enters, 1);
    EXPECT_EQ(counts.exits, 1);

    struct KeyCase {
        Qt::Key key;
        int clicks;
    } keys[] = {{Qt::Key_Space, 1}, {Qt::Key_Return, 1}, {Qt::Key_Enter, 1}, {Qt::Key_A, 0}};
    for (const KeyCase& k : keys) {
        counts.clicks = 0;
        QTest::keyPress(&button, k.key);
        EXPECT_EQ(button.Pressed(), k.clicks == 1) << k.key;
        QTest::keyRelease(&button, k.key);
        EXPECT_EQ(counts.clicks, k.clicks) << k.key;
        EXPECT_FALSE(button.Pressed());
    }
    button.setEnabled(false);
    counts.clicks = 0;
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(counts.clicks, 0);
}

TEST(CustomSkinButton, DialogKeysClickDefaultAndCancel) {
    QWidget window;
    QLineEdit edit(&window);
    ImageButton ok(&window), cancel(&window), other(&window);
    ok.SetDefault(true);
    cancel.SetCancel(true);
    window.show();
    Counts okCounts, cancelCounts, otherCounts;
    Count(ok, okCounts);
    Count(cancel, cancelCounts);
    Count(other, otherCounts);

    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int ok, cancel;
    } cases[] = {
        {Qt::Key_Return, Qt::NoModifier, 1, 0},    {Qt::Key_Escape, Qt::NoModifier, 0, 1},
        {Qt::Key_Return, Qt::ShiftModifier, 0, 0}, {Qt::Key_Escape, Qt::ControlModifier, 0, 0},
        {Qt::Key_Enter, Qt::KeypadModifier, 1, 0},
    };
    for (const Case& c : cases) {
        okCounts = cancelCounts = Counts{};
        QTest::keyClick(&edit, c.key, c.mods);
        EXPECT_EQ(okCounts.clicks, c.ok) << c.key << " " << c.mods;
        EXPECT_EQ(cancelCounts.clicks, c.cancel) << c.key << " " << c.mods;
    }
    EXPECT_EQ(otherCounts.clicks, 0);
}

TEST(CustomSkinButton, ClickHandsModalResultToTheWindow) {
    QWidget window;
    ImageButton button(&window);
    button.SetModalResult(2);
    int clicks = 0;
    button.OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, &button);
        EXPECT_EQ(window.property("ModalResult").toInt(), 2);
        ++clicks;
    };
    button.Click();
    EXPECT_EQ(clicks, 1);
}

TEST(ImageButton, StatePicturesFallBackToNormal) {
    const QRgb normal = qRgb(200, 0, 0), over = qRgb(0, 200, 0), down = qRgb(0, 0, 200),
               disabled = qRgb(90, 90, 90);
    struct Case {
        const char* name;
        bool withOthers;
        QRgb over, down, disabled;
    } cases[] = {
        {"only normal", false, normal, normal, normal},
        {"all four", true, over, down, disabled},
    };
    for (const Case& c : cases) {
        QWidget window;
        ImageButton button(&window);
        button.SetAutoSize(true);
        button.SetPicNormal(Solid(normal));
        if (c.withOthers) {
            button.SetPicMouseOn(Solid(over));
            button.SetPicMouseDown(Solid(down));
            button.SetPicDisabled(Solid(disabled));
        }
        window.show();
        EXPECT_EQ(button.size(), QSize(30, 20)) << c.name;
        EXPECT_EQ(CentrePixel(&button), normal) << c.name;
        Enter(&button);
        EXPECT_EQ(CentrePixel(&button), c.over) << c.name;
        Press(&button, Centre(&button));
        EXPECT_EQ(CentrePixel(&button), c.down) << c.name;
        Release(&button, Centre(&button));
        EXPECT_EQ(CentrePixel(&button), c.over) << c.name;
        button.setEnabled(false);
        EXPECT_EQ(CentrePixel(&button), c.disabled) << c.name;
    }
}

TEST(ImageButton, TransparentPictureKeysOutItsTopLeftColour) {
    QWidget window;
    window.resize(100, 100);
    window.setAutoFillBackground(true);
    QPalette colors = window.palette();
    colors.setColor(QPalette::Window, QColor(0, 0, 255));
    window.setPalette(colors);
    ImageButton button(&window);
    QImage picture = Solid(qRgb(0, 255, 0), QSize(20, 20));  // the key colour all round...
    for (int y = 5; y < 15; ++y) {
        for (int x = 5; x < 15; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));  // ...of a face
    }
    button.SetAutoSize(true);
    button.SetPicNormal(picture);
    window.show();

    button.SetTransparent(true);
    QImage shown = button.grab().toImage();
    EXPECT_EQ(shown.pixel(1, 1), qRgb(0, 0, 255));  // the window shows through
    EXPECT_EQ(shown.pixel(10, 10), qRgb(255, 0, 0));
    button.SetTransparent(false);
    shown = button.grab().toImage();
    EXPECT_EQ(shown.pixel(1, 1), qRgb(0, 255, 0));

    // Stretch fills the whole button with the picture.
    button.SetAutoSize(false);
    button.resize(40, 40);
    button.SetStretch(true);
    shown = button.grab().toImage();
    EXPECT_EQ(shown.pixel(20, 20), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(38, 38), qRgb(0, 255, 0));
}

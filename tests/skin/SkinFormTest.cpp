// The skinned window frame: its shape from the bitmap, its size, painting and dragging.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <vector>

#include "skin/Drawing.h"
#include "skin/SkinForm.h"

namespace {

constexpr QRgb kFace = 0xFF3060A0;

// The row-run rule written out pixel by pixel: a pixel belongs to the shape when it is not
// key colour and not in the last column.
bool Expected(const QImage& bitmap, QRgb key, int x, int y) {
    return x < bitmap.width() - 1 && (bitmap.pixel(x, y) | 0xFF000000u) != (key | 0xFF000000u);
}

void ExpectShape(const QRegion& region, const QImage& bitmap, QRgb key, const char* name) {
    for (int y = -1; y <= bitmap.height(); ++y) {
        for (int x = -1; x <= bitmap.width(); ++x) {
            const bool inside = x >= 0 && y >= 0 && x < bitmap.width() && y < bitmap.height() &&
                                Expected(bitmap, key, x, y);
            ASSERT_EQ(region.contains(QPoint(x, y)), inside) << name << " at " << x << "," << y;
        }
    }
}

QImage Bitmap(int w, int h, QRgb color = kFace) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QImage RoundedOutline() {
    QImage image = Bitmap(40, 30, clFuchsia);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(kFace));
    p.drawRoundedRect(QRect(0, 0, 40, 30), 8, 8);
    return image;
}

}  // namespace

TEST(SkinForm, ShapeFollowsTheRowRunRule) {
    QImage keyRow = Bitmap(12, 5);
    for (int x = 0; x < 12; ++x)
        keyRow.setPixel(x, 2, clFuchsia);
    QImage holes = Bitmap(9, 3);
    holes.setPixel(3, 1, clFuchsia);
    holes.setPixel(0, 0, clFuchsia);
    holes.setPixel(7, 2, clFuchsia);
    QImage lastColumnOnly = Bitmap(6, 2, clFuchsia);
    lastColumnOnly.setPixel(5, 0, kFace);
    lastColumnOnly.setPixel(5, 1, kFace);

    struct Case {
        const char* name;
        QImage bitmap;
        bool empty;
    } cases[] = {
        {"rounded outline", RoundedOutline(), false},
        {"key row adds nothing", keyRow, false},
        {"single holes", holes, false},
        {"all key colour", Bitmap(10, 4, clFuchsia), true},
        {"opaque last column only", lastColumnOnly, true},
        {"one pixel wide", Bitmap(1, 5), true},
        {"plain", Bitmap(8, 3), false},
    };
    for (const Case& c : cases) {
        const QRegion region = SetBitmapWindow(c.bitmap, clFuchsia);
        EXPECT_EQ(region.isEmpty(), c.empty) << c.name;
        ExpectShape(region, c.bitmap, clFuchsia, c.name);
    }
}

TEST(SkinForm, GlyphSizesTheWindowAndSetsItsShape) {
    QWidget window;
    SkinForm skin(&window);
    EXPECT_EQ(skin.size(), QSize(200, 100));
    EXPECT_EQ(skin.TransparentColor(), QColor(255, 0, 255));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    int changes = 0;
    skin.OnRegionChanged = [&](QObject* sender) {
        EXPECT_EQ(sender, &skin);
        ++changes;
    };

    skin.SetGlyph(QImage());  // nothing to shape
    EXPECT_EQ(changes, 0);

    const QImage bitmap = RoundedOutline();
    skin.SetGlyph(bitmap);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(skin.geometry(), QRect(0, 0, 40, 30));
    EXPECT_EQ(window.size(), QSize(40, 30));
    EXPECT_EQ(window.mask(), skin.WindowRegion());
    ExpectShape(skin.WindowRegion(), bitmap, clFuchsia, "glyph");

    // A new key colour rebuilds the shape with it: the face colour is now cut out instead.
    skin.SetTransparentColor(QColor(kFace));
    EXPECT_EQ(changes, 2);
    ExpectShape(skin.WindowRegion(), bitmap, kFace, "new key");
    EXPECT_FALSE(skin.WindowRegion().contains(QPoint(20, 15)));
    EXPECT_TRUE(skin.WindowRegion().contains(QPoint(0, 0)));

    // All key colour: an empty shape, and a window with nothing visible.
    skin.SetGlyph(Bitmap(40, 30, kFace));
    EXPECT_TRUE(skin.WindowRegion().isEmpty());
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(window.mask().isEmpty());
}

TEST(SkinForm, PaintsTheBitmapThenFiresOnPaint) {
    QWidget window;
    SkinForm skin(&window);
    QImage bitmap = Bitmap(20, 10);
    bitmap.setPixel(4, 4, qRgb(1, 2, 3));
    skin.SetGlyph(bitmap);
    int paints = 0;
    skin.OnPaint = [&](QObject*) { ++paints; };
    const QImage shown = skin.grab().toImage();
    EXPECT_EQ(paints, 1);
    EXPECT_EQ(shown.pixel(4, 4), qRgb(1, 2, 3));
    EXPECT_EQ(shown.pixel(0, 0), kFace);
}

TEST(SkinForm, AnyPressFiresMouseDownThenDragsTheWindow) {
    QWidget window;
    SkinForm skin(&window);
    skin.SetGlyph(Bitmap(120, 80));
    window.move(100, 100);
    window.show();
    std::vector<Qt::MouseButton> downs;
    int moves = 0;
    skin.OnMouseDown = [&](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        EXPECT_EQ(QPoint(x, y), QPoint(10, 10));
        downs.push_back(button);
    };
    skin.OnMouseMove = [&](QObject*, Qt::KeyboardModifiers, int, int) { ++moves; };

    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        const QPoint start = window.pos();
        const QPoint local(10, 10);
        const QPoint global = skin.mapToGlobal(local);
        QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
        QApplication::sendEvent(&skin, &press);
        // The offscreen platform has no system move: the window follows the pointer.
        QMouseEvent move(QEvent::MouseMove, local + QPoint(25, 15), global + QPoint(25, 15),
                         Qt::NoButton, button, Qt::NoModifier);
        QApplication::sendEvent(&skin, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, local + QPoint(25, 15),
                            global + QPoint(25, 15), button, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&skin, &release);
        EXPECT_EQ(window.pos(), start + QPoint(25, 15));
    }
    EXPECT_EQ(downs, (std::vector<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton}));
    EXPECT_EQ(moves, 2);
}

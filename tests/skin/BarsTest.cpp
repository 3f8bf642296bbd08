// The track bar, the progress bar and the scroll bar: the numbers users see and feel.
#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "SkinTestSupport.h"
#include "skin/ImageButton.h"
#include "skin/ImagePanel.h"
#include "skin/SkinProgressBar.h"
#include "skin/SkinScrollBar.h"
#include "skin/SkinTrackBar.h"

using namespace skintest;

namespace {

QImage Thumb(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(40, 40, 40));
    return image;
}

// The position track of the converter window: 276 wide, an 11-pixel thumb, range 0..100.
struct Track {
    QWidget window;
    SkinTrackBar track{&window};
    std::vector<int> changes;
    Track() {
        track.setGeometry(0, 0, 276, 20);
        track.SetSliderImage(Thumb(11, 20));
        track.SetHigh(100);
        window.show();
        track.OnChange = [this](QObject*) { changes.push_back(track.Position()); };
    }
};

}  // namespace

TEST(SkinTrackBar, ThumbPlacementAndPointValues) {
    Track t;
    ASSERT_EQ(t.track.Thumb()->width(), 11);
    struct Case {
        int position, thumbX;
    } places[] = {{0, 0}, {50, 132}, {100, 265}, {1, 2}, {99, 262}};
    for (const Case& c : places) {
        t.track.SetPosition(c.position);
        EXPECT_EQ(t.track.Thumb()->x(), c.thumbX) << c.position;
    }
    struct Point {
        int x, position;
    } points[] = {{138, 50}, {5, 0}, {0, 0}, {-40, 0}, {270, 100}, {400, 100}, {8, 1}};
    for (const Point& p : points) {
        EXPECT_EQ(t.track.PositionFromPoint(p.x, 10), p.position) << p.x;
    }

    // Halves go to the even neighbour: span 20 over 0..10 makes every odd x a half.
    SkinTrackBar halves;
    halves.resize(21, 20);
    halves.SetSliderImage(Thumb(1, 20));
    struct Half {
        int x, position;
    } rows[] = {{1, 0}, {3, 2}, {5, 2}, {7, 4}, {9, 4}, {11, 6}, {4, 2}};
    for (const Half& h : rows)
        EXPECT_EQ(halves.PositionFromPoint(h.x, 0), h.position) << h.x;
}

TEST(SkinTrackBar, DraggingTheThumb) {
    Track t;
    int downs = 0, ups = 0;
    t.track.OnMouseDown = [&](QObject* sender, Qt::MouseButton, Qt::KeyboardModifiers, int x,
                              int y) {
        EXPECT_EQ(sender, &t.track);
        EXPECT_EQ(QPoint(x, y), QPoint(5, 10));  // in the track's coordinates
        ++downs;
    };
    t.track.OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int) {
        EXPECT_EQ(x, 138);
        ++ups;
    };
    QWidget* thumb = t.track.Thumb();
    Press(thumb, QPoint(5, 10));
    EXPECT_TRUE(t.track.Dragging());
    MoveHeld(thumb, QPoint(138, 10));  // the thumb keeps the pointer while dragged
    EXPECT_EQ(t.track.Position(), 50);
    EXPECT_EQ(t.track.Thumb()->x(), 132);
    MoveHeld(thumb, t.track.Thumb()->mapFrom(&t.track, QPoint(138, 10)));
    Release(thumb, t.track.Thumb()->mapFrom(&t.track, QPoint(138, 10)));
    EXPECT_FALSE(t.track.Dragging());
    EXPECT_EQ(t.changes, (std::vector<int>{50}));
    EXPECT_EQ(t.track.LastChange(), 50);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST(SkinTrackBar, PressBesideTheThumbPagesTowardsThePointer) {
    Track t;
    t.track.SetPosition(10);
    t.changes.clear();
    const int x = 40 * 265 / 100 + 5;  // the point that means 40
    ASSERT_EQ(t.track.PositionFromPoint(x, 10), 40);
    Press(&t.track, QPoint(x, 10));
    EXPECT_EQ(t.track.Position(), 12);
    ASSERT_TRUE(WaitUntil([&] { return t.track.Position() == 40; }));
    Release(&t.track, QPoint(x, 10));
    EXPECT_EQ(t.changes, (std::vector<int>{12, 18, 24, 30, 36, 40}));

    // To the left, one page down at once; leaving the track stops the repeat.
    t.changes.clear();
    Press(&t.track, QPoint(3, 10));
    EXPECT_EQ(t.track.Position(), 38);
    MoveHeld(&t.track, QPoint(3, 60));
    QTest::qWait(250);
    Release(&t.track, QPoint(3, 60));
    EXPECT_EQ(t.changes, (std::vector<int>{38}));
}

TEST(SkinTrackBar, KeysAndClamping) {
    Track t;
    t.track.SetPageSize(10);
    t.track.SetLineSize(3);
    struct Case {
        Qt::Key key;
        int start, expected;
    } keys[] = {
        {Qt::Key_End, 20, 100},   {Qt::Key_Home, 20, 0},  {Qt::Key_PageDown, 20, 30},
        {Qt::Key_PageUp, 20, 10}, {Qt::Key_PageUp, 4, 0}, {Qt::Key_Right, 20, 23},
        {Qt::Key_Down, 20, 23},   {Qt::Key_Left, 20, 17}, {Qt::Key_Up, 1, 0},
        {Qt::Key_Right, 99, 100},
    };
    for (const Case& c : keys) {
        t.track.SetPosition(c.start);
        t.changes.clear();
        QTest::keyClick(&t.track, c.key);
        EXPECT_EQ(t.track.Position(), c.expected) << c.key << " from " << c.start;
        EXPECT_EQ(t.changes.size(), 1u) << c.key << " from " << c.start;
    }
    t.track.SetPosition(20);
    t.changes.clear();
    t.track.SetPosition(150);
    EXPECT_EQ(t.track.Position(), 100);
    t.track.SetPosition(100);  // unchanged: no second change
    EXPECT_EQ(t.changes, (std::vector<int>{100}));

    // Range rules.
    t.track.SetHigh(40);
    EXPECT_EQ(t.track.Position(), 40);
    t.track.SetMin(60);  // above the upper end: becomes it and pushes the position up
    EXPECT_EQ(t.track.Min(), 40);
    EXPECT_EQ(t.track.Position(), 40);
    t.track.SetHigh(10);
    EXPECT_EQ(t.track.High(), 40);
    t.track.SetMin(0);
    t.track.SetPageSize(41);  // outside 0..High: refused
    EXPECT_EQ(t.track.PageSize(), 10);
    t.track.SetPageSize(-1);
    EXPECT_EQ(t.track.PageSize(), 10);
    t.track.SetLineSize(40);
    EXPECT_EQ(t.track.LineSize(), 40);
}

TEST(SkinTrackBar, BarBitmapIsPaintedUnderTheThumb) {
    Track t;
    t.track.SetPosition(100);  // thumb out of the way at the right
    QImage& bar = t.track.BarBitmap();
    ASSERT_FALSE(bar.isNull());
    EXPECT_EQ(bar.width(), 276);
    bar.fill(qRgb(0, 0, 255));
    const QImage shown = t.track.grab().toImage();
    EXPECT_EQ(shown.pixel(100, t.track.height() / 2), qRgb(0, 0, 255));
    // A rebuild (a new size) draws a fresh strip.
    t.track.resize(200, t.track.height());
    EXPECT_EQ(t.track.BarBitmap().width(), 200);
}

TEST(SkinProgressBar, CaptionAndFill) {
    const QRgb fill = qRgb(200, 0, 0), empty = qRgb(230, 230, 230);
    struct Case {
        int min, high, position;
        const char* caption;
        int fillWidth;
    } cases[] = {
        {0, 100, 0, "0%", 0},       {0, 100, 150, "150%", 149}, {0, 100, 37, "37%", 55},
        {0, 100, 100, "100%", 149}, {0, 0, 5, "0%", 149},       {10, 20, 15, "50%", 74},
        {0, 100, -5, "-5%", 0},
    };
    for (const Case& c : cases) {
        SkinProgressBar bar;
        EXPECT_EQ(bar.Caption(), "50%");
        EXPECT_EQ(bar.size(), QSize(150, 12));
        bar.SetPicture([&] {
            QImage p(4, 4, QImage::Format_RGB32);
            p.fill(fill);
            return p;
        }());
        bar.SetColor(QColor(empty));
        bar.SetShowCaption(false);
        bar.SetMin(c.min);
        bar.SetHigh(c.high);
        bar.SetPosition(c.position);
        EXPECT_EQ(bar.Caption(), QString::fromLatin1(c.caption)) << c.position;
        if (c.high > c.min) {
            EXPECT_EQ(bar.FillWidth(), c.fillWidth) << c.position;
        }
        const QImage shown = bar.grab().toImage();
        const int painted = std::max(1, bar.FillWidth());
        EXPECT_EQ(shown.pixel(1, 6), fill) << c.position;  // at least one pixel is filled
        EXPECT_EQ(shown.pixel(std::min(painted, 148), 6), fill) << c.position;
        if (painted < 148) {
            EXPECT_EQ(shown.pixel(painted + 1, 6), empty) << c.position;
        }
        EXPECT_EQ(shown.pixel(0, 6), bar.BorderColor().rgb());
        EXPECT_EQ(shown.pixel(149, 6), bar.BorderColor().rgb());
    }
    SkinProgressBar steps;
    steps.SetPosition(0);
    steps.StepIt();
    steps.StepBy(4);
    EXPECT_EQ(steps.Position(), 5);
    EXPECT_EQ(steps.Caption(), "5%");
}

TEST(SkinScrollBar, ThumbLengthFollowsPageSizeOrLineButton) {
    QWidget window;
    SkinScrollBar bar(&window);
    bar.SetOrientation(Qt::Vertical);
    window.show();
    const int buttons = bar.DecrementButton()->height() + bar.IncrementButton()->height();
    bar.resize(bar.width(), 150 + buttons + 1);
    ASSERT_EQ(bar.Track()->height(), 150);
    EXPECT_EQ(bar.width(), bar.DecrementButton()->width());
    EXPECT_EQ(bar.IncrementButton()->y(), bar.height() - bar.IncrementButton()->height());
    struct Case {
        int pageSize, lineButton, length;
    } cases[] = {{10, 0, 15},  {5, 0, 15},   {20, 0, 30}, {100, 0, 150},
                 {200, 0, 15}, {10, 12, 18}, {10, 40, 40}};
    for (const Case& c : cases) {
        bar.SetLineButton(c.lineButton);
        bar.SetPageSize(c.pageSize);
        EXPECT_EQ(bar.ThumbLength(), c.length) << c.pageSize << " " << c.lineButton;
        EXPECT_EQ(bar.Track()->Thumb()->height(), c.length) << c.pageSize << " " << c.lineButton;
    }
}

TEST(SkinScrollBar, ArrowsStepWhileHeld) {
    QWidget window;
    SkinScrollBar bar(&window);
    bar.SetOrientation(Qt::Vertical);
    bar.resize(bar.width(), 185);
    bar.SetHigh(50);
    window.show();
    int changes = 0;
    bar.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &bar);
        ++changes;
    };
    ImageButton* inc = bar.IncrementButton();
    ImageButton* dec = bar.DecrementButton();
    EXPECT_EQ(inc->MouseContinuouslyDownInterval(), 100);
    EXPECT_FALSE(inc->TabStop());

    Press(inc, Centre(inc));
    ASSERT_TRUE(WaitUntil([&] { return bar.Position() >= 2; }));
    Release(inc, Centre(inc));
    EXPECT_GE(bar.Position(), 2);
    EXPECT_LE(bar.Position(), 3);
    const int held = bar.Position();

    // A quick click moves one step.
    Press(dec, Centre(dec));
    Release(dec, Centre(dec));
    EXPECT_EQ(bar.Position(), held - 1);

    bar.SetSmallChange(10);
    bar.SetPosition(45);
    Press(inc, Centre(inc));
    Release(inc, Centre(inc));
    EXPECT_EQ(bar.Position(), 50);  // never past the end
    const int before = changes;
    bar.SetPosition(50);
    EXPECT_EQ(changes, before);
}

TEST(SkinTrackBar, VerticalTrackUsesTheOtherAxis) {
    QWidget window;
    SkinTrackBar track(&window);
    track.SetOrientation(Qt::Vertical);
    track.setGeometry(0, 0, 20, 276);
    window.show();
    track.SetSliderImage(QImage(20, 11, QImage::Format_RGB32));
    track.SetHigh(100);
    track.SetPosition(50);
    EXPECT_EQ(track.Thumb()->y(), 132);
    EXPECT_EQ(track.PositionFromPoint(0, 138), 50);
    ASSERT_FALSE(track.BarBitmap().isNull());
    EXPECT_EQ(track.BarBitmap().height(), 276);
    QTest::keyClick(&track, Qt::Key_Down);
    EXPECT_EQ(track.Position(), 51);
}

TEST(SkinProgressBar, VerticalFillsFromTheBottomWithoutCaption) {
    SkinProgressBar bar;
    bar.SetOrientation(Qt::Vertical);
    bar.resize(12, 101);
    QImage red(10, 4, QImage::Format_RGB32);
    red.fill(qRgb(200, 0, 0));
    bar.SetPicture(red);
    bar.SetColor(QColor(230, 230, 230));
    bar.SetPosition(50);
    const QImage shown = bar.grab().toImage();
    EXPECT_EQ(shown.pixel(6, 95), qRgb(200, 0, 0));
    EXPECT_EQ(shown.pixel(6, 52), qRgb(200, 0, 0));
    EXPECT_EQ(shown.pixel(6, 45), qRgb(230, 230, 230));
    EXPECT_EQ(shown.pixel(6, 5), qRgb(230, 230, 230));
}

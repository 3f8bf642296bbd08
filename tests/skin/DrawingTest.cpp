// The look table and the drawing rules every skinned control shares.
#include <gtest/gtest.h>

#include <QPainter>
#include <QWidget>

#include "skin/Drawing.h"
#include "skin/Looks.h"

namespace {

constexpr QRgb kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

QImage Filled(int w, int h, QRgb color) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QImage Canvas(int w, int h) {
    return Filled(w, h, kWhite);
}

}  // namespace

TEST(Looks, TableEntriesByLook) {
    struct Row {
        UIStyle look;
        int entry;
        QRgb color;
    } rows[] = {
        {UIStyle::MacOS, LookEntry::ComboButtonFace, qRgb(231, 231, 231)},
        {UIStyle::WinXP, LookEntry::ComboButtonFace, qRgb(239, 235, 222)},
        {UIStyle::Protein, LookEntry::ComboButtonFace, qRgb(251, 251, 251)},
        {UIStyle::MacOS, LookEntry::BorderColor, qRgb(127, 127, 127)},
        {UIStyle::WinXP, LookEntry::BorderColor, qRgb(104, 104, 104)},
        {UIStyle::BlueGlass, LookEntry::BorderColor, qRgb(0, 0, 0)},
        {UIStyle::DeepBlue, LookEntry::ProgressEmpty, qRgb(232, 232, 232)},
        {UIStyle::WinXP, LookEntry::GroupCaptionColor, qRgb(2, 70, 207)},
        {UIStyle::MacOS, LookEntry::ScrollBackground, qRgb(201, 201, 201)},
        {UIStyle::BlueGlass, LookEntry::ScrollBackground, qRgb(244, 244, 244)},
    };
    for (const Row& row : rows) {
        const auto color = GetInsideThemeColor(row.look, row.entry);
        ASSERT_TRUE(color.has_value()) << int(row.look) << " " << row.entry;
        EXPECT_EQ(color->rgb(), row.color) << int(row.look) << " " << row.entry;
    }
    EXPECT_EQ(GetInsideThemeBool(UIStyle::MacOS, LookEntry::ButtonTransparent), true);
    EXPECT_EQ(GetInsideThemeBool(UIStyle::BlueGlass, LookEntry::ButtonTransparent), true);
    EXPECT_EQ(GetInsideThemeBool(UIStyle::WinXP, LookEntry::ButtonTransparent), false);
    EXPECT_FALSE(GetInsideThemeColor(UIStyle::WinXP, LookEntry::ButtonStrip).has_value());
    EXPECT_EQ(ThemeBitmapName(UIStyle::BlueGlass, LookEntry::TrackSliderVertical),
              "BLUEGLASS_TRACKBAR_SLIDER_V");
    EXPECT_EQ(ThemeBitmapName(UIStyle::WinXP, LookEntry::ScrollThumb), "WINXP_SCROLLBAR_TRACK");
}

TEST(Looks, OutsideOneToFiveGivesNothingAndThemeFileDrawsAsDeepBlue) {
    for (int value : {0, 6, -1}) {
        const auto look = static_cast<UIStyle>(value);
        QImage target = Filled(2, 2, kRed);
        EXPECT_FALSE(GetInsideThemeBitmap(look, LookEntry::ButtonStrip, target));
        EXPECT_EQ(target.pixel(0, 0), kRed);  // untouched
        EXPECT_FALSE(GetInsideThemeColor(look, LookEntry::BorderColor).has_value());
        EXPECT_FALSE(GetInsideThemeBool(look, LookEntry::ButtonTransparent).has_value());
        EXPECT_TRUE(ThemeBitmapName(look, LookEntry::ButtonStrip).isEmpty());
    }
    EXPECT_EQ(EffectiveLook(UIStyle::FromThemeFile), UIStyle::DeepBlue);
    EXPECT_EQ(EffectiveLook(UIStyle::Protein), UIStyle::Protein);
}

TEST(Drawing, SpitBitmapCutsEqualFrames) {
    QImage strip(31, 4, QImage::Format_ARGB32);  // 3 frames of 10; the spare column is unused
    const QRgb colors[] = {kRed, kGreen, kBlue, kWhite};
    for (int x = 0; x < 31; ++x) {
        for (int y = 0; y < 4; ++y)
            strip.setPixel(x, y, colors[std::min(x / 10, 3)]);
    }
    for (int frame = 1; frame <= 3; ++frame) {
        const QImage piece = SpitBitmap(strip, 3, frame);
        EXPECT_EQ(piece.size(), QSize(10, 4));
        EXPECT_EQ(piece.pixel(0, 0), colors[frame - 1]);
        EXPECT_EQ(piece.pixel(9, 3), colors[frame - 1]);
    }
}

TEST(Drawing, RoundPictureTurnsCounterClockwise) {
    QImage picture(3, 2, QImage::Format_ARGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            picture.setPixel(x, y, qRgb(x * 10, y * 10, 7));
    }
    const QImage turned = RoundPicture(picture);
    ASSERT_EQ(turned.size(), QSize(2, 3));
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(turned.pixel(y, 3 - 1 - x), picture.pixel(x, y));
    }
}

TEST(Drawing, SpitDrawHorizontalKeepsEndsAndStretchesMiddle) {
    QImage bar(9, 4, QImage::Format_ARGB32);
    for (int x = 0; x < 9; ++x) {
        for (int y = 0; y < 4; ++y)
            bar.setPixel(x, y, x < 3 ? kRed : x < 6 ? kGreen : kBlue);
    }
    bar.setPixel(0, 0, clFuchsia);  // a rounded end: the key colour is not drawn
    QImage canvas = Canvas(20, 4);
    {
        QPainter p(&canvas);
        SpitDrawHorizontal(bar, p, QRect(0, 0, 20, 4));
    }
    EXPECT_EQ(canvas.pixel(0, 0), kWhite);
    EXPECT_EQ(canvas.pixel(1, 0), kRed);
    EXPECT_EQ(canvas.pixel(2, 3), kRed);
    for (int x = 3; x < 17; ++x)
        EXPECT_EQ(canvas.pixel(x, 2), kGreen) << x;
    EXPECT_EQ(canvas.pixel(17, 1), kBlue);
    EXPECT_EQ(canvas.pixel(19, 3), kBlue);
}

TEST(Drawing, SpitDrawNinePartsWithAndWithoutKeyColour) {
    // 5 x 5: four 2 x 2 corners of their own colours, the middle row and column grey.
    const QRgb tl = kRed, tr = kGreen, bl = kBlue, br = qRgb(255, 255, 0), mid = qRgb(90, 90, 90);
    QImage picture(5, 5, QImage::Format_ARGB32);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            QRgb c = mid;
            if (x < 2 && y < 2)
                c = tl;
            if (x > 2 && y < 2)
                c = tr;
            if (x < 2 && y > 2)
                c = bl;
            if (x > 2 && y > 2)
                c = br;
            picture.setPixel(x, y, c);
        }
    }
    picture.setPixel(0, 0, clFuchsia);
    for (bool transparent : {false, true}) {
        QImage canvas = Canvas(12, 9);
        {
            QPainter p(&canvas);
            SpitDraw(picture, p, QRect(0, 0, 12, 9), transparent);
        }
        EXPECT_EQ(canvas.pixel(0, 0), transparent ? kWhite : clFuchsia);
        EXPECT_EQ(canvas.pixel(1, 1), tl);
        EXPECT_EQ(canvas.pixel(10, 0), tr);
        EXPECT_EQ(canvas.pixel(11, 1), tr);
        EXPECT_EQ(canvas.pixel(0, 8), bl);
        EXPECT_EQ(canvas.pixel(11, 8), br);
        for (int x = 2; x < 10; ++x)
            EXPECT_EQ(canvas.pixel(x, 0), mid) << x;  // top edge
        for (int y = 2; y < 7; ++y)
            EXPECT_EQ(canvas.pixel(0, y), mid) << y;  // left edge
        EXPECT_EQ(canvas.pixel(6, 4), mid);           // centre
    }
}

TEST(Drawing, SpitDrawLimitsCornersToHalfTheTarget) {
    const QImage picture = Filled(20, 20, kRed);
    QImage canvas = Canvas(6, 4);
    {
        QPainter p(&canvas);
        SpitDraw(picture, p, QRect(0, 0, 6, 4), false);
    }
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(canvas.pixel(x, y), kRed);
    }
}

TEST(Drawing, WithKeyColorClearsOnlyTheKey) {
    QImage picture = Filled(3, 1, kRed);
    picture.setPixel(1, 0, clFuchsia);
    const QImage keyed = WithKeyColor(picture, clFuchsia);
    EXPECT_EQ(qAlpha(keyed.pixel(1, 0)), 0);
    EXPECT_EQ(keyed.pixel(0, 0), kRed);
    EXPECT_EQ(keyed.pixel(2, 0), kRed);
}

TEST(Drawing, DoTransShowsParentAndLowerSiblingsUnderTheControl) {
    QWidget parent;
    parent.resize(100, 60);
    parent.setAutoFillBackground(true);
    QPalette colors = parent.palette();
    colors.setColor(QPalette::Window, QColor(kBlue));
    parent.setPalette(colors);
    QWidget below(&parent);  // like the window bitmap under a transparent button
    below.setGeometry(0, 0, 50, 60);
    below.setAutoFillBackground(true);
    colors.setColor(QPalette::Window, QColor(kGreen));
    below.setPalette(colors);
    QWidget control(&parent);
    control.setGeometry(40, 10, 20, 20);
    QWidget above(&parent);  // later siblings lie above the control and are not painted
    above.setGeometry(40, 10, 20, 20);
    above.setAutoFillBackground(true);
    colors.setColor(QPalette::Window, QColor(kRed));
    above.setPalette(colors);

    QImage canvas = Canvas(20, 20);
    {
        QPainter p(&canvas);
        DoTrans(p, &control);
    }
    EXPECT_EQ(canvas.pixel(0, 0), kGreen);   // x 40 in the parent: the lower sibling
    EXPECT_EQ(canvas.pixel(9, 19), kGreen);  // x 49
    EXPECT_EQ(canvas.pixel(10, 0), kBlue);   // x 50: the parent's own background
    EXPECT_EQ(canvas.pixel(19, 19), kBlue);
}

TEST(Looks, EveryLookHasItsPicturesWithTheirFrameCounts) {
    struct Entry {
        int entry, frames;
    } entries[] = {
        {LookEntry::ButtonStrip, 3},   {LookEntry::CheckBoxStrip, 4},
        {LookEntry::ProgressFill, 1},  {LookEntry::TrackBar, 3},
        {LookEntry::TrackSlider, 1},   {LookEntry::TrackSliderVertical, 1},
        {LookEntry::ScrollButtons, 6}, {LookEntry::ScrollThumb, 3},
    };
    for (int value = 1; value <= 5; ++value) {
        const auto look = static_cast<UIStyle>(value);
        for (const Entry& e : entries) {
            QImage whole;
            ASSERT_TRUE(GetInsideThemeBitmap(look, e.entry, whole)) << value << " " << e.entry;
            EXPECT_EQ(whole.width() % e.frames, 0) << value << " " << e.entry;
            QImage last;
            ASSERT_TRUE(GetInsideThemeBitmap(look, e.entry, last, e.frames, e.frames));
            EXPECT_EQ(last.size(), QSize(whole.width() / e.frames, whole.height()));
            EXPECT_EQ(last, SpitBitmap(whole, e.frames, e.frames));
        }
        // The thumbs lie on the key colour, which their bottom-left pixel gives.
        QImage thumb;
        GetInsideThemeBitmap(look, LookEntry::TrackSlider, thumb);
        EXPECT_EQ(thumb.size(), QSize(11, 20));
        EXPECT_EQ(thumb.pixel(0, thumb.height() - 1), clFuchsia);
    }
    EXPECT_FALSE(LoadLookResource("MACOS_COMBOBOX_BUTTON").isNull());
    EXPECT_FALSE(LoadLookResource("WINXP_COMBOBOX_BUTTON").isNull());
    QImage none;
    EXPECT_FALSE(GetInsideThemeBitmap(UIStyle::MacOS, LookEntry::ButtonStrip, none, 4, 3));
}

// The skin the windows are dressed in: window bitmaps with their sizes and fuchsia outside the
// shape, and three pictures per image button at the size of the window's layout.
#include <gtest/gtest.h>

#include <QList>

#include "skin/Artwork.h"
#include "app/LauncherFamilies.h"
#include "app/TChooseMain.h"
#include "skin/ImageButton.h"

namespace {

const QRgb kFuchsia = 0xFF00FF;

QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

struct ButtonCase {
    const char* window;
    const char* name;
    int width, height;
    bool transparent;
};

// The image buttons of the launcher and the converter window as their layouts give them.
const ButtonCase kButtons[] = {
    {"launcher", "Btn3GP", 122, 66, true},
    {"launcher", "BtnPSP", 122, 66, true},
    {"launcher", "BtnIPOD", 122, 66, true},
    {"launcher", "BtnPDA", 122, 66, true},
    {"launcher", "BtnMP4", 122, 66, true},
    {"launcher", "BtnAbout", 63, 22, true},
    {"launcher", "BtnHome", 63, 22, true},
    {"launcher", "BtnEmail", 63, 22, true},
    {"launcher", "BtnHelp", 63, 22, true},
    {"launcher", "BtnMinimize", 12, 9, true},
    {"launcher", "BtnClose", 11, 12, true},
    {"converter", "BtnMinimize", 28, 15, false},
    {"converter", "BtnClose", 28, 15, false},
    {"converter", "BtnPlayPause", 57, 60, true},
    {"converter", "BtnStop", 32, 32, true},
    {"converter", "BtnSetStartPoint", 32, 32, true},
    {"converter", "BtnSetEndPoint", 33, 33, true},
    {"converter", "FileAdd", 60, 45, true},
    {"converter", "FileRemove", 60, 45, true},
    {"converter", "CustomProfileButton", 60, 23, true},
    {"converter", "BtnBrows", 60, 23, true},
    {"converter", "Run", 134, 130, false},
    {"converter", "Stop", 134, 130, false},
};

}  // namespace

TEST(Artwork, WindowBitmapsHaveTheirSizeAndFuchsiaOutsideTheShape) {
    const struct {
        const char* window;
        QSize size;
        QPoint inside;  // a point of the title area
    } cases[] = {{"launcher", {648, 452}, {200, 20}},
                 {"converter", {778, 597}, {32 + 150, 8 + 6}},
                 {"profile", {483, 314}, {240, 12}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        const QImage bitmap = Artwork::WindowBitmap(c.window);
        ASSERT_EQ(bitmap.size(), c.size);
        const int right = c.size.width() - 1, bottom = c.size.height() - 1;
        // Rounded corners: the corner pixels are cut away.
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)}) {
            EXPECT_EQ(Pixel(bitmap, corner.x(), corner.y()), kFuchsia)
                << corner.x() << "," << corner.y();
        }
        // The last column never belongs to the window; the picture keeps it key-coloured.
        int opaqueInLastColumn = 0;
        for (int y = 0; y < c.size.height(); ++y)
            opaqueInLastColumn += Pixel(bitmap, right, y) != kFuchsia;
        EXPECT_EQ(opaqueInLastColumn, 0);
        EXPECT_NE(Pixel(bitmap, c.inside.x(), c.inside.y()), kFuchsia);
        EXPECT_NE(Pixel(bitmap, c.size.width() / 3, c.size.height() / 2), kFuchsia);
    }
}

TEST(Artwork, EveryImageButtonHasFourDistinctPicturesOfItsLayoutSize) {
    for (const ButtonCase& c : kButtons) {
        SCOPED_TRACE(std::string(c.window) + "/" + c.name);
        const QSize size(c.width, c.height);
        const ButtonPictures p = Artwork::Button(c.window, c.name, size);
        for (const QImage* picture : {&p.normal, &p.mouseOn, &p.mouseDown, &p.disabled}) {
            ASSERT_FALSE(picture->isNull());
            EXPECT_EQ(picture->size(), size);
            // Transparent buttons take their key colour from the top-left pixel.
            if (c.transparent) {
                EXPECT_EQ(Pixel(*picture, 0, 0), kFuchsia);
            }
            EXPECT_NE(Pixel(*picture, c.width / 2, c.height / 2), kFuchsia);
        }
        EXPECT_NE(p.normal, p.mouseOn);
        EXPECT_NE(p.normal, p.mouseDown);
        EXPECT_NE(p.mouseOn, p.mouseDown);
        // The disabled picture is the normal one dimmed: grey, lighter on average, and cut to
        // the same shape.
        long long normalLight = 0, disabledLight = 0;
        int coloured = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                const QRgb n = Pixel(p.normal, x, y), d = Pixel(p.disabled, x, y);
                EXPECT_EQ(n == kFuchsia, d == kFuchsia) << x << "," << y;
                if (d == kFuchsia)
                    continue;
                coloured += qRed(d) != qGreen(d) || qGreen(d) != qBlue(d);
                normalLight += qGray(n);
                disabledLight += qGray(d);
            }
        }
        EXPECT_EQ(coloured, 0);
        EXPECT_GT(disabledLight, normalLight);
    }
}

// A disabled image button shows its disabled picture; enabled again, its normal one.
TEST(Artwork, DisabledButtonsShowTheirDimmedPicture) {
    TChooseMain launcher;
    for (ImageButton* button : launcher.findChildren<ImageButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_FALSE(button->PicDisabled().isNull());
        EXPECT_TRUE(button->DrawFocused());
        button->setEnabled(false);
        EXPECT_EQ(button->grab().toImage().pixel(button->width() / 2, button->height() / 2),
                  button->PicDisabled().pixel(button->width() / 2, button->height() / 2));
        button->setEnabled(true);
        EXPECT_EQ(button->grab().toImage().pixel(button->width() / 2, button->height() / 2),
                  button->PicNormal().pixel(button->width() / 2, button->height() / 2));
    }
}

// The header's family chips: one rounded chip per family the launcher offers, which are the
// families whose buttons it shows.
TEST(Artwork, TheLaunchersHeaderNamesOnlyTheFamiliesItOffers) {
    TChooseMain launcher;
    const std::pair<ImageButton*, DeviceType> buttons[] = {{launcher.Btn3GP, Dev3GP},
                                                           {launcher.BtnPSP, DevPSP},
                                                           {launcher.BtnIPOD, DevIPOD},
                                                           {launcher.BtnPDA, DevPDA},
                                                           {launcher.BtnMP4, DevMP4}};
    int offered = 0;
    for (const auto& [button, device] : buttons) {
        bool listed = false;
        for (const LauncherFamily& family : kLauncherFamilies)
            listed = listed || family.device == device;
        EXPECT_EQ(!button->isHidden(), listed) << button->objectName().toStdString();
        offered += listed;
    }
    EXPECT_EQ(offered, 3);

    // The chips' top edges are light lines on the dark banner along row 142; count them.
    const QImage bitmap = Artwork::WindowBitmap("launcher");
    int chips = 0;
    bool inChip = false;
    for (int x = 150; x < 460; ++x) {
        const bool light = qGray(bitmap.pixel(x, 142)) > 120;
        chips += light && !inChip;
        inChip = light;
    }
    EXPECT_EQ(chips, 3);
}

TEST(Artwork, LauncherButtonsSizeThemselvesToTheirPictures) {
    TChooseMain launcher;
    int checked = 0;
    for (const ButtonCase& c : kButtons) {
        if (QString(c.window) != "launcher")
            continue;
        auto* button = launcher.findChild<ImageButton*>(c.name);
        ASSERT_NE(button, nullptr) << c.name;
        EXPECT_EQ(button->size(), QSize(c.width, c.height)) << c.name;
        ++checked;
    }
    EXPECT_EQ(checked, 11);
}

TEST(Artwork, ListWatermarkFillsTheList) {
    const QImage watermark = Artwork::ListWatermark(QSize(435, 297));
    ASSERT_EQ(watermark.size(), QSize(435, 297));
    EXPECT_EQ(Pixel(watermark, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Artwork::ListWatermark(QSize(200, 100)).size(), QSize(200, 100));

    // The line "Press Add ..." (darker than the family names) is on the empty list's watermark
    // only.
    const auto hintPixels = [](const QImage& image) {
        int dark = 0;
        for (int y = 128; y < 168; ++y) {
            for (int x = 0; x < image.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 225;
        }
        return dark;
    };
    EXPECT_GT(hintPixels(watermark), 100);
    const QImage rows = Artwork::ListWatermark(QSize(435, 297), false);
    ASSERT_EQ(rows.size(), QSize(435, 297));
    EXPECT_EQ(hintPixels(rows), 0);
}

// The picture panel, the group box and the link label.
#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "platform/Shell.h"
#include "skin/ImagePanel.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinGroupBox.h"
#include "skin/UrlLabel.h"

using namespace skintest;

namespace {

QImage Quad() {  // 2 x 2: red, green / blue, white
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    return image;
}

}  // namespace

TEST(ImagePanel, DrawStylesAndColour) {
    const QRgb fill = qRgb(12, 34, 56);
    struct Case {
        DrawStyle style;
        QPoint at;
        QRgb expected;
    } cases[] = {
        {DrawStyle::Normal, {0, 0}, qRgb(255, 0, 0)},
        {DrawStyle::Normal, {1, 1}, qRgb(255, 255, 255)},
        {DrawStyle::Normal, {5, 5}, fill},
        {DrawStyle::Tile, {4, 2}, qRgb(255, 0, 0)},
        {DrawStyle::Tile, {5, 7}, qRgb(255, 255, 255)},
        {DrawStyle::Stretch, {1, 1}, qRgb(255, 0, 0)},
        {DrawStyle::Stretch, {9, 9}, qRgb(255, 255, 255)},
    };
    for (const Case& c : cases) {
        ImagePanel panel;
        panel.resize(10, 10);
        panel.SetColor(QColor(fill));
        panel.SetPicture(Quad());
        panel.SetDrawStyle(c.style);
        const QImage shown = panel.grab().toImage();
        EXPECT_EQ(shown.pixel(c.at), c.expected) << int(c.style) << " " << c.at.x();
    }
    ImagePanel empty;
    empty.resize(4, 4);
    empty.SetColor(QColor(fill));
    EXPECT_EQ(empty.grab().toImage().pixel(2, 2), fill);
}

TEST(ImagePanel, AutoSizeCaptionAndClick) {
    QWidget window;
    ImagePanel panel(&window);
    panel.SetAutoSize(true);
    panel.SetPicture(Quad().scaled(30, 12));
    EXPECT_EQ(panel.size(), QSize(30, 12));
    int clicks = 0, resizes = 0;
    panel.OnClick = [&](QObject*) { ++clicks; };
    panel.OnResize = [&](QObject*) { ++resizes; };
    window.show();
    Press(&panel, QPoint(3, 3));
    Release(&panel, QPoint(3, 3));
    Press(&panel, QPoint(3, 3));
    Release(&panel, QPoint(300, 3));
    EXPECT_EQ(clicks, 1);
    panel.resize(50, 20);
    EXPECT_GE(resizes, 1);

    ImagePanel text;
    text.resize(120, 20);
    text.SetColor(Qt::white);
    text.SetCaption(QStringLiteral("IIIIII"));
    int leftmost[3];
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    for (int i = 0; i < 3; ++i) {
        text.SetAlignment(alignments[i]);
        const QImage shown = text.grab().toImage().convertToFormat(QImage::Format_RGB32);
        leftmost[i] = -1;
        for (int x = 0; x < 120 && leftmost[i] < 0; ++x) {
            for (int y = 0; y < 20; ++y) {
                if (shown.pixel(x, y) != qRgb(255, 255, 255)) {
                    leftmost[i] = x;
                    break;
                }
            }
        }
    }
    EXPECT_GE(leftmost[0], 0);
    EXPECT_LT(leftmost[0], leftmost[1]);
    EXPECT_LT(leftmost[1], leftmost[2]);
}

TEST(SkinGroupBox, LookReachesChildrenAndSetsColours) {
    QWidget window;
    SkinGroupBox group(&window);
    SkinComboBox combo(&group);
    SkinCheckBox check(&group);
    EXPECT_EQ(group.Caption(), " ");
    EXPECT_EQ(group.size(), QSize(185, 105));
    group.SetUIStyle(UIStyle::WinXP);
    EXPECT_EQ(combo.GetUIStyle(), UIStyle::WinXP);
    EXPECT_EQ(check.GetUIStyle(), UIStyle::WinXP);
    EXPECT_EQ(group.BorderColor().rgb(), qRgb(104, 104, 104));
    EXPECT_EQ(group.CaptionColor().rgb(), qRgb(2, 70, 207));
    group.SetBorderColor(QColor(127, 127, 127));  // a layout's value overrides the look
    EXPECT_EQ(group.BorderColor().rgb(), qRgb(127, 127, 127));
}

TEST(SkinGroupBox, FrameIsOpenWhereTheCaptionStands) {
    SkinGroupBox group;
    group.resize(200, 60);
    group.SetColor(Qt::white);
    group.SetBorderColor(QColor(255, 0, 0));
    group.SetCaption(QStringLiteral("Output Settings"));
    const QImage shown = group.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int y = QFontMetrics(group.font()).height() / 2 + 1;
    const int captionEnd = QFontMetrics(group.font()).horizontalAdvance("Output Settings") + 6;
    const QRgb red = qRgb(255, 0, 0);
    EXPECT_EQ(shown.pixel(0, y), red);
    EXPECT_EQ(shown.pixel(1, y), red);
    EXPECT_EQ(shown.pixel(0, 40), red);
    EXPECT_EQ(shown.pixel(100, 59), red);
    EXPECT_EQ(shown.pixel(199, 30), red);
    EXPECT_EQ(shown.pixel(captionEnd + 2, y), red);
    EXPECT_NE(shown.pixel(captionEnd - 10, y), red);  // open under the caption
}

TEST(UrlLabel, HoverColoursAndClickOpensTheAddress) {
    std::vector<QString> opened;
    platform::SetShellOpenHandler([&](const QString& target) { opened.push_back(target); });
    QWidget window;
    UrlLabel label(&window);
    label.SetCaption(QStringLiteral("WebSite: example.org"));
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(label.FontColor().rgb(), qRgb(0, 0, 255));
    Enter(&label);
    EXPECT_EQ(label.FontColor().rgb(), qRgb(255, 0, 0));
    Leave(&label);
    EXPECT_EQ(label.FontColor().rgb(), qRgb(0, 0, 255));
    label.SetFontLinkColor(QColor(0, 128, 0));
    EXPECT_EQ(label.FontColor().rgb(), qRgb(0, 128, 0));

    int clicks = 0;
    label.OnClick = [&](QObject*) { ++clicks; };
    struct Case {
        const char* url;
        int opens;
    } cases[] = {{"  http://example.org/  ", 1}, {"   ", 0}, {"", 0}, {"mailto:a@b.c", 1}};
    for (const Case& c : cases) {
        opened.clear();
        label.SetURL(QString::fromLatin1(c.url));
        window.show();
        Press(&label, QPoint(2, 2));
        Release(&label, QPoint(2, 2));
        ASSERT_EQ(int(opened.size()), c.opens) << c.url;
        if (c.opens) {
            EXPECT_EQ(opened[0], QString::fromLatin1(c.url).trimmed());
        }
    }
    EXPECT_EQ(clicks, 4);
    platform::SetShellOpenHandler(nullptr);
}

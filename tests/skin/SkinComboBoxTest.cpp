// The drop-down list: selection rules, the change event only on a user's pick, and drawing.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTest>

#include "skin/SkinComboBox.h"

TEST(SkinComboBox, AddingNeverSelectsAndCodeSelectsSilently) {
    SkinComboBox combo;
    int changes = 0;
    combo.OnChange = [&](QObject*) { ++changes; };
    combo.AddItem(QStringLiteral("3GP"));
    combo.AddItem(QStringLiteral("MP4"));
    EXPECT_EQ(combo.Count(), 2);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), QString());

    struct Case {
        int set;
        int index;
        QString text;
    } cases[] = {
        {1, 1, "MP4"}, {0, 0, "3GP"}, {-1, -1, ""}, {2, -1, ""}, {1, 1, "MP4"}, {-7, -1, ""},
    };
    for (const Case& c : cases) {
        combo.SetItemIndex(c.set);
        EXPECT_EQ(combo.ItemIndex(), c.index) << c.set;
        EXPECT_EQ(combo.Text(), c.text) << c.set;
    }
    combo.SetItemIndex(1);
    combo.AddItem(QStringLiteral("AVI"));
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Item(2), "AVI");
    combo.Clear();
    EXPECT_EQ(combo.Count(), 0);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(changes, 0);
}

TEST(SkinComboBox, UserPickFiresChangeAndSelect) {
    QWidget window;
    SkinComboBox combo(&window);
    for (const char* item : {"a", "b", "c"})
        combo.AddItem(QString::fromLatin1(item));
    window.show();
    int changes = 0, selects = 0;
    combo.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &combo);
        EXPECT_EQ(combo.Text(), "a");
        ++changes;
    };
    combo.OnSelect = [&](QObject*) { ++selects; };
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.ItemIndex(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(selects, 1);
}

TEST(SkinComboBox, LookSetsColoursAndTheButtonIsDrawn) {
    struct Case {
        UIStyle look;
        QRgb border, button;
    } cases[] = {
        {UIStyle::WinXP, qRgb(104, 104, 104), qRgb(239, 235, 222)},
        {UIStyle::Protein, qRgb(0, 0, 0), qRgb(251, 251, 251)},
        {UIStyle::MacOS, qRgb(127, 127, 127), qRgb(231, 231, 231)},
    };
    for (const Case& c : cases) {
        SkinComboBox combo;
        combo.SetUIStyle(c.look);
        EXPECT_EQ(combo.BorderColor().rgb(), c.border);
        EXPECT_EQ(combo.ButtonColor().rgb(), c.button);
        EXPECT_EQ(combo.ArrowColor().rgb(), qRgb(0, 0, 0));
    }

    // A Protein list: a flat button in the button colour with a black triangle.
    QWidget window;
    SkinComboBox combo(&window);
    combo.SetUIStyle(UIStyle::Protein);
    combo.SetButtonColor(QColor(251, 250, 251));
    combo.resize(98, 21);
    window.show();
    const QImage shown = combo.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(0, 10), qRgb(0, 0, 0));  // border
    EXPECT_EQ(shown.pixel(97, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(95, 3), qRgb(251, 250, 251));  // button face
    int black = 0;
    for (int x = 80; x < 97; ++x) {
        for (int y = 6; y < 15; ++y)
            black += shown.pixel(x, y) == qRgb(0, 0, 0);
    }
    EXPECT_GE(black, 6);  // the arrow
}

TEST(SkinComboBox, WinXPButtonPictureCarriesItsOwnArrow) {
    // Drawn from the look's button picture: the pixels under the button are the picture's,
    // with no black triangle added.
    QWidget window;
    SkinComboBox combo(&window);
    combo.SetUIStyle(UIStyle::WinXP);
    combo.resize(98, 21);
    window.show();
    const QImage shown = combo.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int black = 0, blueish = 0;
    for (int x = 78; x < 97; ++x) {
        for (int y = 2; y < 19; ++y) {
            const QRgb p = shown.pixel(x, y);
            black += p == qRgb(0, 0, 0);
            blueish += qBlue(p) > qRed(p) + 20;
        }
    }
    EXPECT_EQ(black, 0);
    EXPECT_GT(blueish, 50);
}

TEST(SkinComboBox, OpenListIsFramedAndClosingRepaints) {
    QWidget window;
    SkinComboBox combo(&window);
    combo.SetUIStyle(UIStyle::Protein);
    combo.SetBorderColor(QColor(255, 0, 0));
    for (const char* item : {"a", "b", "c"})
        combo.AddItem(QString::fromLatin1(item));
    window.show();
    int drops = 0;
    combo.OnDropDown = [&](QObject*) { ++drops; };
    combo.showPopup();
    EXPECT_EQ(drops, 1);
    QWidget* popup = combo.view()->window();
    ASSERT_NE(popup, &window);
    QTest::qWait(20);
    const QImage shown = popup->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.pixel(0, shown.height() / 2), qRgb(255, 0, 0));
    combo.hidePopup();
    EXPECT_EQ(combo.ItemIndex(), -1);
}

// The edit and the numeric edit: counting, limits, refused keys.
#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QTest>

#include "skin/Beep.h"
#include "skin/CustomSkinButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinSpinEdit.h"

namespace {

void LeaveField(QWidget* w) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
}

}  // namespace

TEST(SkinSpinEdit, CountsTypesAndClampsByItsLimits) {
    int beeps = 0;
    SetSkinBeepHandler([&] { ++beeps; });
    struct Case {
        const char* name;
        int min, high;
        const char* start;
        std::function<void(SkinSpinEdit&)> act;
        const char* text;
        int beeps;
    } cases[] = {
        {"no limits counts up", 0, 0, "512", [](SkinSpinEdit& e) { e.UpClick(); }, "513", 0},
        {"no limits counts down past zero", 0, 0, "0", [](SkinSpinEdit& e) { e.DownClick(); }, "-1",
         0},
        {"up button", 0, 0, "512", [](SkinSpinEdit& e) { e.UpButton()->Click(); }, "513", 0},
        {"down button", 0, 0, "512", [](SkinSpinEdit& e) { e.DownButton()->Click(); }, "511", 0},
        {"up key", 0, 0, "7", [](SkinSpinEdit& e) { QTest::keyClick(&e, Qt::Key_Up); }, "8", 0},
        {"down key", 0, 0, "7", [](SkinSpinEdit& e) { QTest::keyClick(&e, Qt::Key_Down); }, "6", 0},
        {"up stops at the high limit", 10, 20, "20", [](SkinSpinEdit& e) { e.UpClick(); }, "20", 0},
        {"typed 25 becomes 20 on leaving", 10, 20, "",
         [](SkinSpinEdit& e) {
             QTest::keyClicks(&e, "25");
             EXPECT_EQ(e.text(), "25");
             LeaveField(&e);
         },
         "20", 0},
        {"typed 3 becomes 10 on leaving", 10, 20, "",
         [](SkinSpinEdit& e) {
             QTest::keyClicks(&e, "3");
             LeaveField(&e);
         },
         "10", 0},
        {"letters refused", 0, 0, "12", [](SkinSpinEdit& e) { QTest::keyClicks(&e, "ab"); }, "12",
         2},
        {"enter refused", 0, 0, "12", [](SkinSpinEdit& e) { QTest::keyClick(&e, Qt::Key_Return); },
         "12", 1},
        {"minus accepted", 0, 0, "", [](SkinSpinEdit& e) { QTest::keyClicks(&e, "-4"); }, "-4", 0},
        {"backspace accepted", 0, 0, "12",
         [](SkinSpinEdit& e) { QTest::keyClick(&e, Qt::Key_Backspace); }, "1", 0},
        {"read-only beeps", 0, 0, "5",
         [](SkinSpinEdit& e) {
             e.setReadOnly(true);
             e.UpClick();
             e.DownClick();
         },
         "5", 2},
        {"editor disabled refuses typing", 0, 0, "5",
         [](SkinSpinEdit& e) {
             e.SetEditorEnabled(false);
             QTest::keyClicks(&e, "1");
             QTest::keyClick(&e, Qt::Key_Backspace);
             e.UpClick();
         },
         "6", 2},
    };
    for (const Case& c : cases) {
        beeps = 0;
        SkinSpinEdit edit;
        edit.SetMinValue(c.min);
        edit.SetHighValue(c.high);
        edit.setText(QString::fromLatin1(c.start));
        edit.setCursorPosition(edit.text().size());
        c.act(edit);
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.text)) << c.name;
        EXPECT_EQ(beeps, c.beeps) << c.name;
    }
    SetSkinBeepHandler(nullptr);
}

TEST(SkinSpinEdit, ValueRules) {
    SkinSpinEdit edit;
    EXPECT_EQ(edit.text(), "0");
    EXPECT_EQ(edit.Increment(), 1);
    struct Case {
        int min, high;
        const char* text;
        int value;
    } reads[] = {{0, 0, "512", 512},
                 {5, 9, "abc", 5},
                 {0, 0, " 42 ", 42},
                 {3, 3, "", 3},
                 {0, 0, "99999999999", 0}};
    for (const Case& c : reads) {
        edit.SetMinValue(c.min);
        edit.SetHighValue(c.high);
        edit.setText(QString::fromLatin1(c.text));
        EXPECT_EQ(edit.GetValue(), c.value) << c.text;
    }
    struct SetCase {
        int min, high, set;
        const char* text;
    } sets[] = {{0, 0, -50, "-50"}, {10, 20, 25, "20"}, {10, 20, 5, "10"}, {7, 7, 100, "100"}};
    for (const SetCase& c : sets) {
        edit.SetMinValue(c.min);
        edit.SetHighValue(c.high);
        edit.SetValue(c.set);
        EXPECT_EQ(edit.text(), QString::fromLatin1(c.text)) << c.set;
    }
    // Counting never wraps round.
    edit.SetMinValue(0);
    edit.SetHighValue(0);
    edit.SetValue(2147483647);
    edit.UpClick();
    EXPECT_EQ(edit.text(), "2147483647");
}

TEST(SkinSpinEdit, ButtonsSitAtTheRightEdge) {
    SkinSpinEdit edit;
    edit.resize(71, 25);
    edit.show();
    QWidget* pair = edit.UpButton()->parentWidget();
    EXPECT_EQ(pair->width(), 15);
    EXPECT_EQ(pair->height(), 21);
    EXPECT_LE(pair->geometry().right(), 70);
    EXPECT_EQ(edit.UpButton()->height(), 21 / 2 + 1);
    EXPECT_EQ(edit.DownButton()->geometry().top(), edit.UpButton()->height() - 1);
    EXPECT_EQ(edit.DownButton()->geometry().bottom(), 20);
    EXPECT_EQ(edit.UpButton()->MouseContinuouslyDownInterval(), 400);
    EXPECT_FALSE(edit.UpButton()->TabStop());
}

TEST(SkinEdit, FramedInTheLookBorderColour) {
    struct Case {
        UIStyle look;
        QRgb border;
    } cases[] = {{UIStyle::WinXP, qRgb(104, 104, 104)},
                 {UIStyle::MacOS, qRgb(127, 127, 127)},
                 {UIStyle::FromThemeFile, qRgb(0, 0, 0)}};
    for (const Case& c : cases) {
        SkinEdit edit;
        edit.resize(142, 19);
        edit.SetUIStyle(c.look);
        edit.SetText(QStringLiteral("/home/user/KivoMp4/3GP/"));
        EXPECT_EQ(edit.BorderColor().rgb(), c.border);
        const QImage shown = edit.grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (QPoint at : {QPoint(0, 0), QPoint(141, 18), QPoint(70, 0), QPoint(0, 9)}) {
            EXPECT_EQ(shown.pixel(at), c.border) << int(c.look);
        }
        EXPECT_EQ(shown.pixel(1, 1), edit.palette().color(QPalette::Base).rgb());
    }
}

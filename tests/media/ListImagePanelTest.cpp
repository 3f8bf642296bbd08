// The media list control: row geometry, selection by code and by mouse, the hot row, removal,
// scrolling and pictures that cannot be shown.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <memory>

#include "media/package/ListImagePanel.h"
#include "skin/ImageButton.h"
#include "skin/SkinScrollBar.h"
#include "support/ScratchInstall.h"

namespace {

bool IsSelected(TItemPanel* row) {
    return row->InnerPanel->Color() == SelectedRowColor() &&
           (!row->BackBlank || row->BackBlank->isHidden());
}

bool IsPlain(TItemPanel* row) {
    return row->InnerPanel->Color() == QColor(Qt::white) &&
           (!row->BackBlank || !row->BackBlank->isHidden());
}

class ListImagePanelTest : public ::testing::Test {
protected:
    explicit ListImagePanelTest(const QStringList& files = ScratchInstall::DefaultFiles())
        : install(files) {}

    void SetUp() override {
        window.resize(500, 400);
        list = new TListImagePanel(&window);
        list->setGeometry(28, 40, 435, 297);
        list->OnClick = [this](QObject* sender) { clicks.push_back(sender); };
        still = install.Path("3GP.jpg");
    }

    void Add(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_NE(list->AddItem(still), nullptr);
    }
    TItemPanel* Row(int i) { return list->m_ListItemPanel.at(i); }
    void LeftPress(TItemPanel* row, Qt::MouseButton button = Qt::LeftButton) {
        row->Thumbnail->OnMouseDown(row->Thumbnail, button, {}, 2, 2);
    }

    ScratchInstall install;
    QWidget window;
    TListImagePanel* list = nullptr;
    QString still;
    std::vector<QObject*> clicks;
};

class ListWithoutBackground : public ListImagePanelTest {
protected:
    ListWithoutBackground() : ListImagePanelTest({"3GP.jpg"}) {}
};

}  // namespace

TEST_F(ListImagePanelTest, ThreeRowsAreLaidOutOnTheirPitchAndOnlyTheFirstIsSelected) {
    EXPECT_EQ(list->CurSelIndex, 0);
    EXPECT_EQ(list->CurrentItem, nullptr);
    Add(3);
    const int contentWidth = list->ContentPanel->width();
    EXPECT_EQ(contentWidth, 435 - list->ListScrollBar->width());
    EXPECT_GT(list->ListScrollBar->width(), 0);
    EXPECT_EQ(list->ListScrollBar->geometry(),
              QRect(contentWidth, 0, list->ListScrollBar->width(), 297));

    ASSERT_EQ(list->ItemCount, 3);
    const int tops[] = {0, 71, 142};
    for (int i = 0; i < 3; ++i) {
        TItemPanel* row = Row(i);
        EXPECT_EQ(row->geometry(), QRect(0, tops[i], contentWidth, 66)) << i;
        EXPECT_EQ(row->Index, i);
        EXPECT_EQ(row->Color(), QColor(Qt::black));
        EXPECT_EQ(row->InnerPanel->geometry(), QRect(1, 1, contentWidth - 2, 64));
        EXPECT_EQ(row->Thumbnail->geometry(), QRect(4, 4, 86, 56));
        ASSERT_NE(row->BackBlank, nullptr);
        EXPECT_EQ(row->BackBlank->geometry(), QRect(4, 4, 86, 56));  // the picture's own size
        EXPECT_EQ(row->TextLabel->pos(), QPoint(108, 3));
        EXPECT_EQ(row->PicturePath, still);
        EXPECT_FALSE(row->Thumbnail->Picture().isNull());
        EXPECT_EQ(row->BackBlankPath, install.Path("backblank.bmp"));
    }
    EXPECT_TRUE(IsSelected(Row(0)));
    EXPECT_TRUE(IsPlain(Row(1)));
    EXPECT_TRUE(IsPlain(Row(2)));
    EXPECT_EQ(list->CurrentItem, Row(0));
    EXPECT_EQ(list->HotItem, Row(0));
    EXPECT_EQ(list->CurSelIndex, 0);
    EXPECT_EQ(list->ContentPanel->height(), 284);
    // 284 - 297 - 44 = -57: nothing to scroll.
    EXPECT_EQ(list->ListScrollBar->High(), 0);
    EXPECT_EQ(list->ListScrollBar->Position(), 0);
    EXPECT_EQ(list->ContentPanel->y(), 0);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ListImagePanelTest, ScrollingMovesTheContentAndRemovalShrinksTheRange) {
    Add(6);
    EXPECT_EQ(list->ContentPanel->height(), 497);
    EXPECT_EQ(list->ListScrollBar->High(), 497 - 297 - 44);
    list->ListScrollBar->SetPosition(100);
    EXPECT_EQ(list->ContentPanel->y(), -100);
    EXPECT_EQ(list->ContentPanel->x(), 0);
    list->SelectItem(5);
    list->RemoveItem();
    list->RemoveItem();
    EXPECT_EQ(list->ContentPanel->height(), 355);
    EXPECT_EQ(list->ListScrollBar->High(), 14);
    EXPECT_EQ(list->ListScrollBar->Position(), 14);
    EXPECT_EQ(list->ContentPanel->y(), -14);
}

TEST_F(ListImagePanelTest, RemovingTheSelectedRowSelectsItsNeighbour) {
    struct Case {
        int rows, selected;
        int expectSelected;         // -1: empty list
        int formerIndexAtSelected;  // which original row is selected afterwards
    };
    for (const Case& c :
         {Case{3, 1, 1, 2}, Case{3, 2, 1, 1}, Case{3, 0, 0, 1}, Case{1, 0, -1, -1}}) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, removing " << c.selected);
        delete list;
        SetUp();
        Add(c.rows);
        std::vector<TItemPanel*> before = list->m_ListItemPanel;
        list->SelectItem(c.selected);
        list->RemoveItem();
        EXPECT_EQ(list->ItemCount, c.rows - 1);
        EXPECT_EQ(int(list->m_ListItemPanel.size()), c.rows - 1);
        EXPECT_EQ(list->CurSelIndex, c.expectSelected);
        EXPECT_EQ(list->ContentPanel->height(), 71 * c.rows);
        for (int i = 0; i < list->ItemCount; ++i) {
            EXPECT_EQ(Row(i)->Index, i);
            EXPECT_EQ(Row(i)->y(), 71 * i);
        }
        if (c.expectSelected < 0) {
            EXPECT_EQ(list->CurrentItem, nullptr);
            EXPECT_EQ(list->HotItem, nullptr);
            EXPECT_EQ(list->GetCurSel(), nullptr);
            list->RemoveItem();  // nothing left to remove
            EXPECT_EQ(list->ItemCount, 0);
            EXPECT_EQ(list->CurSelIndex, -1);
            // The emptied list starts over: the next row is selected again.
            Add(1);
            EXPECT_EQ(list->CurSelIndex, 0);
            EXPECT_TRUE(IsSelected(Row(0)));
        } else {
            TItemPanel* expected = before[c.formerIndexAtSelected];
            EXPECT_EQ(list->CurrentItem, expected);
            EXPECT_EQ(list->HotItem, expected);
            EXPECT_TRUE(IsSelected(expected));
            EXPECT_EQ(list->GetCurSel(), expected);
        }
        EXPECT_TRUE(clicks.empty());
    }
}

TEST_F(ListImagePanelTest, ClicksSelectWithTheLeftButtonAndTellTheOwnerOnce) {
    Add(3);
    LeftPress(Row(1), Qt::RightButton);
    EXPECT_EQ(list->CurrentItem, Row(0));
    EXPECT_TRUE(clicks.empty());

    LeftPress(Row(1));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], list->ContentPanel);
    EXPECT_EQ(list->CurrentItem, Row(1));
    EXPECT_EQ(list->CurSelIndex, 1);
    EXPECT_TRUE(IsSelected(Row(1)));
    EXPECT_TRUE(IsPlain(Row(0)));

    LeftPress(Row(1));  // already selected
    Row(1)->InnerPanel->OnMouseDown(Row(1)->InnerPanel, Qt::LeftButton, {}, 1, 1);
    EXPECT_EQ(clicks.size(), 1u);

    // A real press on the text reaches the row through the inner panel below the label.
    window.show();
    TItemPanel* third = Row(2);
    QTest::mouseClick(third->InnerPanel, Qt::LeftButton, {},
                      third->TextLabel->pos() + QPoint(5, 5));
    EXPECT_EQ(list->CurrentItem, third);
    EXPECT_EQ(clicks.size(), 2u);

    // Code selection is silent.
    list->SelectItem(0);
    EXPECT_EQ(list->CurSelIndex, 0);
    EXPECT_TRUE(IsSelected(Row(0)));
    EXPECT_TRUE(IsPlain(third));
    EXPECT_EQ(clicks.size(), 2u);

    // A disabled list takes no clicks.
    list->setEnabled(false);
    QTest::mouseClick(third->InnerPanel, Qt::LeftButton, {}, QPoint(200, 30));
    EXPECT_EQ(list->CurrentItem, Row(0));
}

TEST_F(ListImagePanelTest, TheRowUnderTheMouseGetsTheRedFrame) {
    Add(3);
    Row(2)->InnerPanel->OnMouseMove(Row(2)->InnerPanel, {}, 5, 5);
    EXPECT_EQ(list->HotItem, Row(2));
    EXPECT_EQ(Row(2)->Color(), QColor(255, 0, 0));
    EXPECT_EQ(Row(0)->Color(), QColor(Qt::black));
    Row(1)->Thumbnail->OnMouseMove(Row(1)->Thumbnail, {}, 5, 5);
    EXPECT_EQ(Row(1)->Color(), QColor(255, 0, 0));
    EXPECT_EQ(Row(2)->Color(), QColor(Qt::black));
    EXPECT_EQ(list->CurrentItem, Row(0));  // hovering selects nothing
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ListImagePanelTest, SelectItemOutsideTheListChangesNothing) {
    Add(3);
    list->SelectItem(1);
    for (int index : {-1, 3, 100, 1}) {
        list->SelectItem(index);
        EXPECT_EQ(list->CurrentItem, Row(1)) << index;
        EXPECT_EQ(list->CurSelIndex, 1) << index;
    }
    EXPECT_TRUE(IsSelected(Row(1)));
    EXPECT_TRUE(IsPlain(Row(0)));
    EXPECT_TRUE(IsPlain(Row(2)));
}

TEST_F(ListImagePanelTest, PicturesThatCannotBeShownMakeNoRow) {
    Add(2);
    list->SelectItem(1);
    QFile bad(install.Path("bad.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("this is not a JPEG picture");
    bad.close();
    const auto children = list->ContentPanel->children().size();
    for (const QString& path :
         {install.Path("missing.jpg"), install.Path("bad.jpg"), install.Folder(), QString()}) {
        EXPECT_EQ(list->AddItem(path), nullptr) << path.toStdString();
    }
    EXPECT_EQ(list->ItemCount, 2);
    EXPECT_EQ(list->m_ListItemPanel.size(), 2u);
    EXPECT_EQ(list->ContentPanel->children().size(), children);
    EXPECT_EQ(list->ContentPanel->height(), 213);
    EXPECT_EQ(list->CurrentItem, Row(1));

    // A background that cannot be decoded counts as missing.
    QFile::remove(install.Path("backblank.bmp"));
    QFile::copy(install.Path("bad.jpg"), install.Path("backblank.bmp"));
    ASSERT_NE(list->AddItem(still), nullptr);
    EXPECT_EQ(Row(2)->BackBlank, nullptr);
    EXPECT_EQ(list->ItemCount, 3);
}

TEST_F(ListWithoutBackground, RowsWithoutBackgroundStillSelect) {
    EXPECT_FALSE(QFile::exists(install.Path("backblank.bmp")));
    Add(2);
    EXPECT_EQ(Row(0)->BackBlank, nullptr);
    EXPECT_EQ(Row(1)->BackBlank, nullptr);
    EXPECT_TRUE(IsSelected(Row(0)));
    LeftPress(Row(1));
    EXPECT_TRUE(IsSelected(Row(1)));
    EXPECT_TRUE(IsPlain(Row(0)));
    list->RemoveItem();
    EXPECT_TRUE(IsSelected(Row(0)));
}

TEST_F(ListImagePanelTest, GetItemBeyondTheListEndsTheProgram) {
    Add(1);
    EXPECT_EQ(list->GetItem(0), Row(0));
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(list->GetItem(1), "iPos<m_ListItemPanel\\.size\\(\\).*ListImagePanel.*418");
}

namespace {

void Wheel(QWidget* target, int delta) {
    QWheelEvent event(QPointF(10, 10), target->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &event);
}

}  // namespace

// One row per wheel notch (half notches add up) and one row per click on a scroll arrow. (The
// wheel over a row reaches the list as the toolkit passes wheel events up to the parent; the
// screenshot tour turns the real wheel over a row.)
TEST_F(ListImagePanelTest, WheelAndArrowsScrollByWholeRows) {
    Add(10);
    const int high = list->ListScrollBar->High();
    ASSERT_EQ(high, 71 * 11 - 297 - 44);
    struct Step {
        std::function<void()> act;
        int position;
    };
    const std::vector<Step> steps = {
        {[&] { Wheel(list, -120); }, 71},
        {[&] { Wheel(list, -240); }, 213},
        {[&] { Wheel(list, 60); }, 213},
        {[&] { Wheel(list, 60); }, 142},
        {[&] { list->ListScrollBar->IncrementButton()->Click(); }, 213},
        {[&] { list->ListScrollBar->DecrementButton()->Click(); }, 142},
        {[&] { Wheel(list, -120 * 20); }, high},
        {[&] { Wheel(list, 120 * 20); }, 0},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i].act();
        EXPECT_EQ(list->ListScrollBar->Position(), steps[i].position) << "step " << i;
        EXPECT_EQ(list->ContentPanel->y(), -steps[i].position) << "step " << i;
    }
}

// Keys move the selection as a click does: the owner hears each move once, the selected row
// comes into view, and Delete asks the owner to remove.
TEST_F(ListImagePanelTest, KeysMoveTheSelectionAsAClickDoes) {
    Add(8);
    int deletes = 0;
    list->OnDeleteKey = [&](QObject*) { ++deletes; };
    struct Case {
        int key;
        int selected;
        size_t clicks;
    };
    for (const Case& c : {
             Case{Qt::Key_Up, 0, 0},  // already at the top: no click
             Case{Qt::Key_Down, 1, 1},
             Case{Qt::Key_Down, 2, 2},
             Case{Qt::Key_End, 7, 3},
             Case{Qt::Key_Down, 7, 3},
             Case{Qt::Key_Home, 0, 4},
         }) {
        QTest::keyClick(list, Qt::Key(c.key));
        EXPECT_EQ(list->CurSelIndex, c.selected) << c.key;
        EXPECT_EQ(list->CurrentItem, Row(c.selected)) << c.key;
        EXPECT_TRUE(IsSelected(Row(c.selected))) << c.key;
        EXPECT_EQ(clicks.size(), c.clicks) << c.key;
        const int top = Row(c.selected)->y() + list->ContentPanel->y();
        EXPECT_GE(top, 0) << c.key;
        EXPECT_LE(top + Row(c.selected)->height(), list->height()) << c.key;
    }
    EXPECT_TRUE(IsPlain(Row(7)));
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(list->ItemCount, 8);  // the owner removes, not the list
}

// A row whose text the list cuts shows it whole as a tooltip; a short text needs none.
TEST_F(ListImagePanelTest, CutRowTextShowsAsTooltip) {
    Add(2);
    Row(0)->SourcePath = "/c/a.avi";
    Row(0)->RefreshText();
    Row(1)->SourcePath = "/clips/" + QString(200, 'x') + ".avi";
    Row(1)->RefreshText();
    EXPECT_TRUE(Row(0)->InnerPanel->toolTip().isEmpty());
    EXPECT_EQ(Row(1)->InnerPanel->toolTip(), Row(1)->TextLabel->text());
    EXPECT_EQ(Row(1)->Thumbnail->toolTip(), Row(1)->TextLabel->text());
    Row(1)->SourcePath = "/c/b.avi";
    Row(1)->RefreshText();
    EXPECT_TRUE(Row(1)->InnerPanel->toolTip().isEmpty());
}

TEST_F(ListImagePanelTest, AFifthLineFitsTheRowAndTheFontComesBackWithoutIt) {
    window.setFont(QFont("DejaVu Sans", 8));
    Add(1);
    TItemPanel* row = Row(0);
    row->SourcePath = "/c/a.avi";
    row->InfoText = "Video<>mpeg4  320x240  fps:25.00\nAudio<>aac       44100KHZ  bitrate:128";
    row->RefreshText();
    const QFont four = row->TextLabel->font();
    for (const bool failed : {true, false}) {
        row->SetOutcomeMark("failed: the source is damaged", failed);
        EXPECT_EQ(row->TextLabel->text().count('\n'), 4);
        EXPECT_LE(row->TextLabel->geometry().bottom(), row->InnerPanel->height() - 1);
        EXPECT_TRUE(row->InnerPanel->toolTip().isEmpty());
    }
    row->SetOutcomeMark(QString(), false);
    EXPECT_EQ(row->TextLabel->font(), four);
}

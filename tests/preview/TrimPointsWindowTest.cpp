// The converter window's trim points, drawn on the track, on a scripted graph.
#include <gtest/gtest.h>

#include "PreviewWindowFixture.h"
#include "converter/core/JobPlan.h"

namespace {

using namespace preview_window;

const QColor kGrey(128, 128, 128), kBlue(0, 0, 255);

// The grey and blue runs of the bar's top two rows from x 1 on (x 0 is the bar picture's own),
// as (first x, last x, colour).
std::vector<std::tuple<int, int, QColor>> Runs(const QImage& bar) {
    std::vector<std::tuple<int, int, QColor>> runs;
    for (int x = 1; x < bar.width(); ++x) {
        const QColor c = bar.pixelColor(x, 0);
        EXPECT_EQ(bar.pixelColor(x, 1), c) << x;
        if (c != kGrey && c != kBlue)
            continue;
        if (!runs.empty() && std::get<2>(runs.back()) == c && std::get<1>(runs.back()) == x - 1)
            std::get<1>(runs.back()) = x;
        else
            runs.emplace_back(x, x, c);
    }
    return runs;
}

using ColourRun = std::tuple<int, int, QColor>;

TEST_F(PreviewWindow, NewRowShowsItsWholeLengthAsTheRange) {
    ASSERT_EQ(window.PlayerTrack->width(), 276);
    ASSERT_GE(window.PlayerTrack->BarBitmap().height(), 2);
    TItemPanel* row = AddRow("/clips/a.mp4", 125);
    window.DrawTrimRange(nullptr);
    EXPECT_EQ(Runs(window.PlayerTrack->BarBitmap()),
              (std::vector<ColourRun>{{1, 274, kBlue}, {275, 275, kGrey}}));
    EXPECT_TRUE(row->TextLabel->text().endsWith("Start Point:00:00  End Point:02:05"))
        << row->TextLabel->text().toStdString();

    // A row without a known length gets the grey line only.
    row->Duration = 0;
    window.DrawTrimRange(nullptr);
    EXPECT_EQ(Runs(window.PlayerTrack->BarBitmap()), (std::vector<ColourRun>{{1, 275, kGrey}}));
}

// The row keeps one range: what its text shows is what the track draws and the job converts.
TEST_F(PreviewWindow, EndBeforeStartSwapsTheRange) {
    TItemPanel* row = AddRow("/clips/a.mp4", 125);
    Play();
    window.PlayerTrack->SetPosition(40);
    window.BtnSetStartPointClick(window.BtnSetStartPoint);
    EXPECT_EQ(std::pair(row->StartPoint, row->EndPoint), std::pair(40, 125));
    EXPECT_EQ(Runs(window.PlayerTrack->BarBitmap()),
              (std::vector<ColourRun>{{1, 87, kGrey}, {88, 274, kBlue}, {275, 275, kGrey}}));

    window.PlayerTrack->SetPosition(30);
    window.BtnSetEndPointClick(window.BtnSetEndPoint);
    EXPECT_EQ(std::pair(row->StartPoint, row->EndPoint), std::pair(30, 40));
    EXPECT_TRUE(row->TextLabel->text().endsWith("Start Point:00:30  End Point:00:40"))
        << row->TextLabel->text().toStdString();
    // 30 s and 40 s of 125 on a 276-pixel track: x 66 to x 88.
    EXPECT_EQ(Runs(window.PlayerTrack->BarBitmap()),
              (std::vector<ColourRun>{{1, 65, kGrey}, {66, 88, kBlue}, {89, 275, kGrey}}));

    // A later end moves the range's end, not the point pressed first.
    window.PlayerTrack->SetPosition(90);
    window.BtnSetEndPointClick(window.BtnSetEndPoint);
    EXPECT_TRUE(row->TextLabel->text().endsWith("Start Point:00:30  End Point:01:30"))
        << row->TextLabel->text().toStdString();
    const PlanRange converted = MarkedRange(*row);
    EXPECT_EQ(std::pair(converted.start, converted.end), std::pair(30.0, 90.0));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PreviewWindow, EqualMarksKeepTheDrawingButStoreThePoint) {
    TItemPanel* row = AddRow("/clips/a.mp4", 125);
    Play();
    window.PlayerTrack->SetPosition(40);
    window.BtnSetStartPointClick(window.BtnSetStartPoint);
    const QImage before = window.PlayerTrack->BarBitmap().copy();
    window.BtnSetEndPointClick(window.BtnSetEndPoint);
    EXPECT_EQ(window.PlayerTrack->BarBitmap(), before);
    EXPECT_EQ(std::pair(row->StartPoint, row->EndPoint), std::pair(40, 40));
    EXPECT_TRUE(row->TextLabel->text().endsWith("Start Point:00:40  End Point:00:40"));
}

TEST_F(PreviewWindow, TrimButtonsRemindUntilTheTrackShowsTheRowsFile) {
    const QString start =
        "Please play the file first, drag the slider bar and then click this bottom to set the "
        "start point";
    const QString end =
        "Please play the file first, drag the slider bar and then click this button to set the "
        "end point";
    TItemPanel* row = AddRow("/clips/a.mp4", 125);
    AddRow("/clips/b.mp4", 60);
    enum Then { Nothing, Paused, PlayedToItsEnd, Stopped, OtherRowPicked };
    const struct {
        Then then;
        bool takes;  // the buttons take the track's position
    } cases[] = {
        {Nothing, false}, {Paused, true},          {PlayedToItsEnd, true},
        {Stopped, false}, {OtherRowPicked, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.then));
        window.ClosePreview();
        window.ListImagePanel->SelectItem(0);
        window.UpdateItem(0, QString(), 0, 125);
        dialogs.messages.clear();
        if (c.then != Nothing) {
            Play();
            ASSERT_TRUE(PreviewPlaying);
        }
        if (c.then == Paused)
            Play();
        if (c.then == PlayedToItsEnd) {
            graph->Raise(EC_COMPLETE);
            ProcessPosted();
            ASSERT_FALSE(PreviewPlaying);
        }
        if (c.then == Stopped)
            window.BtnStopClick(window.BtnStop);
        if (c.then == OtherRowPicked) {
            window.ListImagePanel->SelectItem(1);
            window.ListImagePanelClick(window.ListImagePanel);
            window.ListImagePanel->SelectItem(0);
        }
        window.PlayerTrack->SetPosition(50);
        window.BtnSetStartPointClick(window.BtnSetStartPoint);
        window.PlayerTrack->SetPosition(5);
        window.BtnSetEndPointClick(window.BtnSetEndPoint);
        if (c.takes) {
            EXPECT_TRUE(dialogs.messages.empty());
            EXPECT_EQ(std::pair(row->StartPoint, row->EndPoint), std::pair(5, 50));
            EXPECT_EQ(window.PlayerTime->text(), "00:05 / 02:05");
        } else {
            EXPECT_EQ(Messages(), (std::vector<QString>{start, end}));
            EXPECT_EQ(std::pair(row->StartPoint, row->EndPoint), std::pair(0, 125));
            EXPECT_EQ(window.PlayerTime->text(), "00:00 / 02:05");
        }
    }
}

}  // namespace

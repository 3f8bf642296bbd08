// The kept list alone: its text's round trip, damaged texts, and the sources that have gone.
#include <gtest/gtest.h>

#include <QSet>

#include "media/core/MediaRow.h"
#include "media/core/SavedList.h"

TEST(SavedList, RowsAndTheirMarksComeBackAsSaved) {
    const std::vector<SavedRow> rows = {
        {"/clips/a.avi", 0, 125},
        {"/clips/Ünïcode name.mkv", 40, 30},  // points as set
        {"/clips/b.flv", 0, 0},
    };
    EXPECT_EQ(ReadSavedList(SavedListText(rows)), rows);
    EXPECT_TRUE(ReadSavedList(SavedListText({})).empty());

    MediaRow row;
    row.SourcePath = "/clips/c.mp4";
    row.StartPoint = 7;
    row.EndPoint = 3;
    row.TargetName = "c.MP4";  // named anew when listed again
    EXPECT_EQ(SavedRowOf(row), (SavedRow{"/clips/c.mp4", 7, 3}));
}

TEST(SavedList, DamagedOrForeignTextsReadAsWhatIsUsable) {
    const struct {
        const char* text;
        size_t rows;
    } cases[] = {
        {"", 0},
        {"not json", 0},
        {"[1, 2]", 0},
        {R"({"rows": 5})", 0},
        {R"({"rows": [{"start": 4}]})", 0},  // a row without a source
        {R"({"rows": [{"source": "/a.avi", "start": -5, "end": 1e30}]})", 1},
        {R"({"rows": [{"source": "/a.avi"}, {"source": ""}, {"source": "/b.avi", "end": 9}]})", 2},
    };
    for (const auto& c : cases) {
        const std::vector<SavedRow> rows = ReadSavedList(c.text);
        EXPECT_EQ(rows.size(), c.rows) << c.text;
        for (const SavedRow& row : rows) {
            for (int value : {row.startPoint, row.endPoint})
                EXPECT_GE(value, 0) << c.text;
            EXPECT_LT(row.endPoint, 1'000'000'000) << c.text;
        }
    }
}

TEST(SavedList, SourcesThatHaveGoneAreLeftOutAndNamed) {
    const std::vector<SavedRow> rows = {
        {"/clips/a.avi", 0, 1}, {"/gone/b.avi", 0, 2}, {"/clips/c.avi", 0, 3}};
    const QSet<QString> there = {"/clips/a.avi", "/clips/c.avi"};
    const KeptRows kept =
        SplitVanished(rows, [&](const QString& path) { return there.contains(path); });
    EXPECT_EQ(kept.present, (std::vector<SavedRow>{rows[0], rows[2]}));
    EXPECT_EQ(kept.vanished, QStringList({"/gone/b.avi"}));

    EXPECT_EQ(VanishedMessage({}), QString());
    EXPECT_EQ(VanishedMessage({"/gone/b.avi"}),
              "This file has gone since the list was kept and was taken off the list:\n"
              "/gone/b.avi");
    QStringList many;
    for (int i = 0; i < 20; ++i)
        many << QStringLiteral("/gone/%1.avi").arg(i);
    const QStringList lines = VanishedMessage(many).split('\n');
    ASSERT_EQ(lines.size(), 17);
    EXPECT_TRUE(lines[0].startsWith("These files have gone"));
    EXPECT_EQ(lines[16], "and 5 more");

    EXPECT_EQ(SavedListPath("/home/u/.config/QorConverter", "PSP"),
              "/home/u/.config/QorConverter/List-PSP.json");
}

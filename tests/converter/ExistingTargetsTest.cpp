// The existing-targets rules alone: which targets exist, the question, the answers and the
// numbered names of "keep both".
#include <gtest/gtest.h>

#include <QSet>

#include "converter/core/ExistingTargets.h"

TEST(ExistingTargets, KeepBothNumbersAsNamesakesPastEveryTakenName) {
    const QSet<QString> onDisk = {"/out/a.MP4", "/out/c.MP4", "/out/c (2).MP4", "/out/d.MP4"};
    const auto exists = [&](const QString& path) { return onDisk.contains(path); };
    const QStringList targets = {"a.MP4", "b.MP4", "c.MP4", "a (2).MP4"};
    const std::vector<int> existing = ExistingTargets(targets, "/out/", exists);
    EXPECT_EQ(existing, (std::vector<int>{0, 2}));
    // a's next free name is taken by another row of the job, c's by a file.
    EXPECT_EQ(KeepBothTargets(targets, existing, "/out/", exists),
              QStringList({"a (3).MP4", "b.MP4", "c (3).MP4", "a (2).MP4"}));

    const struct {
        int choice;
        ExistingTargetsAnswer answer;
    } answers[] = {{0, ExistingTargetsAnswer::Replace},
                   {1, ExistingTargetsAnswer::KeepBoth},
                   {2, ExistingTargetsAnswer::Skip},
                   {-1, ExistingTargetsAnswer::Cancel},
                   {7, ExistingTargetsAnswer::Cancel}};
    for (const auto& a : answers)
        EXPECT_EQ(ExistingTargetsAnswerOf(a.choice), a.answer) << a.choice;

    EXPECT_EQ(ExistingTargetsQuestion({"a.MP4"}, "/out/"),
              "A file of this name exists already in /out/:\n  a.MP4\n\nReplace them, keep "
              "both (the new files numbered), or skip these files?");
    QStringList many;
    for (int i = 0; i < 12; ++i)
        many << QStringLiteral("%1.MP4").arg(i);
    const QStringList lines = ExistingTargetsQuestion(many, "/out/").split('\n');
    EXPECT_EQ(lines[0], "12 files of these names exist already in /out/:");
    EXPECT_EQ(lines[11], "  and 2 more");
}

#include <gtest/gtest.h>

#include <QWidget>

#include "platform/FolderChooser.h"
#include "platform/core/Errors.h"
#include "support/FakeDialogs.h"

TEST(FolderChooser, OptionsFollowTheShellsRules) {
    QWidget owner;
    FolderChooser chooser(&owner);
    EXPECT_EQ(chooser.Flags(), FolderChooser::BIF_VALIDATE);  // the classic tree

    chooser.SetHandleCallBack(true);
    chooser.SetShowStatus(true);
    EXPECT_TRUE(chooser.NewUI());
    chooser.SetOnlyComputer(true);  // turns the new style off, and with it the status line
    EXPECT_FALSE(chooser.NewUI());
    EXPECT_FALSE(chooser.ShowStatus());
    EXPECT_TRUE(chooser.HandleCallBack());
    EXPECT_TRUE(chooser.OnlyComputer());

    chooser.SetNoNetWork(true);
    chooser.SetNewUI(true);  // the new style clears both network options
    EXPECT_FALSE(chooser.NoNetWork());
    EXPECT_FALSE(chooser.OnlyComputer());
    EXPECT_EQ(chooser.Flags(), FolderChooser::BIF_VALIDATE | FolderChooser::BIF_USENEWUI);

    chooser.SetShowStatus(true);
    chooser.SetNewUI(true);  // unchanged: nothing else moves
    EXPECT_TRUE(chooser.ShowStatus());
    chooser.SetShowStatus(false);
    EXPECT_TRUE(chooser.NewUI());
    chooser.SetShowStatus(true);
    chooser.SetNewUI(false);
    EXPECT_FALSE(chooser.ShowStatus());
    chooser.SetNoNetWork(true);
    chooser.SetOnlyComputer(true);
    EXPECT_EQ(chooser.Flags(), FolderChooser::BIF_VALIDATE | FolderChooser::BIF_DONTGOBELOWDOMAIN |
                                   FolderChooser::BIF_BROWSEFORCOMPUTER);
}

TEST(FolderChooser, ExecuteReportsChoiceCancelAndNonFolderPicks) {
    FakeDialogs dialogs;
    QWidget owner;
    FolderChooser chooser(&owner);
    chooser.Title = "Select a folder to save the target files.";
    chooser.FolderName = "/before";

    EXPECT_FALSE(chooser.Execute());  // cancel
    EXPECT_EQ(chooser.FolderName, "/before");
    EXPECT_EQ(dialogs.lastFolderTitle, "Select a folder to save the target files.");
    EXPECT_EQ(dialogs.lastFolderFlags, FolderChooser::BIF_VALIDATE);

    dialogs.folderAnswers.push_back(QString("/videos"));
    EXPECT_TRUE(chooser.Execute());
    EXPECT_EQ(chooser.FolderName, "/videos");

    dialogs.folderAnswers.push_back(QString());  // the computer node: no file-system folder
    EXPECT_TRUE(chooser.Execute());
    EXPECT_EQ(chooser.FolderName, "");
}

TEST(FolderChooser, WithoutAWindowAsOwnerExecuteRaises) {
    FakeDialogs dialogs;
    QObject notAWindow;
    FolderChooser chooser(&notAWindow);
    try {
        chooser.Execute();
        FAIL();
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "Component has no parent.");
    }
    FolderChooser orphan(nullptr);
    EXPECT_THROW(orphan.Execute(), EComponentError);
}

TEST(FolderChooser, CallbacksGoToTheChooserMadeLast) {
    FakeDialogs dialogs;
    QWidget owner;
    FolderChooser first(&owner);
    FolderChooser second(&owner);
    int toFirst = 0, toSecond = 0;
    first.OnCallBack = [&](void*, unsigned, intptr_t, intptr_t) { ++toFirst; };
    first.SetHandleCallBack(true);
    second.OnCallBack = [&](void*, unsigned, intptr_t, intptr_t) { ++toSecond; };

    first.Execute();
    EXPECT_EQ(toFirst + toSecond, 0);  // the last one has HandleCallBack off
    second.SetHandleCallBack(true);
    first.Execute();
    second.Execute();
    EXPECT_EQ(toFirst, 0);
    EXPECT_EQ(toSecond, 2);
    EXPECT_EQ(FolderChooser::BrowseCallbackProc(nullptr, 99, 0, 0), 0);
}

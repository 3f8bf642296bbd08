#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/TChooseMain.h"
#include "converter/Txconverter.h"
#include "platform/Shell.h"
#include "platform/core/FileSystem.h"
#include "skin/ImageButton.h"
#include "skin/SkinEdit.h"
#include "skin/SkinForm.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

TEST(Launcher, DescriptionsAreTheProductsTextsByteForByte) {
    const QString head = "Qor 3GP PSP IPOD MP4 PDA Video Converter. \n\n\n";
    EXPECT_EQ(LauncherDescription(-1),
              head +
                  " Convert AVI DIVX XVID to 3GP PSP IPOD MP4 PDA Video   \n"
                  " Convert MPEG1 MPEG2 to 3GP PSP IPOD MP4 PDA Video   \n"
                  " Convert WMV ASF to 3GP PSP IPOD MP4 PDA Video  \n"
                  " Convert MP4 to 3GP PSP IPOD MP4 PDA Video  \n"
                  " Convert MOV... etc. to 3GP PSP IPOD MP4 PDA Video  \n");
    EXPECT_EQ(LauncherDescription(Dev3GP), head +
                                               " Convert AVI DIVX XVID to 3GP 3GPP 3G2 Video   \n"
                                               " Convert MPEG1 MPEG2 to 3GP 3GPP 3G2 Video   \n"
                                               " Convert WMV ASF to 3GP 3GPP 3G2 Video   \n"
                                               " Convert MP4 to 3GP 3GPP 3G2 Video   \n"
                                               " Convert MOV... etc. to 3GP 3GPP 3G2 Video   \n"
                                               "\n You can play the movies on your mobile phone.");
    EXPECT_EQ(LauncherDescription(DevMP4), head +
                                               " Convert AVI DIVX XVID to Standard MP4 Video   \n"
                                               " Convert MPEG1 MPEG2 to Standard MP4 Video   \n"
                                               " Convert WMV ASF to Standard MP4 Video   \n"
                                               " Convert MP4 to Standard MP4 Video   \n"
                                               " Convert MOV... etc. to Standard MP4 Video   \n"
                                               "\n You can play the movies on PC or other device.");
    const struct {
        int index;
        const char* target;
        const char* closing;
    } others[] = {{DevPSP, "PSP-MP4", "on your PSP."},
                  {DevIPOD, "IPOD-MP4", "on your IPOD."},
                  {DevPDA, "PPC PDA", "on your PPC PDA."}};
    for (const auto& o : others) {
        const QString text = LauncherDescription(o.index);
        EXPECT_TRUE(
            text.startsWith(head + " Convert AVI DIVX XVID to " + o.target + " Video   \n"));
        EXPECT_TRUE(text.endsWith(QString("\n\n You can play the movies ") + o.closing));
    }
}

TEST(Launcher, LayoutHidesPspAndIpodAndMovesPda) {
    TChooseMain launcher;
    EXPECT_EQ(launcher.SelectedDevice, DevNone);
    EXPECT_EQ(launcher.size(), QSize(648, 452));  // the skin sets the client size
    EXPECT_TRUE(launcher.BtnPSP->isHidden());
    EXPECT_TRUE(launcher.BtnIPOD->isHidden());
    EXPECT_EQ(launcher.Btn3GP->geometry(), QRect(473, 50, 122, 66));
    EXPECT_EQ(launcher.BtnPDA->geometry(), QRect(478, 196, 122, 66));
    EXPECT_EQ(launcher.BtnMP4->geometry(), QRect(480, 328, 122, 66));
    EXPECT_FALSE(launcher.Btn3GP->isHidden());
    EXPECT_TRUE(launcher.Label5->text().isEmpty());
    EXPECT_TRUE(launcher.Label6->text().isEmpty());
}

TEST(Launcher, DescriptionsFollowThePointerWithoutRewritingTheSameTarget) {
    TChooseMain launcher;
    launcher.Btn3GP->OnMouseMove(launcher.Btn3GP, Qt::NoModifier, 3, 3);
    EXPECT_EQ(launcher.ShownDescription, Dev3GP);
    EXPECT_EQ(launcher.Label5->text(), LauncherDescription(Dev3GP));
    EXPECT_EQ(launcher.Label6->text(), launcher.Label5->text());

    launcher.Label5->setText("marker");  // a move over the same target leaves the labels alone
    launcher.Btn3GP->OnMouseMove(launcher.Btn3GP, Qt::NoModifier, 9, 9);
    EXPECT_EQ(launcher.Label5->text(), "marker");

    launcher.WindowSkin->OnMouseMove(launcher.WindowSkin, Qt::NoModifier, 1, 1);
    EXPECT_EQ(launcher.ShownDescription, -1);
    EXPECT_EQ(launcher.Label6->text(), LauncherDescription(-1));
    launcher.BtnPDA->OnMouseMove(launcher.BtnPDA, Qt::NoModifier, 1, 1);
    EXPECT_EQ(launcher.Label5->text(), LauncherDescription(DevPDA));
}

TEST(Launcher, LinkButtonsOpenTheVendorAddressesThroughTheShell) {
    TChooseMain launcher;
    QStringList opened;
    platform::SetShellOpenHandler([&](const QString& target) { opened << target; });
    launcher.BtnHome->Click();
    launcher.BtnHelp->Click();
    launcher.BtnEmail->Click();
    platform::SetShellOpenHandler({});
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], HomePageAddress);
    EXPECT_EQ(opened[1], HelpPageAddress);
    EXPECT_EQ(opened[2], ContactMailLink);
    EXPECT_TRUE(ContactMailLink.startsWith("mailto:"));
}

// A family button opens the converter set up for that family; closing the converter brings
// the launcher back.
TEST(Launcher, AMissingDevicePictureEndsTheSetUpWithTheExceptionBox) {
    FakeDialogs dialogs;
    ScratchInstall install;
    QFile::remove(install.Path("PDA.jpg"));
    TChooseMain launcher;
    Txconverter window;
    launcher.BtnPDA->Click();  // shows the converter, whose show runs the set-up
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("PDA.jpg"));
    EXPECT_EQ(dialogs.messages[0].icon, platform::BoxIcon::Error);
    EXPECT_EQ(window.OutputFolder->Text(), "");
    EXPECT_FALSE(platform::DirectoryExists(install.OutputRoot() + "PDA/"));
    EXPECT_EQ(window.CurrentDevice, DevPDA);
}

TEST(Launcher, CloseEmptiesTheThumbnailsAndReturnsToTheLauncher) {
    FakeDialogs dialogs;
    ScratchInstall install;
    TChooseMain launcher;
    Txconverter window;
    launcher.show();
    launcher.Btn3GP->Click();
    EXPECT_TRUE(launcher.isHidden());
    EXPECT_FALSE(window.isHidden());
    EXPECT_EQ(window.CurrentDevice, Dev3GP);
    EXPECT_EQ(window.OutputFolder->Text(), install.OutputRoot() + "3GP/");

    QDir().mkpath(install.Path("shotpic/keep"));
    for (const char* still : {"shotpic/clip.avi.jpg", "shotpic/keep/other.jpg"}) {
        QFile file(install.Path(still));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    window.BtnClose->Click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_FALSE(launcher.isHidden());
    EXPECT_FALSE(QFile::exists(install.Path("shotpic/clip.avi.jpg")));
    EXPECT_TRUE(QFile::exists(install.Path("shotpic/keep/other.jpg")));
    EXPECT_EQ(window.OutputFolder->Text(), "");

    launcher.BtnMP4->Click();  // a new show sets the window up afresh for the new family
    EXPECT_EQ(window.CurrentDevice, DevMP4);
    EXPECT_EQ(window.OutputFolder->Text(), install.OutputRoot() + "MP4/");
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
}

// The converter's minimise button minimises it, and a launcher minimised before a family was
// chosen comes back restored when the converter closes.
TEST(Launcher, MinimiseAndTheLaunchersReturn) {
    FakeDialogs dialogs;
    ScratchInstall install;
    TChooseMain launcher;
    Txconverter window;
    launcher.show();
    launcher.BtnMinimize->Click();
    EXPECT_TRUE(launcher.windowState() & Qt::WindowMinimized);
    launcher.Btn3GP->Click();
    window.BtnMinimize->Click();
    EXPECT_TRUE(window.windowState() & Qt::WindowMinimized);
    window.BtnClose->Click();
    EXPECT_TRUE(window.isHidden());
    EXPECT_TRUE(launcher.isVisible());
    EXPECT_FALSE(launcher.windowState() & Qt::WindowMinimized);
    // The next family opens the converter restored.
    launcher.BtnPDA->Click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);
}

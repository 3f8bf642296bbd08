#include <gtest/gtest.h>

#include "app/TChooseMain.h"
#include "platform/Shell.h"
#include "skin/ImageButton.h"
#include "skin/SkinForm.h"
#include "support/FakeDialogs.h"

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

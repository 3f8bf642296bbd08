// The command line: QorConverter [--device 3GP|PSP|IPOD|PDA|MP4] [FILE...].
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "app/StartArguments.h"
#include "app/TChooseMain.h"
#include "converter/Txconverter.h"
#include "media/FakeEngine.h"
#include "media/package/ListImagePanel.h"
#include "skin/ImageButton.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/Wait.h"

TEST(StartArguments, FamilyAndFilesAreReadFromTheCommandLine) {
    const QString here = QDir::currentPath() + "/";
    const struct {
        QStringList arguments;
        DeviceType device;
        QStringList files;
        bool exitNow;
        int exitCode;
    } cases[] = {
        {{"QorConverter"}, DevNone, {}, false, 0},
        {{"QorConverter", "/v/a.avi", "b.mov"}, DevNone, {"/v/a.avi", here + "b.mov"}, false, 0},
        {{"QorConverter", "--device", "PSP", "/v/a.avi"}, DevPSP, {"/v/a.avi"}, false, 0},
        {{"QorConverter", "--device=ipod"}, DevIPOD, {}, false, 0},
        {{"QorConverter", "--device", "3gp", "file:///v/x%20y.avi"},
         Dev3GP,
         {"/v/x y.avi"},
         false,
         0},
        {{"QorConverter", "--device", "PDA"}, DevPDA, {}, false, 0},
        {{"QorConverter", "--device", "Mp4", "/v/"}, DevMP4, {"/v/"}, false, 0},
        {{"QorConverter", "--device", "DVD", "/v/a.avi"}, DevNone, {}, true, 2},
        {{"QorConverter", "--device"}, DevNone, {}, true, 2},
        {{"QorConverter", "--frobnicate"}, DevNone, {}, true, 2},
        {{"QorConverter", "--help"}, DevNone, {}, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const StartRequest request = ParseStartArguments(c.arguments);
        EXPECT_EQ(request.exitNow, c.exitNow);
        EXPECT_EQ(request.exitCode, c.exitCode);
        if (c.exitNow) {
            EXPECT_FALSE(request.output.isEmpty());
            continue;
        }
        EXPECT_EQ(request.device, c.device);
        EXPECT_EQ(request.files, c.files);
    }
    EXPECT_TRUE(ParseStartArguments({"QorConverter", "--device", "DVD"})
                    .output.startsWith("Unknown device family 'DVD'"));
}

class StartWindows : public ::testing::Test {
protected:
    StartWindows() {
        engine.still = install.Path("MP4.jpg");
        for (const char* name : {"a.avi", "b.avi"}) {
            QFile file(clips.filePath(name));
            file.open(QIODevice::WriteOnly);
            files << clips.filePath(name);
        }
    }
    QStringList Listed() const {
        QStringList paths;
        for (int i = 0; i < converter.ListImagePanel->ItemCount; ++i)
            paths << converter.ListImagePanel->GetItem(unsigned(i))->SourcePath;
        return paths;
    }

    ScratchInstall install;
    FakeDialogs dialogs;
    FakeEngine engine;
    QTemporaryDir clips;
    QStringList files;
    TChooseMain launcher;
    Txconverter converter;
};

TEST_F(StartWindows, WithAFamilyTheConverterOpensWithTheFilesListed) {
    StartRequest request;
    request.device = DevPSP;
    request.files = files;
    ApplyStartRequest(request, launcher, converter);
    EXPECT_FALSE(launcher.isVisible());
    EXPECT_TRUE(converter.isVisible());
    EXPECT_EQ(converter.CurrentDevice, DevPSP);
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 2; }));
    EXPECT_EQ(Listed(), files);
    EXPECT_EQ(converter.ListImagePanel->GetItem(0)->TargetName, "a.MP4");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(StartWindows, WithoutAFamilyTheFilesWaitForTheFamilyPickedInTheLauncher) {
    StartRequest request;
    request.files = files;
    ApplyStartRequest(request, launcher, converter);
    EXPECT_TRUE(launcher.isVisible());
    EXPECT_FALSE(converter.isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(converter.ListImagePanel->ItemCount, 0);

    launcher.Btn3GPClick(launcher.Btn3GP);
    EXPECT_EQ(converter.CurrentDevice, Dev3GP);
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 2; }));
    EXPECT_EQ(converter.ListImagePanel->GetItem(1)->TargetName, "b.3gp");

    // The files are added once: the next family starts with an empty list.
    converter.BtnCloseClick(converter.BtnClose);
    launcher.BtnMP4Click(launcher.BtnMP4);
    QCoreApplication::processEvents();
    EXPECT_EQ(converter.ListImagePanel->ItemCount, 0);
}

TEST_F(StartWindows, EveryCloseOfTheConverterBringsTheLauncherBack) {
    // The window's own button and the window manager's close (Alt+F4, the title bar) alike.
    for (const bool ownButton : {true, false}) {
        launcher.BtnMP4Click(launcher.BtnMP4);
        ASSERT_TRUE(converter.isVisible());
        ASSERT_FALSE(launcher.isVisible());
        if (ownButton)
            converter.BtnCloseClick(converter.BtnClose);
        else
            converter.close();
        EXPECT_FALSE(converter.isVisible()) << ownButton;
        EXPECT_TRUE(launcher.isVisible()) << ownButton;
    }
}

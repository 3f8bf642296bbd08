// One program per user and display: the hand-over message, a later start handing its family and
// files over the local socket, and what the running program does with them.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "app/SingleInstance.h"
#include "app/TChooseMain.h"
#include "converter/Txconverter.h"
#include "media/FakeEngine.h"
#include "media/package/ListImagePanel.h"
#include "skin/ImageButton.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"
#include "support/Wait.h"

TEST(SingleInstance, TheHandOverCarriesFamilyAndFilesAndRefusesWhatIsNotOne) {
    StartRequest psp;
    psp.device = DevPSP;
    psp.files = {"/v/a b.avi", "/v/Ü.mkv"};
    StartRequest none;
    none.files = {"/v/c.flv"};
    for (const StartRequest& request : {psp, none, StartRequest{}}) {
        const std::optional<StartRequest> back = ReadHandOver(HandOverMessage(request));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->device, request.device);
        EXPECT_EQ(back->files, request.files);
    }
    for (const char* damaged : {"", "[]", "{}", R"({"device": "DVD", "files": []})",
                                R"({"device": "", "files": ["relative.avi"]})",
                                R"({"device": "", "files": [3]})", R"({"device": 4, "files": []})"})
        EXPECT_FALSE(ReadHandOver(damaged)) << damaged;
}

class HandOver : public ::testing::Test {
protected:
    HandOver() {
        engine.still = install.Path("MP4.jpg");
        for (const char* name : {"a.avi", "b.mkv", "c.flv"}) {
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
    StartRequest Request(DeviceType device, const QStringList& paths) {
        StartRequest request;
        request.device = device;
        request.files = paths;
        return request;
    }

    ScratchInstall install;
    FakeDialogs dialogs;
    FakeEngine engine;
    QTemporaryDir clips;
    QTemporaryDir runtime;
    QStringList files;
    TChooseMain launcher;
    Txconverter converter;
};

TEST_F(HandOver, ALaterStartHandsItsFilesOverTheSocketToTheRunningWindow) {
    const QString socket = runtime.filePath("QorConverter.socket");
    EXPECT_FALSE(HandToRunningProgram(Request(DevMP4, files), socket));  // none listens yet

    std::vector<StartRequest> arrived;
    InstanceListener listener([&](const StartRequest& r) {
        arrived.push_back(r);
        ApplyHandOver(r, launcher, converter);
    });
    ASSERT_TRUE(listener.Listen(socket));
    // A second listener on the same display finds the first one answering.
    InstanceListener second([](const StartRequest&) {});
    EXPECT_FALSE(second.Listen(socket));

    ApplyStartRequest(Request(DevMP4, {files[0]}), launcher, converter);
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 1; }));

    ASSERT_TRUE(HandToRunningProgram(Request(DevMP4, {files[1], files[2]}), socket));
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 3; }));
    ASSERT_EQ(arrived.size(), 1u);
    EXPECT_EQ(arrived[0].device, DevMP4);
    EXPECT_EQ(Listed(), files);
    EXPECT_TRUE(converter.isVisible());
    EXPECT_FALSE(launcher.isVisible());
}

TEST_F(HandOver, TheFamilyAskedForOpensAndTheOtherFamilysListIsKept) {
    ApplyStartRequest(Request(DevMP4, {files[0]}), launcher, converter);
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 1; }));

    ApplyHandOver(Request(DevNone, {files[1]}), launcher, converter);
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 2; }));
    EXPECT_EQ(Listed(), QStringList({files[0], files[1]}));

    ApplyHandOver(Request(DevPSP, {files[2]}), launcher, converter);
    EXPECT_EQ(converter.CurrentDevice, DevPSP);
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 1; }));
    EXPECT_EQ(Listed(), QStringList({files[2]}));

    ApplyHandOver(Request(DevMP4, {}), launcher, converter);
    EXPECT_EQ(converter.CurrentDevice, DevMP4);
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 2; }));
    EXPECT_EQ(Listed(), QStringList({files[0], files[1]}));

    // With the launcher up, files without a family wait for the family picked there.
    converter.close();
    EXPECT_TRUE(launcher.isVisible());
    ApplyHandOver(Request(DevNone, {files[2]}), launcher, converter);
    EXPECT_TRUE(launcher.isVisible());
    launcher.BtnPDAClick(launcher.BtnPDA);
    ASSERT_TRUE(WaitUntil([&] { return converter.ListImagePanel->ItemCount == 1; }));
    EXPECT_EQ(Listed(), QStringList({files[2]}));
    EXPECT_TRUE(dialogs.messages.empty());
}

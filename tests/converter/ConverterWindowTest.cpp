#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/core/FileSystem.h"
#include "profiles/TProfile.h"
#include "profiles/core/ProfileDatabase.h"
#include "skin/Drawing.h"
#include "skin/ImageButton.h"
#include "skin/ImagePanel.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinComboBox.h"
#include "skin/SkinEdit.h"
#include "skin/SkinForm.h"
#include "skin/SkinProgressBar.h"
#include "skin/SkinSpinEdit.h"
#include "skin/SkinTrackBar.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

// The default output root lies in the home folder: point HOME at a scratch folder.
class ScratchHome {
public:
    ScratchHome() : old_(qgetenv("HOME")) { qputenv("HOME", dir_.path().toUtf8()); }
    ~ScratchHome() { qputenv("HOME", old_); }
    QString Path() const { return dir_.path() + "/"; }

private:
    QTemporaryDir dir_;
    QByteArray old_;
};

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

}  // namespace

TEST(ConverterWindow, SetUpCreatesTheFamilysOutputFolderUnderTheStoredRoot) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    const struct {
        DeviceType device;
        const char* title;
        const char* sub;
    } families[] = {
        {Dev3GP, "All To 3GP 3GPP (Mobile) Video Converter", "3GP/"},
        {DevPSP, "All To PSP Video Converter", "PSP/"},
        {DevIPOD, "All To IPOD Video Converter", "IPOD/"},
        {DevPDA, "All To PDA Video Converter", "PDA/"},
        {DevMP4, "All To MP4 Video Converter", "MP4/"},
    };
    for (const auto& f : families) {
        SCOPED_TRACE(f.title);
        window.CurrentDevice = f.device;
        window.FormShow();
        EXPECT_EQ(window.TitleName->text(), f.title);
        EXPECT_EQ(window.OutputFolder->Text(), install.OutputRoot() + f.sub);
        EXPECT_TRUE(platform::DirectoryExists(install.OutputRoot() + f.sub));
        EXPECT_EQ(window.CopyThumbnailToOutput, f.device == DevPSP);
        EXPECT_EQ(window.ExeFolder, install.Folder());
        EXPECT_EQ(window.Player->Picture().size(), QSize(283, 205));
    }
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.LastText().toStdString();
}

TEST(ConverterWindow, MissingEmptyOrZeroRootFallsBackToTheHomeFolder) {
    FakeDialogs dialogs;
    ScratchHome home;
    ScratchInstall install;
    Txconverter window;
    window.CurrentDevice = DevMP4;
    for (const char* stored : std::initializer_list<const char*>{"", "0", nullptr}) {
        if (stored) {
            WriteProfileValue("MainSettings", "DefaultOutputMainPath", stored);
        } else {  // the shipped catalog carries no output root at all
            QFile::remove(install.Path("KivoMp4.dll"));
            QFile::copy(ScratchInstall::BinFolder() + "KivoMp4.dll", install.Path("KivoMp4.dll"));
        }
        QDir(home.Path() + "KivoMp4").removeRecursively();
        window.FormShow();
        EXPECT_EQ(window.OutputFolder->Text(), home.Path() + "KivoMp4/MP4/");
        EXPECT_TRUE(platform::DirectoryExists(home.Path() + "KivoMp4/MP4/"));
    }
}

TEST(ConverterWindow, ARootThatCannotBeCreatedLeavesTheFolderFieldEmpty) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Touch(install.Path("plainfile"));
    WriteProfileValue("MainSettings", "DefaultOutputMainPath", install.Path("plainfile/out/"));
    Txconverter window;
    window.CurrentDevice = Dev3GP;
    window.FormShow();
    EXPECT_EQ(window.OutputFolder->Text(), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST(ConverterWindow, BrowseStoresTheRootAndShowsTheFamilysSubFolder) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    window.CurrentDevice = DevPSP;
    window.FormShow();

    const QString videos = install.Path("Videos");
    dialogs.folderAnswers.push_back(videos);
    window.BtnBrowsClick(nullptr);
    EXPECT_EQ(dialogs.lastFolderTitle, "Select a folder to save the target files.");
    EXPECT_EQ(ReadProfileValue("MainSettings", "DefaultOutputMainPath", ""), videos + "/");
    EXPECT_EQ(window.OutputFolder->Text(), videos + "/PSP/");

    window.CurrentDevice = DevMP4;
    window.FormShow();
    EXPECT_EQ(window.OutputFolder->Text(), videos + "/MP4/");

    window.BtnBrowsClick(nullptr);  // cancelled: nothing changes
    EXPECT_EQ(window.OutputFolder->Text(), videos + "/MP4/");

    Touch(install.Path("notafolder"));
    dialogs.folderAnswers.push_back(install.Path("notafolder"));
    window.BtnBrowsClick(nullptr);
    EXPECT_EQ(dialogs.LastText(), "Please choose anthor folder to save the target files.");
    EXPECT_EQ(window.OutputFolder->Text(), videos + "/MP4/");
    EXPECT_EQ(ReadProfileValue("MainSettings", "DefaultOutputMainPath", ""), videos + "/");
}

TEST(ConverterWindow, VolumeLabelAndResetRestoreTheDefaults) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    window.CurrentDevice = Dev3GP;
    window.FormShow();
    window.tr_audio_vol->SetPosition(250);
    EXPECT_EQ(window.Label8->text(), "Volume : 250%");

    window.m_checkLetterbox->SetChecked(true);
    window.edit_videoquality->SetValue(900);
    window.ProgressFile->SetPosition(40);
    window.ProgressTotal->SetPosition(1);
    window.Converting_Infor->setText("Process Info :  Job Finished.");
    window.ResetWindow();
    EXPECT_FALSE(window.m_checkLetterbox->Checked());
    EXPECT_EQ(window.edit_videoquality->Text(), "512");
    EXPECT_EQ(window.tr_audio_vol->Position(), 100);
    EXPECT_EQ(window.Label8->text(), "Volume : 100%");
    EXPECT_EQ(window.ProgressFile->Position(), 0);
    EXPECT_EQ(window.ProgressTotal->Position(), 0);
    EXPECT_EQ(window.Converting_Infor->text(), "Process Info : ");
    EXPECT_EQ(window.OutputFolder->Text(), "");
    EXPECT_EQ(window.ProfilesList->Count(), 0);
    EXPECT_EQ(window.combox_audiochannels->Count(), 0);
}

TEST(ConverterWindow, JobLockingLeavesTrackCloseRunAndStopAlone) {
    Txconverter w;
    w.SetJobControlsEnabled(false);
    QWidget* const list[] = {
        w.ListImagePanel, w.FileAdd,      w.FileRemove,       w.ProfilesList, w.CustomProfileButton,
        w.BtnBrows,       w.OutputFolder, w.BtnSetStartPoint, w.BtnStop,      w.BtnPlayPause,
        w.BtnSetEndPoint};
    QWidget* const settings[] = {w.combox_videoformat, w.combox_resolution,    w.m_checkLetterbox,
                                 w.combox_framerate,   w.edit_videoquality,    w.ab_dropdown,
                                 w.combox_audioHZ,     w.combox_audiochannels, w.tr_audio_vol,
                                 w.combox_outfiletype};
    for (QWidget* locked : list)
        EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
    for (QWidget* locked : settings)
        EXPECT_FALSE(locked->isEnabled()) << locked->objectName().toStdString();
    for (QWidget* free :
         std::initializer_list<QWidget*>{w.PlayerTrack, w.BtnClose, w.BtnMinimize, w.Run, w.Stop})
        EXPECT_TRUE(free->isEnabled()) << free->objectName().toStdString();
    w.SetJobControlsEnabled(true);
    EXPECT_TRUE(w.combox_outfiletype->isEnabled());
}

TEST(ConverterWindow, ClearFolderDeletesPlainFilesAndRecursesOnlyWhenAsked) {
    QTemporaryDir dir;
    const QString root = dir.path() + "/";
    QDir().mkpath(root + "sub/deeper");
    for (const char* f : {"a.jpg", "b.avi.jpg", "sub/c.jpg", "sub/deeper/d.jpg"})
        Touch(root + f);

    Txconverter::ClearFolder(dir.path(), false);  // no trailing separator given
    EXPECT_FALSE(QFile::exists(root + "a.jpg"));
    EXPECT_FALSE(QFile::exists(root + "b.avi.jpg"));
    EXPECT_TRUE(QFile::exists(root + "sub/c.jpg"));
    EXPECT_TRUE(QFile::exists(root + "sub/deeper/d.jpg"));

    Txconverter::ClearFolder(root, true);
    EXPECT_FALSE(QFile::exists(root + "sub/c.jpg"));
    EXPECT_FALSE(QFile::exists(root + "sub/deeper/d.jpg"));
    EXPECT_TRUE(QDir(root + "sub/deeper").exists());   // folders are never removed
    Txconverter::ClearFolder(root + "missing", true);  // nothing to do, nothing breaks
}

TEST(ConverterWindow, CustomProfileButtonOpensTheEditorModally) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    TProfile editor;
    QDialog* shown = nullptr;
    dialogs.onModal = [&](QDialog& dialog) {
        shown = &dialog;
        return 0;
    };
    window.CustomProfileButton->Click();
    EXPECT_EQ(shown, &editor);
}

// A window shown for another family after a row's range was drawn shows the plain line on its
// track until a row is selected.
TEST(ConverterWindow, AFreshWindowsTrackShowsNoRange) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    window.CurrentDevice = DevMP4;
    window.FormShow();
    QImage& bar = window.PlayerTrack->BarBitmap();
    ASSERT_FALSE(bar.isNull());
    const int width = window.PlayerTrack->width();
    const auto blueColumns = [&] {
        int blue = 0;
        for (int x = 0; x < width && x < bar.width(); ++x)
            blue += bar.pixelColor(x, 0) == QColor(0, 0, 255) ? 1 : 0;
        return blue;
    };
    TItemPanel* row = window.ListImagePanel->AddItem(install.Path("MP4.jpg"));
    ASSERT_NE(row, nullptr);
    row->Duration = 100;
    row->StartPoint = 10;
    row->EndPoint = 90;
    window.DrawTrimRange(nullptr);
    EXPECT_GT(blueColumns(), 100);

    window.FormClose();
    window.CurrentDevice = Dev3GP;
    window.FormShow();
    EXPECT_EQ(blueColumns(), 0);
    EXPECT_EQ(bar.pixelColor(width / 2, 0), QColor(128, 128, 128));
}

// The title area belongs to the skin, which moves the window when pressed.
TEST(ConverterWindow, TheTitleAreaMovesTheWindow) {
    Txconverter window;
    for (const QPoint p : {window.TitleName->geometry().center(), QPoint(40, 12), QPoint(400, 14)})
        EXPECT_EQ(window.childAt(p), window.WindowSkin) << p.x() << "," << p.y();
}

// Browse opens the folder chooser at the current output folder.
TEST(ConverterWindow, BrowseOpensAtTheOutputFolder) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    window.CurrentDevice = DevPDA;
    window.FormShow();
    window.BtnBrowsClick(nullptr);
    EXPECT_EQ(dialogs.lastFolderInitial, install.OutputRoot() + "PDA/");
}

// Every image button of the window, the list's scroll arrows included, has a grey, dimmed
// picture for its disabled state.
TEST(ConverterWindow, EveryImageButtonHasADimmedDisabledPicture) {
    Txconverter window;
    const QList<ImageButton*> buttons = window.findChildren<ImageButton*>();
    EXPECT_EQ(buttons.size(), 14);  // twelve of the layout and the two scroll arrows
    for (ImageButton* button : buttons) {
        SCOPED_TRACE(button->objectName().toStdString());
        const QImage& disabled = button->PicDisabled();
        ASSERT_FALSE(disabled.isNull());
        EXPECT_EQ(disabled.size(), button->PicNormal().size());
        EXPECT_NE(disabled, button->PicNormal());
        const QRgb middle = disabled.pixel(disabled.width() / 2, disabled.height() / 2);
        EXPECT_TRUE(qRed(middle) == qGreen(middle) && qGreen(middle) == qBlue(middle));
    }
}

// Keyboard focus changes the look of every kind of skinned control in the window.
TEST(ConverterWindow, KeyboardFocusIsVisibleOnEverySkinnedControl) {
    FakeDialogs dialogs;
    ScratchInstall install;
    Txconverter window;
    window.CurrentDevice = DevMP4;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    TItemPanel* row = window.ListImagePanel->AddItem(install.Path("MP4.jpg"));
    ASSERT_NE(row, nullptr);
    for (QWidget* control : std::initializer_list<QWidget*>{
             window.FileAdd, window.BtnBrows, window.Run, window.OutputFolder, window.ProfilesList,
             window.edit_videoquality, window.m_checkLetterbox, window.tr_audio_vol,
             window.ListImagePanel}) {
        SCOPED_TRACE(control->objectName().toStdString());
        window.BtnClose->setFocus();
        const QImage before = window
                                  .grab(control->geometry().translated(
                                      control->parentWidget()->mapTo(&window, QPoint())))
                                  .toImage();
        control->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(control->hasFocus());
        const QImage focused = window
                                   .grab(control->geometry().translated(
                                       control->parentWidget()->mapTo(&window, QPoint())))
                                   .toImage();
        EXPECT_NE(before, focused);
        // Edits and drop-down lists frame themselves in the highlight colour.
        if (control == window.OutputFolder || control == window.ProfilesList)
            EXPECT_EQ(focused.pixelColor(0, 0), FocusRingColor());
    }
}

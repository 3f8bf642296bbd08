// Where the profile database and the stills live: beside the executable when its folder takes
// new files, in the user's configuration and cache folders when the program is installed for
// all users; how the user's copy of the database follows the installed one, and how a damaged
// copy is named and, on the user's Yes, replaced by the installed one with the damaged file kept.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "converter/Txconverter.h"
#include "media/FakeEngine.h"
#include "media/Thumbnails.h"
#include "media/package/ListImagePanel.h"
#include "platform/DataFolders.h"
#include "platform/Paths.h"
#include "profiles/CatalogCheck.h"
#include "profiles/ProfileDatabase.h"
#include "profiles/TProfile.h"
#include "skin/ImageButton.h"
#include "skin/SkinButton.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Store(const QString& path, const QByteArray& content) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// The user's folders point into a scratch folder for the test's lifetime.
class ScratchUserFolders {
public:
    ScratchUserFolders() {
        qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toUtf8());
        qputenv("XDG_CACHE_HOME", (dir_.path() + "/cache").toUtf8());
    }
    ~ScratchUserFolders() {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_CACHE_HOME");
    }
    QString Config() const { return dir_.path() + "/config/QorConverter/"; }
    QString Cache() const { return dir_.path() + "/cache/QorConverter/"; }

private:
    QTemporaryDir dir_;
};

constexpr auto kReadOnlyFolder = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                 QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
constexpr auto kWritableFolder = kReadOnlyFolder | QFile::WriteOwner;

// A run of the program decides once where its data lives: a new run looks again.
void Restart(const QString& exeFolder) {
    platform::SetExeFolder(QString());
    platform::PerUserData();
    platform::SetExeFolder(exeFolder);
}

// An installation shared by all users, each with a copy of the catalog in a scratch folder.
class SharedInstall : public testing::Test {
protected:
    void SetUp() override {
        Store(install_.Path(platform::SharedInstallMarker), "");
        Restart(install_.Folder());
        ASSERT_TRUE(platform::PerUserData());
        ASSERT_EQ(PrepareProfileDatabase(), CatalogPlacement::Copied);
    }
    void TearDown() override { platform::SetExeFolder(QString()); }
    QString Copy() const { return user_.Config() + "KivoMp4.dll"; }
    QString Installed() { return install_.Path("KivoMp4.dll"); }

    ScratchUserFolders user_;
    ScratchInstall install_;
};

}  // namespace

TEST(DataMode, TheUsersCopyFollowsTheInstalledDatabaseOnlyWhileTheProgramHasNotChangedIt) {
    QTemporaryDir dir;
    const QString installed = dir.filePath("installed.dll");
    const QString copy = dir.filePath("user/KivoMp4.dll");
    const QString stamp = copy + ".shipped";
    const struct {
        const char* name;
        std::function<void()> before;  // runs after a first placement made the copy
        CatalogPlacement expected;
        QByteArray copyAfter;
    } cases[] = {
        {"same installed database", [] {}, CatalogPlacement::Kept, "[MP4]\nProfiles0=A\n"},
        {"newer installed database, copy unchanged",
         [&] { Store(installed, "[MP4]\nProfiles0=B\n"); }, CatalogPlacement::Replaced,
         "[MP4]\nProfiles0=B\n"},
        {"newer installed database, custom profile in the copy",
         [&] {
             WriteIniValue(copy, "MP4", "CustomProfile0", "Custom->mine");
             Store(installed, "[MP4]\nProfiles0=B\n");
         },
         CatalogPlacement::Kept, "[MP4]\nProfiles0=A\nCustomProfile0=Custom->mine\n"},
        {"copy of unknown origin",
         [&] {
             QFile::remove(stamp);
             Store(installed, "[MP4]\nProfiles0=B\n");
         },
         CatalogPlacement::Kept, "[MP4]\nProfiles0=A\n"},
        {"no installed database", [&] { QFile::remove(installed); }, CatalogPlacement::Kept,
         "[MP4]\nProfiles0=A\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.filePath("user")).removeRecursively();
        Store(installed, "[MP4]\nProfiles0=A\n");
        ASSERT_EQ(PlaceCatalogCopy(installed, copy, stamp), CatalogPlacement::Copied);
        EXPECT_EQ(Contents(copy), Contents(installed));
        c.before();
        EXPECT_EQ(PlaceCatalogCopy(installed, copy, stamp), c.expected);
        EXPECT_EQ(Contents(copy), c.copyAfter);
    }
    // Nothing to copy from and no copy: the caller reads the installed path instead.
    QDir(dir.filePath("user")).removeRecursively();
    EXPECT_EQ(PlaceCatalogCopy(dir.filePath("missing.dll"), copy, stamp), CatalogPlacement::Failed);
    EXPECT_FALSE(QFile::exists(copy));
}

TEST(DataMode, AWritableFolderKeepsEverythingBesideTheExecutableUnlessMarkedShared) {
    ScratchUserFolders user;
    ScratchInstall install;
    Restart(install.Folder());
    EXPECT_FALSE(platform::PerUserData());
    EXPECT_EQ(ProfileDatabasePath(), install.Path("KivoMp4.dll"));
    EXPECT_EQ(platform::StillsParentFolder(), install.Folder());

    Store(install.Path(platform::SharedInstallMarker), "");
    Restart(install.Folder());
    EXPECT_TRUE(platform::PerUserData());
    EXPECT_EQ(ProfileDatabasePath(), user.Config() + "KivoMp4.dll");
    EXPECT_EQ(platform::StillsParentFolder(), user.Cache());
}

TEST(DataMode, AReadOnlyInstallationKeepsEachUsersProfilesAndStillsInTheirOwnFolders) {
    FakeDialogs dialogs;
    FakeEngine engine;
    ScratchUserFolders user;
    ScratchInstall install;
    engine.still = install.Path("MP4.jpg");
    const QByteArray shipped = Contents(install.Path("KivoMp4.dll"));
    ASSERT_TRUE(QFile::setPermissions(install.Folder(), kReadOnlyFolder));
    Restart(install.Folder());

    ASSERT_TRUE(platform::PerUserData());
    EXPECT_EQ(PrepareProfileDatabase(), CatalogPlacement::Copied);
    const QString copy = user.Config() + "KivoMp4.dll";
    EXPECT_EQ(ProfileDatabasePath(), copy);
    EXPECT_EQ(Contents(copy), shipped);

    {
        // A custom profile saved in the editor lands in the user's copy.
        Txconverter window;
        TProfile editor;
        window.CurrentDevice = DevMP4;
        window.LoadDeviceProfiles(DevMP4);
        dialogs.onModal = [&](QDialog& dialog) {
            dialog.show();
            editor.BtnSaveProfile->OnClick(editor.BtnSaveProfile);
            dialog.hide();
            return dialog.result();
        };
        window.CustomProfileButton->OnClick(window.CustomProfileButton);
        ASSERT_NE(ReadProfileValue("MP4", "CustomProfile0", "NoData"), "NoData");

        // Stills go to the user's cache folder.
        window.AddMediaFiles({"/clips/holiday.avi"});
        ASSERT_EQ(window.ListImagePanel->ItemCount, 1);
        const QString still = user.Cache() + "shotpic/" + StillFileName("/clips/holiday.avi");
        EXPECT_EQ(window.ListImagePanel->GetItem(0)->PicturePath, still);
        EXPECT_TRUE(QFile::exists(still));
        window.FormClose();
        EXPECT_FALSE(QFile::exists(still));
    }
    const QString custom = ReadProfileValue("MP4", "CustomProfile0", "NoData");
    EXPECT_EQ(Contents(install.Path("KivoMp4.dll")), shipped);
    EXPECT_FALSE(QFile::exists(install.Path("shotpic")));

    // After a restart the profile reads back; a newer installed database does not replace
    // the copy that holds it.
    Restart(install.Folder());
    EXPECT_EQ(PrepareProfileDatabase(), CatalogPlacement::Kept);
    EXPECT_EQ(ReadProfileValue("MP4", "CustomProfile0", "NoData"), custom);
    ASSERT_TRUE(QFile::setPermissions(install.Folder(), kWritableFolder));
    Store(install.Path("KivoMp4.dll"), shipped + "\n[MP4]\nProfiles90=Newer\n");
    ASSERT_TRUE(QFile::setPermissions(install.Folder(), kReadOnlyFolder));
    Restart(install.Folder());
    EXPECT_EQ(PrepareProfileDatabase(), CatalogPlacement::Kept);
    EXPECT_EQ(ReadProfileValue("MP4", "CustomProfile0", "NoData"), custom);
    QFile::setPermissions(install.Folder(), kWritableFolder);
}

TEST_F(SharedInstall, ADamagedCopyIsNamedWithItsReason) {
    const QByteArray shipped = Contents(Installed());
    const struct {
        const char* name;
        QByteArray content;
        const char* reason;  // empty: sound
    } cases[] = {
        {"the installed catalog", shipped, ""},
        {"one family's section", "[mp4]\nProfiles0=A\n", ""},
        {"empty", "", "it is empty"},
        {"blank lines only", "\n \r\n\t\n", "it is empty"},
        {"garbage", QByteArray("\x00\xff\x13garbage\x00\x7f", 12),
         "it holds no device family's profiles"},
        {"another INI file", "[General]\nkey=value\n", "it holds no device family's profiles"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Store(Copy(), c.content);
        QString why;
        const QString damaged = DamagedUserCatalog(why);
        EXPECT_EQ(why, QString::fromLatin1(c.reason));
        EXPECT_EQ(damaged, *c.reason ? Copy() : QString());
    }
}

TEST_F(SharedInstall, TheWindowOffersTheInstalledCatalogAndKeepsTheDamagedOne) {
    const struct {
        const char* name;
        bool answer;
    } cases[] = {{"declined", false}, {"accepted", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDialogs dialogs;
        Store(Copy(), "garbage");
        dialogs.askAnswers.push_back(c.answer);
        EXPECT_EQ(OfferCatalogRestore(nullptr), c.answer);
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_TRUE(dialogs.questions.front().contains(Copy()))
            << dialogs.questions.front().toStdString();
        if (!c.answer) {
            EXPECT_EQ(Contents(Copy()), "garbage");
            continue;
        }
        EXPECT_EQ(Contents(Copy()), Contents(Installed()));
        EXPECT_EQ(Contents(Copy() + ".damaged"), "garbage");
        EXPECT_TRUE(dialogs.LastText().contains(Copy() + ".damaged"));
        // Sound now: no second question.
        EXPECT_TRUE(OfferCatalogRestore(nullptr));
        EXPECT_EQ(dialogs.questions.size(), 1u);
    }
    // A second restore keeps the first damaged file too.
    Store(Copy(), "");
    EXPECT_EQ(RestoreInstalledCatalog(), Copy() + ".damaged-2");
    EXPECT_EQ(Contents(Copy() + ".damaged"), "garbage");
}

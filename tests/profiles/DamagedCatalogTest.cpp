// A damaged copy of the user's profile catalog: named with its reason, and on the user's Yes
// replaced by the installed catalog while the damaged file is kept beside it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/DataFolders.h"
#include "platform/Paths.h"
#include "profiles/CatalogCheck.h"
#include "profiles/ProfileDatabase.h"
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

// An installation shared by all users, each with a copy of the catalog in a scratch folder.
class SharedInstall : public testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", (user_.path() + "/config").toUtf8());
        Store(install_.Path(platform::SharedInstallMarker), "");
        // A new run decides again where its data lives.
        platform::SetExeFolder(QString());
        platform::PerUserData();
        platform::SetExeFolder(install_.Folder());
        ASSERT_TRUE(platform::PerUserData());
        ASSERT_EQ(PrepareProfileDatabase(), CatalogPlacement::Copied);
    }
    void TearDown() override {
        platform::SetExeFolder(QString());
        qunsetenv("XDG_CONFIG_HOME");
    }
    QString Copy() const { return user_.path() + "/config/QorConverter/KivoMp4.dll"; }
    QString Installed() { return install_.Path("KivoMp4.dll"); }

    QTemporaryDir user_;
    ScratchInstall install_;
};

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

}  // namespace

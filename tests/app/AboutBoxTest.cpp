#include <gtest/gtest.h>

#include <QFile>

#include "app/TChooseMain.h"
#include "app/Taboutkivodvd.h"
#include "skin/ImageButton.h"
#include "skin/UrlLabel.h"
#include "support/FakeDialogs.h"
#include "support/ScratchInstall.h"

namespace {
void WriteVersionFile(const ScratchInstall& install, const QByteArray& content) {
    QFile file(install.Path("Gver.dll"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}
}  // namespace

TEST(AboutBox, ReadsTheVersionFileWithItsDefaults) {
    ScratchInstall install(QStringList{});
    Taboutkivodvd about;
    const struct {
        const char* file;  // nullptr: no version file at all
        const char* title;
        const char* build;
    } cases[] = {
        {nullptr, "QOR IPOD/PSP/3GP/MP4 Video Converter  4.0.0", "Build On 20070115"},
        {"[Config]\nver1=5\nver2=1\nver3=2\n", "QOR IPOD/PSP/3GP/MP4 Video Converter  5.1.2",
         "Build On 20070115"},
        {"[config]\r\nSP=Pocket Video\r\nver1=0\r\nver2=\r\nbuildon=20261209\r\n",
         "QOR Pocket Video  4.0.0", "Build On 20261209"},
        {"not an ini file at all\x01\x02", "QOR IPOD/PSP/3GP/MP4 Video Converter  4.0.0",
         "Build On 20070115"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        if (c.file) {
            WriteVersionFile(install, c.file);
        } else {
            QFile::remove(install.Path("Gver.dll"));
        }
        about.FormShow();  // read anew on every show
        EXPECT_EQ(about.Label2->text(), c.title);
        EXPECT_EQ(about.Label8->text(), c.title);
        EXPECT_EQ(about.Label4->text(), c.build);
    }
}

TEST(AboutBox, LinksNameTheVendorAndTheLauncherOpensItModally) {
    FakeDialogs dialogs;
    ScratchInstall install;
    TChooseMain launcher;
    Taboutkivodvd about;
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.WebLink->Caption(), "WebSite: " + HomePageAddress);
    EXPECT_EQ(about.ContactLink->Caption(),
              "Contact:   " + QString(ContactMailLink).remove("mailto:"));
    EXPECT_EQ(about.ContactLink->URL(), ContactMailLink);
    launcher.BtnAbout->Click();
    EXPECT_EQ(dialogs.modalCount, 1);
}

// The profile database: the private-profile reading and writing rules, the safety of writes,
// and the comma-text splitter of parameter values.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/core/Errors.h"
#include "platform/core/Paths.h"
#include "profiles/core/ProfileDatabase.h"

namespace {

class ProfileDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        platform::SetExeFolder(dir_.path());
    }
    void TearDown() override {
        // Give the folder back its permissions so that it can be removed.
        QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(Db(), QFile::ReadOwner | QFile::WriteOwner);
        platform::SetExeFolder(QString());
    }
    QString Db() const { return ProfileDatabasePath(); }
    void Store(const QByteArray& content) {
        QFile file(Db());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray Stored() const {
        QFile file(Db());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList List(const QString& section, const QString& key) {
        QStringList items;
        for (int n = 0;; ++n) {
            const QString value = ReadProfileValue(section, key + QString::number(n), "NoData");
            if (value == "NoData")
                return items;
            items << value;
        }
    }

    QTemporaryDir dir_;
};

TEST_F(ProfileDatabaseTest, PathIsBesideTheExecutable) {
    EXPECT_EQ(Db(), platform::WithTrailingSeparator(dir_.path()) + "KivoMp4.dll");
}

TEST_F(ProfileDatabaseTest, ReadingRules) {
    Store(
        "; installed catalog\n"
        "[MainSettings]\n"
        "DefaultOutputMainPath = /data/out/ \n"
        "[mp4]\n"
        "profiles0=Phone 320x240\n"
        "  Spaced   =   inner  blanks  \t\n"
        "Dup=first\n"
        "DUP=second\n"
        "Quoted=\"  keeps blanks  \"\n"
        "Single='single'\n"
        "Mixed=\"mixed'\n"
        "Lone=\"\n"
        "TwoQuotes=\"\"\n"
        "Zero=0\n"
        "QuotedZero=\"0\"\n"
        "ZeroZero=00\n"
        "Empty=\n"
        "NoData=NoData\n"
        "not a key line\n"
        "Equation=a=b\n"
        "[Other]\n"
        "Dup=other section\n"
        "[MP4]\n"
        "Later=second section of the same name\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"MainSettings", "DefaultOutputMainPath", "/data/out/"},
        {"MP4", "Profiles0", "Phone 320x240"},
        {"Mp4", "PROFILES0", "Phone 320x240"},
        {"MP4", "Spaced", "inner  blanks"},
        {"MP4", "dup", "first"},
        {"MP4", "Quoted", "  keeps blanks  "},
        {"MP4", "Single", "single"},
        {"MP4", "Mixed", "\"mixed'"},
        {"MP4", "Lone", "\""},
        {"MP4", "TwoQuotes", "default"},
        {"MP4", "Zero", "default"},
        {"MP4", "QuotedZero", "default"},
        {"MP4", "ZeroZero", "00"},
        {"MP4", "Empty", "default"},
        {"MP4", "NoData", "NoData"},
        {"MP4", "not a key line", "default"},
        {"MP4", "Equation", "a=b"},
        {"MP4", "Later", "default"},
        {"MP4", "Missing", "default"},
        {"Other", "Dup", "other section"},
        {"PSP", "Profiles0", "default"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadProfileValue(c.section, c.key, "default"), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST_F(ProfileDatabaseTest, ListsEndAtTheFirstAbsentItem) {
    Store(
        "[3GP]\nProfiles0=a\nProfiles1=b\nProfiles3=d\n"
        "Resolution0=160x120\nResolution1=0\nResolution2=176x144\n"
        "Framerate0=NoData\nFramerate1=15\n"
        "VideoCodec0=mpeg4\nVideoCodec1=\nVideoCodec2=h263\n");
    EXPECT_EQ(List("3GP", "Profiles"), QStringList({"a", "b"}));
    EXPECT_EQ(List("3GP", "Resolution"), QStringList({"160x120"}));
    EXPECT_EQ(List("3GP", "Framerate"), QStringList());
    EXPECT_EQ(List("3GP", "VideoCodec"), QStringList({"mpeg4"}));
}

TEST_F(ProfileDatabaseTest, WithoutTheFileEveryLookupGivesItsDefault) {
    EXPECT_EQ(ReadProfileValue("3GP", "Profiles0", "NoData"), "NoData");
    EXPECT_EQ(ReadProfileValue("3GP", "DefaultProfiles", "0"), "0");
    // A new file gets the desktop's line break, so the catalog stays portable.
    WriteProfileValue("MP4", "Profiles0", "first");
    EXPECT_EQ(Stored(), "[MP4]\r\nProfiles0=first\r\n");
}

TEST_F(ProfileDatabaseTest, BlanksInsideTheBracketsAreNotPartOfTheSectionName) {
    const struct {
        const char* name;
        QByteArray before;
        QByteArray after;  // once Profiles0 is set to "new" and Profiles1 to "added"
    } cases[] = {
        {"blanks", "[ MP4 ]\nProfiles0=old\n", "[ MP4 ]\nProfiles0=new\nProfiles1=added\n"},
        {"tabs, CRLF", "[\tmp4\t]\r\nProfiles0=old\r\n[PSP]\r\n",
         "[\tmp4\t]\r\nProfiles0=new\r\nProfiles1=added\r\n[PSP]\r\n"},
        {"lone CR, blanks around the line too", "  [  MP4]  \rProfiles0 = old\r",
         "  [  MP4]  \rProfiles0=new\rProfiles1=added\r"},
        {"a file without a line break", "[ MP4 ]",
         "[ MP4 ]\r\nProfiles0=new\r\nProfiles1=added\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Store(c.before);
        EXPECT_EQ(ReadProfileValue("MP4", "Profiles0", "NoData"),
                  c.before.contains("old") ? "old" : "NoData");
        EXPECT_EQ(ReadProfileSection(" MP4\t").Value("profiles0", "NoData"),
                  c.before.contains("old") ? "old" : "NoData");
        WriteProfileValue("MP4", "Profiles0", "new");
        WriteProfileValue(" MP4 ", "Profiles1", "added");
        EXPECT_EQ(Stored(), c.after);
    }
}

TEST_F(ProfileDatabaseTest, ASectionReadOnceAnswersLikeSingleLookups) {
    Store(
        "[MP4]\nProfiles0=a\nprofiles0=second occurrence\nEmpty=\nZero=0\n"
        "Quoted=\"q v\"\nLong=" +
        QByteArray(3000, 'v') + "\n[psp]\nProfiles0=psp\n[MP4]\nLater=never read\n");
    const ProfileSection mp4 = ReadProfileSection("mp4");
    for (const char* key :
         {"Profiles0", "PROFILES0", "Empty", "Zero", "Quoted", "Long", "Later", "Missing"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(mp4.Value(key, "def"), ReadProfileValue("MP4", key, "def"));
    }
    EXPECT_EQ(ReadProfileSection("PSP").Value("Profiles0", "def"), "psp");
    EXPECT_EQ(ReadProfileSection("Missing").Value("Profiles0", "def"), "def");
    platform::SetExeFolder(dir_.path() + "/no such folder");
    EXPECT_EQ(ReadProfileSection("MP4").Value("Profiles0", "def"), "def");
}

TEST_F(ProfileDatabaseTest, LongValuesAreCutAt2047Characters) {
    const QByteArray long3000(3000, 'v');
    Store("[MP4]\nLong=" + long3000 + "\nQuotedLong=\"" + long3000 + "\"\n");
    EXPECT_EQ(ReadProfileValue("MP4", "Long", "d"), QString(2047, 'v'));
    EXPECT_EQ(ReadProfileValue("MP4", "QuotedLong", "d"), QString(2047, 'v'));
}

TEST_F(ProfileDatabaseTest, LineEndsOfEitherKindRead) {
    for (const QByteArray& content :
         {QByteArray("[PSP]\r\nProfiles0=crlf\r\nProfiles1=two\r\n"),
          QByteArray("[PSP]\nProfiles0=crlf\nProfiles1=two"),
          QByteArray("[PSP]\rProfiles0=crlf\rProfiles1=two\r"),
          QByteArray("\xEF\xBB\xBF[PSP]\nProfiles0=crlf\nProfiles1=two\n")}) {
        Store(content);
        EXPECT_EQ(List("PSP", "Profiles"), QStringList({"crlf", "two"})) << content.constData();
    }
}

TEST_F(ProfileDatabaseTest, BadFilesNeverBreakARead) {
    // A folder in the database's place.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("KivoMp4.dll"));
    EXPECT_EQ(ReadProfileValue("MP4", "Profiles0", "NoData"), "NoData");
    EXPECT_THROW(WriteProfileValue("MP4", "Profiles0", "x"), EWriteError);
    ASSERT_TRUE(QDir(dir_.path()).rmdir("KivoMp4.dll"));

    // Binary garbage, with a readable key after it.
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) % 256));
    Store(garbage + "\n[MP4]\nProfiles0=after garbage\n");
    EXPECT_EQ(ReadProfileValue("MP4", "Profiles0", "NoData"), "after garbage");
    EXPECT_EQ(ReadProfileValue("MP4", "Profiles1", "NoData"), "NoData");

    // A 10 MB line, and a file without a final line break.
    Store("[MP4]\nHuge=" + QByteArray(10 * 1024 * 1024, 'h') + "\nLast=end");
    EXPECT_EQ(ReadProfileValue("MP4", "Huge", "d").size(), 2047);
    EXPECT_EQ(ReadProfileValue("MP4", "Last", "d"), "end");
    WriteProfileValue("MP4", "Last", "changed");
    EXPECT_EQ(ReadProfileValue("MP4", "Last", "d"), "changed");
    EXPECT_EQ(ReadProfileValue("MP4", "Huge", "d").size(), 2047);
}

TEST_F(ProfileDatabaseTest, WritesKeepEveryOtherLine) {
    struct Case {
        const char* name;
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    } cases[] = {
        {"existing key in place, first occurrence, its spelling kept",
         "; note\n[mp4]\n  Key  =  old \nkey=second\n[PSP]\nKey=psp\n", "MP4", "KEY", "new",
         "; note\n[mp4]\nKey=new\nkey=second\n[PSP]\nKey=psp\n"},
        {"new key at the end of its section, before the blank line",
         "[3GP]\nProfiles0=a\n\n[PSP]\nProfiles0=b\n", "3gp", "Profiles1", "c",
         "[3GP]\nProfiles0=a\nProfiles1=c\n\n[PSP]\nProfiles0=b\n"},
        {"new key in the last section without a final line break", "[3GP]\nProfiles0=a", "3GP",
         "Profiles1", "b", "[3GP]\nProfiles0=a\nProfiles1=b\n"},
        {"new section at the end of the file", "[3GP]\r\nProfiles0=a\r\n", "IPOD", "Profiles0", "x",
         "[3GP]\r\nProfiles0=a\r\n[IPOD]\r\nProfiles0=x\r\n"},
        {"new section after a last line without a line break", "[3GP]\nProfiles0=a", "PDA", "K",
         "v", "[3GP]\nProfiles0=a\n[PDA]\nK=v\n"},
        {"CRLF file keeps CRLF for a new key", "[PSP]\r\nA=1\r\n[MP4]\r\nB=2\r\n", "PSP", "C", "3",
         "[PSP]\r\nA=1\r\nC=3\r\n[MP4]\r\nB=2\r\n"},
        {"a value written as 0", "[MP4]\nA=1\n", "MP4", "A", "0", "[MP4]\nA=0\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[MP4]\nA=1\n", "MP4", "A", "2",
         "\xEF\xBB\xBF[MP4]\nA=2\n"},
        {"empty section keeps its header", "[MP4]\n[PSP]\nA=1\n", "MP4", "A", "x",
         "[MP4]\nA=x\n[PSP]\nA=1\n"},
    };
    for (const Case& c : cases) {
        Store(c.before);
        WriteProfileValue(c.section, c.key, c.value);
        EXPECT_EQ(Stored(), c.after) << c.name;
    }
    // A value written as "0" reads back as the reader's default.
    WriteProfileValue("MP4", "Written", "0");
    EXPECT_EQ(ReadProfileValue("MP4", "Written", "NoData"), "NoData");
}

TEST_F(ProfileDatabaseTest, AFailedWriteLeavesTheFileUnchanged) {
    const QByteArray content = "[MP4]\nProfiles0=kept\n";
    const QString expected = "Unable to write to " + Db();

    // A read-only file.
    Store(content);
    ASSERT_TRUE(QFile::setPermissions(Db(), QFile::ReadOwner | QFile::ReadGroup));
    try {
        WriteProfileValue("MP4", "Profiles1", "new");
        ADD_FAILURE() << "the write into a read-only file did not fail";
    } catch (const EWriteError& error) {
        EXPECT_EQ(error.Message(), expected);
    }
    EXPECT_EQ(Stored(), content);
    QFile::setPermissions(Db(), QFile::ReadOwner | QFile::WriteOwner);

    // A read-only folder: the file itself may be writable, but no new file can replace it.
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_THROW(WriteProfileValue("MP4", "Profiles1", "new"), EWriteError);
    EXPECT_EQ(Stored(), content);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A folder that does not exist.
    EXPECT_THROW(WriteIniValue(dir_.path() + "/missing/KivoMp4.dll", "MP4", "A", "1"), EWriteError);

    // A line break would split the line and change other keys: refused, file unchanged.
    EXPECT_THROW(WriteProfileValue("MP4", "Profiles1", "two\n[PSP]"), EWriteError);
    EXPECT_EQ(Stored(), content);

    // Nothing is left beside the database.
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList("KivoMp4.dll"));
}

TEST(CommaText, SplitsIntoFields) {
    struct Case {
        const char* value;
        QStringList fields;
    } cases[] = {
        {"512,64,2", {"512", "64", "2"}},
        {"  512 , 64 ,  2  ", {"512", "64", "2"}},
        {"512 64\t2", {"512", "64", "2"}},
        {"176x144,256,15,,1", {"176x144", "256", "15", "", "1"}},
        {"a,", {"a", ""}},
        {"a, ", {"a"}},
        {",a", {"", "a"}},
        {",", {"", ""}},
        {"", {}},
        {"   ", {}},
        {"\"a b, c\",d", {"a b, c", "d"}},
        {"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
        {"\"open ended", {"open ended"}},
        {"\"ab\"cd,e", {"ab", "cd", "e"}},
        {"x\"y\",z", {"x\"y\"", "z"}},
        {"NoData", {"NoData"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitCommaText(c.value), c.fields) << c.value;
    }
    EXPECT_EQ(SplitCommaText(QString("a,b") + QChar(0) + ",c"), QStringList({"a", "b"}));
}

}  // namespace

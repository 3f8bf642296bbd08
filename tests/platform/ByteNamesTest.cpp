// File names as bytes: every byte sequence comes back unchanged, valid UTF-8 reads as usual, and
// the file-system checks find a name that is not UTF-8.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/core/ByteNames.h"
#include "platform/core/FileSystem.h"

TEST(ByteNames, EveryNameComesBackAsTheSameBytes) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString shown;
    } cases[] = {
        {"ASCII", "/clips/clip.avi", "/clips/clip.avi"},
        {"UTF-8", "/clips/caf\xc3\xa9 \xe5\xa4\x8f.avi", QString::fromUtf8("/clips/café 夏.avi")},
        {"Latin-1", "/clips/caf\xe9.avi", QString::fromUtf8("/clips/caf\xef\xbf\xbd.avi")},
        {"a cut sequence at the end", "clip\xe5\xa4",
         QString::fromUtf8("clip\xef\xbf\xbd\xef\xbf\xbd")},
        {"an overlong slash",
         "a\xc0\xaf"
         "b",
         QString::fromUtf8("a\xef\xbf\xbd\xef\xbf\xbd"
                           "b")},
        {"an encoded surrogate", "\xed\xb3\xa9",
         QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd")},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80",
         QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd")},
        {"a four-byte character", "\xf0\x9f\x8e\xac.mp4", QString::fromUtf8("🎬.mp4")},
        {"every high byte", QByteArray("\x80\xff\xfe\xc1"),
         QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = platform::PathFromBytes(c.bytes);
        EXPECT_EQ(platform::PathBytes(path), c.bytes);
        EXPECT_EQ(platform::ShownPath(path), c.shown);
    }
    // Valid UTF-8 is the same text Qt makes of it.
    EXPECT_EQ(platform::PathFromBytes("caf\xc3\xa9"), QString::fromUtf8("café"));
    EXPECT_EQ(platform::PathBytes(QString::fromUtf8("café")), QByteArray("caf\xc3\xa9"));
}

TEST(ByteNames, TheFileChecksFindANameThatIsNotUtf8) {
    QTemporaryDir dir;
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/caf\xe9.avi";
    FILE* file = std::fopen(bytes.constData(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    const QString path = platform::PathFromBytes(bytes);
    EXPECT_TRUE(platform::FileExists(path));
    EXPECT_FALSE(platform::DirectoryExists(path));
    EXPECT_TRUE(platform::DirectoryExists(platform::PathFromBytes(QFile::encodeName(dir.path()))));
    // The still beside an output of such a name (the PSP family's THM file).
    const QString copy = platform::PathFromBytes(QFile::encodeName(dir.path()) + "/caf\xe9.THM");
    EXPECT_TRUE(platform::CopyFile(path, copy, false));
    EXPECT_FALSE(platform::CopyFile(path, copy, false)) << "an existing copy is kept";
    EXPECT_TRUE(platform::CopyFile(path, copy, true));
    EXPECT_TRUE(platform::FileExists(copy));
    EXPECT_TRUE(platform::DeleteFile(path));
    EXPECT_FALSE(platform::FileExists(path));
    EXPECT_FALSE(platform::CopyFile(path, copy, true)) << "nothing to copy";
    // The temporary folder's clean-up cannot name it: it goes by its bytes.
    ::unlink(platform::PathBytes(copy).constData());
}

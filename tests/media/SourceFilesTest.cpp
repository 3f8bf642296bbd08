// Which files an add takes from dropped or given sources, and how refused files are reported.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>

#include "media/core/SourceFiles.h"
#include "platform/core/ByteNames.h"

namespace {

void Touch(const QString& path, const QByteArray& content = "x") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

}  // namespace

TEST(SourceFiles, MediaNamesFollowTheDialogsFilterWithoutRegardToCase) {
    const struct {
        const char* name;
        bool media;
    } cases[] = {
        {"clip.avi", true},   {"CLIP.AVI", true},   {"a.b.mpg", true}, {"x.wmv", true},
        {"x.asf", true},      {"x.divx", true},     {"x.xvid", true},  {"x.swf", true},
        {"x.mov", true},      {"x.vob", true},      {"x.mp4", true},   {"x.3gp", true},
        {"x.3g2", true},      {"notes.txt", false}, {"avi", false},    {"clip.avi.txt", false},
        {"clip.mp4~", false}, {"clip.mkv", true},   {"x.FLV", true},   {"x.webm", true},
        {"x.m2ts", true},     {"x.ogv", true},      {"x.m4v", true},   {"clip.mkv.part", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsMediaFileName(c.name), c.media) << c.name;
}

TEST(SourceFiles, AFolderGivesTheMediaFilesDirectlyInsideItInNameOrder) {
    QTemporaryDir dir;
    for (const char* name : {"b.AVI", "a.mp4", "notes.txt", "Z.mov", "c.mpg"})
        Touch(dir.filePath(name));
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub.avi"));
    Touch(dir.filePath("sub.avi/inner.avi"));
    QTemporaryDir empty;
    Touch(empty.filePath("readme.txt"));

    const QString folder = dir.path() + "/";
    EXPECT_EQ(MediaFilesInFolder(dir.path()), QStringList({folder + "a.mp4", folder + "b.AVI",
                                                           folder + "c.mpg", folder + "Z.mov"}));

    QList<RefusedFile> refused;
    const QStringList paths =
        ExpandSources({"/clips/one.avi", dir.path(), empty.path(), "/clips/two.txt"}, refused);
    EXPECT_EQ(paths, QStringList({"/clips/one.avi", folder + "a.mp4", folder + "b.AVI",
                                  folder + "c.mpg", folder + "Z.mov", "/clips/two.txt"}));
    ASSERT_EQ(refused.size(), 1);
    EXPECT_EQ(refused[0].path, empty.path());
    EXPECT_EQ(refused[0].why, AddRefusal::NoMediaInFolder);
}

TEST(SourceFiles, OnlyLocalFilesAreTakenFromADrop) {
    const QList<QUrl> urls = {QUrl::fromLocalFile("/clips/a b.avi"),
                              QUrl("https://example.org/c.avi"), QUrl::fromLocalFile("/clips/d")};
    EXPECT_EQ(LocalPaths(urls), QStringList({"/clips/a b.avi", "/clips/d"}));
    EXPECT_TRUE(LocalPaths({}).isEmpty());
}

TEST(SourceFiles, ADroppedNameKeepsItsBytes) {
    // A file manager sends a Latin-1 name as percent-encoded bytes that are no UTF-8.
    const QStringList paths = LocalPaths({QUrl("file:///clips/caf%E9%20cr%E8me.avi")});
    ASSERT_EQ(paths.size(), 1);
    EXPECT_EQ(platform::PathBytes(paths.front()), QByteArray("/clips/caf\xe9 cr\xe8me.avi"));
}

TEST(SourceFiles, OnlyRegularFilesAreSourcesAndNoneIsOpenedToFindOut) {
    QTemporaryDir dir;
    Touch(dir.filePath("clip.avi"));
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("pipe.avi")).constData(), 0644), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.avi"));
    ASSERT_TRUE(QFile::link(dir.filePath("clip.avi"), dir.filePath("link.avi")));
    ASSERT_TRUE(QFile::link(dir.filePath("pipe.avi"), dir.filePath("link to pipe.avi")));
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "/caf\xe9.avi";
    {  // made by its bytes: Qt's own conversion would lose the odd byte
        FILE* file = std::fopen(latin1.constData(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }
    const struct {
        QString path;
        AddRefusal why;
        int systemError;
    } cases[] = {
        {dir.filePath("clip.avi"), AddRefusal::None, 0},
        {dir.filePath("link.avi"), AddRefusal::None, 0},
        {platform::PathFromBytes(latin1), AddRefusal::None, 0},
        {dir.filePath("pipe.avi"), AddRefusal::NotAFile, 0},  // no writer: opening would wait
        {dir.filePath("link to pipe.avi"), AddRefusal::NotAFile, 0},
        {dir.filePath("folder.avi"), AddRefusal::NotAFile, 0},
        {"/dev/zero", AddRefusal::NotAFile, 0},
        {dir.filePath("missing.avi"), AddRefusal::Missing, ENOENT},
        {dir.filePath(QString(300, 'n')), AddRefusal::Unreadable, ENAMETOOLONG},
        {dir.filePath("clip.avi/inside.avi"), AddRefusal::Unreadable, ENOTDIR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        int systemError = -1;
        EXPECT_EQ(SourceRefusal(c.path, &systemError), c.why);
        EXPECT_EQ(systemError, c.systemError);
    }
    EXPECT_EQ(RefusalReason({"x", AddRefusal::Unreadable, QString(), ENAMETOOLONG}),
              "it cannot be read: File name too long");
    EXPECT_EQ(
        RefusalLine({dir.filePath("pipe.avi"), AddRefusal::NotAFile, QString(), 0}),
        "pipe.avi cannot be added: it is not a regular file but a folder, a pipe or a device");
    ::unlink(latin1.constData());  // the temporary folder's clean-up cannot name it
}

TEST(SourceFiles, AFailedProbeIsExplainedByWhatTheFileIs) {
    QTemporaryDir dir;
    Touch(dir.filePath("text.avi"), "just some words");
    Touch(dir.filePath("locked.avi"));
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("locked.avi"), QFile::WriteOwner));
    EXPECT_EQ(ProbeRefusal(dir.filePath("missing.avi")), AddRefusal::Missing);
    EXPECT_EQ(ProbeRefusal(dir.filePath("locked.avi")), AddRefusal::Unreadable);
    EXPECT_EQ(ProbeRefusal(dir.filePath("text.avi")), AddRefusal::NotMedia);
    EXPECT_TRUE(CannotBeRead(dir.filePath("locked.avi")));
    EXPECT_FALSE(CannotBeRead(dir.filePath("text.avi")));
    EXPECT_FALSE(CannotBeRead(dir.filePath("missing.avi")));  // the probe tells it is missing
}

TEST(SourceFiles, EachRefusalNamesTheFileAndThePlainReason) {
    const struct {
        RefusedFile file;
        const char* line;
    } cases[] = {
        {{"/c/broken.avi", AddRefusal::NotMedia, ""},
         "broken.avi cannot be added: it is not a media file this program can read"},
        {{"/c/a.avi", AddRefusal::AlreadyListed, ""},
         "a.avi cannot be added: it is already in the list"},
        {{"/c/gone.avi", AddRefusal::Missing, ""}, "gone.avi cannot be added: it does not exist"},
        {{"/c/locked.avi", AddRefusal::Unreadable, ""},
         "locked.avi cannot be added: it cannot be read"},
        {{"/c/a.avi", AddRefusal::NoStillFolder, "/ro/shotpic/"},
         "a.avi cannot be added: its still picture cannot be saved in /ro/shotpic/"},
        {{"/c/a.avi", AddRefusal::NoStill, ""},
         "a.avi cannot be added: no still picture can be taken from it"},
        {{"/c/holidays/", AddRefusal::NoMediaInFolder, ""},
         "holidays cannot be added: it is a folder without media files"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RefusalLine(c.file), c.line);
}

TEST(SourceFiles, RefusalsOfOneAddAreGatheredInOneMessage) {
    const RefusedFile listed{"/c/a.avi", AddRefusal::AlreadyListed, ""};
    const RefusedFile broken{"/c/b.avi", AddRefusal::NotMedia, ""};
    // One file that is listed already keeps the list's own notice.
    EXPECT_EQ(RefusalMessage({listed}, 1), "Select media file already add in.");
    EXPECT_EQ(RefusalMessage({listed}, 3), "a.avi cannot be added: it is already in the list");
    EXPECT_EQ(RefusalMessage({listed, broken}, 2),
              "a.avi cannot be added: it is already in the list\n"
              "b.avi cannot be added: it is not a media file this program can read");

    // A long list stays a box that fits on the screen.
    QList<RefusedFile> many;
    for (int i = 0; i < 40; ++i)
        many.append({QString("/c/%1.avi").arg(i), AddRefusal::NotMedia, ""});
    const QStringList lines = RefusalMessage(many, 40).split('\n');
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(lines[14], "14.avi cannot be added: it is not a media file this program can read");
    EXPECT_EQ(lines[15], "and 25 more files cannot be added");
}

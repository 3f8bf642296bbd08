#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/JpegImage.h"
#include "platform/core/Errors.h"
#include "support/ScratchInstall.h"

TEST(JpegImage, DecodesTheShippedDevicePictures) {
    for (const char* name : {"3GP.jpg", "PSP.jpg", "IPOD.jpg", "PDA.jpg", "MP4.jpg"}) {
        SCOPED_TRACE(name);
        const QImage image = platform::LoadJpeg(ScratchInstall::BinFolder() + name);
        EXPECT_EQ(image.size(), QSize(283, 205));
    }
    EXPECT_FALSE(platform::LoadPicture(ScratchInstall::BinFolder() + "backblank.bmp").isNull());
}

TEST(JpegImage, RefusesMissingEmptyTruncatedAndForeignFiles) {
    QTemporaryDir dir;
    const QString jpeg = ScratchInstall::BinFolder() + "MP4.jpg";
    QFile source(jpeg);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();

    const struct {
        const char* name;
        QByteArray content;
    } files[] = {
        {"empty.jpg", QByteArray()},
        {"text.jpg", QByteArray("this is not a picture\n")},
        {"half.jpg", bytes.left(40)},
        {"png.jpg", QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(100, 'x')},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        QFile out(dir.filePath(f.name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(f.content);
        out.close();
        EXPECT_THROW(platform::LoadJpeg(dir.filePath(f.name)), QorError);
    }
    EXPECT_THROW(platform::LoadJpeg(dir.filePath("missing.jpg")), QorError);
    EXPECT_THROW(platform::LoadPicture(dir.filePath("missing.bmp")), QorError);
}

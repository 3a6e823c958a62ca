#include "ui/Form1.h"
#include "ui/Resources.h"

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

namespace kinemo {
namespace {

// The picture must stay a baseline JPEG (start-of-frame marker 0xFFC0, no progressive
// 0xFFC2) of exactly the size the window's picture box holds.
TEST(Pictures, AxisPictureIsABaselineJpegOfTheBoxSize) {
    initResources();
    QFile file(QString::fromLatin1(kAxisPicture));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("\xFF\xD8"));
    EXPECT_TRUE(bytes.contains("\xFF\xC0"));
    EXPECT_FALSE(bytes.contains("\xFF\xC2"));
    const QImage image = QImage::fromData(bytes, "JPEG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(195, 294));
}

TEST(Pictures, WindowIconsAreInTheResources) {
    initResources();
    for (int size : {16, 32, 48, 64, 128}) {
        const QString path = QStringLiteral(":/icons/kinemo-%1.png").arg(size);
        const QImage icon(path);
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
        // The two sizes a window's title bar uses keep to sixteen colours.
        if (size <= 32) {
            EXPECT_LE(icon.colorCount(), 16) << size;
        }
    }
    EXPECT_FALSE(QIcon(QStringLiteral(":/icons/kinemo-32.png")).isNull());
}

}  // namespace
}  // namespace kinemo

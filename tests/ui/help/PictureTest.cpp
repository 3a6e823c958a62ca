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

    // All three axes are drawn in the trace colours.
    int blue = 0, red = 0, green = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue += c.blue() > 160 && c.red() < 100 && c.green() < 100;
            red += c.red() > 160 && c.green() < 100 && c.blue() < 100;
            green += c.green() > 120 && c.red() < 100 && c.blue() < 100;
        }
    }
    EXPECT_GT(blue, 200);
    EXPECT_GT(red, 200);
    EXPECT_GT(green, 200);
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

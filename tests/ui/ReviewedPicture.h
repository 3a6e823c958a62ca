// Compares what a widget shows with a reviewed picture, tests/ui/<name>.png.
#pragma once

#include "ui/Fonts.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QStyle>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>

namespace kinemo::test {

// The pictures were taken in Qt's Fusion style, the offscreen platform's own, with
// IPA P Gothic standing in for the designed font. On a machine without them every
// text and frame differs: that is said, rather than a count of differing pixels.
inline std::string whatThePicturesNeedAndLack() {
    const QString style = QApplication::style()->name();
    if (style.compare(QStringLiteral("fusion"), Qt::CaseInsensitive) != 0)
        return "the reviewed pictures were taken in Qt's Fusion style, not in '" + style.toStdString() +
               "' (see QT_STYLE_OVERRIDE and -style)";
    const QString family = QFontInfo(kinemoFont()).family();
    if (family != QStringLiteral("IPAPGothic"))
        return "the reviewed pictures were taken with the font IPAPGothic (Debian package fonts-ipafont-gothic), "
               "but this machine draws the window's texts with '" +
               family.toStdString() + "'";
    return "";
}

// A mismatch leaves the grab in the working folder; KINEMO_UPDATE_PICTURES=1 makes
// the grab the new reference instead.
inline void expectLooksLike(QWidget* widget, const QString& name) {
    if (const std::string lack = whatThePicturesNeedAndLack(); !lack.empty()) {
        ADD_FAILURE() << name.toStdString() << " cannot be compared: " << lack;
        return;
    }
    const QImage shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString reference = QStringLiteral(KINEMO_PICTURES "/%1.png").arg(name);
    if (qEnvironmentVariableIsSet("KINEMO_UPDATE_PICTURES")) {
        ASSERT_TRUE(shot.save(reference));
        return;
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), expected.size()) << reference.toStdString();
    int differing = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor a = shot.pixelColor(x, y);
            const QColor b = expected.pixelColor(x, y);
            differing += std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                   std::abs(a.blue() - b.blue())}) > 4;
        }
    }
    if (differing == 0) return;
    const QString actual = QFileInfo(name + ".actual.png").absoluteFilePath();
    shot.save(actual);
    ADD_FAILURE() << differing << " pixels differ from " << reference.toStdString() << "; see " << actual.toStdString();
}

}  // namespace kinemo::test

// The designed font is MS P Gothic; on Linux its metric twin IPA P Gothic takes its
// place, so texts keep their designed widths.
#pragma once

#include <QFont>
#include <QStringList>

namespace kinemo {

inline QFont kinemoFont(double pointSize = 9, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace kinemo

// Pixel helpers for tests that look at the plot surface.
#pragma once

#include <QColor>
#include <QImage>

namespace kinemo::test {

inline QColor pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// True when `color` appears within `radius` pixels of (x, y).
inline bool colorNear(const QImage& image, int x, int y, const QColor& color, int radius = 1) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const int px = x + dx, py = y + dy;
            if (px >= 0 && py >= 0 && px < image.width() && py < image.height() && image.pixelColor(px, py) == color)
                return true;
        }
    return false;
}

inline int countColor(const QImage& image, const QColor& color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y) == color;
    return n;
}

}  // namespace kinemo::test

// The real main window on the offscreen platform, started without a Wii Remote,
// with helpers to fill a store, move the scroll bar and read the surface's pixels.
#pragma once

#include "app/Clock.h"
#include "display/PlotSurface.h"
#include "tests/support/FakeHidPlatform.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kinemo::test {

class FixedClock final : public Clock {
public:
    std::uint32_t timeGetTime() override { return ms; }
    LocalDateTime now() override { return {2024, 5, 17, 9, 30, 0}; }
    std::uint32_t ms = 1000;
};

inline const QRgb kBlue = qRgb(0, 0, 255);
inline const QRgb kRed = qRgb(255, 0, 0);
inline const QRgb kGreen = qRgb(0, 255, 0);
inline const QRgb kBlack = qRgb(0, 0, 0);
inline const QRgb kWhite = qRgb(255, 255, 255);
inline const QRgb kGrey = qRgb(128, 128, 128);

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<frmMain>(MainServices{hid, clock});
        window->measurement().Form_Load();
        window->controls().tmrContinuousDataCollect->stop();  // ticks only where a test asks
    }

    MeasurementState& s() { return window->state(); }
    MainControls& c() { return window->controls(); }
    Viewer& viewer() { return window->viewer(); }
    QScrollBar* bar() { return c().HScroll1; }
    const QImage& traces() { return c().Picture1->image(); }
    // The surface as the user sees it, traces beneath the grid and labels, in the
    // drawing area's own pixels.
    QImage screen() {
        return c().Picture1->grab().toImage().copy(PlotSurface::kBorder, PlotSurface::kBorder,
                                                     traces().width(), traces().height());
    }

    // Moves the window to start at `viewStart` the way the scroll bar does.
    void scrollTo(int viewStart) { bar()->setValue(bar()->maximum() - viewStart); }

    std::vector<int> lineXs(const std::array<LineShape*, 6>& lines) {
        std::vector<int> xs;
        for (LineShape* line : lines) {
            EXPECT_EQ(line->X1(), line->X2());
            xs.push_back(line->X1());
        }
        return xs;
    }
    std::vector<int> labelLefts() {
        std::vector<int> xs;
        for (QLabel* label : c().Label9) xs.push_back(label->x());
        return xs;
    }
    QStringList labelTexts() {
        QStringList texts;
        for (QLabel* label : c().Label9) texts << label->text();
        return texts;
    }

    // Pixels of the traces that are not background.
    int litPixels(QRect area) {
        const QImage& image = traces();
        const QRgb back = c().Picture1->BackColor().rgb();
        int count = 0;
        for (int y = std::max(area.top(), 0); y <= std::min(area.bottom(), image.height() - 1); ++y)
            for (int x = std::max(area.left(), 0); x <= std::min(area.right(), image.width() - 1); ++x)
                if (image.pixel(x, y) != back) ++count;
        return count;
    }
    int litPixels() { return litPixels(traces().rect()); }

    FakeHidPlatform hid;
    FixedClock clock;
    std::unique_ptr<frmMain> window;
};

}  // namespace kinemo::test

#include "display/PlotSurface.h"

#include <QPaintEvent>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace kinemo {

class PlotSurface::Canvas final : public QWidget {
public:
    Canvas(PlotSurface* surface) : QWidget(surface), surface_(surface) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        surface_->paintCanvas(painter, event->rect());
    }

private:
    PlotSurface* surface_;
};

void LineShape::setX1(int x) {
    line_.setP1({x, line_.y1()});
    surface_->canvas_->update();
}

void LineShape::setX2(int x) {
    line_.setP2({x, line_.y2()});
    surface_->canvas_->update();
}

void LineShape::setBorderColor(const QColor& color) {
    color_ = color;
    surface_->canvas_->update();
}

PlotSurface::PlotSurface(QWidget* parent, const QRect& outerGeometry) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setGeometry(outerGeometry);
    const QSize inner = outerGeometry.size() - QSize(2 * kBorder, 2 * kBorder);
    image_ = QImage(inner, QImage::Format_RGB32);
    image_.fill(backColor_);
    canvas_ = new Canvas(this);
    canvas_->setGeometry(QRect(QPoint(kBorder, kBorder), inner));
    const qreal refreshRate = screen() ? screen()->refreshRate() : 0;
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setSingleShot(true);
    // Rounded up: a frame never comes sooner than the screen can show it.
    frameTimer_.setInterval(static_cast<int>(std::ceil(1000.0 / (refreshRate >= 1 ? refreshRate : 60.0))));
    connect(&frameTimer_, &QTimer::timeout, this, &PlotSurface::presentFrame);
}

PlotSurface::~PlotSurface() { endPainting(); }

void PlotSurface::endPainting() {
    if (painter_) painter_.reset();
}

void PlotSurface::clear() {
    endPainting();
    image_.fill(backColor_);
    canvas_->update();
    pendingDirty_ = QRect();
}

void PlotSurface::setBackColor(const QColor& color) {
    backColor_ = color;
    clear();
}

void PlotSurface::drawSegment(QPointF from, QPointF to, const QColor& color) {
    if (!std::isfinite(from.x()) || !std::isfinite(from.y()) || !std::isfinite(to.x()) || !std::isfinite(to.y()))
        return;
    // What lies wholly beyond the edges would be clipped anyway; leaving it out here
    // spares the painter the far end of a slow run's long windows.
    const auto [left, right] = std::minmax({from.x(), to.x()});
    const auto [top, bottom] = std::minmax({from.y(), to.y()});
    if (right < -kPenReach || left > image_.width() + kPenReach || bottom < -kPenReach ||
        top > image_.height() + kPenReach)
        return;

    if (!painter_) {
        painter_.emplace(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    painter_->setPen(QPen(color, 1));
    painter_->drawLine(from, to);

    // One repaint for a whole burst of segments: a viewer window is thousands of
    // them, the live tick three, and an update() for each is costly.
    const QPoint topLeft(static_cast<int>(std::floor(std::max(left, -kPenReach) - kPenReach)),
                         static_cast<int>(std::floor(std::max(top, -kPenReach) - kPenReach)));
    const QPoint bottomRight(static_cast<int>(std::ceil(std::min(right, image_.width() + kPenReach) + kPenReach)),
                             static_cast<int>(std::ceil(std::min(bottom, image_.height() + kPenReach) + kPenReach)));
    pendingDirty_ |= QRect(topLeft, bottomRight);
}

void PlotSurface::requestFrame() {
    // At 60 Hz every other tick ends with a frame, so no sample waits more than one
    // tick. The frame is presented here rather than posted: an event per frame would
    // wake the event loop once more for nothing.
    if (!sinceFrame_.isValid() || sinceFrame_.elapsed() >= frameTimer_.interval()) {
        presentFrame();
        return;
    }
    // Restarted at every request, so that while ticks go on the timer never comes
    // before the tick that makes the frame due: once it did, every later frame came
    // from it, some milliseconds after its tick, and the trace lagged by that much.
    frameTimer_.start();
}

void PlotSurface::presentFrame() {
    frameTimer_.stop();
    sinceFrame_.start();
    emit frameDue();
    if (!pendingDirty_.isEmpty()) canvas_->update(pendingDirty_.intersected(canvas_->rect()));
    pendingDirty_ = QRect();
}

LineShape* PlotSurface::addLineShape(QLine line, const QColor& color, Qt::PenStyle style) {
    shapes_.push_back(std::unique_ptr<LineShape>(new LineShape(this, line, color, style)));
    canvas_->update();
    return shapes_.back().get();
}

const QImage& PlotSurface::image() {
    endPainting();
    return image_;
}

void PlotSurface::paintCanvas(QPainter& painter, const QRect& area) {
    endPainting();
    painter.drawImage(area, image_, area);
    painter.setClipRect(area);
    for (const auto& shape : shapes_) {
        painter.setPen(QPen(shape->color_, 1, shape->style_));
        painter.drawLine(shape->line_);
    }
}

}  // namespace kinemo

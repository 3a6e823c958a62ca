#include "display/PlotSurface.h"

#include <QMouseEvent>
#include <QPaintEvent>

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
    void mousePressEvent(QMouseEvent* event) override {
        emit surface_->mouseDown(event->button(), event->modifiers(), event->position());
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
}

PlotSurface::~PlotSurface() { endPainting(); }

void PlotSurface::endPainting() {
    if (painter_) painter_.reset();
}

void PlotSurface::Cls() {
    endPainting();
    image_.fill(backColor_);
    canvas_->update();
}

void PlotSurface::setBackColor(const QColor& color) {
    backColor_ = color;
    Cls();
}

void PlotSurface::Line(QPointF from, QPointF to, const QColor& color) {
    if (!painter_) {
        painter_.emplace(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    painter_->setPen(QPen(color, 1));
    painter_->drawLine(from, to);
    // Repaint only the segment's neighbourhood; the live trace adds three short
    // segments a tick and must not cost a full repaint.
    const QRectF bounds = QRectF(from, to).normalized().adjusted(-2, -2, 2, 2);
    canvas_->update(bounds.toAlignedRect().intersected(canvas_->rect()));
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

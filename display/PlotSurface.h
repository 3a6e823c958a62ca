// Picture1, the plot surface: a framed drawing area that works in its own pixels
// (origin top-left, y down). Traces are drawn into a persistent image; the grid's
// line shapes and the labels placed on the surface always lie above the traces and
// survive clearing and a new background colour.
//
// display/ holds this surface, the drawing of stored runs and the viewer. It may
// use app/'s measurement state and named controls, never ui/.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPointF>

#include <memory>
#include <optional>
#include <vector>

namespace kinemo {

class PlotSurface;

// A line shape on the surface, addressed like the design's Line controls.
class LineShape {
public:
    int X1() const { return line_.x1(); }
    int Y1() const { return line_.y1(); }
    int X2() const { return line_.x2(); }
    int Y2() const { return line_.y2(); }
    QColor BorderColor() const { return color_; }
    bool isDotted() const { return style_ == Qt::DotLine; }
    void setX1(int x);
    void setX2(int x);
    void setBorderColor(const QColor& color);

private:
    friend class PlotSurface;
    LineShape(PlotSurface* surface, QLine line, QColor color, Qt::PenStyle style)
        : surface_(surface), line_(line), color_(color), style_(style) {}
    PlotSurface* surface_;
    QLine line_;
    QColor color_;
    Qt::PenStyle style_;
};

class PlotSurface : public QFrame {
    Q_OBJECT
public:
    static constexpr int kBorder = 2;

    PlotSurface(QWidget* parent, const QRect& outerGeometry);
    ~PlotSurface() override;

    // The widget that holds the drawing area; labels on the surface are its children
    // and take the surface's pixel coordinates.
    QWidget* canvas() const { return canvas_; }
    QSize drawingSize() const { return image_.size(); }

    void Cls();
    void Line(QPointF from, QPointF to, const QColor& color);
    void setAutoRedraw(bool on) { autoRedraw_ = on; }
    bool AutoRedraw() const { return autoRedraw_; }
    void setBackColor(const QColor& color);
    QColor BackColor() const { return backColor_; }

    LineShape* addLineShape(QLine line, const QColor& color, Qt::PenStyle style = Qt::SolidLine);

    // The traces alone, without line shapes and labels.
    const QImage& image();

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);

private:
    friend class LineShape;
    class Canvas;
    // How far a segment's pen reaches beyond its end points.
    static constexpr qreal kPenReach = 2;
    void endPainting();
    void flushDirty();
    void paintCanvas(QPainter& painter, const QRect& area);

    QWidget* canvas_;
    QImage image_;
    std::optional<QPainter> painter_;  // kept open across a burst of segments
    QRect pendingDirty_;               // drawn since the last repaint request
    bool flushPosted_ = false;
    QColor backColor_{Qt::black};
    bool autoRedraw_ = false;
    std::vector<std::unique_ptr<LineShape>> shapes_;
};

}  // namespace kinemo

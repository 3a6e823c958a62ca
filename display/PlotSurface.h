// The plot surface: a framed drawing area that works in its own pixels (origin
// top-left, y down). Traces are drawn into a persistent image; the grid's line
// shapes and the labels placed on the surface always lie above the traces and
// survive clearing and a new background colour.
#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QFrame>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPointF>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

namespace kinemo {

class PlotSurface;

// A straight line on the surface, above the traces: a line of the grid or the cursor.
class LineShape {
public:
    int x1() const { return line_.x1(); }
    int y1() const { return line_.y1(); }
    int x2() const { return line_.x2(); }
    int y2() const { return line_.y2(); }
    QColor borderColor() const { return color_; }
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

    // Repaints the whole surface at once.
    void clear();
    // Into the image only: the screen shows it at the next frame, or at a clear().
    void drawSegment(QPointF from, QPointF to, const QColor& color);
    void setBackColor(const QColor& color);
    QColor backColor() const { return backColor_; }

    LineShape* addLineShape(QLine line, const QColor& color, Qt::PenStyle style = Qt::SolidLine);

    // The window is repainted in frames, no more often than the screen refreshes (its
    // rate as Qt reports it, 60 Hz where it reports none): what is drawn between two
    // frames, however many ticks that is, shows together at the next one. The tick
    // asks for a frame at its end: it comes then if one is due, else at a later tick,
    // or a frame's time after the last request when no tick follows.
    void requestFrame();
    // The frame that waits for its time, at once, as its timer would bring it; tests
    // pump frames with it, and see only those the program would show.
    void presentPendingFrame() {
        if (frameTimer_.isActive()) presentFrame();
    }
    // The screen's refresh interval unless set; a test lengthens it so that a slow
    // machine cannot bring a frame before the test looks.
    void setFrameInterval(int milliseconds) { frameTimer_.setInterval(milliseconds); }

    // The traces alone, without line shapes and labels.
    const QImage& image();

signals:
    // At each frame, before the surface repaints: where texts that show the newest
    // values are set, so that they are painted in the same frame.
    void frameDue();

private:
    friend class LineShape;
    class Canvas;
    // How far a segment's pen reaches beyond its end points.
    static constexpr qreal kPenReach = 2;
    void endPainting();
    void presentFrame();
    void paintCanvas(QPainter& painter, const QRect& area);

    QWidget* canvas_;
    QImage image_;
    std::optional<QPainter> painter_;  // kept open across a burst of segments
    QRect pendingDirty_;               // drawn since the last frame
    QTimer frameTimer_;                // a frame not yet due, shown if no tick brings it
    QElapsedTimer sinceFrame_;         // since the last frame
    QColor backColor_{Qt::black};
    std::vector<std::unique_ptr<LineShape>> shapes_;
};

}  // namespace kinemo

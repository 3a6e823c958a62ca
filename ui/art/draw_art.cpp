// Draws the program's pictures: the window icon in the sizes the desktop asks for,
// its scalable twin, and the picture of the Wii Remote's axes. Run through
// scripts/draw-art.sh; the results are committed, so a build never needs this.
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The sixteen colours of the classic palette; the small icons use only these.
const QList<QRgb> kSixteenColours = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                                     qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                                     qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                                     qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

const QColor kFrameLight(192, 192, 192);
const QColor kFrameDark(128, 128, 128);
const QColor kGrid(0, 128, 0);

// One and a half periods of a sine across the screen, as the live trace shows it.
QList<QPointF> wavePoints(double left, double width, double middle, double amplitude, int steps) {
    QList<QPointF> points;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        points.append({left + t * width, middle - amplitude * std::sin(t * 3 * M_PI)});
    }
    return points;
}

// The icon on an S x S grid: a grey frame of S/8, a black screen, a 4 x 4 grid, a wave.
QImage drawIcon(int size) {
    const bool small = size <= 32;
    const int frame = size / 8;
    const int screen = size - 2 * frame;
    const int line = std::max(1, size / 32);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(kFrameLight);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, !small);
    p.fillRect(0, 0, size, line, kFrameDark);
    p.fillRect(0, 0, line, size, kFrameDark);
    p.fillRect(0, size - line, size, line, kFrameDark);
    p.fillRect(size - line, 0, line, size, kFrameDark);
    p.fillRect(frame, frame, screen, screen, Qt::black);
    // Three columns of cells at the smallest size, where four would crowd out the wave.
    const int cells = size < 32 ? 3 : 4;
    const int step = screen / cells;
    for (int k = 1; k < cells; ++k) {
        p.fillRect(frame + k * step, frame, line, screen, kGrid);
        p.fillRect(frame, frame + k * step, screen, line, kGrid);
    }
    QPen pen(Qt::white, line);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setClipRect(frame, frame, screen, screen);
    p.drawPolyline(wavePoints(frame, screen, frame + screen / 2.0, screen * 0.3, screen * 2));
    p.end();
    if (small) return image.convertToFormat(QImage::Format_Indexed8, kSixteenColours, Qt::ThresholdDither);
    return image;
}

QString drawIconSvg() {
    QString wave;
    for (const QPointF& pt : wavePoints(4, 24, 16, 7.2, 48)) {
        wave +=
            QStringLiteral("%1%2,%3 ").arg(wave.isEmpty() ? "M" : "L").arg(pt.x(), 0, 'f', 2).arg(pt.y(), 0, 'f', 2);
    }
    QString grid;
    for (int k = 1; k < 4; ++k) {
        const int at = 4 + 6 * k;
        grid += QStringLiteral(
                    "  <rect x=\"%1\" y=\"4\" width=\"1\" height=\"24\" fill=\"#008000\"/>\n"
                    "  <rect x=\"4\" y=\"%1\" width=\"24\" height=\"1\" fill=\"#008000\"/>\n")
                    .arg(at);
    }
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\">\n"
               "  <rect width=\"32\" height=\"32\" fill=\"#808080\"/>\n"
               "  <rect x=\"1\" y=\"1\" width=\"30\" height=\"30\" fill=\"#c0c0c0\"/>\n"
               "  <rect x=\"4\" y=\"4\" width=\"24\" height=\"24\" fill=\"#000000\"/>\n"
               "%1"
               "  <path d=\"%2\" fill=\"none\" stroke=\"#ffffff\" stroke-width=\"1\"/>\n"
               "</svg>\n")
        .arg(grid, wave.trimmed());
}

void arrowHead(QPainter& p, QPointF tip, QPointF from, const QColor& colour) {
    const QPointF d = tip - from;
    const double len = std::hypot(d.x(), d.y());
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    QPolygonF head;
    head << tip << tip - 13 * u + 6 * n << tip - 13 * u - 6 * n;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void axisLine(QPainter& p, QPointF from, QPointF to, const QColor& colour, bool arrow) {
    // A white halo keeps the axis readable where it crosses the remote's buttons.
    p.setPen(QPen(QColor(255, 255, 255, 200), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::FlatCap));
    const QPointF d = to - from;
    const QPointF shortened = arrow ? to - d / std::hypot(d.x(), d.y()) * 10 : to;
    p.drawLine(from, shortened);
    if (arrow) arrowHead(p, to, from, colour);
}

void label(QPainter& p, QPointF at, const QString& text, const QColor& colour) {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    const QRectF box(at.x() - 20, at.y() - 10, 40, 20);
    p.setPen(QColor(255, 255, 255));
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) p.drawText(box.translated(dx, dy), Qt::AlignCenter, text);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

void drawRemote(QPainter& p) {
    const QRectF body(72, 28, 52, 240);
    QLinearGradient shade(body.left(), 0, body.right(), 0);
    shade.setColorAt(0, QColor(214, 214, 218));
    shade.setColorAt(0.35, QColor(252, 252, 252));
    shade.setColorAt(1, QColor(200, 200, 206));
    p.setPen(QPen(QColor(90, 90, 96), 1.5));
    p.setBrush(shade);
    p.drawRoundedRect(body, 16, 16);

    const QColor dark(70, 70, 76);
    const QColor key(226, 226, 230);
    p.setPen(QPen(dark, 1));
    p.setBrush(key);
    p.drawRoundedRect(QRectF(91, 38, 14, 8), 3, 3);  // power
    p.setBrush(dark);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(93.5, 60, 9, 30));  // cross key
    p.drawRect(QRectF(83, 70.5, 30, 9));
    p.setPen(QPen(dark, 1.2));
    p.setBrush(key);
    p.drawEllipse(QPointF(98, 110), 10, 10);                                        // A
    for (double x : {84.0, 98.0, 112.0}) p.drawEllipse(QPointF(x, 158), 4.5, 4.5);  // - HOME +
    p.drawEllipse(QPointF(98, 205), 7.5, 7.5);                                      // 1
    p.drawEllipse(QPointF(98, 228), 7.5, 7.5);                                      // 2
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 150, 156));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 5; ++col) p.drawEllipse(QPointF(90 + 4 * col, 174 + 4 * row), 1, 1);  // speaker
    for (int i = 0; i < 4; ++i) {
        p.setBrush(i == 0 ? QColor(40, 120, 255) : QColor(170, 170, 176));
        p.drawRect(QRectF(85 + 8 * i, 252, 4, 4));  // player lights
    }

    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(dark);
    p.drawText(QRectF(88, 100, 20, 20), Qt::AlignCenter, QStringLiteral("A"));
    p.drawText(QRectF(88, 195, 20, 20), Qt::AlignCenter, QStringLiteral("1"));
    p.drawText(QRectF(88, 218, 20, 20), Qt::AlignCenter, QStringLiteral("2"));
}

// The remote upright with its buttons towards the viewer. X runs across it, Y along
// it, Z through the face: its minus half goes away behind the remote (drawn first,
// hidden by the body), its plus half comes out towards the viewer.
QImage drawAxes() {
    QImage image(195, 294, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QColor blue(0, 0, 255), red(255, 0, 0), green(0, 176, 0);
    const QPointF origin(98, 134);
    const QPointF zDirection(0.52, -0.85);
    axisLine(p, origin, origin + 112 * zDirection, green, false);
    drawRemote(p);
    axisLine(p, QPointF(10, origin.y()), QPointF(186, origin.y()), blue, true);
    axisLine(p, QPointF(origin.x(), 290), QPointF(origin.x(), 6), red, true);
    axisLine(p, origin, origin - 120 * zDirection, green, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(origin, 3, 3);

    const QString minus = QString(QChar(0x2212));
    label(p, {170, 120}, QStringLiteral("+X"), blue);
    label(p, {24, 120}, minus + QStringLiteral("X"), blue);
    label(p, {122, 14}, QStringLiteral("+Y"), red);
    label(p, {122, 282}, minus + QStringLiteral("Y"), red);
    label(p, {176, 40}, minus + QStringLiteral("Z"), green);
    label(p, {24, 250}, QStringLiteral("+Z"), green);
    return image;
}

bool save(const QImage& image, const QString& path, const char* format, int quality = -1) {
    QImageWriter writer(path, format);
    if (quality >= 0) writer.setQuality(quality);
    if (writer.write(image)) return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <source directory>\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (int size : {16, 32, 48, 64, 128}) {
        ok &= save(drawIcon(size), QStringLiteral("%1/ui/icons/kinemo-%2.png").arg(root).arg(size), "png");
    }
    QFile svg(root + QStringLiteral("/ui/icons/kinemo.svg"));
    if (svg.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QTextStream(&svg) << drawIconSvg();
    } else {
        ok = false;
    }
    // Baseline JPEG: Qt writes progressive scans only when asked to.
    ok &= save(drawAxes(), root + QStringLiteral("/ui/images/wii-axes.jpg"), "jpeg", 92);
    return ok ? 0 : 1;
}

// The main window's controls that the handlers fill. ui/ builds them; app/ reaches
// them only through this table.
#pragma once

#include "core/Sample.h"

#include <QString>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTimer;
class QWidget;

namespace kinemo {

// The monitor button's captions: ui/ builds it with the first, the handlers switch.
inline const QString kMonitorStart = QStringLiteral("モニター開始");
inline const QString kMonitorStop = QStringLiteral("モニター停止");

class LineShape;
class PlotSurface;

struct MainControls {

    PlotSurface* plot = nullptr;
    // Horizontal grid, one line per G: index 0 is +4 G at the top, 4 the zero line,
    // 8 is -4 G.
    std::array<LineShape*, 9> levelLines{};
    LineShape* traceAreaEdge = nullptr;  // the lower edge, above the time axis
    LineShape* cursorLine = nullptr;
    std::array<LineShape*, 6> halfSecondLines{};  // dotted
    std::array<LineShape*, 6> secondLines{};
    std::array<QLabel*, 6> secondLabels{};  // the numbers on the time axis

    LineShape* zeroLine() const { return levelLines[4]; }

    std::array<QLabel*, kAxisCount> readouts{};  // current X, Y, Z in G
    std::array<QCheckBox*, kAxisCount> axisCheckBoxes{};
    QLineEdit* measuredAtField = nullptr;
    QLabel* rateLabel = nullptr;
    QWidget* statusStrip = nullptr;
    QLabel* statusText = nullptr;
    QLabel* sampleCounter = nullptr;
    QScrollBar* viewerScrollBar = nullptr;

    QPushButton* monitorButton = nullptr;
    QPushButton* recordButton = nullptr;
    QPushButton* quitButton = nullptr;

    // Kept on purpose: controls that lie outside the client area, hidden or clipped
    // away and taken out of the focus chain: no user reaches them, but their handlers
    // are kept.
    struct Unreachable {
        QPushButton* showRecordedButton = nullptr;  // draws the recorded run's first screen again
        QPushButton* stampTimeButton = nullptr;     // takes the date of the next save from the clock
        QPushButton* reportOnChangeButton = nullptr;
        QPushButton* reportContinuouslyButton = nullptr;
        QLabel* elapsedLabel = nullptr;  // the last run's seconds
    } unreachable;

    QTimer* sampleTimer = nullptr;  // the 10 ms tick
};

}  // namespace kinemo

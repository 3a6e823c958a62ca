// Everything the main window shows and keeps, as text: one line per thing a user can
// see or meet. A test step compares the whole of it, so a change anywhere fails the
// step, and the failure lists the lines that differ.
#pragma once

#include "app/Colours.h"
#include "display/PlotSurface.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace kinemo::test {

using WindowState = std::map<std::string, std::string>;

inline std::string buttonText(const QPushButton* button) {
    return button->text().toStdString() + (button->isEnabled() ? "" : " (greyed)");
}

// The mode as the window works it out; a tick that disagrees with the mode is named.
inline std::string modeText(MainWindow& window) {
    const MeasurementState& state = window.state();
    const bool ticking = window.controls().sampleTimer->isActive();
    const std::string fine = state.isFineMode ? "fine" : "standard";
    const std::string viewed = state.viewed == RunSlot::Loaded ? "loaded" : "recorded";
    switch (window.mode()) {
    case MeasurementMode::Recording: return "recording " + fine + (ticking ? "" : ", tick stopped");
    case MeasurementMode::Viewing: return "viewing " + viewed + (ticking ? ", tick running" : "");
    case MeasurementMode::Monitoring: return "monitoring, next run " + fine;
    case MeasurementMode::Stopped: return "stopped, next run " + fine;
    }
    return "no mode";
}

inline std::string sampleText(const AccTriple& sample) {
    return std::to_string(sample[0]) + "," + std::to_string(sample[1]) + "," + std::to_string(sample[2]);
}

// A stored run as a save writes it: period, date, the first two and the last entries
// a run fills, then entry 2000, which a run resets.
inline std::string runText(const SampleRun& run) {
    const auto& at = run.samples;
    return std::to_string(run.samplePeriod).substr(0, 6) + " \"" + run.measuredAt + "\" " + sampleText(at[0]) + " " +
           sampleText(at[1]) + " .. " + sampleText(at[1999]) + " | " + sampleText(at[2000]);
}

// The plot's colour where no trace is, and the columns each axis's colour covers.
inline std::string plotText(PlotSurface& plot) {
    const QImage& image = plot.image();
    int left[kAxisCount] = {image.width(), image.width(), image.width()};
    int right[kAxisCount] = {-1, -1, -1};
    bool evenGround = true;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            int axis = 0;
            while (axis < kAxisCount && colour != kAxisColors[axis]) ++axis;
            if (axis < kAxisCount) {
                left[axis] = std::min(left[axis], x);
                right[axis] = std::max(right[axis], x);
            } else if (colour == Qt::white || colour == Qt::black) {
                evenGround = evenGround && colour == plot.backColor();
            }
        }
    }
    std::string text = plot.backColor() == Qt::black ? "black" : "white";
    if (!evenGround) text += " with other patches";
    const char* names[] = {" X ", " Y ", " Z "};
    for (int axis = 0; axis < kAxisCount; ++axis)
        if (right[axis] >= 0) text += names[axis] + std::to_string(left[axis]) + ".." + std::to_string(right[axis]);
    return text;
}

// How many windows of one kind are shown, and any minimised or without the program's icon.
inline std::string windowsText(const char* kind, qint64 programsIcon) {
    int shown = 0;
    std::string odd;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() != QLatin1String(kind) || !window->isVisible()) continue;
        ++shown;
        if (window->isMinimized()) odd += " minimised";
        if (window->windowIcon().cacheKey() != programsIcon) odd += " without the program's icon";
    }
    return std::to_string(shown) + " shown" + odd;
}

// With the messages shown so far and the day log's events.
inline WindowState readState(MainWindow& window, const std::vector<QString>& messages,
                             const std::vector<std::string>& events) {
    const MainControls& c = window.controls();
    c.plot->presentPendingFrame();
    WindowState state;
    state["mode"] = modeText(window);
    state["title"] = window.windowTitle().toStdString() + (window.isVisible() ? "" : " (closed)");
    state["monitor button"] = buttonText(c.monitorButton);
    state["record button"] = buttonText(c.recordButton);
    state["quit button"] = buttonText(c.quitButton);
    const char* ticks[] = {"off", "greyed", "on"};
    state["readouts"] = c.readouts[0]->text().toStdString() + " " + c.readouts[1]->text().toStdString() + " " +
                        c.readouts[2]->text().toStdString() + " G";
    state["axis boxes"] = std::string(ticks[c.axisCheckBoxes[0]->checkState()]) + " " +
                          ticks[c.axisCheckBoxes[1]->checkState()] + " " + ticks[c.axisCheckBoxes[2]->checkState()];
    state["date"] = c.measuredAtField->text().toStdString();
    state["rate"] = c.rateLabel->text().toStdString();
    const std::string strip = c.statusText->text().toStdString() + " | " + c.sampleCounter->text().toStdString();
    state["strip"] = c.statusStrip->isVisibleTo(&window) ? strip : "hidden";
    const QScrollBar* bar = c.viewerScrollBar;
    const std::string range = std::to_string(bar->minimum()) + ".." + std::to_string(bar->maximum());
    state["scroll bar"] = bar->isVisibleTo(&window) ? range + " at " + std::to_string(bar->value()) : "hidden";
    std::string seconds;
    for (const QLabel* label : c.secondLabels) seconds += label->text().toStdString() + " ";
    state["seconds"] = seconds + "from x " + std::to_string(c.secondLines[0]->x1());
    state["plot"] = plotText(*c.plot);
    state["zero line"] = c.zeroLine()->borderColor() == Qt::white ? "white" : "black";
    state["recorded run"] = runText(window.state().recorded);
    state["loaded run"] = runText(window.state().loaded);
    const qint64 icon = window.windowIcon().cacheKey();
    state["help windows"] =
        "axes " + windowsText("AxisDirectionsWindow", icon) + ", about " + windowsText("AboutDialog", icon);
    // A message of several lines by its first and its last.
    QStringList lines = messages.empty() ? QStringList{""} : messages.back().split(QLatin1Char('\n'));
    if (lines.size() > 2) lines = QStringList{lines.front(), lines.back()};
    state["messages"] = std::to_string(messages.size()) + ", last " + lines.join(" … ").toStdString();
    state["day log"] = std::to_string(events.size()) + " lines, last " + (events.empty() ? "" : events.back());
    return state;
}

// The lines that differ, each with what was expected and what is shown.
inline ::testing::AssertionResult sameWindow(const WindowState& expected, const WindowState& shown) {
    std::string differences;
    for (const auto& [what, text] : shown) {
        const std::string wanted = expected.contains(what) ? expected.at(what) : "(no such line)";
        if (wanted != text) differences += "  " + what + "\n    expected: " + wanted + "\n    shown:    " + text + "\n";
    }
    if (differences.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the window differs:\n" << differences;
}

}  // namespace kinemo::test

// The main window's controls under their design names. ui/ builds them; the
// handlers of app/, display/ and files/ reach them only through this table.
#pragma once

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTimer;
class QWidget;

namespace kinemo {

class LineShape;
class PlotSurface;

struct MainControls {
    QWidget* window = nullptr;  // frmMain

    PlotSurface* Picture1 = nullptr;
    // Horizontal grid: Line6 +4 G ... Line2 zero ... Line9 -4 G; Line13 the lower edge,
    // Line12 the cursor line.
    LineShape* Line1 = nullptr;
    LineShape* Line2 = nullptr;
    LineShape* Line3 = nullptr;
    LineShape* Line4 = nullptr;
    LineShape* Line5 = nullptr;
    LineShape* Line6 = nullptr;
    LineShape* Line7 = nullptr;
    LineShape* Line8 = nullptr;
    LineShape* Line9 = nullptr;
    LineShape* Line12 = nullptr;
    LineShape* Line13 = nullptr;
    std::array<LineShape*, 6> Line10{};  // dotted half-second lines
    std::array<LineShape*, 6> Line11{};  // whole-second lines
    std::array<QLabel*, 6> Label9{};     // second numbers

    std::array<QLabel*, 3> Label2{};  // current X, Y, Z in G
    std::array<QCheckBox*, 3> Check1{};
    QLineEdit* Text2 = nullptr;  // 測定日時
    QLabel* Label15 = nullptr;   // sampling rate
    QLabel* Label8 = nullptr;    // elapsed time, hidden
    QWidget* Picture4 = nullptr;  // status strip
    QLabel* Label17 = nullptr;
    QLabel* Label4 = nullptr;
    QScrollBar* HScroll1 = nullptr;

    QPushButton* cmdContinuous = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* cmdMode0x00 = nullptr;
    QPushButton* cmdMode0x04 = nullptr;

    QTimer* tmrContinuousDataCollect = nullptr;
};

}  // namespace kinemo

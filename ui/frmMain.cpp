#include "ui/frmMain.h"

#include "display/PlotSurface.h"
#include "ui/Fonts.h"
#include "ui/Resources.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace kinemo {

namespace {

const QColor kWindowGrey(192, 192, 192);

void setColors(QWidget* widget, std::optional<QColor> background, std::optional<QColor> text) {
    QPalette palette = widget->palette();
    if (background) {
        palette.setColor(QPalette::Window, *background);
        palette.setColor(QPalette::Base, *background);
        palette.setColor(QPalette::Button, *background);
        widget->setAutoFillBackground(true);
    }
    if (text) {
        palette.setColor(QPalette::WindowText, *text);
        palette.setColor(QPalette::Text, *text);
    }
    widget->setPalette(palette);
}

QLabel* label(QWidget* parent, const char* name, QRect geometry, const QString& text,
              std::optional<QColor> background = std::nullopt, std::optional<QColor> textColor = std::nullopt,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setFont(kinemoFont());
    l->setAlignment(alignment);
    setColors(l, background, textColor);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, QRect geometry, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    b->setFont(kinemoFont());
    b->setAutoDefault(false);
    return b;
}

// A picture box: a 2-pixel sunken frame around an area whose children take the
// box's inner coordinates.
QWidget* pictureBox(QWidget* parent, const char* name, QRect geometry, std::optional<QColor> background,
                    QWidget** inner) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    frame->setGeometry(geometry);
    auto* area = new QWidget(frame);
    area->setGeometry(2, 2, geometry.width() - 4, geometry.height() - 4);
    setColors(area, background, std::nullopt);
    *inner = area;
    return frame;
}

}  // namespace

frmMain::frmMain(MainServices services, QWidget* parent) : QMainWindow(parent), services_(services) {
    setObjectName(QStringLiteral("frmMain"));
    initResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/kinemo-16.png"));
    icon.addFile(QStringLiteral(":/icons/kinemo-32.png"));
    setWindowIcon(icon);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(765, 376);
    setColors(client, kWindowGrey, std::nullopt);
    setCentralWidget(client);
    controls_.window = this;

    buildClientArea();
    buildPlotSurface();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    measurement_ = std::make_unique<Measurement>(state_, controls_, services_.hid, services_.clock);
    viewer_ = std::make_unique<Viewer>(state_, controls_);
    FileDialogs* dialogs = services_.dialogs;
    if (!dialogs) {
        ownDialogs_ = std::make_unique<QtFileDialogs>(this);
        dialogs = ownDialogs_.get();
    }
    fileCommands_ = std::make_unique<FileCommands>(state_, *viewer_, *dialogs);
    connectEvents();
}

frmMain::~frmMain() = default;

void frmMain::buildClientArea() {
    QWidget* client = centralWidget();
    const QColor white(255, 255, 255);

    label(client, "Label12", {3, 24, 49, 17}, QStringLiteral("加速度"), std::nullopt, white);
    label(client, "Label13", {8, 40, 33, 17}, QStringLiteral("（G）"), std::nullopt, white);
    const int label1Tops[9] = {256, 230, 204, 176, 152, 120, 94, 68, 40};
    for (int i = 0; i < 9; ++i)
        label(client, "Label1", {20, label1Tops[i], 17, 25}, QString::number(i - 4), std::nullopt, white,
              Qt::AlignRight | Qt::AlignTop)
            ->setProperty("index", i);

    const char* axisTags[3] = {"X(Blue)", "Y(Red)", "Z(Green)"};
    for (int k = 0; k < 3; ++k) {
        const int top = 24 + 40 * k;
        QLabel* tag = label(client, "Label3", {576, top, 161, 33}, QString::fromLatin1(axisTags[k]), kAxisColors[k], white);
        tag->setFont(kinemoFont(9, true));
        tag->setProperty("index", k);
        controls_.Label2[k] = label(client, "Label2", {632, top + 8, 49, 17}, QStringLiteral("0"), white, std::nullopt,
                                    Qt::AlignRight | Qt::AlignTop);
        controls_.Label2[k]->setProperty("index", k);
        QLabel* unit = label(client, "Label7", {688, top + 8, 25, 25}, QStringLiteral("G"), std::nullopt, white);
        unit->setFont(kinemoFont(12, true));
        unit->setProperty("index", k);
        auto* check = new QCheckBox(client);
        check->setObjectName(QStringLiteral("Check1"));
        check->setProperty("index", k);
        check->setGeometry(712, top + 8, 17, 17);
        check->setCheckState(Qt::Checked);
        setColors(check, kAxisColors[k], std::nullopt);
        controls_.Check1[k] = check;
    }

    QWidget* info = nullptr;
    pictureBox(client, "Picture3", {576, 152, 161, 89}, QColor(0, 0, 0), &info);
    label(info, "Label14", {8, 0, 129, 17}, QStringLiteral("測定日時"), std::nullopt, white);
    controls_.Text2 = new QLineEdit(info);
    controls_.Text2->setObjectName(QStringLiteral("Text2"));
    controls_.Text2->setGeometry(8, 16, 137, 18);
    controls_.Text2->setFont(kinemoFont());
    controls_.Text2->setFrame(false);
    setColors(controls_.Text2, QColor(255, 255, 255), QColor(0, 0, 0));
    label(info, "Label16", {8, 40, 105, 17}, QStringLiteral("サンプリングレート"), std::nullopt, white);
    controls_.Label15 = label(info, "Label15", {8, 56, 137, 19}, QString(), white, std::nullopt, Qt::AlignRight | Qt::AlignTop);

    controls_.cmdContinuous = button(client, "cmdContinuous", {576, 248, 161, 25}, QStringLiteral("モニター開始"));
    controls_.Command1 = button(client, "Command1", {576, 288, 161, 25}, QStringLiteral("時間軸の校正"));
    controls_.Command3 = button(client, "Command3", {576, 328, 161, 25}, QStringLiteral("終了"));

    QWidget* strip = nullptr;
    controls_.Picture4 = pictureBox(client, "Picture4", {40, 328, 505, 33}, std::nullopt, &strip);
    controls_.Label17 = label(strip, "Label17", {16, 8, 433, 17},
                              QStringLiteral("波形が現れたら、「時間軸の校正」ボタンをクリックします。"), std::nullopt,
                              QColor(0, 0, 0));
    controls_.Label17->setFont(kinemoFont(11.25));
    controls_.Label4 = label(strip, "Label4", {432, 8, 65, 25}, QStringLiteral("0/2000"), std::nullopt, QColor(0, 0, 0),
                             Qt::AlignRight | Qt::AlignTop);

    auto* scroll = new QScrollBar(Qt::Horizontal, client);
    scroll->setObjectName(QStringLiteral("HScroll1"));
    scroll->setGeometry(40, 328, 505, 17);
    scroll->setRange(1, 1500);
    scroll->setValue(1500);
    scroll->setSingleStep(1);
    scroll->setPageStep(1);
    // Redraw once when a dragged thumb is released, not on every move.
    scroll->setTracking(false);
    scroll->hide();
    controls_.HScroll1 = scroll;

    // Controls of the design that lie outside the client area, out of the user's reach.
    controls_.Command2 = button(client, "Command2", {40, 392, 161, 25}, QStringLiteral("記録された加速度"));
    controls_.Command4 = button(client, "Command4", {216, 392, 161, 25}, QStringLiteral("Command4"));
    controls_.cmdMode0x00 = button(client, "cmdMode0x00", {392, 392, 89, 25}, QStringLiteral("Mode0x00"));
    controls_.cmdMode0x04 = button(client, "cmdMode0x04", {496, 392, 89, 25}, QStringLiteral("Mode0x04"));
    // Clipped away they escape the mouse; Tab would still reach them.
    for (QPushButton* b : {controls_.Command2, controls_.Command4, controls_.cmdMode0x00, controls_.cmdMode0x04})
        b->setFocusPolicy(Qt::NoFocus);
    controls_.Label8 = label(client, "Label8", {600, 392, 161, 17}, QStringLiteral("timeGetTime　: "));
    controls_.Label8->hide();

    controls_.tmrContinuousDataCollect = new QTimer(this);
    controls_.tmrContinuousDataCollect->setObjectName(QStringLiteral("tmrContinuousDataCollect"));
    controls_.tmrContinuousDataCollect->setTimerType(Qt::PreciseTimer);
}

void frmMain::buildPlotSurface() {
    auto* surface = new PlotSurface(centralWidget(), {40, 24, 505, 305});
    surface->setObjectName(QStringLiteral("Picture1"));
    controls_.Picture1 = surface;
    QWidget* canvas = surface->canvas();

    const QColor black(0, 0, 0);
    // Band and labels of the time axis under the traces.
    label(canvas, "Label10", {0, 266, 505, 81}, QString(), QColor(224, 224, 224));
    for (int i = 0; i < 6; ++i) {
        controls_.Label9[i] = label(canvas, "Label9", {0, 268, 25, 17}, QString(), std::nullopt, black);
        controls_.Label9[i]->setProperty("index", i);
    }
    label(canvas, "Label18", {440, 280, 57, 17}, QStringLiteral("時間（秒）"), std::nullopt, black);

    auto horizontal = [&](int y, bool dotted) {
        return surface->addLineShape(QLine(0, y, 504, y), black, dotted ? Qt::DotLine : Qt::SolidLine);
    };
    controls_.Line6 = horizontal(23, false);
    controls_.Line5 = horizontal(50, true);
    controls_.Line4 = horizontal(77, false);
    controls_.Line3 = horizontal(104, true);
    controls_.Line2 = horizontal(131, false);
    controls_.Line1 = horizontal(158, true);
    controls_.Line7 = horizontal(184, false);
    controls_.Line8 = horizontal(211, true);
    controls_.Line9 = horizontal(238, false);
    controls_.Line13 = horizontal(264, false);
    for (int i = 0; i < 6; ++i) {
        controls_.Line11[i] = surface->addLineShape(QLine(0, 0, 0, 264), black, Qt::SolidLine);
        controls_.Line10[i] = surface->addLineShape(QLine(0, 0, 0, 264), black, Qt::DotLine);
    }
    controls_.Line12 = surface->addLineShape(QLine(160, 0, 160, 264), QColor(0, 255, 255));
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setFont(kinemoFont());
    auto addMenu = [&](QWidget* parent, const char* name, const QString& caption) {
        QMenu* menu = parent == bar ? bar->addMenu(caption) : static_cast<QMenu*>(parent)->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->setFont(kinemoFont());
        menus_[menu->objectName()] = menu;
        return menu;
    };
    auto addItem = [&](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        menuItems_[action->objectName()] = action;
    };

    QMenu* file = addMenu(bar, "File", QStringLiteral("ファイル"));
    addItem(file, "Readfile", QStringLiteral("データ読み込み"));
    addItem(file, "WriteFile", QStringLiteral("データの保存"));
    addItem(file, "Fend", QStringLiteral("終了"));
    QMenu* rec = addMenu(bar, "Rec", QStringLiteral("記録"));
    QMenu* recMode = addMenu(rec, "Recmode", QStringLiteral("記録のモード"));
    addItem(recMode, "NormalMode", QStringLiteral("標準測定"));
    addItem(recMode, "FineMode", QStringLiteral("精密測定"));
    QMenu* data = addMenu(bar, "Data", QStringLiteral("表示"));
    addItem(data, "DataRec", QStringLiteral("記録された加速度データの表示"));
    addItem(data, "ReadDate", QStringLiteral("読み込まれた加速度データの表示"));
    QMenu* moni = addMenu(bar, "moni", QStringLiteral("モニター"));
    addItem(moni, "BackBlack", QStringLiteral("背景色　黒"));
    addItem(moni, "BackWhite", QStringLiteral("背景色　白"));
    QMenu* help = addMenu(bar, "Help", QStringLiteral("ヘルプ"));
    addItem(help, "WiiAx", QStringLiteral("Wiiリモコンの加速度センサの軸方向"));
    addItem(help, "InfoVersion", QStringLiteral("バージョン情報"));
}

QAction* frmMain::menuItem(const QString& name) const {
    auto it = menuItems_.find(name);
    return it == menuItems_.end() ? nullptr : it->second;
}

QMenu* frmMain::menu(const QString& name) const {
    auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

void frmMain::connectEvents() {
    Measurement* m = measurement_.get();
    const MainControls& c = controls_;
    connect(c.tmrContinuousDataCollect, &QTimer::timeout, this, [m] { m->tmrContinuousDataCollect_Timer(); });
    connect(c.cmdContinuous, &QPushButton::clicked, this, [m] { m->cmdContinuous_Click(); });
    connect(c.Command1, &QPushButton::clicked, this, [m] { m->Command1_Click(); });
    connect(c.Command3, &QPushButton::clicked, this, [m] { m->Command3_Click(); });
    connect(c.Command4, &QPushButton::clicked, this, [m] { m->Command4_Click(); });
    connect(c.cmdMode0x00, &QPushButton::clicked, this, [m] { m->cmdMode0x00_Click(); });
    connect(c.cmdMode0x04, &QPushButton::clicked, this, [m] { m->cmdMode0x04_Click(); });
    connect(menuItem("Fend"), &QAction::triggered, this, [m] { m->Fend_Click(); });
    connect(menuItem("NormalMode"), &QAction::triggered, this, [m] { m->NormalMode_Click(); });
    connect(menuItem("FineMode"), &QAction::triggered, this, [m] { m->FineMode_Click(); });
    FileCommands* f = fileCommands_.get();
    connect(menuItem("Readfile"), &QAction::triggered, this, [f] { f->Readfile_Click(); });
    connect(menuItem("WriteFile"), &QAction::triggered, this, [f] { f->WriteFile_Click(); });
    connect(menuItem("WiiAx"), &QAction::triggered, this, [this] { helpWindows_.WiiAx_Click(); });
    connect(menuItem("InfoVersion"), &QAction::triggered, this, [this] { helpWindows_.InfoVersion_Click(); });

    Viewer* v = viewer_.get();
    connect(menuItem("DataRec"), &QAction::triggered, this, [v] { v->DataRec_Click(); });
    connect(menuItem("ReadDate"), &QAction::triggered, this, [v] { v->ReadDate_Click(); });
    connect(menuItem("BackBlack"), &QAction::triggered, this, [v] { v->BackBlack_Click(); });
    connect(menuItem("BackWhite"), &QAction::triggered, this, [v] { v->BackWhite_Click(); });
    connect(c.Command2, &QPushButton::clicked, this, [v] { v->Command2_Click(); });
    connect(c.HScroll1, &QScrollBar::valueChanged, this, [v] { v->HScroll1_Change(); });
    connect(c.Picture1, &PlotSurface::mouseDown, this,
            [v](Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF position) {
                v->Picture1_MouseDown(button, shift, position);
            });
}

void frmMain::closeEvent(QCloseEvent* event) {
    measurement_->Form_Unload();
    event->accept();
}

}  // namespace kinemo

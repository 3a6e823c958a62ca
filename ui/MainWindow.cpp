#include "ui/MainWindow.h"

#include "app/Colours.h"
#include "core/NumberText.h"
#include "core/Sample.h"
#include "core/Version.h"
#include "display/PlotSurface.h"
#include "ui/Fonts.h"
#include "ui/Resources.h"
#include "ui/WindowPlacement.h"

#include <QApplication>
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
    // A fixed size, not only a fixed place: a new text then asks for no relayout of the
    // window, which the readouts would otherwise do at every frame.
    l->setGeometry(geometry);
    l->setFixedSize(geometry.size());
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

MainWindow::MainWindow(MainServices services, QWidget* parent) : QMainWindow(parent), services_(services) {
    setObjectName(QStringLiteral("MainWindow"));
    initResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/kinemo-16.png"));
    icon.addFile(QStringLiteral(":/icons/kinemo-32.png"));
    // The application's, so that the Help windows carry it too.
    QApplication::setWindowIcon(icon);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(765, 376);
    setColors(client, kWindowGrey, std::nullopt);
    setCentralWidget(client);

    buildClientArea();
    buildPlotSurface();
    buildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    EventLog& log = services_.log ? *services_.log : noLog_;
    FileDialogs* dialogs = services_.dialogs;
    if (!dialogs) {
        ownDialogs_ = std::make_unique<QtFileDialogs>(this);
        dialogs = ownDialogs_.get();
    }
    measurement_ = std::make_unique<Measurement>(state_, controls_, services_.hid, services_.clock, *dialogs, log);
    viewer_ = std::make_unique<Viewer>(state_, controls_, log);
    fileCommands_ = std::make_unique<FileCommands>(state_, *viewer_, *dialogs, log);
    connectEvents();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildClientArea() {
    QWidget* client = centralWidget();
    const QColor white(255, 255, 255);

    label(client, "accelerationCaption", {3, 24, 49, 17}, QStringLiteral("加速度"), std::nullopt, white);
    label(client, "unitCaption", {8, 40, 33, 17}, QStringLiteral("（G）"), std::nullopt, white);
    const int levelNumberTops[9] = {256, 230, 204, 176, 152, 120, 94, 68, 40};
    for (int i = 0; i < 9; ++i)
        label(client, "levelNumbers", {20, levelNumberTops[i], 17, 25}, QString::number(i - 4), std::nullopt, white,
              Qt::AlignRight | Qt::AlignTop);

    const char* axisTags[kAxisCount] = {"X(Blue)", "Y(Red)", "Z(Green)"};
    for (int k = 0; k < kAxisCount; ++k) {
        const int top = 24 + 40 * k;
        QLabel* tag =
            label(client, "axisTags", {576, top, 161, 33}, QString::fromLatin1(axisTags[k]), kAxisColors[k], white);
        tag->setFont(kinemoFont(9, true));
        // No number until a remote has sent one: a 0 would read as a measurement.
        controls_.readouts[k] = label(client, "readouts", {632, top + 8, 49, 17}, QString::fromUtf8(kNoValueText),
                                      white, std::nullopt, Qt::AlignRight | Qt::AlignTop);
        QLabel* unit = label(client, "axisUnits", {688, top + 8, 25, 25}, QStringLiteral("G"), std::nullopt, white);
        unit->setFont(kinemoFont(12, true));
        auto* check = new QCheckBox(client);
        check->setObjectName(QStringLiteral("axisCheckBoxes"));
        check->setGeometry(712, top + 8, 17, 17);
        check->setCheckState(Qt::Checked);
        setColors(check, kAxisColors[k], std::nullopt);
        controls_.axisCheckBoxes[k] = check;
    }

    QWidget* info = nullptr;
    pictureBox(client, "infoPanel", {576, 152, 161, 89}, QColor(0, 0, 0), &info);
    label(info, "measuredAtCaption", {8, 0, 129, 17}, QStringLiteral("測定日時"), std::nullopt, white);
    controls_.measuredAtField = new QLineEdit(info);
    controls_.measuredAtField->setObjectName(QStringLiteral("measuredAtField"));
    controls_.measuredAtField->setGeometry(8, 16, 137, 18);
    controls_.measuredAtField->setFont(kinemoFont());
    controls_.measuredAtField->setFrame(false);
    setColors(controls_.measuredAtField, QColor(255, 255, 255), QColor(0, 0, 0));
    label(info, "rateCaption", {8, 40, 105, 17}, QStringLiteral("サンプリングレート"), std::nullopt, white);
    controls_.rateLabel =
        label(info, "rateLabel", {8, 56, 137, 19}, QString(), white, std::nullopt, Qt::AlignRight | Qt::AlignTop);

    controls_.monitorButton = button(client, "monitorButton", {576, 248, 161, 25}, kMonitorStart);
    controls_.recordButton = button(client, "recordButton", {576, 288, 161, 25}, QStringLiteral("時間軸の校正"));
    controls_.quitButton = button(client, "quitButton", {576, 328, 161, 25}, QStringLiteral("終了"));

    QWidget* strip = nullptr;
    // The strip keeps the desktop's window colour, as the menu bar does, not the client grey.
    controls_.statusStrip =
        pictureBox(client, "statusStrip", {40, 328, 505, 33}, palette().color(QPalette::Window), &strip);
    controls_.statusText = label(strip, "statusText", {16, 8, 433, 17},
                                 QStringLiteral("波形が現れたら、「時間軸の校正」ボタンをクリックします。"),
                                 std::nullopt, QColor(0, 0, 0));
    controls_.statusText->setFont(kinemoFont(11.25));
    controls_.sampleCounter = label(strip, "sampleCounter", {432, 8, 65, 25}, QStringLiteral("0/%1").arg(kRunLength),
                                    std::nullopt, QColor(0, 0, 0), Qt::AlignRight | Qt::AlignTop);

    auto* scroll = new QScrollBar(Qt::Horizontal, client);
    scroll->setObjectName(QStringLiteral("viewerScrollBar"));
    scroll->setGeometry(40, 328, 505, 17);
    scroll->setRange(1, 1500);
    scroll->setValue(1500);
    scroll->setSingleStep(1);
    scroll->setPageStep(1);
    // Redraw once when a dragged thumb is released, not on every move.
    scroll->setTracking(false);
    scroll->hide();
    controls_.viewerScrollBar = scroll;

    // Controls that lie outside the client area, out of the user's reach.
    MainControls::Unreachable& u = controls_.unreachable;
    u.showRecordedButton = button(client, "showRecordedButton", {40, 392, 161, 25}, QStringLiteral("記録された加速度"));
    u.stampTimeButton = button(client, "stampTimeButton", {216, 392, 161, 25}, QStringLiteral("stampTimeButton"));
    u.reportOnChangeButton = button(client, "reportOnChangeButton", {392, 392, 89, 25}, QStringLiteral("Mode0x00"));
    u.reportContinuouslyButton =
        button(client, "reportContinuouslyButton", {496, 392, 89, 25}, QStringLiteral("Mode0x04"));
    // Clipped away they escape the mouse; Tab would still reach them.
    for (QPushButton* b : {u.showRecordedButton, u.stampTimeButton, u.reportOnChangeButton, u.reportContinuouslyButton})
        b->setFocusPolicy(Qt::NoFocus);
    u.elapsedLabel = label(client, "elapsedLabel", {600, 392, 161, 17}, QStringLiteral("timeGetTime　: "));
    u.elapsedLabel->hide();

    controls_.sampleTimer = new QTimer(this);
    controls_.sampleTimer->setObjectName(QStringLiteral("sampleTimer"));
    controls_.sampleTimer->setTimerType(Qt::PreciseTimer);
}

void MainWindow::buildPlotSurface() {
    auto* surface = new PlotSurface(centralWidget(), {40, 24, 505, 305});
    surface->setObjectName(QStringLiteral("plot"));
    controls_.plot = surface;
    QWidget* canvas = surface->canvas();

    const QColor black(0, 0, 0);
    // Band and labels of the time axis under the traces.
    label(canvas, "timeAxisBand", {0, 266, 505, 81}, QString(), QColor(224, 224, 224));
    for (int i = 0; i < 6; ++i)
        controls_.secondLabels[i] = label(canvas, "secondLabels", {0, 268, 25, 17}, QString(), std::nullopt, black);
    label(canvas, "timeAxisCaption", {440, 280, 57, 17}, QStringLiteral("時間（秒）"), std::nullopt, black);

    auto horizontal = [&](int y, bool dotted) {
        return surface->addLineShape(QLine(0, y, 504, y), black, dotted ? Qt::DotLine : Qt::SolidLine);
    };
    // One line per G from +4 at the top to -4; whole even G solid, odd G dotted.
    const int levelY[9] = {23, 50, 77, 104, 131, 158, 184, 211, 238};
    for (int i = 0; i < 9; ++i) controls_.levelLines[i] = horizontal(levelY[i], i % 2 == 1);
    controls_.traceAreaEdge = horizontal(264, false);
    for (int i = 0; i < 6; ++i) {
        controls_.secondLines[i] = surface->addLineShape(QLine(0, 0, 0, 264), black, Qt::SolidLine);
        controls_.halfSecondLines[i] = surface->addLineShape(QLine(0, 0, 0, 264), black, Qt::DotLine);
    }
    controls_.cursorLine = surface->addLineShape(QLine(160, 0, 160, 264), QColor(0, 255, 255));
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setFont(kinemoFont());
    auto addMenu = [](auto* parent, const char* name, const QString& caption) {
        QMenu* menu = parent->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->setFont(kinemoFont());
        return menu;
    };
    auto addItem = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    QMenu* file = addMenu(bar, "fileMenu", QStringLiteral("ファイル"));
    actions_.loadRun = addItem(file, "loadRunAction", QStringLiteral("データ読み込み"));
    actions_.saveRun = addItem(file, "saveRunAction", QStringLiteral("データの保存"));
    actions_.quit = addItem(file, "quitAction", QStringLiteral("終了"));
    QMenu* record = addMenu(bar, "recordMenu", QStringLiteral("記録"));
    QMenu* recordMode = addMenu(record, "recordModeMenu", QStringLiteral("記録のモード"));
    actions_.normalMode = addItem(recordMode, "normalModeAction", QStringLiteral("標準測定"));
    actions_.fineMode = addItem(recordMode, "fineModeAction", QStringLiteral("精密測定"));
    QMenu* view = addMenu(bar, "viewMenu", QStringLiteral("表示"));
    actions_.showRecordedRun = addItem(view, "showRecordedRunAction", QStringLiteral("記録された加速度データの表示"));
    actions_.showLoadedRun = addItem(view, "showLoadedRunAction", QStringLiteral("読み込まれた加速度データの表示"));
    QMenu* monitor = addMenu(bar, "monitorMenu", QStringLiteral("モニター"));
    actions_.blackBackground = addItem(monitor, "blackBackgroundAction", QStringLiteral("背景色　黒"));
    actions_.whiteBackground = addItem(monitor, "whiteBackgroundAction", QStringLiteral("背景色　白"));
    QMenu* help = addMenu(bar, "helpMenu", QStringLiteral("ヘルプ"));
    actions_.axisDirections =
        addItem(help, "axisDirectionsAction", QStringLiteral("Wiiリモコンの加速度センサの軸方向"));
    actions_.about = addItem(help, "aboutAction", QStringLiteral("バージョン情報"));
}

void MainWindow::connectEvents() {
    Measurement* m = measurement_.get();
    const MainControls& c = controls_;
    const MainControls::Unreachable& u = controls_.unreachable;
    const MenuActions& a = actions_;
    connect(c.sampleTimer, &QTimer::timeout, this, [m] { m->onSampleTick(); });
    connect(c.monitorButton, &QPushButton::clicked, this, [m] { m->toggleMonitor(); });
    connect(c.recordButton, &QPushButton::clicked, this, [m] { m->startRecordingRun(); });
    connect(c.quitButton, &QPushButton::clicked, this, [m] { m->quit(); });
    connect(u.stampTimeButton, &QPushButton::clicked, this, [m] { m->stampTime(); });
    connect(u.reportOnChangeButton, &QPushButton::clicked, this, [m] { m->reportOnChange(); });
    connect(u.reportContinuouslyButton, &QPushButton::clicked, this, [m] { m->reportContinuously(); });
    connect(a.quit, &QAction::triggered, this, [m] { m->quit(); });
    connect(a.normalMode, &QAction::triggered, this, [m] { m->chooseNormalMode(); });
    connect(a.fineMode, &QAction::triggered, this, [m] { m->chooseFineMode(); });
    FileCommands* f = fileCommands_.get();
    connect(a.loadRun, &QAction::triggered, this, [f] { f->loadRun(); });
    connect(a.saveRun, &QAction::triggered, this, [f] { f->saveRun(); });
    connect(a.axisDirections, &QAction::triggered, this, [this] { helpWindows_.showAxisDirections(); });
    connect(a.about, &QAction::triggered, this, [this] { helpWindows_.showAbout(); });

    Viewer* v = viewer_.get();
    connect(a.showRecordedRun, &QAction::triggered, this, [v] { v->openViewer(RunSlot::Recorded); });
    connect(a.showLoadedRun, &QAction::triggered, this, [v] { v->openViewer(RunSlot::Loaded); });
    connect(a.blackBackground, &QAction::triggered, this, [v] { v->useBlackBackground(); });
    connect(a.whiteBackground, &QAction::triggered, this, [v] { v->useWhiteBackground(); });
    connect(u.showRecordedButton, &QPushButton::clicked, this, [v] { v->redrawRecordedRun(); });
    connect(c.viewerScrollBar, &QScrollBar::valueChanged, this, [v] { v->onViewerScrolled(); });
}

void MainWindow::start() {
    show();
    centreOnScreen(*this);
    setWindowTitle(QString::fromUtf8(std::string(kAppTitle) + "  " + versionText()));
    measurement_->startUp();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    measurement_->shutDown();
    event->accept();
}

}  // namespace kinemo

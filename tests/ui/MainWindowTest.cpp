#include "display/PlotSurface.h"
#include "app/FileCommands.h"
#include "tests/support/MainWindowFixture.h"
#include "ui/Translations.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <set>

namespace kinemo {
namespace {

class MainWindowTest : public test::MainWindowFixture {
protected:
    // Widgets of the client area by object name and, for control arrays, index.
    QWidget* control(const char* name, int index = -1) {
        for (QWidget* w : window->findChildren<QWidget*>(QString::fromLatin1(name)))
            if (index < 0 || w->property("index").toInt() == index) return w;
        return nullptr;
    }
    // Place relative to the client area (or the panel named by the control's parent).
    QRect placeIn(QWidget* w, QWidget* parent) {
        return QRect(w->mapTo(parent, QPoint(0, 0)), w->size());
    }
};

TEST_F(MainWindowTest, FixedCentredWindowWithItsTitle) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kinemo  1.0.15"));
    EXPECT_EQ(window->clientArea()->size(), QSize(765, 376));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
    const QRect screen = window->screen()->geometry();
    const QRect frame = window->frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1);
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST_F(MainWindowTest, ControlsOfTheClientAreaInTheirPlaces) {
    QWidget* client = window->clientArea();
    struct Expect {
        const char* name;
        int index;
        QRect place;
        const char* text;
    };
    const Expect expected[] = {
        {"plot", -1, {40, 24, 505, 305}, nullptr},
        {"accelerationCaption", -1, {3, 24, 49, 17}, "加速度"},
        {"unitCaption", -1, {8, 40, 33, 17}, "（G）"},
        {"levelNumbers", 0, {20, 256, 17, 25}, "-4"},
        {"levelNumbers", 4, {20, 152, 17, 25}, "0"},
        {"levelNumbers", 8, {20, 40, 17, 25}, "4"},
        {"axisTags", 0, {576, 24, 161, 33}, "X(Blue)"},
        {"axisTags", 1, {576, 64, 161, 33}, "Y(Red)"},
        {"axisTags", 2, {576, 104, 161, 33}, "Z(Green)"},
        {"readouts", 2, {632, 112, 49, 17}, nullptr},
        {"axisUnits", 1, {688, 72, 25, 25}, "G"},
        {"axisCheckBoxes", 0, {712, 32, 17, 17}, nullptr},
        {"infoPanel", -1, {576, 152, 161, 89}, nullptr},
        {"monitorButton", -1, {576, 248, 161, 25}, "モニター開始"},
        {"calibrateButton", -1, {576, 288, 161, 25}, "時間軸の校正"},
        {"quitButton", -1, {576, 328, 161, 25}, "終了"},
        {"statusStrip", -1, {40, 328, 505, 33}, nullptr},
        {"viewerScrollBar", -1, {40, 328, 505, 17}, nullptr},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(std::string(e.name) + " " + std::to_string(e.index));
        QWidget* w = control(e.name, e.index);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(placeIn(w, client), e.place);
        if (!e.text) continue;
        if (auto* l = qobject_cast<QLabel*>(w)) {
            EXPECT_EQ(l->text(), QString::fromUtf8(e.text));
        }
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(b->text(), QString::fromUtf8(e.text));
        }
    }
    // Panels' children take the panels' inner coordinates.
    QWidget* info = control("infoPanel")->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(placeIn(control("rateLabel"), info), QRect(8, 56, 137, 19));
    EXPECT_EQ(placeIn(control("measuredAtField"), info), QRect(8, 16, 137, 18));
    QWidget* strip = control("statusStrip")->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(placeIn(control("statusText"), strip), QRect(16, 8, 433, 17));
    EXPECT_EQ(placeIn(control("sampleCounter"), strip), QRect(432, 8, 65, 25));
    EXPECT_EQ(static_cast<QLabel*>(control("statusText"))->text(),
              QStringLiteral("波形が現れたら、「時間軸の校正」ボタンをクリックします。"));

    auto* scroll = static_cast<QScrollBar*>(control("viewerScrollBar"));
    EXPECT_TRUE(scroll->isHidden());
    EXPECT_EQ(scroll->minimum(), 1);
    EXPECT_EQ(scroll->singleStep(), 1);
    EXPECT_EQ(scroll->pageStep(), 1);
    EXPECT_FALSE(scroll->hasTracking());
    for (QCheckBox* box : c().axisCheckBoxes) EXPECT_EQ(box->checkState(), Qt::Checked);
    EXPECT_EQ(static_cast<QLabel*>(control("axisTags", 0))->palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_TRUE(static_cast<QLabel*>(control("axisTags", 0))->font().bold());
}

TEST_F(MainWindowTest, HiddenControlsLieOutsideTheClientArea) {
    const QRect client = window->clientArea()->rect();
    for (const char* name : {"showRecordedButton", "stampTimeButton", "reportOnChangeButton", "reportContinuouslyButton", "elapsedLabel"}) {
        QWidget* w = control(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_FALSE(client.intersects(w->geometry())) << name;
    }
    EXPECT_EQ(c().showRecordedButton->text(), QStringLiteral("記録された加速度"));

    // Nor does Tab from the monitor button ever land on one of the buttons.
    QApplication::setActiveWindow(window.get());
    c().monitorButton->setFocus();
    std::set<QString> reached;
    for (int i = 0; i < 40; ++i) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &tab);
        reached.insert(QApplication::focusWidget()->objectName());
    }
    EXPECT_TRUE(reached.contains("calibrateButton") && reached.contains("monitorButton"));
    for (const char* name :
         {"showRecordedButton", "stampTimeButton", "reportOnChangeButton", "reportContinuouslyButton"})
        EXPECT_FALSE(reached.contains(name)) << name;
}

TEST_F(MainWindowTest, ChildrenOfThePlotSurface) {
    EXPECT_EQ(c().plot->drawingSize(), QSize(501, 301));
    const std::pair<LineShape*, int> horizontals[] = {{c().levelLines[0], 23}, {c().levelLines[1], 50},  {c().levelLines[2], 77},
                                                      {c().levelLines[3], 104}, {c().zeroLine(), 131}, {c().levelLines[5], 158},
                                                      {c().levelLines[6], 184}, {c().levelLines[7], 211}, {c().levelLines[8], 238},
                                                      {c().traceAreaEdge, 264}};
    for (auto [line, y] : horizontals) {
        EXPECT_EQ(line->y1(), y);
        EXPECT_EQ(line->y2(), y);
    }
    for (LineShape* dotted : {c().levelLines[1], c().levelLines[3], c().levelLines[5], c().levelLines[7]}) EXPECT_TRUE(dotted->isDotted());
    for (LineShape* solid : {c().levelLines[0], c().levelLines[2], c().zeroLine(), c().levelLines[6], c().levelLines[8]}) EXPECT_FALSE(solid->isDotted());
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(c().halfSecondLines[i]->isDotted());
        EXPECT_FALSE(c().secondLines[i]->isDotted());
        EXPECT_EQ(c().secondLines[i]->y2(), 264);
        EXPECT_EQ(c().secondLabels[i]->y(), 268);
    }
    EXPECT_EQ(c().cursorLine->borderColor(), QColor(0, 255, 255));
    auto* band = c().plot->canvas()->findChild<QLabel*>(QStringLiteral("timeAxisBand"));
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->geometry(), QRect(0, 266, 505, 81));
    auto* title = c().plot->canvas()->findChild<QLabel*>(QStringLiteral("timeAxisCaption"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->geometry(), QRect(440, 280, 57, 17));
    EXPECT_EQ(title->text(), QStringLiteral("時間（秒）"));
}

TEST_F(MainWindowTest, MenuTree) {
    auto items = [&](const char* menu) {
        QStringList list;
        for (QAction* a : window->menu(QString::fromLatin1(menu))->actions())
            list << (a->menu() ? a->menu()->objectName() : a->objectName()) + "=" + a->text();
        return list;
    };
    QStringList top;
    for (QAction* a : window->menuBar()->actions()) top << a->menu()->objectName() + "=" + a->text();
    EXPECT_EQ(top, (QStringList{"fileMenu=ファイル", "recordMenu=記録", "viewMenu=表示", "monitorMenu=モニター", "helpMenu=ヘルプ"}));
    EXPECT_EQ(items("fileMenu"), (QStringList{"loadRunAction=データ読み込み", "saveRunAction=データの保存", "quitAction=終了"}));
    EXPECT_EQ(items("recordMenu"), (QStringList{"recordModeMenu=記録のモード"}));
    EXPECT_EQ(items("recordModeMenu"), (QStringList{"normalModeAction=標準測定", "fineModeAction=精密測定"}));
    EXPECT_EQ(items("viewMenu"),
              (QStringList{"showRecordedRunAction=記録された加速度データの表示", "showLoadedRunAction=読み込まれた加速度データの表示"}));
    EXPECT_EQ(items("monitorMenu"), (QStringList{QString::fromUtf8("blackBackgroundAction=背景色\u3000黒"),
                                          QString::fromUtf8("whiteBackgroundAction=背景色\u3000白")}));
    EXPECT_EQ(items("helpMenu"),
              (QStringList{"axisDirectionsAction=Wiiリモコンの加速度センサの軸方向", "aboutAction=バージョン情報"}));
    for (QAction* a : window->findChildren<QAction*>()) {
        EXPECT_FALSE(a->isCheckable()) << a->objectName().toStdString();
        EXPECT_TRUE(a->shortcut().isEmpty()) << a->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, HelpItemsOpenOneWindowEach) {
    window->menuItem("axisDirectionsAction")->trigger();
    window->menuItem("axisDirectionsAction")->trigger();
    window->menuItem("aboutAction")->trigger();
    QWidget* axis = window->helpWindows().axisWindow();
    QWidget* about = window->helpWindows().aboutWindow();
    ASSERT_NE(axis, nullptr);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(axis->windowTitle(), QStringLiteral("３軸の方向"));
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Kinemoのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(axis->parentWidget(), nullptr) << "not owned by the main window";
    EXPECT_FALSE(axis->isModal());
    int axisWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) axisWindows += w->isVisible() && w->windowTitle() == axis->windowTitle();
    EXPECT_EQ(axisWindows, 1);
}

TEST_F(MainWindowTest, FontsFallBackToTheMetricTwinOfTheDesignedFont) {
    const QFont font = static_cast<QLabel*>(control("accelerationCaption"))->font();
    EXPECT_EQ(font.families(), (QStringList{"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic"}));
    EXPECT_EQ(font.pointSizeF(), 9.0);
    EXPECT_EQ(static_cast<QLabel*>(control("statusText"))->font().pointSizeF(), 11.25);
}

// Qt's own dialogs speak Japanese like the program: the save dialog, its overwrite
// question and their buttons. Without the translation they stay English.
TEST(QtTranslation, TheSaveDialogAndItsOverwriteQuestionAreJapanese) {
    EXPECT_EQ(installQtTranslation(QStringLiteral("/nonexistent")), nullptr);
    const std::unique_ptr<QTranslator> japanese(installQtTranslation());
    ASSERT_NE(japanese, nullptr);

    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("run.KMO"));
    QFile(target).open(QIODevice::WriteOnly);
    QStringList seen;
    const auto buttons = [&seen](QWidget* w) {
        for (const QAbstractButton* b : w->findChild<QDialogButtonBox*>()->buttons()) seen << b->text();
    };
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen << dialog->windowTitle();
        buttons(dialog);
        dialog->selectFile(target);
        QTimer::singleShot(0, [&] {
            auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(question, nullptr);
            seen << question->text();
            buttons(question);
            question->button(QMessageBox::Yes)->click();
        });
        static_cast<QDialog*>(dialog)->accept();
    });
    QtFileDialogs dialogs(nullptr);
    EXPECT_EQ(dialogs.askSavePath(FileCommands::kFilter), target);
    EXPECT_EQ(seen.join(QLatin1Char('|')).toStdString(),
              "名前を付けて保存|保存(&S)|キャンセル|run.KMO は既に存在します。\n置き換えますか?|はい(&Y)|いいえ(&N)");
}

}  // namespace
}  // namespace kinemo

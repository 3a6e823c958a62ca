// The real main window and the Help windows as the user meets them, and the program
// started from the command line.
#include "app/FileCommands.h"
#include "tests/support/MainWindowFixture.h"
#include "ui/CommandLine.h"
#include "ui/StartupFile.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <set>

namespace kinemo {
namespace {

// Compares what `widget` shows with the reviewed picture tests/ui/<name>.png. A
// mismatch leaves the grab and a diff (differing pixels in magenta) in the working
// folder; KINEMO_UPDATE_PICTURES=1 makes the grab the new reference instead.
void expectLooksLike(QWidget* widget, const QString& name) {
    const QImage shot = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString reference = QStringLiteral(KINEMO_PICTURES "/%1.png").arg(name);
    if (qEnvironmentVariableIsSet("KINEMO_UPDATE_PICTURES")) {
        ASSERT_TRUE(shot.save(reference));
        return;
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), expected.size()) << reference.toStdString();
    QImage diff = shot;
    int differing = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb a = shot.pixel(x, y), b = expected.pixel(x, y);
            const int most = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                       std::abs(qBlue(a) - qBlue(b))});
            if (most > 4) ++differing, diff.setPixel(x, y, qRgb(255, 0, 255));
        }
    if (differing == 0) return;
    const QString actual = QFileInfo(name + ".actual.png").absoluteFilePath();
    const QString diffPath = QFileInfo(name + ".diff.png").absoluteFilePath();
    shot.save(actual), diff.save(diffPath);
    ADD_FAILURE() << differing << " pixels differ from " << reference.toStdString() << "; see "
                  << actual.toStdString() << " and " << diffPath.toStdString();
}

class MainWindowTest : public test::MainWindowFixture {
protected:
    void arrangePlatform() override { remote = &hid.addWiiRemote(); }
    HelpWindows& help() { return window->helpWindows(); }
    test::FakeDeviceState* remote = nullptr;
};

// Three seconds of trace from a remote on a fixed clock, the timer stopped: Y lies
// on the +2 G line, which stays above it; X crosses the zero line.
TEST_F(MainWindowTest, LooksAsReviewed) {
    c().sampleTimer->stop();
    for (int i = 0; i < 300; ++i) {
        const int x = 118 + std::abs(i % 54 - 27), z = 184 + (i / 30) % 2 * 20;
        remote->inputQueue.push_back(test::accReport(x, 77, z));
        m().onSampleTick();
    }
    expectLooksLike(window.get(), "main-window");
}

TEST_F(MainWindowTest, EachHelpWindowOpensOnceLooksAsReviewedAndClosesByKey) {
    const MenuActions& a = window->actions();
    for (QAction* item : {a.about, a.axisDirections, a.about, a.axisDirections})
        item->trigger();
    std::multiset<QString> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) shown.insert(w->objectName());
    EXPECT_EQ(shown, (std::multiset<QString>{"AboutDialog", "AxisDirectionsWindow", "MainWindow"}));
    expectLooksLike(help().aboutWindow(), "about");
    expectLooksLike(help().axisWindow(), "axis");
    for (int key : {int{Qt::Key_Escape}, int{Qt::Key_Return}}) {
        help().showAbout();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QWidget* about = help().aboutWindow();
        QApplication::sendEvent(about->focusWidget() ? about->focusWidget() : about, &press);
        EXPECT_EQ(help().aboutWindow(), nullptr) << key;
    }
}

TEST_F(MainWindowTest, AMinimisedAboutWindowComesBackFromItsMenuItem) {
    window->actions().about->trigger();
    QWidget* about = help().aboutWindow();
    about->setWindowState(Qt::WindowMinimized);
    window->actions().about->trigger();
    EXPECT_FALSE(help().aboutWindow()->windowState() & Qt::WindowMinimized);
}

TEST_F(MainWindowTest, AMinimisedAxisWindowComesBackFromItsMenuItem) {
    window->actions().axisDirections->trigger();
    QWidget* axis = help().axisWindow();
    axis->setWindowState(Qt::WindowMinimized);
    window->actions().axisDirections->trigger();
    EXPECT_FALSE(help().axisWindow()->windowState() & Qt::WindowMinimized);
}

// The strip under the plot has the colour of the menu bar, not the grey around it.
TEST_F(MainWindowTest, TheStatusStripHasTheMenuBarsColour) {
    const QImage shot = window->grab().toImage();
    const QPoint stripInside = c().statusStrip->mapTo(window.get(), QPoint(6, 28));
    const QPoint menuBarRight = QPoint(window->width() - 3, window->menuBar()->height() / 2);
    EXPECT_EQ(shot.pixelColor(stripInside), shot.pixelColor(menuBarRight));
}

TEST_F(MainWindowTest, TabNeverReachesTheButtonsOutsideTheClientArea) {
    QApplication::setActiveWindow(window.get());
    c().monitorButton->setFocus();
    std::set<QWidget*> reached;
    for (int i = 0; i < 40; ++i) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &tab);
        reached.insert(QApplication::focusWidget());
    }
    EXPECT_TRUE(reached.contains(c().calibrateButton) && reached.contains(c().quitButton));
    const MainControls::Unreachable& u = c().unreachable;
    for (QWidget* out : {u.showRecordedButton, u.stampTimeButton, u.reportOnChangeButton, u.reportContinuouslyButton})
        EXPECT_FALSE(reached.contains(out)) << out->objectName().toStdString();
}

// The About window (a tool window, which by default would not keep the program
// alive) stays open after the main window closes, and the program ends with it. The
// closed main window must not tick on into the released remote meanwhile.
TEST_F(MainWindowTest, ClosingTheWindowStopsTheTimerWhileAHelpWindowKeepsTheProgram) {
    help().showAbout();
    QWidget* about = help().aboutWindow();
    bool timerActive = true, aboutOpen = false, programEnded = false;
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, about, [&] { programEnded = true; });
    QTimer::singleShot(30, about, [&] {
        window->close();
        QTimer::singleShot(30, about, [&] {
            timerActive = c().sampleTimer->isActive();
            aboutOpen = about->isVisible() && !programEnded;
            about->close();
        });
    });
    QTimer::singleShot(10000, window.get(), [] { QApplication::exit(1); });  // rather than hang
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(!timerActive && aboutOpen);
    EXPECT_TRUE(m().remote() == nullptr && remote->closes == 1);
}

// "kinemo FILE", as the file manager starts it: the menu's load once the loop runs.
TEST_F(MainWindowTest, AFileNamedAtStartOpensInTheViewerOnceTheLoopRuns) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.KMO"));
    s().recorded.samples.fill({50, 60, 70});
    s().recorded.measuredAt = "start";
    dialogs.answers = {path};
    window->actions().saveRun->trigger();
    const ParsedCommandLine commandLine = parseCommandLine({"kinemo", path});
    ASSERT_FALSE(commandLine.exitStatus);
    loadWhenRunning(*window, window->fileCommands(), commandLine.options.file.value());
    EXPECT_EQ(s().viewed, StoredRun::Recorded) << "loaded before the window runs";
    QCoreApplication::processEvents();
    EXPECT_TRUE(s().viewed == StoredRun::Loaded && s().loaded.measuredAt == "start" && dialogs.messages.empty());
    EXPECT_EQ(s().loaded.samples[2000], (AccTriple{50, 60, 70}));
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
    EXPECT_EQ(dialogs.askSavePath(FileCommands::kNameFilters), target);
    EXPECT_EQ(seen.join(QLatin1Char('|')).toStdString(),
              "名前を付けて保存|保存(&S)|キャンセル|"
              "run.KMO は既に存在します。\n置き換えますか?|はい(&Y)|いいえ(&N)");
}

// The program itself, with no window system: what it says, where, and its status.
TEST(CommandLine, AnswersAndRefusalsNeedNoDisplay) {
    // The display variable (unset: nullptr), the exit status and a part of each output.
    const struct { QStringList arguments; const char* display; int status; const char *out, *err; } cases[] = {
        {{"--help"}, nullptr, 0, "--simulate", ""},
        {{"-h"}, nullptr, 0, "[FILE]", ""},
        {{"--version"}, ":4711", 0, "Kinemo 1.0.15\n", ""},
        {{}, nullptr, 1, "", "WAYLAND_DISPLAY"},
        {{"--simulate"}, ":4711", 1, "", "DISPLAY=':4711'"},
        {{"--frobnicate"}, nullptr, 2, "", "Unknown option 'frobnicate'"},
        {{"--simulate", "one.KMO", "two.KMO"}, nullptr, 2, "", "'two.KMO'"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.arguments.join(' ').toStdString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) env.remove(name);
        if (k.display) env.insert("DISPLAY", k.display);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(KINEMO_PROGRAM, k.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        const std::string out = program.readAllStandardOutput().toStdString();
        const std::string err = program.readAllStandardError().toStdString();
        EXPECT_EQ(program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1, k.status);
        EXPECT_TRUE(out.find(k.out) != out.npos && err.find(k.err) != err.npos) << out << err;
        // Answers on standard output alone; a refusal on standard error alone, one
        // line for the display, the usage after a wrong argument.
        EXPECT_EQ(k.status == 0 ? err : out, "");
        const std::string expectedErr = k.status == 1 ? "one line" : k.status == 2 ? "usage" : "";
        const bool oneLine = std::count(err.begin(), err.end(), '\n') == 1;
        const bool usage = err.find("Usage: kinemo [options]") != err.npos;
        EXPECT_EQ(expectedErr, oneLine ? "one line" : usage ? "usage" : "") << err;
    }
}

// The program on the offscreen platform with its state folder in `state`; killed
// once `done` holds or after ten seconds.
void runProgramUntil(const QString& state, const QStringList& arguments, const std::function<bool()>& done) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_STATE_HOME", state);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(KINEMO_PROGRAM, arguments);
    ASSERT_TRUE(program.waitForStarted());
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired()) QThread::msleep(50);
    program.kill();
    program.waitForFinished();
}

QString logText(const QString& state) {
    const QDir folder(state + "/kinemo");
    QString text;
    for (const QString& name : folder.entryList({"*.log"}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly)) text += QString::fromUtf8(file.readAll());
    }
    return text;
}

TEST(ProgramDayLog, StartingTheProgramWritesItsStartIntoTheStateFolder) {
    QTemporaryDir state;
    const auto started = [&] { return logText(state.path()).contains("を起動しました（模擬リモコン）"); };
    runProgramUntil(state.path(), {"--simulate"}, started);
    EXPECT_TRUE(started()) << logText(state.path()).toStdString();
}

// A log would be there well within the two seconds: start-up takes a quarter of one.
TEST(ProgramDayLog, NoLogLeavesTheStateFolderAlone) {
    QTemporaryDir state;
    runProgramUntil(state.path(), {"--simulate", "--no-log"}, [] {
        QThread::msleep(2000);
        return true;
    });
    EXPECT_TRUE(QDir(state.path()).isEmpty());
}

}  // namespace
}  // namespace kinemo

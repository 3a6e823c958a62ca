#include "tests/support/MainWindowFixture.h"
#include "tests/ui/ReviewedPicture.h"
#include "ui/StartupFile.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cerrno>
#include <fstream>

namespace kinemo {
namespace {

using MainWindowTest = test::MainWindowFixture;

// Three seconds of trace from a remote on a fixed clock, the timer stopped: Y lies
// on the +2 G line, which stays above it; X crosses the zero line.
TEST_F(MainWindowTest, LooksAsReviewed) {
    c().sampleTimer->stop();
    for (int i = 0; i < 300; ++i) {
        const int x = 118 + std::abs(i % 54 - 27);
        const int z = 184 + (i / 30) % 2 * 20;
        remote->inputQueue.push_back(test::accReport(x, 77, z));
        tick();
    }
    c().plot->presentPendingFrame();
    test::expectLooksLike(window.get(), "main-window");
}

TEST_F(MainWindowTest, TheHelpWindowsLookAsReviewed) {
    window->actions().about->trigger();
    window->actions().axisDirections->trigger();
    test::expectLooksLike(window->helpWindows().aboutWindow(), "about");
    test::expectLooksLike(window->helpWindows().axisWindow(), "axis");
}

// "kinemo FILE", as the file manager starts it.
TEST_F(MainWindowTest, AFileNamedAtStartOpensInTheViewerOnceTheWindowRuns) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("start.KMO").toStdString();
    std::ofstream(path) << "Kinemo\r\n\"start\"\r\n1.25\r\n1,2,3\r\n";
    loadWhenRunning(*window, window->fileCommands(), path);
    EXPECT_WINDOW() << "nothing loaded before the window runs";
    QCoreApplication::processEvents();
    expectViewer("loaded", "start", "80 HZ", "1..1200 at 1200");
    expected["plot"] = "black X 0..0 Y 0..0 Z 0..500";
    expected["loaded run"] = "1.2500 \"start\" 1,2,3 131,131,131 .. 131,131,131 | 131,131,131";
    expected["day log"] = "2 lines, last データファイルを読み込みました：" + path;
    EXPECT_WINDOW() << "the file in the viewer, no remote's values in the readouts";
}

// The About window is a tool window, which by default would not keep the program alive.
TEST_F(MainWindowTest, AnOpenHelpWindowKeepsTheProgramUntilItClosesToo) {
    window->helpWindows().showAbout();
    QWidget* about = window->helpWindows().aboutWindow();
    bool programEnded = false;
    bool endedWithTheMainWindow = true;
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, about, [&] { programEnded = true; });
    QTimer::singleShot(30, about, [&] {
        window->close();
        QTimer::singleShot(30, about, [&] {
            endedWithTheMainWindow = programEnded;
            about->close();
        });
    });
    QTimer::singleShot(10000, window.get(), [] { QApplication::exit(1); });  // rather than hang
    EXPECT_EQ(QApplication::exec(), 0) << "the program ends with the About window";
    EXPECT_FALSE(endedWithTheMainWindow);
}

// The program's own notice: it must not hold the tick that found the remote, and a
// notice for a new reason replaces the open one instead of piling up.
TEST_F(MainWindowTest, ARemoteThatCannotBeOpenedGetsOneNoticeThatDoesNotWait) {
    test::FakeHidPlatform lockedRemote;
    lockedRemote.addWiiRemote("/dev/hidraw5").openError = EACCES;
    MainWindow program({lockedRemote, clock});
    program.start();
    lockedRemote.device("/dev/hidraw5").openError = EBUSY;
    program.measurement().onSampleTick();
    QStringList notices;
    for (QWidget* shown : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(shown); box && box->isVisible() && !box->isModal())
            notices << box->windowTitle() + ": " + box->text();
    EXPECT_EQ(notices,
              QStringList{"Kinemo: Wiiリモコン（057E:0306）が /dev/hidraw5 "
                          "にありますが、開けません（ほかのプログラムが使用中です）。\n\n"
                          "このコンピュータの前でログインしている利用者が使えるように、udev のルール "
                          "60-kinemo-wiimote.rules を /etc/udev/rules.d/ に入れてから、リモコンをつなぎ直してください。"
                          "手順は README.ja.md の「うまくつながらないとき」にあります。\n\n"
                          "Kinemo はその間もリモコンを探し続けます。"});
}

}  // namespace
}  // namespace kinemo

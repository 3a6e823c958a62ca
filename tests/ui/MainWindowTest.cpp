#include "tests/support/MainWindowFixture.h"
#include "tests/ui/ReviewedPicture.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cerrno>
#include <set>

namespace kinemo {
namespace {

class MainWindowTest : public test::MainWindowFixture {
protected:
    void arrangePlatform() override { remote = &hid.addWiiRemote(); }
    test::FakeDeviceState* remote = nullptr;
};

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
    test::expectLooksLike(window.get(), "main-window");
}

// As the window manager and the task bar show them.
TEST_F(MainWindowTest, TheHelpWindowsCarryTheProgramsIcon) {
    window->actions().about->trigger();
    window->actions().axisDirections->trigger();
    const qint64 programsIcon = window->windowIcon().cacheKey();
    EXPECT_EQ(window->helpWindows().aboutWindow()->windowIcon().cacheKey(), programsIcon);
    EXPECT_EQ(window->helpWindows().axisWindow()->windowIcon().cacheKey(), programsIcon);
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
    EXPECT_TRUE(reached.contains(c().quitButton)) << "Tab moves at all";
    const MainControls::Unreachable& u = c().unreachable;
    for (QWidget* out : {u.showRecordedButton, u.stampTimeButton, u.reportOnChangeButton, u.reportContinuouslyButton})
        EXPECT_FALSE(reached.contains(out)) << out->objectName().toStdString();
}

TEST_F(MainWindowTest, ClosingTheWindowStopsTheTickAndReleasesTheRemote) {
    window->close();
    EXPECT_FALSE(c().sampleTimer->isActive());
    EXPECT_EQ(m().remote(), nullptr);
    EXPECT_EQ(remote->closes, 1);
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
    EXPECT_EQ(notices, QStringList{"Kinemo: Wiiリモコン（057E:0306）が /dev/hidraw5 にありますが、開けません（ほかのプログラムが使用中です）。\n\n"
                                   "このコンピュータの前でログインしている利用者が使えるように、udev のルール "
                                   "60-kinemo-wiimote.rules を /etc/udev/rules.d/ に入れてから、リモコンをつなぎ直してください。"
                                   "手順は README.ja.md の「うまくつながらないとき」にあります。\n\n"
                                   "Kinemo はその間もリモコンを探し続けます。"});
}

}  // namespace
}  // namespace kinemo

#include "tests/ui/help/FakeSysInfoPlatform.h"
#include "ui/HelpWindows.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace kinemo {
namespace {

using test::FakeSysInfoPlatform;

void processDeferredDeletes() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int visibleWindowsNamed(const QString& name) {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == name && w->isVisible();
    return count;
}

void pressKey(QWidget* window, int key) {
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

void expectCentredOnScreen(const QWidget* window) {
    const QRect screen = window->screen()->geometry();
    const QRect frame = window->frameGeometry();
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1) << frame.x();
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1) << frame.y();
}

class HelpWindowsTest : public ::testing::Test {
protected:
    void TearDown() override {
        windows.reset();
        processDeferredDeletes();
        EXPECT_EQ(visibleWindowsNamed("frmAbout") + visibleWindowsNamed("Form1"), 0);
    }
    std::shared_ptr<FakeSysInfoPlatform> platform = std::make_shared<FakeSysInfoPlatform>();
    std::unique_ptr<HelpWindows> windows = std::make_unique<HelpWindows>(platform);
};

TEST_F(HelpWindowsTest, AboutWindowShowsTitleVersionAndCentredControls) {
    windows->InfoVersion_Click();
    QWidget* about = windows->aboutWindow();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Kinemoのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(), QStringLiteral("Version 1.0.15"));
    EXPECT_EQ(about->findChild<QLabel*>("lblTitle")->text(), QStringLiteral("Kinemo"));
    EXPECT_EQ(about->size(), QSize(382, 362));
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    for (const char* name : {"lblTitle", "cmdOK"}) {
        const QWidget* child = about->findChild<QWidget*>(name);
        EXPECT_LE(std::abs(child->geometry().center().x() - 382 / 2), 1) << name;
    }
    const auto* sysInfo = about->findChild<QPushButton*>("cmdSysInfo");
    EXPECT_TRUE(sysInfo->isHidden());
    EXPECT_GE(sysInfo->y(), about->height());
    // Kept out of the task bar, without minimise or maximise box.
    EXPECT_EQ(about->windowType(), Qt::Tool);
    EXPECT_FALSE(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    expectCentredOnScreen(about);
}

// Texts cut off at the edge of their label would go unnoticed on screen.
TEST_F(HelpWindowsTest, AboutTextsFitTheirLabels) {
    windows->InfoVersion_Click();
    for (const char* name : {"lblTitle", "lblVersion", "Label1"}) {
        const auto* label = windows->aboutWindow()->findChild<QLabel*>(name);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
        EXPECT_LE(label->fontMetrics().height(), label->height()) << name;
    }
    for (const char* name : {"lblDescription", "lblDisclaimer"}) {
        const auto* label = windows->aboutWindow()->findChild<QLabel*>(name);
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << name;
    }
}

TEST_F(HelpWindowsTest, EnterEscAndOkEachCloseTheAboutWindow) {
    for (int key : {int{Qt::Key_Escape}, int{Qt::Key_Return}, int{Qt::Key_Enter}, 0}) {
        windows->InfoVersion_Click();
        QPointer<QWidget> about = windows->aboutWindow();
        if (key == 0) {
            about->findChild<QPushButton*>("cmdOK")->click();
        } else {
            pressKey(about, key);
        }
        EXPECT_EQ(windows->aboutWindow(), nullptr) << key;
        processDeferredDeletes();
        EXPECT_TRUE(about.isNull()) << key;
    }
}

TEST_F(HelpWindowsTest, EachCommandKeepsOneWindowAndLeavesTheOthersUsable) {
    QWidget other;
    other.show();
    windows->InfoVersion_Click();
    QWidget* about = windows->aboutWindow();
    windows->WiiAx_Click();
    QWidget* axis = windows->axisWindow();
    windows->InfoVersion_Click();
    windows->WiiAx_Click();
    EXPECT_EQ(windows->aboutWindow(), about);
    EXPECT_EQ(windows->axisWindow(), axis);
    EXPECT_EQ(visibleWindowsNamed("frmAbout"), 1);
    EXPECT_EQ(visibleWindowsNamed("Form1"), 1);
    // Neither is modal: the main window stays usable.
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(axis->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(HelpWindowsTest, AClosedWindowIsLoadedAgainAndCentredAgain) {
    windows->InfoVersion_Click();
    windows->WiiAx_Click();
    for (QWidget* w : {windows->aboutWindow(), windows->axisWindow()}) {
        w->move(3, 4);
        w->close();
    }
    // Commands given before the closed windows are gone still show a window.
    windows->InfoVersion_Click();
    windows->WiiAx_Click();
    processDeferredDeletes();
    ASSERT_NE(windows->aboutWindow(), nullptr);
    ASSERT_NE(windows->axisWindow(), nullptr);
    EXPECT_EQ(visibleWindowsNamed("frmAbout"), 1);
    EXPECT_EQ(visibleWindowsNamed("Form1"), 1);
    expectCentredOnScreen(windows->aboutWindow());
    expectCentredOnScreen(windows->axisWindow());
}

TEST_F(HelpWindowsTest, AxisWindowShowsThePictureInAFramedBox) {
    windows->WiiAx_Click();
    QWidget* axis = windows->axisWindow();
    EXPECT_EQ(axis->windowTitle(), QStringLiteral("３軸の方向"));
    EXPECT_EQ(axis->size(), QSize(185, 293));
    EXPECT_EQ(axis->minimumSize(), axis->maximumSize());
    const auto* picture = axis->findChild<QLabel*>("Picture1");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), QRect(-8, 0, 199, 298));
    EXPECT_EQ(picture->frameWidth(), 2);
    EXPECT_EQ(picture->pixmap().size(), QSize(195, 294));
    EXPECT_EQ(picture->contentsRect().size(), QSize(195, 294));
    expectCentredOnScreen(axis);
}

TEST_F(HelpWindowsTest, HiddenSystemInformationButtonStartsTheLauncher) {
    windows->InfoVersion_Click();
    windows->aboutWindow()->findChild<QPushButton*>("cmdSysInfo")->click();
    EXPECT_EQ(platform->messages, std::vector<std::string>{kSysInfoUnavailable});
}

// Closing the main window while a Help window is open must not end the program;
// closing that last window then does.
TEST_F(HelpWindowsTest, TheProgramEndsWithTheLastWindow) {
    for (bool about : {true, false}) {
        auto mainWindow = std::make_unique<QWidget>();
        mainWindow->show();
        about ? windows->InfoVersion_Click() : windows->WiiAx_Click();
        QWidget* help = about ? windows->aboutWindow() : windows->axisWindow();

        bool helpOpenAfterMainClosed = false;
        int lastWindowClosed = 0;
        bool timedOut = false;
        QObject::connect(qApp, &QGuiApplication::lastWindowClosed, mainWindow.get(), [&] { ++lastWindowClosed; });
        QTimer::singleShot(0, mainWindow.get(), [&] {
            mainWindow->close();
            QTimer::singleShot(20, help, [&] {
                helpOpenAfterMainClosed = help->isVisible() && lastWindowClosed == 0;
                help->close();
            });
        });
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, [&] {
            timedOut = true;
            QApplication::exit(1);
        });
        safety.start(5000);
        QApplication::exec();
        EXPECT_FALSE(timedOut) << about;
        EXPECT_TRUE(helpOpenAfterMainClosed) << about;
        EXPECT_EQ(lastWindowClosed, 1) << about;
        processDeferredDeletes();
    }
}

}  // namespace
}  // namespace kinemo

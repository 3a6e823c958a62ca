// The Help windows of the real main window: their look, placement, keys, single
// instances, and the program that ends only with the last window.
#include "tests/support/MainWindowFixture.h"
#include "ui/AxisDirectionsWindow.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace kinemo::test {
namespace {

int visibleWindowsNamed(const QString& name) {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == name && w->isVisible();
    return count;
}

void expectCentred(const QWidget* window) {
    const QPoint offset = window->frameGeometry().center() - window->screen()->geometry().center();
    EXPECT_TRUE(std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1) << offset.x() << ", " << offset.y();
}

class HelpWindowsTest : public MainWindowFixture {
protected:
    void TearDown() override {
        MainWindowFixture::TearDown();
        processDeferredDeletes();
        EXPECT_EQ(visibleWindowsNamed("AboutDialog") + visibleWindowsNamed("AxisDirectionsWindow"), 0);
    }
    static void processDeferredDeletes() {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    HelpWindows& help() { return window->helpWindows(); }
};

TEST_F(HelpWindowsTest, OneAboutWindowCentredWithTitleAndVersionClosedByEscEnterOrOk) {
    help().showAbout();
    QWidget* about = help().aboutWindow();
    ASSERT_NE(about, nullptr);
    help().showAbout();
    EXPECT_EQ(help().aboutWindow(), about);
    EXPECT_EQ(visibleWindowsNamed("AboutDialog"), 1);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Kinemoのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(about->findChild<QLabel*>("versionLabel")->text(), QStringLiteral("Version 1.0.15"));
    EXPECT_EQ(about->findChild<QLabel*>("titleLabel")->text(), QStringLiteral("Kinemo"));
    EXPECT_EQ(about->size(), QSize(382, 362));
    for (const char* name : {"titleLabel", "okButton"})
        EXPECT_LE(std::abs(about->findChild<QWidget*>(name)->geometry().center().x() - 382 / 2), 1) << name;
    // Kept out of the task bar, without minimise or maximise box.
    EXPECT_EQ(about->windowType(), Qt::Tool);
    EXPECT_FALSE(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    expectCentred(about);

    for (int key : {int{Qt::Key_Escape}, int{Qt::Key_Return}, int{Qt::Key_Enter}, 0}) {
        help().showAbout();
        QPointer<QWidget> shown = help().aboutWindow();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        if (key == 0)
            shown->findChild<QPushButton*>("okButton")->click();
        else
            QApplication::sendEvent(shown->focusWidget() ? shown->focusWidget() : shown.data(), &press);
        EXPECT_EQ(help().aboutWindow(), nullptr) << key;
        processDeferredDeletes();
        EXPECT_TRUE(shown.isNull()) << key;
    }
}

TEST_F(HelpWindowsTest, OneAxisWindowShowingThePictureInAFramedBoxCentredOnEveryLoad) {
    help().showAxisDirections();
    QWidget* axis = help().axisWindow();
    ASSERT_NE(axis, nullptr);
    help().showAxisDirections();
    EXPECT_EQ(help().axisWindow(), axis);
    EXPECT_EQ(visibleWindowsNamed("AxisDirectionsWindow"), 1);
    EXPECT_EQ(axis->windowTitle(), QStringLiteral("３軸の方向"));
    EXPECT_EQ(axis->size(), QSize(185, 293));
    const auto* picture = axis->findChild<QLabel*>("picture");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), QRect(-8, 0, 199, 298));
    EXPECT_EQ(picture->pixmap().size(), QSize(195, 294));
    EXPECT_EQ(picture->contentsRect().size(), QSize(195, 294)) << "a frame 2 pixels wide";
    QFile jpeg(QString::fromLatin1(kAxisPicture));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    EXPECT_FALSE(jpeg.readAll().contains("\xFF\xC2")) << "a baseline JPEG, not a progressive one";
    expectCentred(axis);

    axis->move(3, 4);
    axis->close();
    help().showAxisDirections();  // before the closed window is gone
    processDeferredDeletes();
    ASSERT_NE(help().axisWindow(), nullptr);
    EXPECT_EQ(visibleWindowsNamed("AxisDirectionsWindow"), 1);
    expectCentred(help().axisWindow());
}

// Closing the main window leaves an open Help window open (the About window is a
// tool window, which by default would not keep the program alive); the program ends
// when that last window is closed. The closed main window's timer must not tick on
// into the released remote meanwhile.
TEST_F(HelpWindowsTest, TheProgramEndsWithTheLastWindow) {
    for (bool about : {true, false}) {
        window->show();
        about ? help().showAbout() : help().showAxisDirections();
        QWidget* helpWindow = about ? help().aboutWindow() : help().axisWindow();
        bool openAfterMainClosed = false;
        int lastWindowClosed = 0;
        const auto counter = QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&] { ++lastWindowClosed; });
        QTimer::singleShot(0, helpWindow, [&] { window->close(); });
        QTimer::singleShot(20, helpWindow, [&] {
            openAfterMainClosed = helpWindow->isVisible() && lastWindowClosed == 0;
            helpWindow->close();
        });
        QTimer::singleShot(5000, window.get(), [] { QApplication::exit(1); });  // rather than hang
        EXPECT_EQ(QApplication::exec(), 0) << about;
        QObject::disconnect(counter);
        EXPECT_TRUE(openAfterMainClosed) << about;
        EXPECT_EQ(lastWindowClosed, 1) << about;
    }
}

}  // namespace
}  // namespace kinemo::test

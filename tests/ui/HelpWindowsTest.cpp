#include "ui/HelpWindows.h"
#include "tests/ui/ReviewedPicture.h"

#include <QKeyEvent>

#include <functional>

namespace kinemo {
namespace {

class HelpWindowsTest : public ::testing::Test {
protected:
    int visibleNamed(const char* name) {
        int count = 0;
        for (const QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == QLatin1String(name)) ++count;
        }
        return count;
    }
    HelpWindows help;
};

TEST_F(HelpWindowsTest, EachWindowOpensOnceHoweverOftenItIsAskedFor) {
    help.showAbout();
    help.showAxisDirections();
    help.showAbout();
    help.showAxisDirections();
    EXPECT_EQ(visibleNamed("AboutDialog"), 1);
    EXPECT_EQ(visibleNamed("AxisDirectionsWindow"), 1);
}

TEST_F(HelpWindowsTest, TheAboutWindowLooksAsReviewed) {
    help.showAbout();
    test::expectLooksLike(help.aboutWindow(), "about");
}

TEST_F(HelpWindowsTest, TheAxisWindowLooksAsReviewed) {
    help.showAxisDirections();
    test::expectLooksLike(help.axisWindow(), "axis");
}

TEST_F(HelpWindowsTest, TheAboutWindowClosesByEscapeOrReturn) {
    for (const int key : {int{Qt::Key_Escape}, int{Qt::Key_Return}}) {
        help.showAbout();
        QWidget* about = help.aboutWindow();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(about->focusWidget() ? about->focusWidget() : about, &press);
        EXPECT_EQ(help.aboutWindow(), nullptr) << QKeySequence(key).toString().toStdString();
    }
}

TEST_F(HelpWindowsTest, AMinimisedWindowComesBackWhenAskedForAgain) {
    const std::pair<std::function<void()>, std::function<QWidget*()>> windows[] = {
        {[&] { help.showAbout(); }, [&] { return help.aboutWindow(); }},
        {[&] { help.showAxisDirections(); }, [&] { return help.axisWindow(); }},
    };
    for (const auto& [show, window] : windows) {
        show();
        window()->setWindowState(Qt::WindowMinimized);
        show();
        EXPECT_FALSE(window()->windowState() & Qt::WindowMinimized) << window()->objectName().toStdString();
    }
}

}  // namespace
}  // namespace kinemo

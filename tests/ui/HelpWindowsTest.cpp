#include "ui/HelpWindows.h"
#include "tests/ui/ReviewedPicture.h"


#include <functional>

namespace kinemo {
namespace {

class HelpWindowsTest : public ::testing::Test {
protected:
    HelpWindows help;
    // How each window is asked for, and the open one.
    const std::pair<std::function<void()>, std::function<QWidget*()>> windows[2] = {
        {[this] { help.showAbout(); }, [this] { return help.aboutWindow(); }},
        {[this] { help.showAxisDirections(); }, [this] { return help.axisWindow(); }},
    };
};

TEST_F(HelpWindowsTest, EachWindowOpensOnceHoweverOftenItIsAskedFor) {
    for (const auto& [show, window] : windows) {
        show();
        const QWidget* first = window();
        show();
        EXPECT_EQ(window(), first) << first->objectName().toStdString();
    }
}

TEST_F(HelpWindowsTest, AMinimisedWindowComesBackWhenAskedForAgain) {
    for (const auto& [show, window] : windows) {
        show();
        window()->setWindowState(Qt::WindowMinimized);
        show();
        EXPECT_FALSE(window()->windowState() & Qt::WindowMinimized) << window()->objectName().toStdString();
    }
}

TEST_F(HelpWindowsTest, TheAboutWindowLooksAsReviewed) {
    help.showAbout();
    test::expectLooksLike(help.aboutWindow(), "about");
}

TEST_F(HelpWindowsTest, TheAxisWindowLooksAsReviewed) {
    help.showAxisDirections();
    test::expectLooksLike(help.axisWindow(), "axis");
}

}  // namespace
}  // namespace kinemo

#include "app/FileDialogs.h"

#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace kinemo {
namespace {

// A notice must not hold the tick that found it, and a second one must not stack up.
TEST(FileDialogsTest, ANoticeStaysOpenWithoutWaitingAndTheNextReplacesItsText) {
    QtFileDialogs dialogs(nullptr);
    dialogs.showNotice(QStringLiteral("一つ目"));
    dialogs.showNotice(QStringLiteral("二つ目"));
    QStringList shown;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible() && !box->isModal())
            shown << box->windowTitle() + ": " + box->text();
    EXPECT_EQ(shown, QStringList{QStringLiteral("Kinemo: 二つ目")});
}

}  // namespace
}  // namespace kinemo

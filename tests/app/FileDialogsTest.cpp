#include "app/FileDialogs.h"

#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace kinemo {
namespace {

std::vector<QMessageBox*> shownMessageBoxes() {
    std::vector<QMessageBox*> boxes;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) boxes.push_back(box);
    return boxes;
}

// A notice must not hold the tick that found it, and a second one must not stack up.
TEST(FileDialogsTest, ANoticeStaysOpenWithoutWaitingAndTheNextReplacesItsText) {
    QtFileDialogs dialogs(nullptr);
    dialogs.showNotice(QStringLiteral("一つ目"));
    dialogs.showNotice(QStringLiteral("二つ目"));
    const std::vector<QMessageBox*> boxes = shownMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("二つ目"));
    EXPECT_EQ(boxes[0]->windowTitle(), QStringLiteral("Kinemo"));
    EXPECT_FALSE(boxes[0]->isModal());
    boxes[0]->close();
}

}  // namespace
}  // namespace kinemo

// The version window. It shows the title, the version, what the program is for and
// whom it is owed to, and closes with OK, Enter or Esc. Each load is a new window (it
// deletes itself on close), so every load centres it afresh.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kinemo {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog();

private:
    QLabel* titleLabel_;
    QLabel* versionLabel_;
    QPushButton* okButton_;
};

}  // namespace kinemo

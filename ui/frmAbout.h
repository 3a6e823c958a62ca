// frmAbout: the version window. It shows the title, the version, what the program is
// for and whom it is owed to, and closes with OK, Enter or Esc. Each load is a new
// window (it deletes itself on close), so every load centres it afresh.
#pragma once

#include "ui/SysInfo.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace kinemo {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(std::shared_ptr<SysInfoPlatform> sysInfo);

    void StartSysInfo();

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    std::shared_ptr<SysInfoPlatform> sysInfo_;
    QLabel* lblTitle_;
    QLabel* lblVersion_;
    QPushButton* cmdOK_;
    QPushButton* cmdSysInfo_;
};

}  // namespace kinemo

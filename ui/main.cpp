#include "app/Clock.h"
#include "device/HidPlatform.h"
#include "ui/frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kinemo::SystemClock clock;
    kinemo::NoHidPlatform hid;
    kinemo::frmMain window({hid, clock});
    window.measurement().Form_Load();
    return app.exec();
}

// A real recording run driven by the real 10 ms timer, offscreen, on a remote that
// always has a report waiting: prints the rate the run computes for itself.
#include "app/Clock.h"
#include "tests/support/FakeHidPlatform.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kinemo::test::FakeHidPlatform hid;
    auto& remote = hid.addWiiRemote();
    remote.alwaysReport = true;
    remote.repeatedReport = kinemo::test::accReport(120, 131, 104);
    kinemo::SystemClock clock;
    kinemo::frmMain window({hid, clock});
    window.measurement().Form_Load();
    const kinemo::MainControls& c = window.controls();
    QTimer::singleShot(100, &window, [&c] { c.Command1->click(); });
    // Watch for the end of the run from outside the tick.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (c.Command1->isEnabled() && c.Label4->text() == QStringLiteral("2000/2000")) app.quit();
    });
    watch.start(50);
    app.exec();
    std::printf("recording run: %s, sample period %.7g (goal >= 99.5 HZ)\n", qPrintable(c.Label15->text()),
                window.state().samplePeriod);
    std::printf("%s\n", qPrintable(c.Label8->text()));
    return 0;
}

// A real recording run driven by the real 10 ms timer, offscreen, on a remote that
// always has a report waiting (or, with --simulate, on the simulated remote): prints
// the rate the run computes for itself.
#include "core/Clock.h"
#include "device/SimulatedHidPlatform.h"
#include "tests/support/FakeHidPlatform.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kinemo::SystemClock clock;
    kinemo::test::FakeHidPlatform fake;
    auto& remote = fake.addWiiRemote();
    remote.alwaysReport = true;
    remote.repeatedReport = kinemo::test::accReport(120, 131, 104);
    kinemo::SimulatedHidPlatform simulated(clock);
    const bool simulate = argc > 1 && std::string(argv[1]) == "--simulate";
    kinemo::HidPlatform& hid = simulate ? static_cast<kinemo::HidPlatform&>(simulated) : fake;
    kinemo::MainWindow window({hid, clock});
    window.start();
    const kinemo::MainControls& c = window.controls();
    QTimer::singleShot(100, &window, [&c] { c.recordButton->click(); });
    // Watch for the end of the run from outside the tick.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (c.recordButton->isEnabled() && c.sampleCounter->text() == QStringLiteral("2000/2000")) app.quit();
    });
    watch.start(50);
    app.exec();
    std::printf("recording run%s: %s, sample period %.7g (goal >= 99.5 HZ)\n", simulate ? " (simulated remote)" : "",
                qPrintable(c.rateLabel->text()), window.state().recorded.samplePeriod);
    std::printf("%s\n", qPrintable(c.unreachable.elapsedLabel->text()));
    return 0;
}

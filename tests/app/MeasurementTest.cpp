// The measurement handlers on the real main window: the tick, the run, the buttons.
#include "tests/support/MainWindowFixture.h"

#include <cerrno>

namespace kinemo {
namespace {

class MeasurementTest : public test::MainWindowFixture {
protected:
    // A remote that holds still: the same triple is waiting at every tick.
    void hold(std::uint8_t x, std::uint8_t y, std::uint8_t z) {
        remote->alwaysReport = true;
        remote->repeatedReport = test::accReport(x, y, z);
    }
};

// No one pumps a frame here: the tick that finds one due brings it itself.
TEST_F(MeasurementTest, TheFirstTickShowsItsReadoutsAtOnce) {
    hold(60, 110, 210);
    tick();
    EXPECT_EQ(c().readouts[0]->text().toStdString(), "2.62");
}

TEST_F(MeasurementTest, StartUpThenTheMonitorButtonTheModesAndTheAxes) {
    test::Bytes request = test::readHexFixture(KINEMO_DEVICE_FIXTURES "/mode-request-continuous.txt");
    request.resize(22);
    EXPECT_EQ(remote->written.at(0), request) << "asked for continuous reports, the whole output report long";
    tick();
    expected["plot"] = "black Z 0..1";
    EXPECT_WINDOW() << "connected, nothing sent yet: zeros drawn";
    c().axisCheckBoxes[0]->setCheckState(Qt::Unchecked);
    c().axisCheckBoxes[1]->setCheckState(Qt::PartiallyChecked);
    hold(60, 110, 210);
    ticks(2);
    expected["readouts"] = "2.62 0.77 -2.93 G";
    expected["axis boxes"] = "off greyed on";
    expected["plot"] = "black Z 0..3";
    EXPECT_WINDOW();
    c().monitorButton->click();
    expected["mode"] = "stopped, next run standard";
    expected["plot"] = "black";
    EXPECT_WINDOW() << "the first press stops the monitor and keeps its caption";
    c().monitorButton->click();
    expected["mode"] = "monitoring, next run standard";
    expected["monitor button"] = "モニター停止";
    window->actions().fineMode->trigger();
    tick();
    expected["mode"] = "monitoring, next run fine";
    expected["record button"] = "記録開始（精密）";
    expected["plot"] = "black Z 3..4";
    EXPECT_WINDOW() << "the second press starts it; the trace goes on where it stopped, also in fine mode";
    c().monitorButton->click();
    expected["mode"] = "stopped, next run standard";
    expected["monitor button"] = "モニター開始";
    expected["plot"] = "black";
    EXPECT_WINDOW() << "a monitor press ends fine mode and leaves the caption";
    window->actions().whiteBackground->trigger();
    c().monitorButton->click();
    tick();
    expected["mode"] = "monitoring, next run standard";
    expected["monitor button"] = "モニター停止";
    expected["plot"] = "white Z 4..5";
    expected["zero line"] = "black";
    EXPECT_WINDOW() << "white through a clear";
    window->actions().blackBackground->trigger();
    expected["plot"] = "black";
    expected["zero line"] = "white";
    remote->failNextRead = true;
    hid.removeDevice("/dev/hidraw0");
    tick();
    expected["readouts"] = "--- --- --- G";
    expected["day log"] = "2 lines, last リモコンとの接続が切れました（読み取りができなくなりました）";
    expected["plot"] = "black Z 5..6";
    EXPECT_WINDOW() << "black again, and the remote lost";
    ticks(2);
    hid.addDevice("/dev/hidraw1", kNintendoVendorId, kWiiRemotePlusProductId).openError = EACCES;
    ticks(2);
    expected["messages"] =
        "1, last Wiiリモコンプラス（057E:0330）が /dev/hidraw1 "
        "にありますが、開けません（読み書きの権限がありません）。 … Kinemo はその間もリモコンを探し続けます。";
    expected["day log"] =
        "4 lines, last リモコンが見つかりましたが開けません（/dev/hidraw1、読み書きの権限がありません）";
    expected["plot"] = "black Z 5..10";
    EXPECT_WINDOW() << "a remote of the other model that cannot be opened, told once";
    hid.device("/dev/hidraw1").openError = EBUSY;
    ticks(2);
    expected["messages"] =
        "2, last Wiiリモコンプラス（057E:0330）が /dev/hidraw1 "
        "にありますが、開けません（ほかのプログラムが使用中です）。 … Kinemo はその間もリモコンを探し続けます。";
    expected["day log"] =
        "5 lines, last リモコンが見つかりましたが開けません（/dev/hidraw1、ほかのプログラムが使用中です）";
    expected["plot"] = "black Z 5..12";
    EXPECT_WINDOW() << "told again for a new reason";
    hid.device("/dev/hidraw1").openError = 0;
    tick();
    hid.device("/dev/hidraw1").failNextRead = true;
    hid.removeDevice("/dev/hidraw1");
    ticks(3);
    expected["day log"] = "8 lines, last リモコンが見つかりません。探し続けます。";
    expected["plot"] = "black Z 5..16";
    EXPECT_WINDOW() << "opened, lost, and not found again";
    hid.addDevice("/dev/hidraw1", kNintendoVendorId, kWiiRemotePlusProductId).openError = EBUSY;
    ticks(2);
    expected["messages"] =
        "3, last Wiiリモコンプラス（057E:0330）が /dev/hidraw1 "
        "にありますが、開けません（ほかのプログラムが使用中です）。 … Kinemo はその間もリモコンを探し続けます。";
    expected["day log"] =
        "9 lines, last リモコンが見つかりましたが開けません（/dev/hidraw1、ほかのプログラムが使用中です）";
    expected["plot"] = "black Z 5..18";
    EXPECT_WINDOW() << "the same refusal is told again once the remote was opened in between";
    window->actions().axisDirections->trigger();
    window->helpWindows().axisWindow()->showMinimized();
    window->actions().axisDirections->trigger();
    window->actions().about->trigger();
    window->helpWindows().aboutWindow()->close();
    window->actions().about->trigger();
    window->actions().about->trigger();
    expected["help windows"] = "axes 1 shown, about 1 shown";
    EXPECT_WINDOW() << "each once, back from minimised, again after a close";
    c().quitButton->click();
    window->actions().quit->trigger();
    EXPECT_EQ(endProgramCalls, 2);
}

// A standard run with a change to fine mode halfway, then a fine run back to standard,
// with an axis unticked: the store gets every axis whatever is drawn.
TEST_F(MeasurementTest, AStandardAndAFineRunWithModeChangesHalfway) {
    hold(50, 100, 200);
    log.onRecord = [this] { clock.ms += 500; };  // a slow disk must not lengthen a run
    clock.ms = 0xFFFFFFFFu - 7000;               // nor the wrap of the clock shorten it
    clock.dateTime = {2026, 12, 7, 10, 0, 1};
    c().recordButton->click();
    expectRunStart("recording standard", "2026/12/07 10:00:01", "測定・記録中です。しばらくお待ちください。 | 0/2000");
    expected["day log"] = "2 lines, last 記録を開始しました（標準測定）";
    ticks(1000);
    clock.ms += 500;  // a stall that makes the run 24.5 s
    window->actions().fineMode->trigger();
    ticks(1);
    expected["record button"] = "記録開始（精密） (greyed)";
    expected["mode"] = "recording fine";
    expected["readouts"] = "3 1.14 -2.56 G";
    expected["strip"] = "測定・記録中です。しばらくお待ちください。 | 1001/2000";
    expected["plot"] = "black X 0..50 Y 0..50 Z 0..50";
    expected["recorded run"] = "1.0500 \"2026/12/07 10:00:01\" 50,100,200 50,100,200 .. 131,131,131 | 131,131,131";
    EXPECT_WINDOW();
    hold(7, 8, 9);
    ticks(999);
    expected["mode"] = "monitoring, next run fine";
    expected["monitor button"] = "モニター停止";
    expected["record button"] = "記録開始（精密）";
    expected["readouts"] = "4.59 4.55 4.51 G";
    expected["strip"] = "測定・記録が終了しました。 | 2000/2000";
    expected["rate"] = "81.6 HZ";
    expected["recorded run"] = "1.2250 \"2026/12/07 10:00:01\" 50,100,200 50,100,200 .. 7,8,9 | 131,131,131";
    expected["day log"] = "3 lines, last 記録が終了しました（2000サンプル、24.5秒、81.6 HZ）";
    expected["plot"] = "black";
    EXPECT_WINDOW() << "fine mode drew nothing in the run's second half";
    c().monitorButton->click();
    c().monitorButton->click();
    window->actions().fineMode->trigger();
    ticks(100);
    expected["plot"] = "black X 117..240 Y 117..240 Z 117..240";
    EXPECT_WINDOW() << "after the run the trace is spaced at the measured period";
    c().axisCheckBoxes[2]->setCheckState(Qt::Unchecked);
    clock.dateTime = {2026, 12, 7, 10, 1, 2};
    c().recordButton->click();
    ticks(1);
    expectRunStart("recording fine", "2026/12/07 10:01:02",
                   "精密測定モードです。波形は現れません。しばらくお待ちください。 | 1/2000");
    expected["axis boxes"] = "on on off";
    expected["recorded run"] = "1.2250 \"2026/12/07 10:01:02\" 7,8,9 131,131,131 .. 131,131,131 | 131,131,131";
    expected["day log"] = "4 lines, last 記録を開始しました（精密測定）";
    EXPECT_WINDOW() << "fine mode, chosen again after a monitor press ended it";
    window->actions().normalMode->trigger();
    hold(20, 30, 40);
    ticks(1);
    expected["mode"] = "recording standard";
    expected["record button"] = "記録開始（標準） (greyed)";
    expected["readouts"] = "4.11 3.74 3.37 G";
    expected["strip"] = "精密測定モードです。波形は現れません。しばらくお待ちください。 | 2/2000";
    expected["plot"] = "black X 241..242 Y 241..242";
    expected["recorded run"] = "1.2250 \"2026/12/07 10:01:02\" 7,8,9 20,30,40 .. 131,131,131 | 131,131,131";
    EXPECT_WINDOW() << "standard mode draws again; the strip keeps the fine message";
    window->close();
    expected["title"] = "Kinemo  1.0.16 (closed)";
    expected["mode"] = "recording standard, tick stopped";
    EXPECT_WINDOW() << "the close box";
    EXPECT_EQ(remote->closes, 1);
}

}  // namespace
}  // namespace kinemo

#include "files/DataFormat.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TestFiles.h"
#include "ui/StartupFile.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdio>

namespace kinemo {
namespace {

using StartupFileTest = test::MainWindowFixture;

// "kinemo FILE", as the file manager starts it.
TEST_F(StartupFileTest, AFileNamedAtStartOpensInTheViewerOnceTheLoopRuns) {
    QTemporaryDir dir;
    // テスト.KMO in Shift_JIS, as unzip names a file from a Windows ZIP: its bytes reach open().
    const std::string path = dir.path().toStdString() + "/\x83" "e\x83" "X\x83" "g.KMO";
    std::ofstream(path) << writeDataFile(kinemo::Run{});
    loadWhenRunning(*window, window->fileCommands(), path);
    EXPECT_EQ(s().viewed, StoredRun::Recorded) << "loaded before the window runs";
    QCoreApplication::processEvents();
    EXPECT_EQ(s().viewed, StoredRun::Loaded);
    const auto& r = c().readouts;
    EXPECT_EQ(r[0]->text() + r[1]->text() + r[2]->text(), QStringLiteral("---------")) << "no remote has sent a value";
    std::remove(path.c_str());  // by its bytes: the folder's own removal cannot name it
}

}  // namespace
}  // namespace kinemo

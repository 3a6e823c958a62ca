#include "files/DataFormat.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TestFiles.h"
#include "ui/StartupFile.h"

#include <QCoreApplication>
#include <QTemporaryDir>

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
}

}  // namespace
}  // namespace kinemo

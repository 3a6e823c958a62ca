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
    const QString path = dir.filePath("run.KMO");
    test::writeFile(path, writeDataFile(kinemo::Run{}));
    loadWhenRunning(*window, window->fileCommands(), path);
    EXPECT_EQ(s().viewed, StoredRun::Recorded) << "loaded before the window runs";
    QCoreApplication::processEvents();
    EXPECT_EQ(s().viewed, StoredRun::Loaded);
}

}  // namespace
}  // namespace kinemo

#include "files/DataFormat.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/TestFiles.h"
#include "ui/StartupFile.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace kinemo {
namespace {

// "kinemo FILE", as the file manager starts it.
class StartupFileTest : public test::MainWindowFixture {
protected:
    QTemporaryDir dir;
};

TEST_F(StartupFileTest, AFileNamedAtStartOpensInTheViewerOnceTheLoopRuns) {
    kinemo::Run run;
    run.samples.fill({50, 60, 70});
    run.measuredAt = "start";
    const QString path = dir.filePath("run.KMO");
    test::writeFile(path, writeDataFile(run));
    loadWhenRunning(*window, window->fileCommands(), path);
    EXPECT_EQ(s().viewed, StoredRun::Recorded) << "loaded before the window runs";
    QCoreApplication::processEvents();
    EXPECT_EQ(s().viewed, StoredRun::Loaded);
    EXPECT_EQ(s().loaded.measuredAt, "start");
    EXPECT_EQ(s().loaded.samples[2000], (AccTriple{50, 60, 70}));
}

}  // namespace
}  // namespace kinemo

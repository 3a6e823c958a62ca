// The two data-file commands of the "ファイル" menu: save the recorded run, and load
// a file as the loaded run and show it in the viewer.
#pragma once

#include "app/FileDialogs.h"
#include "app/MeasurementState.h"
#include "log/EventLog.h"

namespace kinemo {

class Viewer;

class FileCommands {
public:
    FileCommands(MeasurementState& state, Viewer& viewer, FileDialogs& dialogs, EventLog& log);

    void saveRun();
    void loadRun();
    // The load behind loadRun once a path is chosen; also a file named on the
    // command line, so both take the same checks and give the same messages.
    // `path` is the name's bytes as the file system has them, whatever their
    // encoding (a Shift_JIS name from a Windows ZIP is no UTF-8).
    void loadFile(const std::string& path);

    // Linux file names tell the cases apart: each type takes both.
    static const QStringList kNameFilters;

private:
    MeasurementState& state_;
    Viewer& viewer_;
    FileDialogs& dialogs_;
    EventLog& log_;
};

}  // namespace kinemo

// Whole files and folders as the tests look at them.
#pragma once

#include <QDir>
#include <QFile>

#include <fstream>
#include <string>

namespace kinemo::test {

inline std::string readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(missing)";
    return file.readAll().toStdString();
}

inline void writeFile(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// The names of every file in `folder`, hidden ones included, separated by blanks.
inline std::string filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).join(' ').toStdString();
}

}  // namespace kinemo::test

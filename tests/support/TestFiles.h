// Whole files and folders as the tests look at them.
#pragma once

#include <QDir>
#include <QFile>

#include <fstream>

namespace kinemo::test {

inline std::string readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
}

inline void writeFile(const QString& path, const std::string& bytes) { std::ofstream(path.toStdString()) << bytes; }

// The names of all files in `folder`, hidden ones too, between blanks.
inline std::string filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).join(' ').toStdString();
}

}  // namespace kinemo::test

// Qt's own texts (the file dialogs, their overwrite question, the standard
// buttons) in Japanese like the rest of the program, whatever the user's locale.
#pragma once

#include <QLibraryInfo>
#include <QString>

class QTranslator;

namespace kinemo {

// Installs Qt's Japanese translation from `folder` and returns it (owned by the
// application; deleting it uninstalls it). Without the file, returns nullptr and
// Qt's texts stay English: nothing to tell the user about.
QTranslator* installQtTranslation(const QString& folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace kinemo

#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace kinemo {

QTranslator* installQtTranslation(const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          folder) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace kinemo

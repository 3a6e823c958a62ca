#include "app/FileDialogs.h"

#include "core/Version.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kinemo {

QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << pattern;
            if (pattern.toLower() != pattern) patterns << pattern.toLower();
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

std::optional<QString> QtFileDialogs::show(const QString& filter, bool save) {
    QFileDialog dialog(parent_);
    dialog.setNameFilters(nameFilters(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The overwrite question stays on: a save replaces the file only when confirmed.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtFileDialogs::askSavePath(const QString& filter) { return show(filter, true); }

std::optional<QString> QtFileDialogs::askOpenPath(const QString& filter) { return show(filter, false); }

void QtFileDialogs::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace kinemo

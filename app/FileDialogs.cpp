#include "app/FileDialogs.h"

#include "core/Version.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kinemo {

std::optional<QString> QtFileDialogs::show(const QStringList& nameFilters, bool save) {
    QFileDialog dialog(parent_);
    dialog.setNameFilters(nameFilters);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The overwrite question stays on: a save replaces the file only when confirmed.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtFileDialogs::askSavePath(const QStringList& nameFilters) { return show(nameFilters, true); }

std::optional<QString> QtFileDialogs::askOpenPath(const QStringList& nameFilters) { return show(nameFilters, false); }

void QtFileDialogs::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok, parent_);
    box.exec();
}

void QtFileDialogs::showNotice(const QString& text) {
    if (!notice_) {
        notice_ = new QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), text, QMessageBox::Ok, parent_);
        notice_->setWindowModality(Qt::NonModal);
        notice_->setAttribute(Qt::WA_DeleteOnClose);
    }
    notice_->setText(text);
    notice_->show();
    notice_->raise();
}

}  // namespace kinemo

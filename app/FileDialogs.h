// The common file dialog and the message boxes, behind an interface so that tests
// choose paths, cancel and read the messages.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace kinemo {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nothing when the user cancelled. `nameFilters` are Qt's
    // ("Kinemo File (*.KMO *.kmo)", ...), the first one chosen at the start.
    virtual std::optional<QString> askSavePath(const QStringList& nameFilters) = 0;
    virtual std::optional<QString> askOpenPath(const QStringList& nameFilters) = 0;
    // A modal message with one OK button and the application's title as caption.
    virtual void showMessage(const QString& text) = 0;
    // The same, but the call returns at once and the window stays until closed; a
    // notice while one is still open replaces its text, so notices never pile up.
    virtual void showNotice(const QString& text) = 0;
};

class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
    std::optional<QString> askSavePath(const QStringList& nameFilters) override;
    std::optional<QString> askOpenPath(const QStringList& nameFilters) override;
    void showMessage(const QString& text) override;
    void showNotice(const QString& text) override;

private:
    std::optional<QString> show(const QStringList& nameFilters, bool save);
    QWidget* parent_;
    QPointer<QMessageBox> notice_;
};

}  // namespace kinemo

// The common file dialog and the message box of the file commands, behind an
// interface so that tests choose paths, cancel and read the messages.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace kinemo {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or nothing when the user cancelled. `filter` is a list of
    // description|pattern pairs ("Kinemo File|*.KMO|CSV File|*.CSV|").
    virtual std::optional<QString> askSavePath(const QString& filter) = 0;
    virtual std::optional<QString> askOpenPath(const QString& filter) = 0;
    // A modal message with one OK button and the application's title as caption.
    virtual void showMessage(const QString& text) = 0;
};

// "Kinemo File|*.KMO|..." as Qt name filters. Patterns also match the lower-case
// extension, since Linux file names are case-sensitive.
QStringList nameFilters(const QString& filter);

class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
    std::optional<QString> askSavePath(const QString& filter) override;
    std::optional<QString> askOpenPath(const QString& filter) override;
    void showMessage(const QString& text) override;

private:
    std::optional<QString> show(const QString& filter, bool save);
    QWidget* parent_;
};

}  // namespace kinemo

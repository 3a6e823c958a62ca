#include "files/FileIo.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

namespace kinemo {

namespace {
constexpr std::string_view kTooLarge = "ファイルが大きすぎます。";
}

std::optional<std::string> saveFileAtomically(const std::string& path, std::string_view bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return file.errorString().toStdString();
    // A short write is no error to QFile: keep writing, so that a full disk or a
    // size limit shows as the system's reason instead of a truncated commit.
    const char* data = bytes.data();
    auto left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0) {
            std::string reason = file.errorString().toStdString();
            file.cancelWriting();
            return reason;
        }
        data += written;
        left -= written;
    }
    // commit() removes the temporary file when it fails.
    if (!file.commit()) return file.errorString().toStdString();
    return std::nullopt;
}

std::variant<std::string, ReadFailure> readWholeFile(const std::string& path, std::int64_t maxBytes) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return ReadFailure{file.errorString().toStdString()};
    if (!file.isSequential() && file.size() > maxBytes) return ReadFailure{std::string(kTooLarge)};
    // Read in pieces up to the limit rather than trust size(): a device or a pipe
    // has none.
    std::string content;
    char chunk[64 * 1024];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0) return ReadFailure{file.errorString().toStdString()};
        if (got == 0) break;
        content.append(chunk, static_cast<std::size_t>(got));
        if (static_cast<std::int64_t>(content.size()) > maxBytes) return ReadFailure{std::string(kTooLarge)};
    }
    return content;
}

}  // namespace kinemo

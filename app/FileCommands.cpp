#include "app/FileCommands.h"

#include "app/Viewer.h"
#include "files/DataFormat.h"
#include "files/FileIo.h"

#include <QFile>

#include <algorithm>
#include <span>

namespace kinemo {

const QStringList FileCommands::kNameFilters = {QStringLiteral("Kinemo File (*.KMO *.kmo)"),
                                                QStringLiteral("CSV File (*.CSV *.csv)"),
                                                QStringLiteral("Text File (*.TXT *.txt)")};

namespace {

// The message boxes' texts (caption "Kinemo"). The signature text is also the day
// log's reason.
constexpr std::string_view kSignatureMismatchText = "開こうとしたファイルはKinemoのデータファイルではないようです。";
constexpr std::string_view kLoadFailedText = "データファイルを読み込めませんでした。";
constexpr std::string_view kSaveFailedText = "データを保存できませんでした。";

QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// The head text and, on a new line, the reason (a FormatError's message() or the
// system's text).
std::string withReason(std::string_view head, std::string_view why) {
    std::string message(head);
    message += '\n';
    message += why;
    return message;
}
std::string loadFailureMessage(std::string_view why) { return withReason(kLoadFailedText, why); }
std::string saveFailureMessage(std::string_view why) { return withReason(kSaveFailedText, why); }

}  // namespace

FileCommands::FileCommands(MeasurementState& state, Viewer& viewer, FileDialogs& dialogs, EventLog& log)
    : state_(state), viewer_(viewer), dialogs_(dialogs), log_(log) {}

void FileCommands::saveRun() {
    // The store of a run in progress or given up holds part of a run and zeros, under
    // the previous run's period: a file of it would pass for a whole run.
    if (state_.recorder.storeIsUnfinished()) {
        const bool inProgress = state_.recorder.isRecording();
        log_.record(inProgress ? "データを保存しませんでした（記録中のため）"
                               : "データを保存しませんでした（最後の記録が途中で中止されたため）");
        dialogs_.showMessage(inProgress ? QStringLiteral("記録中は保存できません。記録が終わってから保存してください。")
                                        : QStringLiteral("最後の記録は途中で中止されたため、保存できません。"
                                                         "もう一度記録してから保存してください。"));
        return;
    }
    const std::optional<QString> path = dialogs_.askSavePath(kNameFilters);
    if (!path) return;
    // Ticks went on while the dialog was open: the file holds the store as it is now.
    const std::string bytes = writeDataFile(state_.recorded);
    if (const auto error = saveFileAtomically(path->toStdString(), bytes)) {
        log_.record("データを保存できませんでした：" + path->toStdString() + "（" + *error + "）");
        dialogs_.showMessage(text(saveFailureMessage(*error)));
        return;
    }
    log_.record("データを保存しました：" + path->toStdString());
}

void FileCommands::loadRun() {
    const std::optional<QString> path = dialogs_.askOpenPath(kNameFilters);
    if (path) loadFile(QFile::encodeName(*path).toStdString());
}

void FileCommands::loadFile(const std::string& path) {
    // The log stays UTF-8: bytes that are not show as replacement characters.
    const std::string shownPath = QFile::decodeName(QByteArray::fromStdString(path)).toStdString();
    const auto refuse = [&](std::string_view reason, const std::string& message) {
        log_.record("データファイルを読み込めませんでした：" + shownPath + "（" + std::string(reason) + "）");
        dialogs_.showMessage(text(message));
    };
    const auto bytes = readWholeFile(path);
    if (const auto* error = std::get_if<ReadFailure>(&bytes)) {
        refuse(error->reason, loadFailureMessage(error->reason));
        return;
    }
    const ParseResult result = parseDataFile(std::get<std::string>(bytes));
    if (std::holds_alternative<SignatureMismatch>(result)) {
        refuse(kSignatureMismatchText, std::string(kSignatureMismatchText));
        return;
    }
    if (const auto* error = std::get_if<FormatError>(&result)) {
        refuse(error->message(), loadFailureMessage(error->message()));
        return;
    }
    state_.loaded = std::get<SampleRun>(result);
    log_.record("データファイルを読み込みました：" + shownPath);
    viewer_.openViewer(RunSlot::Loaded);
}

}  // namespace kinemo

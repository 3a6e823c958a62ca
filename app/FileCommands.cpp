#include "app/FileCommands.h"

#include "app/Viewer.h"
#include "files/DataFormat.h"
#include "files/FileIo.h"

#include <algorithm>
#include <span>

namespace kinemo {

const QString FileCommands::kFilter = QStringLiteral("Kinemo File|*.KMO|CSV File|*.CSV|Text File|*.TXT|");

namespace {
QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
}  // namespace

FileCommands::FileCommands(MeasurementState& state, Viewer& viewer, FileDialogs& dialogs, EventLog& log)
    : s_(state), viewer_(viewer), dialogs_(dialogs), log_(log) {}

void FileCommands::saveRun() {
    const std::optional<QString> path = dialogs_.askSavePath(kFilter);
    if (!path) return;
    // Ticks went on while the dialog was open: the file holds the store as it is now.
    const std::string bytes = writeDataFile(s_.fileSignature, s_.measuredAt, s_.samplePeriod,
                                            std::span<const AccTriple, kDataFileSavedSamples>(s_.samples.data(),
                                                                                              kDataFileSavedSamples));
    if (const auto error = saveFileAtomically(path->toStdString(), bytes)) {
        log_.record("データを保存できませんでした：" + path->toStdString() + "（" + *error + "）");
        dialogs_.showMessage(text(saveFailureMessage(*error)));
        return;
    }
    log_.record("データを保存しました：" + path->toStdString());
}

void FileCommands::loadRun() {
    const std::optional<QString> path = dialogs_.askOpenPath(kFilter);
    if (path) loadFile(*path);
}

void FileCommands::loadFile(const QString& path) {
    const auto refuse = [&](std::string_view reason, const std::string& message) {
        log_.record("データファイルを読み込めませんでした：" + path.toStdString() + "（" + std::string(reason) + "）");
        dialogs_.showMessage(text(message));
    };
    const auto bytes = readWholeFile(path.toStdString());
    if (const auto* error = std::get_if<ReadFailure>(&bytes)) {
        refuse(error->reason, loadFailureMessage(error->reason));
        return;
    }
    const ParseResult result = parseDataFile(std::get<std::string>(bytes), s_.fileSignature);
    if (std::holds_alternative<SignatureMismatch>(result)) {
        refuse(kSignatureMismatchText, std::string(kSignatureMismatchText));
        return;
    }
    if (const auto* error = std::get_if<FormatError>(&result)) {
        refuse(error->message(), loadFailureMessage(error->message()));
        return;
    }
    const LoadedRun& run = std::get<LoadedRun>(result);
    fillStore(s_.loadedSamples, run);
    s_.loadedMeasuredAt = run.measuredAt;
    s_.loadedSamplePeriod = run.samplePeriod;
    log_.record("データファイルを読み込みました：" + path.toStdString());
    viewer_.openViewer(false);
}

}  // namespace kinemo

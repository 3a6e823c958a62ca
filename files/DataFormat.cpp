#include "files/DataFormat.h"

#include "core/NumberText.h"
#include "core/Sample.h"
#include "files/DateText.h"
#include "files/FieldReader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace kinemo {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The viewer's scroll maximum, Int(1500 / period), must lie in 1..32767.
constexpr double kMinPeriodExclusive = 1500.0 / 32767.0;
constexpr double kMaxPeriod = 1500.0;

namespace reason {
constexpr std::string_view kEmptyFile = "ファイルが空です。";
constexpr std::string_view kHeaderEnds = "ファイルが見出しの途中で終わっています。";
constexpr std::string_view kSampleEnds = "ファイルがサンプルの途中で終わっています。";
constexpr std::string_view kUnclosedQuote = "引用符が閉じられていません。";
constexpr std::string_view kDateUndecodable = "測定日時の文字コードを判別できません。";
constexpr std::string_view kPeriodEmpty = "サンプリング周期が空です。";
constexpr std::string_view kPeriodNotNumber = "サンプリング周期が数値ではありません。";
constexpr std::string_view kPeriodOutOfRange = "サンプリング周期が有効な範囲にありません。";
constexpr std::string_view kValueEmpty = "値が空です。";
constexpr std::string_view kValueNotNumber = "値が数値ではありません。";
constexpr std::string_view kValueOutOfRange = "値が0から255の範囲にありません。";
constexpr std::string_view kValueNotWhole = "値が整数ではありません。";
constexpr std::string_view kTooManySamples = "サンプルが2002個を超えています。";
}  // namespace reason

enum class NumberStatus { Ok, Empty, NotNumber, OutOfRange };

std::string_view trimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// An optional sign, digits and at most one point, with at least one digit.
bool isPlainDecimal(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
    if (std::count(text.begin(), text.end(), '.') > 1) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); }) &&
           std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

template <typename Number>
NumberStatus readNumber(std::string_view text, Number& value) {
    text = trimBlanks(text);
    if (text.empty()) return NumberStatus::Empty;
    if (!isPlainDecimal(text)) return NumberStatus::NotNumber;
    if (text.front() == '+') text.remove_prefix(1);  // from_chars takes no plus sign
    const auto end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) return NumberStatus::OutOfRange;
    if (ec != std::errc{} || ptr != end) return NumberStatus::NotNumber;
    return NumberStatus::Ok;
}

void appendByte(std::string& out, std::uint8_t value) {
    char buf[4];
    const auto result = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned>(value));
    out.append(buf, result.ptr);
}

class Parser {
public:
    explicit Parser(std::string_view bytes) : reader_(bytes) {}

    ParseResult run() {
        if (reader_.onlyBlankLeft()) return FormatError{1, std::string(reason::kEmptyFile)};
        Field field;
        if (reader_.next(field) != FieldReader::Status::Field) return SignatureMismatch{};
        if (field.text != kDataFileSignature) return SignatureMismatch{};
        lastLine_ = field.line;

        SampleRun run;
        if (auto error = take(field, reason::kHeaderEnds)) return *error;
        auto date = dateTextToUtf8(field.text);
        if (!date) return fail(field, reason::kDateUndecodable);
        run.measuredAt = std::move(*date);

        if (auto error = take(field, reason::kHeaderEnds)) return *error;
        switch (readNumber(field.text, run.samplePeriod)) {
        case NumberStatus::Empty: return fail(field, reason::kPeriodEmpty);
        case NumberStatus::NotNumber: return fail(field, reason::kPeriodNotNumber);
        case NumberStatus::OutOfRange: return fail(field, reason::kPeriodOutOfRange);
        case NumberStatus::Ok: break;
        }
        const double period = run.samplePeriod;
        if (!std::isfinite(period) || period <= kMinPeriodExclusive || period > kMaxPeriod) {
            return fail(field, reason::kPeriodOutOfRange);
        }

        std::size_t taken = 0;
        while (!reader_.onlyBlankLeft()) {
            if (taken == kDataFileMaxSamples) {
                return FormatError{nextLine(), std::string(reason::kTooManySamples)};
            }
            AccTriple triple{};
            for (std::size_t axis = 0; axis < triple.size(); ++axis) {
                if (auto error = take(field, reason::kSampleEnds)) return *error;
                if (auto error = readSample(field, triple[axis])) return *error;
                // A spreadsheet writes an empty last cell as a trailing comma; taken
                // for padding, it would pull the next line's value into this sample.
                if (axis + 1 < triple.size() && reader_.paddingFollows()) return fail(field, reason::kValueEmpty);
            }
            run.samples[taken++] = triple;
        }
        return run;
    }

private:
    static FormatError fail(const Field& field, std::string_view why) { return {field.line, std::string(why)}; }

    // The next field; `atEnd` tells what it means when the file has none left.
    // Blank lines at the end of a file are no field: editors and spreadsheets
    // leave them.
    std::optional<FormatError> take(Field& field, std::string_view atEnd) {
        if (reader_.onlyBlankLeft()) return FormatError{lastLine_, std::string(atEnd)};
        switch (reader_.next(field)) {
        case FieldReader::Status::End: return FormatError{lastLine_, std::string(atEnd)};
        case FieldReader::Status::UnclosedQuote:
            return FormatError{reader_.line(), std::string(reason::kUnclosedQuote)};
        case FieldReader::Status::Field: break;
        }
        lastLine_ = field.line;
        return std::nullopt;
    }

    // The line of the next field that holds something.
    int nextLine() {
        Field field;
        while (reader_.next(field) == FieldReader::Status::Field) {
            if (!field.empty()) return field.line;
        }
        return reader_.line();
    }

    static std::optional<FormatError> readSample(const Field& field, std::uint8_t& out) {
        double value = 0;
        switch (readNumber(field.text, value)) {
        case NumberStatus::Empty: return fail(field, reason::kValueEmpty);
        case NumberStatus::NotNumber: return fail(field, reason::kValueNotNumber);
        case NumberStatus::OutOfRange: return fail(field, reason::kValueOutOfRange);
        case NumberStatus::Ok: break;
        }
        if (value < 0 || value > 255) return fail(field, reason::kValueOutOfRange);
        if (value != std::trunc(value)) return fail(field, reason::kValueNotWhole);
        out = static_cast<std::uint8_t>(value);
        return std::nullopt;
    }

    FieldReader reader_;
    int lastLine_ = 1;
};

}  // namespace

std::string FormatError::message() const { return std::to_string(line) + "行目：" + reason; }

std::string writeDataFile(const SampleRun& run) {
    const std::span<const AccTriple, kDataFileSavedSamples> entries(run.samples.data(), kDataFileSavedSamples);
    std::string out;
    out.reserve(kDataFileSignature.size() + run.measuredAt.size() + 32 + entries.size() * 14);
    out.append("\"").append(kDataFileSignature).append("\"").append(kLineEnd);
    out.append("\"").append(run.measuredAt).append("\"").append(kLineEnd);
    out.append(floatText(run.samplePeriod)).append(kLineEnd);
    for (const auto& entry : entries) {
        appendByte(out, entry[0]);
        out += ',';
        appendByte(out, entry[1]);
        out += ',';
        appendByte(out, entry[2]);
        out.append(kLineEnd);
    }
    return out;
}

ParseResult parseDataFile(std::string_view bytes) { return Parser(bytes).run(); }

}  // namespace kinemo

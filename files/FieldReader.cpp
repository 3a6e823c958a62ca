#include "files/FieldReader.h"

namespace kinemo {

namespace {
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kFieldEnds = ",\r\n";

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
}  // namespace

FieldReader::FieldReader(std::string_view bytes) : bytes_(bytes) {
    if (bytes_.starts_with(kByteOrderMark)) bytes_.remove_prefix(kByteOrderMark.size());
}

void FieldReader::takeLineEnd() {
    if (bytes_[pos_] == '\r' && pos_ + 1 < bytes_.size() && bytes_[pos_ + 1] == '\n') ++pos_;
    ++pos_;
    ++line_;
    atLineStart_ = true;
}

bool FieldReader::restOfLineEmpty() const {
    for (auto i = pos_; i < bytes_.size() && !isLineEnd(bytes_[i]); ++i) {
        if (!isBlank(bytes_[i]) && bytes_[i] != ',') return false;
    }
    return true;
}

bool FieldReader::onlyBlankLeft() const {
    for (auto i = pos_; i < bytes_.size(); ++i) {
        if (!isBlank(bytes_[i]) && bytes_[i] != ',' && !isLineEnd(bytes_[i])) return false;
    }
    return true;
}

FieldReader::Status FieldReader::next(Field& field) {
    if (!atLineStart_ && restOfLineEmpty()) {
        const auto lineEnd = bytes_.find_first_of("\r\n", pos_);
        pos_ = lineEnd == std::string_view::npos ? bytes_.size() : lineEnd;
        if (pos_ < bytes_.size()) takeLineEnd();
        atLineStart_ = true;
    }
    if (pos_ == bytes_.size()) return Status::End;

    atLineStart_ = false;
    while (pos_ < bytes_.size() && isBlank(bytes_[pos_])) ++pos_;
    field.line = line_;
    std::size_t end = 0;
    if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
        // A quote that the line does not close would swallow the rest of the file
        // and hide where the fault is.
        const auto close = bytes_.find_first_of("\"\r\n", pos_ + 1);
        if (close == std::string_view::npos || bytes_[close] != '"') return Status::UnclosedQuote;
        field.text = bytes_.substr(pos_ + 1, close - pos_ - 1);
        field.quoted = true;
        end = bytes_.find_first_of(kFieldEnds, close + 1);
    } else {
        end = bytes_.find_first_of(kFieldEnds, pos_);
        auto text = bytes_.substr(pos_, (end == std::string_view::npos ? bytes_.size() : end) - pos_);
        while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
        field.text = text;
        field.quoted = false;
    }
    pos_ = end == std::string_view::npos ? bytes_.size() : end;

    if (pos_ == bytes_.size()) {
        atLineStart_ = true;
    } else if (bytes_[pos_] == ',') {
        ++pos_;
    } else {
        takeLineEnd();
    }
    return Status::Field;
}

}  // namespace kinemo

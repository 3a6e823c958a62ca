// Splits the text of a data file into comma-separated fields, the way the file's
// reader needs them: not bound to lines, with the padding that spreadsheets add to
// short rows taken away.
#pragma once

#include <cstddef>
#include <string_view>

namespace kinemo {

struct Field {
    std::string_view text;  // without its quotes; unquoted text without blanks around it
    bool quoted = false;
    int line = 0;  // 1-based line where the field stands

    // `""` is an empty text the file states; only an unquoted field can be missing.
    bool empty() const { return !quoted && text.empty(); }
};

class FieldReader {
public:
    // A UTF-8 byte-order mark at the start is skipped.
    explicit FieldReader(std::string_view bytes);

    enum class Status { Field, End, UnclosedQuote };

    // Takes the next field. Empty fields at the end of a line are passed over,
    // but a line of nothing but empty fields gives one empty field: that is how a
    // spreadsheet writes an empty cell in the first column. After UnclosedQuote
    // the reader stays where the quote opened and line() tells its line.
    Status next(Field& field);

    // The field just taken ends in a comma with nothing after it on its line: the
    // next call passes over an empty field there.
    bool paddingFollows() const { return !atLineStart_ && restOfLineEmpty(); }

    // Nothing but blanks, commas and line ends is left.
    bool onlyBlankLeft() const;

    int line() const { return line_; }

private:
    bool restOfLineEmpty() const;
    void takeLineEnd();

    std::string_view bytes_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool atLineStart_ = true;
};

}  // namespace kinemo

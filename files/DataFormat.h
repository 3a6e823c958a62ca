// The acceleration data file: comma-separated text that a spreadsheet opens as
// three header rows and one row of X, Y, Z per sample.
//
//   "Kinemo"          the signature, quoted
//   "2026/12/06 9:05:07"   the date text of the run, quoted (empty: "")
//   1.05              the sample period in 1/100 s, 7 significant digits
//   131,131,131       one line per entry 0..2000 of the recorded run
//
// Every line ends with CR LF; the text is UTF-8. Writing is byte-exact; reading
// also takes what a spreadsheet makes of such a file after saving it again (LF
// line ends, a byte-order mark, quotes around any field, rows padded with empty
// fields, a date in CP932). A file is checked whole before anything is taken from
// it, so a caller either gets a complete run or a reason with its line number.
//
// Plain C++ with no Qt, so that the parser can be fuzzed on its own.
#pragma once

#include "core/SampleRun.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kinemo {

inline constexpr std::string_view kDataFileSignature = "Kinemo";
// A saved file holds entries 0..2000 of the recorded run.
inline constexpr std::size_t kDataFileSavedSamples = kRunLength + 1;
// A loaded run holds at most this many samples: the size of a sample store.
inline constexpr std::size_t kDataFileMaxSamples = kStoreSize;

// Entries 0..2000 of the run. Its `measuredAt` must hold no double quote and no
// line end: it is written between quotes as it is.
std::string writeDataFile(const SampleRun& run);

// The first field is not the signature (compared exactly, letter case included).
struct SignatureMismatch {};

struct FormatError {
    int line = 0;                 // 1-based line of the file where the fault lies
    std::string reason;           // one sentence in Japanese, e.g. "値が0から255の範囲にありません。"
    std::string message() const;  // "12行目：値が0から255の範囲にありません。"
};

// A run read from a file: its date text as UTF-8 (a CP932 date is converted), its
// period (finite, 1500/32767 < period <= 1500), and the file's samples from entry 0
// with the zero level 131 in every entry the file does not hold, so that nothing of
// an earlier file shows through.
using ParseResult = std::variant<SampleRun, SignatureMismatch, FormatError>;

// Field syntax: fields end at a comma or a line end (CR LF, LF or CR); blanks
// before a field are skipped. A field in double quotes runs to the next quote on
// the same line, and whatever follows the closing quote up to the next comma or
// line end is ignored. Empty fields at the end of a line are ignored after the
// header fields and after a complete X, Y, Z triple; anywhere else they are a
// missing value. A line holding nothing but empty fields gives one empty field (an
// empty date cell). Header fields and samples are not bound to lines: the three values of a
// sample may stand on one line or over several. Blank lines at the end of the
// file are ignored; a file of nothing but blanks is a FormatError on line 1.
//
// Numbers are plain decimals: an optional sign, digits and an optional point
// (".95", "1." and "+131" are accepted; "1e2", "0x10", "inf" and a decimal comma
// are not). A sample value must be a whole number in 0..255 ("131.0" is 131,
// "131.5" is refused).
ParseResult parseDataFile(std::string_view bytes);

}  // namespace kinemo

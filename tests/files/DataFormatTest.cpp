#include "files/DataFormat.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

// `head`, then `samples` lines "v,v,v" with v counting up from `first` by `step`.
std::string dataFile(int samples, int first = 131, int step = 0, std::string head = "Kinemo\r\n\"\"\r\n1.05\r\n") {
    for (int i = 0; i < samples; ++i) {
        const std::string v = std::to_string((first + i * step) % 256);
        head += v + ',' + v + ',' + v + "\r\n";
    }
    return head;
}

SampleRun loaded(std::string_view file) { return std::get<SampleRun>(parseDataFile(file)); }

TEST(DataFormat, ARunIsWrittenAsQuotedHeadRowsAndOneLinePerEntryUpTo2000) {
    SampleRun run;
    run.measuredAt = "2026/12/06 9:05:07";
    run.samplePeriod = 1.052342f;
    run.samples[0] = {0, 255, 7};
    run.samples[2000] = {1, 2, 3};
    run.samples[2001] = {9, 9, 9};
    const std::string head = "\"Kinemo\"\r\n\"2026/12/06 9:05:07\"\r\n1.052342\r\n0,255,7\r\n";
    EXPECT_EQ(writeDataFile(run), dataFile(1999, 131, 0, head) + "1,2,3\r\n");
}

// Each file gives samples 1,2,3 and 4,5,6; the zero level follows.
TEST(DataFormat, ASpreadsheetsCopyOfAFileLoadsTheSameSamples) {
    const std::pair<const char*, std::string> cases[] = {
        {"values over several lines", dataFile(0) + "1,2\r\n3,4\r\n5,6\r\n"},
        {"LF, byte-order mark, padded rows, blanks, quotes",
         "\xEF\xBB\xBFKinemo,,\n\"\",,\n\"1.05\",,\n 1, \"2\" ,3,,\n4,5,6\n"},
        {"empty date cell, blank rows at the end", "Kinemo,,\r\n,,\r\n1.05,,\r\n1,2,3\r\n4,5,6\r\n\r\n,,\r\n"},
        {"signs, points and leading zeros", dataFile(0) + "+1,2.0,03\r\n4.,+5.,6\r\n"},
    };
    for (const auto& [form, file] : cases) {
        const SampleStore samples = loaded(file).samples;
        const std::vector<AccTriple> firstThree(samples.begin(), samples.begin() + 3);
        EXPECT_EQ(firstThree, (std::vector<AccTriple>{{1, 2, 3}, {4, 5, 6}, kZeroSample})) << form;
    }
}

TEST(DataFormat, TheDateIsReadAsUtf8OrAsJapaneseWindowsWritesIt) {
    const std::pair<std::string, std::string> cases[] = {
        {" 2026/12/06 9:05,,", "2026/12/06 9:05"},
        {"\"\x82\x51\x82\x4f\x82\x51\x82\x55\x94\x4e\"", "２０２６年"},  // CP932
    };
    for (const auto& [cell, date] : cases)
        EXPECT_EQ(loaded("Kinemo\r\n" + cell + "\r\n1\r\n").measuredAt, date) << date;
}

TEST(DataFormat, PeriodsUpToTheViewersLimitsAreTaken) {
    for (const std::string period : {"0.95", "0.04578", "1500"})  // 1500 / 32767 < period <= 1500
        EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n" + period + "\r\n").samplePeriod, std::stof(period)) << period;
}

// "foreign", the error's message, or "loads".
std::string refusal(std::string_view bytes) {
    const ParseResult result = parseDataFile(bytes);
    if (const auto* error = std::get_if<FormatError>(&result)) return error->message();
    return std::holds_alternative<SignatureMismatch>(result) ? "foreign" : "loads";
}

TEST(DataFormat, ARefusedFileNamesTheLineAtFault) {
    const std::string two = dataFile(1);  // after it comes line 5
    const std::string noPeriod = "Kinemo\r\n\"\"\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"\"kinemo\"\r\n\"\"\r\n1.05\r\n", "foreign"},
        {" \r\n,,\r\n", "1行目：ファイルが空です。"},
        {"Kinemo\r\n\"x\"\r\n", "2行目：ファイルが見出しの途中で終わっています。"},
        {"Kinemo\r\n\"\xff\xfe\"\r\n1.05\r\n", "2行目：測定日時の文字コードを判別できません。"},
        {noPeriod + ",,\r\n1,2,3\r\n", "3行目：サンプリング周期が空です。"},
        {noPeriod + "1e2\r\n", "3行目：サンプリング周期が数値ではありません。"},
        {noPeriod + "0.04577\r\n", "3行目：サンプリング周期が有効な範囲にありません。"},
        {noPeriod + "1500.001\r\n", "3行目：サンプリング周期が有効な範囲にありません。"},
        {two + "131,131\r\n", "5行目：ファイルがサンプルの途中で終わっています。"},
        {two + "119,114,\r\n1,2,\r\n3,4,\r\n", "5行目：値が空です。"},
        {two + "\r\n131,131,131\r\n", "5行目：値が空です。"},
        {two + "131,1.3.1,131\r\n", "5行目：値が数値ではありません。"},
        {two + "131,131,256\r\n", "5行目：値が0から255の範囲にありません。"},
        {two + "131,131.5,131\r\n", "5行目：値が整数ではありません。"},
        {two + "131,\"131,131\r\n", "5行目：引用符が閉じられていません。"},
        {dataFile(2003, 1, 1), "2006行目：サンプルが2002個を超えています。"},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(refusal(bytes), expected) << bytes.substr(0, 40);
}

}  // namespace
}  // namespace kinemo

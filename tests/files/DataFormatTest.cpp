#include "files/DataFormat.h"

#include "app/NumberText.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace kinemo {
namespace {

using Entries = std::array<AccTriple, kDataFileSavedSamples>;

std::string repeat(std::string_view line, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out.append(line);
    return out;
}

const std::string kHeader = "\"Kinemo\"\r\n\"2026/12/06 9:05:07\"\r\n1.05\r\n";

LoadedRun loaded(std::string_view bytes) {
    auto result = parseDataFile(bytes, kDataFileSignature);
    if (auto* error = std::get_if<FormatError>(&result)) ADD_FAILURE() << error->message();
    if (std::holds_alternative<SignatureMismatch>(result)) ADD_FAILURE() << "signature mismatch";
    auto* run = std::get_if<LoadedRun>(&result);
    return run ? *run : LoadedRun{};
}

std::string errorOf(std::string_view bytes) {
    auto result = parseDataFile(bytes, kDataFileSignature);
    auto* error = std::get_if<FormatError>(&result);
    return error ? error->message() : "(no format error)";
}

bool refusedAsForeign(std::string_view bytes) {
    return std::holds_alternative<SignatureMismatch>(parseDataFile(bytes, kDataFileSignature));
}

TEST(DataFileWrite, BeforeAnyRunIsTheFlatFileByteForByte) {
    Entries entries;
    entries.fill({131, 131, 131});
    const std::string expected = "\"Kinemo\"\r\n\"\"\r\n1.05\r\n" + repeat("131,131,131\r\n", 2001);

    EXPECT_EQ(writeDataFile(kDataFileSignature, "", 21.0f / 20.0f, entries), expected);
}

TEST(DataFileWrite, RoundTripKeepsEntriesDateAndPeriodToSevenDigits) {
    Entries entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i % 256),
                      static_cast<std::uint8_t>(i * 7)};
    }
    for (float period : {1.0523417f, 0.95f, 1234.567f}) {
        const std::string bytes = writeDataFile(kDataFileSignature, "2026/12/06 9:05:07", period, entries);
        const LoadedRun run = loaded(bytes);
        EXPECT_EQ(run.measuredAt, "2026/12/06 9:05:07");
        EXPECT_EQ(floatText(run.samplePeriod), floatText(period));
        ASSERT_EQ(run.samples.size(), kDataFileSavedSamples);
        EXPECT_TRUE(std::equal(entries.begin(), entries.end(), run.samples.begin()));
    }
}

TEST(DataFileRead, SignatureIsComparedExactlyQuotedOrNot) {
    EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n1.05\r\n1,2,3\r\n").samples.size(), 1u);
    EXPECT_TRUE(refusedAsForeign("\"kinemo\"\r\n\"\"\r\n1.05\r\n"));
    EXPECT_TRUE(refusedAsForeign("KINEMO\r\n\"\"\r\n1.05\r\n"));
    EXPECT_TRUE(refusedAsForeign("Time,X,Y,Z\r\n0,131,131,131\r\n"));
    EXPECT_TRUE(refusedAsForeign("\"Kinemo\r\n"));
    EXPECT_EQ(errorOf(""), "1行目: ファイルが空です。");
}

TEST(DataFileRead, SampleValuesMayBeSpreadOverLines) {
    const LoadedRun run = loaded(kHeader + "1,2\r\n3\r\n4\r\n5,6,7,8,9\r\n");
    const std::vector<AccTriple> expected{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    EXPECT_EQ(run.samples, expected);
}

TEST(DataFileRead, TakesWhatASpreadsheetWritesBack) {
    // LF line ends, byte-order mark, padded header rows, quoted and blank-led
    // numbers, a padded sample row.
    const LoadedRun padded = loaded(
        "\xEF\xBB\xBF\"Kinemo\",,\n\"2026/12/06 9:05:07\",,\n\"1.05\",,\n 1, \"2\" ,3,,\n4,5,6\n");
    EXPECT_EQ(padded.measuredAt, "2026/12/06 9:05:07");
    EXPECT_EQ(padded.samplePeriod, 1.05f);
    EXPECT_EQ(padded.samples, (std::vector<AccTriple>{{1, 2, 3}, {4, 5, 6}}));

    // An empty date cell comes back as a row of empty fields.
    const LoadedRun emptyDate = loaded("Kinemo,,\r\n,,\r\n1.05,,\r\n131,131,131\r\n\r\n,,\r\n");
    EXPECT_EQ(emptyDate.measuredAt, "");
    EXPECT_EQ(emptyDate.samples.size(), 1u);

    // "２０２６年１２月６日" as Japanese Windows writes it (CP932).
    const LoadedRun cp932 = loaded("Kinemo\r\n\"\x82\x51\x82\x4f\x82\x51\x82\x55\x94\x4e\x82\x50\x82\x51\x8c\x8e"
                                   "\x82\x55\x93\xfa\"\r\n1.05\r\n");
    EXPECT_EQ(cp932.measuredAt, "２０２６年１２月６日");
    EXPECT_EQ(loaded("Kinemo\r\n\"２０２６年\"\r\n1.05\r\n").measuredAt, "２０２６年");
}

TEST(DataFileRead, HeaderOnlyFileLoadsAndTheStoreShowsTheZeroLevel) {
    const LoadedRun run = loaded(kHeader);
    EXPECT_TRUE(run.samples.empty());

    std::array<AccTriple, kDataFileMaxSamples> store;
    store.fill({7, 7, 7});
    fillStore(store, loaded(kHeader + "1,2,3\r\n"));
    EXPECT_EQ(store[0], (AccTriple{1, 2, 3}));
    EXPECT_EQ(store[1], (AccTriple{131, 131, 131}));
    EXPECT_EQ(store[2001], (AccTriple{131, 131, 131}));
}

TEST(DataFileRead, AtMost2002Samples) {
    EXPECT_EQ(loaded(kHeader + repeat("1,2,3\r\n", 2002)).samples.size(), 2002u);
    EXPECT_EQ(errorOf(kHeader + repeat("1,2,3\r\n", 2003)), "2006行目: サンプルが2002個を超えています。");
}

TEST(DataFileRead, NumbersAreWholePlainDecimals) {
    EXPECT_EQ(loaded(kHeader + "+131,131.0,0131\r\n-0,255.,0.0\r\n").samples,
              (std::vector<AccTriple>{{131, 131, 131}, {0, 255, 0}}));
    EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n.95\r\n").samplePeriod, 0.95f);
    EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n1500\r\n").samplePeriod, 1500.0f);
}

TEST(DataFileRead, EachFaultHasItsReasonAndLine) {
    const std::string two = kHeader + "131,131,131\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"\"Kinemo\"\r\n", "1行目: ファイルが見出しの途中で終わっています。"},
        {"Kinemo\r\n\"x\"\r\n", "2行目: ファイルが見出しの途中で終わっています。"},
        {"Kinemo\r\n\"2026/12/06\r\n1.05\r\n", "2行目: 引用符が閉じられていません。"},
        {"Kinemo\r\n\"\xff\xfe\"\r\n1.05\r\n", "2行目: 測定日時の文字コードを判別できません。"},
        {"Kinemo\r\n\"\"\r\n,,\r\n1,2,3\r\n", "3行目: サンプリング周期が空です。"},
        {"Kinemo\r\n\"\"\r\nfast\r\n", "3行目: サンプリング周期が数値ではありません。"},
        {"Kinemo\r\n\"\"\r\n1e2\r\n", "3行目: サンプリング周期が数値ではありません。"},
        {"Kinemo\r\n\"\"\r\n0\r\n", "3行目: サンプリング周期が有効な範囲にありません。"},
        {"Kinemo\r\n\"\"\r\n0.04577\r\n", "3行目: サンプリング周期が有効な範囲にありません。"},
        {"Kinemo\r\n\"\"\r\n1500.001\r\n", "3行目: サンプリング周期が有効な範囲にありません。"},
        {"Kinemo\r\n\"\"\r\n-1.05\r\n", "3行目: サンプリング周期が有効な範囲にありません。"},
        {"Kinemo\r\n\"\"\r\n1" + std::string(60, '0') + "\r\n", "3行目: サンプリング周期が有効な範囲にありません。"},
        {two + "131,131\r\n", "5行目: ファイルがサンプルの途中で終わっています。"},
        {two + "131,131,\r\n\r\n", "5行目: ファイルがサンプルの途中で終わっています。"},
        {two + "131,,131\r\n", "5行目: 値が空です。"},
        {two + "\r\n131,131,131\r\n", "5行目: 値が空です。"},
        {two + "131,x,131\r\n", "5行目: 値が数値ではありません。"},
        {two + "131,0x10,131\r\n", "5行目: 値が数値ではありません。"},
        {two + "131,1.3.1,131\r\n", "5行目: 値が数値ではありません。"},
        {two + "131,131,256\r\n", "5行目: 値が0から255の範囲にありません。"},
        {two + "-1,131,131\r\n", "5行目: 値が0から255の範囲にありません。"},
        {two + "131,131.5,131\r\n", "5行目: 値が整数ではありません。"},
        {two + "131,\"131,131\r\n", "5行目: 引用符が閉じられていません。"},
    };
    for (const auto& [bytes, message] : cases) EXPECT_EQ(errorOf(bytes), message) << bytes;
}

TEST(DataFileMessages, HeadTextThenReasonOnANewLine) {
    EXPECT_EQ(loadFailureMessage(FormatError{12, "値が0から255の範囲にありません。"}.message()),
              "データファイルを読み込めませんでした。\n12行目: 値が0から255の範囲にありません。");
    EXPECT_EQ(saveFailureMessage("Permission denied"), "データを保存できませんでした。\nPermission denied");
}

}  // namespace
}  // namespace kinemo

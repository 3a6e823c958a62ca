// What the parser accepts. Refused files, with their messages and the state they
// leave, are checked through the load command in FileCommandsTest.
#include "files/DataFormat.h"

#include <gtest/gtest.h>

#include <string>

namespace kinemo {
namespace {

LoadedRun loaded(std::string_view bytes) {
    auto result = parseDataFile(bytes, kDataFileSignature);
    if (auto* error = std::get_if<FormatError>(&result)) ADD_FAILURE() << error->message();
    if (std::holds_alternative<SignatureMismatch>(result)) ADD_FAILURE() << "signature mismatch";
    auto* run = std::get_if<LoadedRun>(&result);
    return run ? *run : LoadedRun{};
}

using Samples = std::vector<AccTriple>;

TEST(DataFileRead, HoldsNoneTo2002SamplesSpreadOverLinesAtWill) {
    EXPECT_EQ(loaded("\"Kinemo\"\r\n\"\"\r\n1.05\r\n1,2\r\n3\r\n4\r\n5,6,7,8,9\r\n").samples,
              (Samples{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));
    EXPECT_EQ(loaded("\"Kinemo\"\r\n\"\"\r\n1.05\r\n").samples, Samples{});
    std::string full = "Kinemo\r\n\"\"\r\n1.05\r\n";
    for (int i = 0; i < 2002; ++i) full += "1,2,3\r\n";
    EXPECT_EQ(loaded(full).samples.size(), 2002u);
}

TEST(DataFileRead, TakesWhatASpreadsheetWritesBack) {
    // LF line ends, byte-order mark, rows padded with empty fields, blanks before
    // fields, quoted numbers, text without quotes.
    const LoadedRun padded =
        loaded("\xEF\xBB\xBF\"Kinemo\",,\n 2026/12/06 9:05:07,,\n\"1.05\",,\n 1, \"2\" ,3,,\n4,5,6\n");
    EXPECT_EQ(padded.measuredAt, "2026/12/06 9:05:07");
    EXPECT_EQ(padded.samplePeriod, 1.05f);
    EXPECT_EQ(padded.samples, (Samples{{1, 2, 3}, {4, 5, 6}}));

    // An empty date cell comes back as a row of empty fields; blank rows end the file.
    const LoadedRun emptyDate = loaded("Kinemo,,\r\n,,\r\n1.05,,\r\n131,131,131\r\n\r\n,,\r\n");
    EXPECT_EQ(emptyDate.measuredAt, "");
    EXPECT_EQ(emptyDate.samples.size(), 1u);

    // "２０２６年１２月６日" as Japanese Windows writes it (CP932), and in UTF-8.
    EXPECT_EQ(loaded("Kinemo\r\n\"\x82\x51\x82\x4f\x82\x51\x82\x55\x94\x4e\x82\x50\x82\x51\x8c\x8e"
                     "\x82\x55\x93\xfa\"\r\n1.05\r\n")
                  .measuredAt,
              "２０２６年１２月６日");
    EXPECT_EQ(loaded("Kinemo\r\n\"２０２６年\"\r\n1.05\r\n").measuredAt, "２０２６年");
}

TEST(DataFileRead, NumbersArePlainDecimalsAndPeriodsUpTo1500) {
    EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n1\r\n+131,131.0,0131\r\n-0,255.,0.0\r\n").samples,
              (Samples{{131, 131, 131}, {0, 255, 0}}));
    EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n.95\r\n").samplePeriod, 0.95f);
    EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n0.04578\r\n").samplePeriod, 0.04578f);  // just above 1500/32767
    EXPECT_EQ(loaded("Kinemo\r\n\"\"\r\n1500\r\n").samplePeriod, 1500.0f);
}

}  // namespace
}  // namespace kinemo

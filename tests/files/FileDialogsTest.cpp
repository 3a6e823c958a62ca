#include "files/FileDialogs.h"

#include <gtest/gtest.h>

namespace kinemo {
namespace {

TEST(FileDialogs, FilterPairsBecomeNameFiltersThatAlsoMatchLowerCase) {
    EXPECT_EQ(nameFilters(QStringLiteral("Kinemo File|*.KMO|CSV File|*.CSV|Text File|*.TXT|")),
              (QStringList{"Kinemo File (*.KMO *.kmo)", "CSV File (*.CSV *.csv)", "Text File (*.TXT *.txt)"}));
    EXPECT_EQ(nameFilters(QStringLiteral("All|*.*")), QStringList{"All (*.*)"});
}

}  // namespace
}  // namespace kinemo

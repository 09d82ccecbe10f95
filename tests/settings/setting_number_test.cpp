#include "settings/setting_number.h"

#include <gtest/gtest.h>

namespace memro {
namespace {

TEST(SettingNumber, RoundsToNearestWithHalvesToEven) {
  EXPECT_EQ(ToInt16("0.5"), 0);
  EXPECT_EQ(ToInt16("1.5"), 2);
  EXPECT_EQ(ToInt16("2.5"), 2);
  EXPECT_EQ(ToInt16("2.50001"), 3);
  EXPECT_EQ(ToInt16("2.4999"), 2);
  EXPECT_EQ(ToInt16("-2.5"), -2);
  EXPECT_EQ(ToInt16("-3.5"), -4);
  EXPECT_EQ(ToInt16("-0.5"), 0);
  EXPECT_EQ(ToInt16("+7"), 7);
  EXPECT_EQ(ToInt16(".6"), 1);
}

TEST(SettingNumber, RangeFollowsTheWidth) {
  EXPECT_EQ(ToInt16("32767"), 32767);
  EXPECT_EQ(ToInt16("-32768"), -32768);
  EXPECT_EQ(ToInt16("32767.5"), std::nullopt);  // rounds to 32768
  EXPECT_EQ(ToInt16("-32769"), std::nullopt);
  EXPECT_EQ(ToInt16("70000"), std::nullopt);
  EXPECT_EQ(ToInt32("70000"), 70000);
  EXPECT_EQ(ToInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(ToInt32("2147483648"), std::nullopt);
  EXPECT_EQ(ToInt32("99999999999999999999999999"), std::nullopt);
}

TEST(SettingNumber, RejectsWhatIsNotAPlainNumber) {
  for (const char* text :
       {"", "-", ".", "abc", "12abc", "1 2", "1e3", "0x10", "--1", "1,000", "inf", "nan"}) {
    EXPECT_EQ(ToInt32(text), std::nullopt) << text;
  }
}

}  // namespace
}  // namespace memro

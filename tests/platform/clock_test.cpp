#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/numbers.h"
#include "support/temp_folder.h"

namespace tarvelon {
namespace {

TEST(Clock, DayCountsFollowTheSystemEpoch) {
  EXPECT_DOUBLE_EQ(ToDayCount(DateTime{1899, 12, 30}), 0.0);
  EXPECT_DOUBLE_EQ(ToDayCount(DateTime{2017, 1, 1}), 42736.0);
  EXPECT_DOUBLE_EQ(ToDayCount(DateTime{2017, 1, 1, 12}), 42736.5);
  DateTime back = FromDayCount(42736.75);
  EXPECT_EQ(back.day, 1);
  EXPECT_EQ(back.hour, 18);
  EXPECT_EQ(DayOfWeek(DateTime{2017, 1, 1}), 0);  // a Sunday
  EXPECT_EQ(DayOfWeek(DateTime{2016, 1, 1}), 5);  // a Friday
}

TEST(Clock, StampsAndShortDates) {
  DateTime t{2017, 10, 25, 14, 3, 7};
  EXPECT_EQ(FormatLogStamp(t), "25/10/2017 14:03:07");
  EXPECT_EQ(FormatStamp(t, "yyyymmddhhnn"), "201710251403");
  EXPECT_EQ(FormatStamp(t, "yyyymmdd"), "20171025");
  DateTime d;
  EXPECT_TRUE(ParseShortDate("29/02/2016", d));
  EXPECT_FALSE(ParseShortDate("29/02/2017", d));
  EXPECT_FALSE(ParseShortDate("31/02/2017", d));
  EXPECT_FALSE(ParseShortDate("1/2/2017x", d));
}

TEST(Clock, TarvelonNowFixesTheTime) {
  testing::ScopedEnv now("TARVELON_NOW", "2017-02-14 09:30:00");
  DateTime t = Now();
  EXPECT_EQ(FormatLogStamp(t), "14/02/2017 09:30:00");
}

TEST(Numbers, DecimalsFollowTheProcessSeparator) {
  SetDecimalSeparator(',');
  double v = 0;
  EXPECT_TRUE(TryParseDecimal("12500,50", v));
  EXPECT_DOUBLE_EQ(v, 12500.5);
  EXPECT_FALSE(TryParseDecimal("12500.50", v));
  EXPECT_EQ(ParseDecimalOrZero("12 500"), 0.0);
  EXPECT_EQ(FormatShortest(12500.5), "12500,5");
  EXPECT_EQ(FormatFixed(12.25, 1), "12,3");
  SetDecimalSeparator('.');
  EXPECT_EQ(FormatShortest(20000), "20000");
  EXPECT_EQ(FormatFixed(7.5, 0), "8");
  EXPECT_EQ(FormatFixed(25, 0), "25");
}

}  // namespace
}  // namespace tarvelon

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "store/Dates.h"

namespace {

TEST(Dates, JulianDayNumbers) {
  const struct { int32_t day, month, year, want; } kCases[] = {
      {1, 1, 2000, 2451545}, {29, 2, 2000, 2451604}, {1, 3, 2000, 2451605},
      {28, 2, 1900, 2415079}, {1, 3, 1900, 2415080}, {31, 12, 1999, 2451544},
      {1, 1, 1970, 2440588},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(c.want, DayNumberFromDate(c.day, c.month, c.year))
        << c.day << "." << c.month << "." << c.year;
    int32_t d = 0, m = 0, y = 0;
    DateFromDayNumber(c.want, d, m, y);
    EXPECT_EQ(c.day, d) << c.want;
    EXPECT_EQ(c.month, m) << c.want;
    EXPECT_EQ(c.year, y) << c.want;
  }
}

// Day numbers come from stored data; the largest must not overflow.
TEST(Dates, LargeDayNumbersDoNotOverflow) {
  int32_t d = 0, m = 0, y = 0;
  DateFromDayNumber(INT32_MAX, d, m, y);
  EXPECT_EQ(INT32_MAX, DayNumberFromDate(d, m, y));
  EXPECT_GT(y, 5000000);
}

TEST(Dates, PrintedForms) {
  const struct { const char* name; std::function<void(std::ostream&)> print; const char* want; }
      kCases[] = {
          {"date", [](std::ostream& o) { Date(1, 1, 2000).Print(o); }, "1 Jan 2000"},
          {"date from a number", [](std::ostream& o) { Date(2451605).Print(o); }, "1 Mar 2000"},
          {"time", [](std::ostream& o) { TimeOfDay(3725).Print(o); }, "01:02:05"},
          {"midnight", [](std::ostream& o) { TimeOfDay(0).Print(o); }, "00:00:00"},
          {"last second", [](std::ostream& o) { TimeOfDay(86399).Print(o); }, "23:59:59"},
          {"grouped", [](std::ostream& o) { PrintGroupedNumber(1234567, 0, o); }, "1,234,567"},
          {"five digits", [](std::ostream& o) { PrintGroupedNumber(12345, 0, o); }, "12,345"},
          {"three digits", [](std::ostream& o) { PrintGroupedNumber(123, 0, o); }, "123"},
          {"two digits", [](std::ostream& o) { PrintGroupedNumber(12, 0, o); }, "12"},
          {"zero", [](std::ostream& o) { PrintGroupedNumber(0, 0, o); }, "0"},
          {"high half", [](std::ostream& o) { PrintGroupedNumber(0, 1, o); }, "4,294,967,296"},
      };
  for (const auto& c : kCases) {
    std::ostringstream out;
    c.print(out);
    EXPECT_EQ(c.want, out.str()) << c.name;
  }
}

TEST(Dates, TodayAndNowAreInRange) {
  int32_t d = 0, m = 0, y = 0;
  DateFromDayNumber(Date().GetDayNumber(), d, m, y);
  EXPECT_GE(y, 2020);
  EXPECT_LT(TimeOfDay().GetSeconds(), 86400u);
}

}  // namespace

#include "Dates.h"

#include <iomanip>
#include <ostream>
#include <string>

#include "LocalSystem.h"

namespace {
const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}

// Computed in 64 bits and narrowed: a far year must not overflow.
int32_t DayNumberFromDate(int32_t day, int32_t month, int32_t year) {
  int64_t m = month, y = year;
  if (m < 3) {
    m += 9;
    y -= 1;
  } else {
    m -= 3;
  }
  const int64_t c = y / 100;
  const int64_t ya = y - 100 * c;
  const int64_t n = (146097 * c) / 4 + (1461 * ya) / 4 + (153 * m + 2) / 5 + day + 1721119;
  return static_cast<int32_t>(static_cast<uint32_t>(n));
}

// Day numbers come from stored data: 4 x n overflows 32 bits for large ones.
void DateFromDayNumber(int32_t dayNumber, int32_t& day, int32_t& month, int32_t& year) {
  const int64_t j = 4 * static_cast<int64_t>(dayNumber) - 6884477;
  const int64_t c = j / 146097;
  const int64_t d = (j - 146097 * c) / 4;
  const int64_t j2 = 4 * d + 3;
  const int64_t ya = j2 / 1461;
  const int64_t d2 = (j2 - 1461 * ya) / 4 + 1;
  const int64_t t = 5 * d2 - 3;
  const int64_t m = t / 153;
  day = static_cast<int32_t>((t - 153 * m) / 5 + 1);
  month = static_cast<int32_t>(m + 1 < 11 ? m + 3 : m - 9);
  year = static_cast<int32_t>(100 * c + ya + (m + 1) / 11);
}

Date::Date() {
  const LocalDateTime now = CurrentLocalDateTime();
  fDayNumber = DayNumberFromDate(now.day, now.month, now.year);
}

Date::Date(int32_t day, int32_t month, int32_t year)
    : fDayNumber(DayNumberFromDate(day, month, year)) {}

void Date::Print(std::ostream& out) const {
  int32_t day = 0, month = 0, year = 0;
  DateFromDayNumber(fDayNumber, day, month, year);
  out << day << ' ';
  // A day number before the calendar's start gives no month of the year.
  if (month >= 1 && month <= 12) {
    out << kMonthNames[month - 1];
  } else {
    out << month;
  }
  out << ' ' << year;
}

TimeOfDay::TimeOfDay() {
  const LocalDateTime now = CurrentLocalDateTime();
  fSeconds = static_cast<uint32_t>(now.hour * 3600 + now.minute * 60 + now.second);
}

void TimeOfDay::Print(std::ostream& out) const {
  const char fill = out.fill('0');
  out << std::setw(2) << fSeconds / 3600 << ':' << std::setw(2) << fSeconds % 3600 / 60 << ':'
      << std::setw(2) << fSeconds % 60;
  out.fill(fill);
}

void PrintGroupedNumber(uint32_t low, uint32_t high, std::ostream& out) {
  const uint64_t value = (static_cast<uint64_t>(high) << 32) | low;
  const std::string digits = std::to_string(value);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out << ',';
    out << digits[i];
  }
}

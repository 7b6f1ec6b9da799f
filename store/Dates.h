#pragma once
// Calendar dates as Julian day numbers, times of day in seconds, and the
// grouped printing of 64-bit numbers used by the database report.
#include <cstdint>
#include <iosfwd>

// The Julian day number of (day, month 1-12, year): 1 Jan 2000 is 2451545.
int32_t DayNumberFromDate(int32_t day, int32_t month, int32_t year);
void DateFromDayNumber(int32_t dayNumber, int32_t& day, int32_t& month, int32_t& year);

class Date {
public:
  Date();  // today, local time
  explicit Date(int32_t dayNumber) : fDayNumber(dayNumber) {}
  Date(int32_t day, int32_t month, int32_t year);
  int32_t GetDayNumber() const { return fDayNumber; }
  // "1 Jan 2000".
  void Print(std::ostream& out) const;

private:
  int32_t fDayNumber;
};

class TimeOfDay {
public:
  TimeOfDay();  // now, local time
  explicit TimeOfDay(uint32_t seconds) : fSeconds(seconds) {}
  uint32_t GetSeconds() const { return fSeconds; }
  // "01:02:05".
  void Print(std::ostream& out) const;

private:
  uint32_t fSeconds;  // since local midnight
};

// 1234567 prints as 1,234,567.
void PrintGroupedNumber(uint32_t low, uint32_t high, std::ostream& out);

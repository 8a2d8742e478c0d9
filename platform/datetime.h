// Calendar dates without the clock: the broken-down local time the clock service returns, and
// day counts for date arithmetic.
#pragma once

namespace zarn::platform {

// Local date and time, broken down.
struct DateTime {
  int year = 2000, month = 1, day = 1;  // month 1..12
  int hour = 0, minute = 0, second = 0;
  double fraction = 0;  // of the second
};

// Days since 1 January 1970 of a (proleptic Gregorian) date, and back.
long daysfromcivil(int year, int month, int day);
void civilfromdays(long days, int& year, int& month, int& day);

}  // namespace zarn::platform

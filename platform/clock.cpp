#include <chrono>
#include <cmath>
#include <ctime>

#include "platform/fakes.h"
#include "platform/services.h"

namespace zarn::platform {

float Clock::timer() const {
  const DateTime t = now();
  return static_cast<float>(t.hour * 3600 + t.minute * 60 + t.second + t.fraction);
}

DateTime SystemClock::now() const {
  using namespace std::chrono;
  const auto tp = system_clock::now();
  const std::time_t tt = system_clock::to_time_t(tp);
  std::tm lt{};
  localtime_r(&tt, &lt);
  const auto us = duration_cast<microseconds>(tp.time_since_epoch()).count() % 1000000;
  return DateTime{lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday, lt.tm_hour, lt.tm_min, lt.tm_sec,
                  static_cast<double>(us) / 1e6};
}

long daysfromcivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
void civilfromdays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

void FakeClock::settimer(double s) {
  const double whole = std::floor(s);
  const long secs = static_cast<long>(whole);
  t_.hour = static_cast<int>(secs / 3600);
  t_.minute = static_cast<int>(secs / 60 % 60);
  t_.second = static_cast<int>(secs % 60);
  t_.fraction = s - whole;
}

void FakeClock::advance(double seconds) {
  double s = t_.hour * 3600.0 + t_.minute * 60.0 + t_.second + t_.fraction + seconds;
  long days = daysfromcivil(t_.year, t_.month, t_.day);
  const double dayshift = std::floor(s / 86400.0);
  days += static_cast<long>(dayshift);
  s -= dayshift * 86400.0;
  civilfromdays(days, t_.year, t_.month, t_.day);
  settimer(s);
}

}  // namespace zarn::platform

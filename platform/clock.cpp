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

#include "navigation/tripmeter.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "navigation/destinations.h"
#include "navigation/iform.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

// A result that overflowed single precision is not taken: the statement is skipped and the
// value keeps what it had, so that no read-out ever shows "Inf" or "NaN".
bool store(float& to, double v) {
  if (!std::isfinite(v) || std::fabs(v) > 3.4028234663852886e38) return false;
  to = static_cast<float>(v);
  return true;
}

// A number as a caption shows it: no blanks, a zero before the point ("0.34", "12.5", "3").
std::string plain(float v) {
  std::string s = text::trim(text::str(v));
  if (s.starts_with(".")) s.insert(0, "0");
  if (s.starts_with("-.")) s.insert(1, "0");
  return s;
}

// A distance cut (not rounded) to hundredths, on the digits the value shows: 2.1 stays "2.1"
// although the nearest single is a little below it.
std::string hundredths(float v) {
  std::string s = plain(v);
  if (const auto e = s.find('E'); e != std::string::npos) return s[e + 1] == '-' ? "0" : s;
  if (const auto p = s.find('.'); p != std::string::npos) {
    s.erase(std::min(s.size(), p + 3));
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

// "hh:mm" of the clock's date and time t seconds on; nothing past the calendar's last day.
bool clockafter(const platform::DateTime& now, float t, std::string& out) {
  const double secs = now.hour * 3600.0 + now.minute * 60.0 + now.second + static_cast<double>(t);
  const double days = static_cast<double>(platform::daysfromcivil(now.year, now.month, now.day)) + secs / 86400;
  if (!std::isfinite(secs) || days > static_cast<double>(platform::daysfromcivil(9999, 12, 31)) + 1) return false;
  // Rounded to the second first, as a date turned into text is.
  const long long s = std::llround(secs) % 86400;
  const long long h = s / 3600, m = s % 3600 / 60;
  out = {static_cast<char>('0' + h / 10), static_cast<char>('0' + h % 10), ':', static_cast<char>('0' + m / 10),
         static_cast<char>('0' + m % 10)};
  return true;
}

}  // namespace

void tripmeter(App& app) {
  NavState& n = app.nav;
  const MainState& m = app.main;
  IForm& f = instruments(app);
  const float spd = app.gps.ownspd;
  const float now = app.timer();
  float dt = elapsed(now, n.triptimer);
  if (dt >= 5) {
    n.triptimer = now;
    if (dt > 100) dt = 0;  // a gap in the fixes adds nothing: the speed over it is unknown
    store(n.tripkm, n.tripkm + spd * dt / 3600);
    store(n.tripmiles, n.tripkm / 1.61);
    store(n.tripnm, n.tripmiles / 1.15);
    float v = m.metric != 0 ? n.tripkm : n.tripmiles;
    if (m.nautical == 1) v = n.tripnm;
    f.miletacho.set(hundredths(v));
  }
  if (n.nodest > 0) {
    f.timetil.set("?");
    f.etalab.set("?");
    return;
  }
  if (spd < 10) {
    // Too slow to say: the last estimates, marked as stale.
    f.timetil.set(n.timetogo + "?");
    f.etalab.set(n.etaclock + "?");
    return;
  }
  float t = 0;
  store(t, 3600.0 * n.destdist / spd);
  if (t < 120) t -= 3;  // the last stretch is quicker than the average speed says
  if (t < 0) t = 0;
  if (m.platformkind == 0) store(t, t * 1.2);  // a car's way is longer than the line to it
  if (t < 60)
    n.timetogo = plain(std::floor(t)) + "s";
  else if (t < 3600)
    n.timetogo = plain(std::floor(t / 6) / 10) + "m";
  else
    n.timetogo = plain(std::floor(t / 360) / 10) + "h";
  f.timetil.set(n.timetogo);
  clockafter(app.sys.clock->now(), t, n.etaclock);
  f.etalab.set(n.etaclock);
}

void tripupdate(App& app) {
  tripmeter(app);
  showdestdist(app);
  updateinstr(app);
}

void resettrip(NavState& n, IForm& f, float now) {
  n.tripkm = n.tripmiles = n.tripnm = 0;
  n.triptimer = now;
  f.miletacho.set("");
}

}  // namespace zarn

#include "navigation/rgifiles.h"

#include <cmath>
#include <limits>

#include "app/app.h"
#include "platform/textrules.h"

namespace zarn {

namespace {

// A whole number of degrees as a numeric field reads it; what does not fit is 0.
int degrees(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 32767) return 0;
  return text::cint(v);
}

}  // namespace

bool readrgirecord(platform::InputFile& f, RgiRecord& rec) {
  if (f.eof()) return false;
  rec.pos = f.field();
  if (rec.pos == "END") return false;
  std::string field[5];
  for (auto& x : field) {
    if (f.eof()) return false;
    x = f.field();
  }
  if (f.eof()) return false;  // no message line: the record is cut short
  const double radius = text::val(field[0]);
  rec.radius = std::isfinite(radius) && std::fabs(radius) < std::numeric_limits<float>::max()
                   ? static_cast<float>(radius) : 0.0f;
  rec.dir = degrees(text::val(field[1]));
  rec.tol = degrees(text::val(field[2]));
  rec.wav = std::move(field[3]);
  rec.sign = std::move(field[4]);
  rec.msg = f.lineinput();
  return rec.msg != "END";
}

void readrgb(App& app) { (void)app; }
void loadrgi(App& app) { (void)app; }
void savergi(App& app) { (void)app; }

}  // namespace zarn

#include "navigation/warnings.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {

// The next field as a number; nothing when it is empty or does not begin with one.
std::optional<double> numberfield(platform::InputFile& f) {
  const std::string item = f.field();
  if (item.empty() || !text::isnumber(item)) return std::nullopt;
  return text::val(item);
}

// One record of SPEEDWAR.CFG; numbers false when one of its numbers does not read.
struct SpeedRecord {
  float threshold = 0, interval = 0;
  int place = 0;
  std::string wav, msg;
  bool numbers = false;
};

// The next record; nothing when the file ends before its five values.
std::optional<SpeedRecord> readspeedrecord(platform::InputFile& f) {
  SpeedRecord r;
  std::array<std::optional<double>, 3> num;
  for (auto& v : num) {
    if (f.eof()) return std::nullopt;
    v = numberfield(f);
  }
  if (f.eof()) return std::nullopt;
  r.wav = f.field();
  if (f.eof()) return std::nullopt;
  r.msg = f.field();
  r.numbers = num[0] && num[1] && num[2];
  if (r.numbers) {
    r.threshold = static_cast<float>(*num[0]);
    r.interval = static_cast<float>(*num[1]);
    r.place = text::fixint(*num[2]);
  }
  return r;
}

// The text between the first two marks c, empty when there are not two.
std::string between(const std::string& s, char c) {
  const auto a = s.find(c);
  if (a == std::string::npos) return {};
  const auto b = s.find(c, a + 1);
  if (b == std::string::npos) return {};
  return s.substr(a + 1, b - a - 1);
}

// The watch radius of a place text (km): the metres between its first two "^", 0.3 when
// there is nothing between them or only one; a text without "^" is not watched (nothing).
std::optional<float> zoiradius(const std::string& t) {
  const auto a = t.find('^');
  if (a == std::string::npos) return std::nullopt;
  const auto b = t.find('^', a + 1);
  if (b == std::string::npos || b < a + 2) return 0.3f;
  return static_cast<float>(text::val(t.substr(a + 1, b - a - 1)) / 1000);
}

// The name the reports give a place: its category's name (the code itself when ZARN.CAT has
// no such category), with the proper name in double quotes after it; a landmark ("L") says
// its proper name alone, or the category when it has none.
std::string zoireportname(const MainState& m, const std::string& cat, const std::string& placetext) {
  const std::string code = text::ucase(cat);
  std::string name = code;
  for (int i = 1; i <= std::min(m.catcount, MainState::catmax); ++i)
    if (m.catcode[static_cast<std::size_t>(i)] == code) name = m.catname[static_cast<std::size_t>(i)];
  const std::string proper = between(placetext, '#');
  if (proper.empty()) return name;
  if (code == "L") return proper;
  return name + " \"" + proper + "\"";
}

// Shows, logs and speaks one report: "Near " or "Leaving " and the watched place's name.
void zoireport(App& app, const std::string& what, const std::string& wav) {
  const platform::DateTime d = app.sys.clock->now();
  std::string grid;
  gridreftext(app.geo, app.gps.ownx, app.gps.owny, grid);
  const std::string line = text::datetext(d) + " " + text::timetext(d) + " " + grid + " " + what + app.nav.zoiname;
  showmsg(app.voice, line);
  if (auto log = platform::OutputFile::open(app.files, "ZARN.LOG", platform::OutputFile::Mode::Append))
    log->print(line);
  queuewav(app.voice, wav);
  speakqueue(app.voice);
}

}  // namespace

void speedwarn(NavState& n, const GpsState& g, Voice& v) {
  if (n.speedwarnon < 1) return;
  if (g.ownspd < n.speedprev) {
    n.speedprev = g.ownspd;
    return;
  }
  if (auto f = platform::InputFile::open(v.files, "SPEEDWAR.CFG")) {
    const std::optional<double> count = numberfield(*f);
    for (int i = 0; count && i < *count; ++i) {
      const std::optional<SpeedRecord> r = readspeedrecord(*f);
      if (!r) break;             // the file ends short of its count
      if (!r->numbers) continue;  // a damaged record
      const float now = v.timer();
      if (g.ownspd >= r->threshold && elapsed(now, n.speedwarned) > r->interval) {
        n.speedwarned = now;
        if (r->place == 0 || r->place == v.speech.placefound) saynow(v, r->msg, r->wav);
      }
    }
  }
  n.speedprev = g.ownspd;
}

void zoicheck(App& app) {
  NavState& n = app.nav;
  const GpsState& g = app.gps;
  const SpeechState& s = app.speech;
  if (n.zoilogon != 1 || (g.rxseen != 1 && n.zoitest != 1)) return;

  const std::size_t count = std::min({static_cast<std::size_t>(std::max<int>(s.geocount, 0)), s.geotext.size(),
                                      s.geocat.size(), s.geox.size(), s.geoy.size()});
  std::optional<std::size_t> found;
  float foundradius = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::optional<float> r = zoiradius(s.geotext[i]);
    if (!r) continue;
    const float dx = g.ownx - s.geox[i], dy = g.owny - s.geoy[i];
    if (dx * dx + dy * dy < *r * *r) {
      found = i;
      foundradius = *r;
    }
  }

  if (found && n.zoiinside == 0) {
    n.zoiinside = 1;
    n.zoix = s.geox[*found];
    n.zoiy = s.geoy[*found];
    n.zoiradius = foundradius;
    n.zoiname = zoireportname(app.main, s.geocat[*found], s.geotext[*found]);
    zoireport(app, "Near ", "nearzoi.wav");
  } else if (n.zoiinside == 1) {
    const float dx = g.ownx - n.zoix, dy = g.owny - n.zoiy;
    if (dx * dx + dy * dy > n.zoiradius * n.zoiradius) {
      n.zoiinside = 0;
      zoireport(app, "Leaving ", "leavezoi.wav");
    }
  }
}

}  // namespace zarn

#include "navigation/rgifiles.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/gpsstate.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/voice.h"

namespace zarn {

namespace {

// A whole number of degrees as a numeric field reads it; what does not fit is 0.
int degrees(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 32767) return 0;
  return text::cint(v);
}

// The fields of an index entry are little-endian whatever the machine.
std::uint32_t le32(const char* p) {
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = v << 8 | static_cast<unsigned char>(p[k]);
  return v;
}

// The trace line on the main window, written as each load starts and ends. The model is only
// marked for repainting: letting events run here could start another load in the middle of
// this one.
void showtrace(ui::Label& t, const std::string& text, ui::Colour colour) {
  t.set(text);
  t.backcolor = colour;
  if (t.form) t.form->touch();
}

// Stores the record when it stands within 0.5 km of the car (0.5 itself included).
void keepnear(NavState& n, GeoState& geo, const OwnFix& fix, RgiRecord& rec) {
  float x = 0, y = 0;
  parsepos(geo, rec.pos, x, y);
  float d = 0;
  int brg = 0;
  distbearing(geo, fix.ownx, fix.owny, x, y, d, brg);
  if (d > 0.5f) return;
  rec.at = framepoint(geo, x, y);
  n.rgirec[static_cast<std::size_t>(++n.rgicount)] = std::move(rec);
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

void readrgb(NavState& n, Voice& v, GeoState& geo, const OwnFix& fix, ui::Label& trace) {
  n.rgiindexed = 0;
  n.rgicell.clear();
  n.rgiplain.reset();
  std::string why;
  if (!n.rgifile.empty() && !v.files.exists(n.rgifile)) {
    n.rgiexists = 0;
  } else if (!n.rgifile.empty() && !(why = v.files.refusal(n.rgifile, platform::Files::datalimit)).empty()) {
    // There but unreadable: said once with the reason, and the trace keeps it, instead of a
    // load of nothing every 0.3 km.
    n.rgiexists = 0;
    showmsgsay(v, why);
    showtrace(trace, why, ui::red);
  } else if (!n.rgifile.empty()) {
    n.rgiexists = 1;
    showmsgsay(v, "reading Route Guidance Instructions ...");
    n.rgbfile = text::left(n.rgifile, static_cast<long>(n.rgifile.size()) - 4) + ".RGB";
    // An index that cannot be read is as good as none: the plain load reads every record.
    if (const auto idx = v.files.read(n.rgbfile, platform::Files::datalimit)) {
      n.rgiindexed = 1;
      // Whole entries only: a cut last entry would hold bytes from beyond the file.
      const std::size_t count = std::min<std::size_t>(idx->size() / 12, NavState::rgicellmax);
      n.rgicell.resize(count);
      for (std::size_t i = 0; i < count; ++i) {
        const char* p = idx->data() + 12 * i;
        n.rgicell[i] = {std::bit_cast<float>(le32(p)), std::bit_cast<float>(le32(p + 4)),
                        static_cast<std::int32_t>(le32(p + 8))};
      }
      n.rgicells = static_cast<int>(count);
    }
  }
  n.rgicount = 0;
  n.rgilasttext.clear();
  n.rgilastidx = -2;
  n.rgiloadx = fix.ownx + 2;  // 2 km away: the load below runs
  n.rgiloady = fix.owny + 2;
  loadrgi(n, v, geo, fix, trace);
}

void loadrgi(NavState& n, Voice& v, GeoState& geo, const OwnFix& fix, ui::Label& trace) {
  const OwnFix& g = fix;
  const float start = v.timer();
  float d = 0;
  int brg = 0;
  distbearing(geo, g.ownx, g.owny, n.rgiloadx, n.rgiloady, d, brg);
  if (d < 0.5f - 0.2f) return;  // exactly 0.3 km reloads
  n.rgiloadx = g.ownx;
  n.rgiloady = g.owny;
  n.rgicount = 0;
  if (n.rgiexists < 1) return;

  // A file that cannot be read loads nothing, and the trace says so. One without an index is read
  // once, and again when it has changed since (records added on the way); one gone since loads
  // nothing, as every load replaces the whole store.
  const auto stamp = n.rgiindexed == 0 ? v.files.stamp(n.rgifile) : std::nullopt;
  const bool kept = n.rgiindexed == 0 && n.rgiplain && stamp && stamp == n.rgiplain->stamp;
  auto opened = kept ? std::nullopt : platform::InputFile::open(v.files, n.rgifile, platform::Files::datalimit);
  platform::InputFile f = opened ? std::move(*opened) : platform::InputFile{};
  if (n.rgiindexed == 0) {
    showtrace(trace, "loading RGI data...", ui::white);
    // Read once: where every record stands is noted, and a later load reads again only the
    // records that stand near the car, from the text kept.
    RgiPlain scanned;
    if (!kept) {
      scanned.text = std::move(f);
      scanned.stamp = stamp;
      RgiRecord rec;
      for (;;) {
        const std::size_t at = scanned.text.position();
        if (scanned.text.eof() || !readrgirecord(scanned.text, rec)) break;
        float x = 0, y = 0;
        parsepos(geo, rec.pos, x, y);
        scanned.spots.push_back({x, y, at});
      }
      // One that could not be read, or is there no more, is tried again at the next load.
      if (opened) n.rgiplain = std::move(scanned);
      else n.rgiplain.reset();
    }
    RgiPlain& plain = n.rgiplain ? *n.rgiplain : scanned;
    // A box well round the 0.5 km circle; keepnear measures the distance itself.
    constexpr float box = 2;
    n.rgicells = 0;
    for (const RgiPlain::Spot& s : plain.spots) {
      if (n.rgicount >= NavState::rgimax) break;  // a full store takes no more
      ++n.rgicells;
      if (!(std::fabs(s.x - g.ownx) <= box && std::fabs(s.y - g.owny) <= box)) continue;
      plain.text.seek(s.at);
      RgiRecord rec;
      if (readrgirecord(plain.text, rec)) keepnear(n, geo, fix, rec);
    }
  } else {
    showtrace(trace, "loading RGB+RGI data of " + platform::writeitem(static_cast<long>(n.rgicell.size())), ui::white);
    // The entries within the latitude and longitude of a point 0.5 km east and north of the car.
    float lat0 = 0, lon0 = 0, lat1 = 0, lon1 = 0;
    osgbtoll(geo, g.ownx, g.owny, lat0, lon0);
    osgbtoll(geo, g.ownx + 0.5f, g.owny + 0.5f, lat1, lon1);
    const float dlat = std::fabs(lat1 - lat0), dlon = std::fabs(lon1 - lon0);
    for (const RgiCell& c : n.rgicell) {
      if (n.rgicount >= NavState::rgimax) break;  // a full store takes no more
      if (!(std::fabs(c.lat - lat0) <= dlat && std::fabs(c.lon - lon0) <= dlon)) continue;
      // A stale index may point anywhere: outside the file nothing is read, inside it whatever
      // stands there, which is stored only if it reads as a record near the car.
      if (c.pos < 1 || static_cast<std::size_t>(c.pos) > f.size()) continue;
      f.seek(static_cast<std::size_t>(c.pos) - 1);
      RgiRecord rec;
      if (readrgirecord(f, rec)) keepnear(n, geo, fix, rec);
    }
  }
  const float t = static_cast<float>(text::fix(elapsed(v.timer(), start) * 10) / 10);
  showtrace(trace,
        platform::writeitem(n.rgicount) + " RGI loaded in" + platform::writeitem(t) + " secs from" +
            platform::writeitem(n.rgicells) + " in " + n.rgifile,
        ui::green);
}

void savergi(const NavState& n, const platform::Files& files) {
  auto f = platform::OutputFile::open(files, "RGI.TXT", platform::OutputFile::Mode::Output);
  if (!f) return;
  f->print(text::str(n.rgicount) + " ");
  for (int i = 1; i <= n.rgicount; ++i) {
    const RgiRecord& r = n.rgirec[static_cast<std::size_t>(i)];
    using platform::writeitem;
    f->print(r.pos + writeitem(r.radius) + writeitem(r.dir) + writeitem(r.tol) + " " + r.wav + " " + r.sign);
    f->print("    " + r.msg);
  }
  f->close();
}

}  // namespace zarn

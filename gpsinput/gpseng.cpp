#include "gpsinput/gpseng.h"

#include <algorithm>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "platform/textrules.h"

namespace zarn {

GpsEngForm::GpsEngForm() : ui::Form(formname) {
  caption = "GPS Engineering Information";
  for (auto [l, nm] : {std::pair{&callsgn, "callsgn"}, {&dfjr, "dfjr"}})
    add(*l, nm);
  add(s, "s");
  for (auto [l, nm] : {std::pair{&gpgga, "gpgga"}, {&gprmc, "gprmc"}, {&velavail, "velavail"},
                       {&chk, "chk"}, {&tit, "tit"}, {&sat, "sat"}, {&gpgsv, "gpgsv"},
                       {&gpvtg, "gpvtg"}, {&gpgll, "gpgll"}, {&data, "data"}, {&com, "com"}})
    add(*l, nm);
  gpgga.caption = "no GPGGA";
  gprmc.caption = "no GPRMC";
  gpgsv.caption = "no GPGSV";
  gpvtg.caption = "no GPVTG";
  gpgll.caption = "no GPGLL";
  chk.caption = "Checksums:";
  sat.caption = "No data about satellites being tracked";
  data.caption = "No Data received yet.";
}

namespace {

// A GSV sentence into the satellite table: four satellites per message, the message number
// placing them; slots beyond the table are not stored.
void gsvtable(GpsState& g, const std::string& line) {
  long pos = 8;
  nextfield(line, pos);  // number of messages
  const double m = text::val(nextfield(line, pos));
  g.satsview = text::int16(text::val(nextfield(line, pos)));
  const long commas = static_cast<long>(std::count(line.begin(), line.end(), ','));
  const long count = (commas - 3) / 4;
  pos = 8;
  for (int i = 0; i < 3; ++i) nextfield(line, pos);
  auto pad = [](std::string t, std::size_t w) {
    if (t.size() < w) t.resize(w, ' ');
    return t;
  };
  for (long k = 1; k <= count; ++k) {
    std::string prn = pad(nextfield(line, pos), 4);
    std::string elev = pad(nextfield(line, pos), 5);
    std::string azim = pad(nextfield(line, pos), 4);
    std::string snr = pad(nextfield(line, pos), 4);
    if (snr == "    ") snr = "-   ";
    // A message number beyond the table (9 and up), or more satellites than a message holds,
    // must not reach past the last slot.
    const double slot = static_cast<double>(k) + (m - 1) * 4;
    if (slot < 1 || slot > GpsState::satmax) continue;
    const int sl = static_cast<int>(slot);
    if (sl != slot) continue;
    g.satprn[sl] = std::move(prn);
    g.satelev[sl] = std::move(elev);
    g.satazim[sl] = std::move(azim);
    g.satsnr[sl] = std::move(snr);
    if (sl > g.satidx) g.satidx = sl;
  }
}

}  // namespace

void gpsengupdate(GpsState& gps, GpsEngForm& eng, const std::string& line, const std::string& type,
                  const std::string& got, const std::string& calc) {
  if (type == "GSV") gsvtable(gps, line);
  // TODO: the window's texts for this line (last line, checksum result, last sentence of each
  // type, velocity and the satellite lines with their directions) and its refresh.
  (void)eng;
  (void)got;
  (void)calc;
}

}  // namespace zarn

#include "gpsinput/gpseng.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "platform/textrules.h"
#include "speech/phrases.h"

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

  width = 520;
  height = 456;
  callsgn.move(8, 8, 250, 16);
  dfjr.move(262, 8, 250, 16);
  sat.move(8, 28, 300, 16);
  velavail.move(312, 28, 200, 16);
  tit.move(8, 48, 504, 16);
  tit.visible = false;
  // One satellite a line, in columns.
  for (int i = 0; i < 16; ++i) {
    ui::Label& l = s.load(i);
    l.move(8, 66 + 16 * i, 504, 16);
    l.font.fixedpitch = true;
    l.visible = false;
  }
  tit.font.fixedpitch = true;
  // The last sentence of each kind, the checksum, the port expected and the last line, each on
  // a line of its own across the window: the port's name and the checksums take most of it.
  int y = 324;
  for (ui::Label* l : {&gpgga, &gprmc, &gpgsv, &gpvtg, &gpgll, &chk, &com, &data}) {
    l->move(8, y, 504, 16);
    y += 16;
  }
  for (ui::Control* c : controls())
    if (auto* l = dynamic_cast<ui::Label*>(c)) l->transparent = true;
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

void gpsengupdate(const Voice& voice, GpsState& gps, GpsEngForm& eng, const std::string& line,
                  const std::string& type, const std::string& got, const std::string& calc) {
  if (type == "GSV") gsvtable(gps, line);
  const std::size_t cr = line.find('\r');
  eng.data.set(line.substr(0, std::min<std::size_t>(cr, 70)));
  eng.chk.set("message checksum = " + got + (got == calc ? " OK" : " <> calculated " + calc));
  if (line.starts_with("%")) {
    eng.dfjr.set("DFjr message = " + line);
  } else {
    for (auto [t, l] : {std::pair{"RMC", &eng.gprmc}, {"GGA", &eng.gpgga}, {"GLL", &eng.gpgll},
                        {"VTG", &eng.gpvtg}, {"GSV", &eng.gpgsv}})
      if (text::mid(line, 4, 3) == t) l->set(std::string(t) + " = " + line);
  }
  if (gps.satsview == 0) {
    eng.sat.set("No data about satellites being tracked.");
    eng.tit.visible = false;
  } else {
    eng.sat.set(text::str(gps.satsview) + " satellites being tracked.");
    const bool novel = gps.velflag == 1;
    eng.velavail.set(novel ? "No Velocity Available" : "Velocity is Available");
    eng.velavail.forecolor = novel ? ui::red : ui::black;
    eng.tit.set("Sat   Elev   Azi   Signal");
    eng.tit.visible = true;
    const int shown = std::min(gps.satidx, 16);
    for (int k = 1; k <= shown; ++k) {
      const auto sl = static_cast<std::size_t>(k);
      const int a = static_cast<int>(std::lround(text::val(gps.satazim[sl])));
      std::string compass;
      compasstext(a, compass);
      std::string phrase;
      if (gps.ownhdg != -1) {
        int clock = static_cast<int>(std::floor((a - gps.ownhdg + 15) / 30.0));
        while (clock < 1) clock += 12;
        std::string diritem, clockitem;
        clockphrase(voice, clock, phrase, diritem, clockitem);
      }
      const char* height = text::val(gps.satelev[sl]) > 45 ? " high" : " low";
      ui::Label& s = eng.s.load(k - 1);
      s.set(gps.satprn[sl] + "   " + gps.satelev[sl] + "   " + gps.satazim[sl] + "   " + gps.satsnr[sl] + "   " +
            compass + " " + phrase + height);
      s.visible = true;
    }
    for (int k = std::max(gps.satidx, 0); k < 16; ++k)
      if (ui::Label* s = eng.s.find(k)) s->visible = false;
  }
  eng.touch();
}

}  // namespace zarn

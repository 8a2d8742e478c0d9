#include "vehicles/datatrak.h"

#include <array>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/logs.h"
#include "mainwindow/smallservices.h"
#include "navigation/gridref6.h"
#include "platform/textrules.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"
#include "vehicles/vehicledraw.h"

namespace zarn {

namespace {

bool isdig(char c) { return c >= '0' && c <= '9'; }
bool isalnumeric(char c) { return isdig(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

long digits(std::string_view s) {
  long v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
}

std::string two(int v) { return text::format(v, "00"); }

// Everything after the decoding, the same for both forms: the table row, the plot, the log line
// and where it goes. The raw start of the line goes with it when all data are logged: 29
// characters of a text line, the 12 of a binary one.
void reporttail(App& app, const std::string& line, const DatatrakReport& r, bool binary) {
  auto& v = app.veh;
  auto& g = app.gps;
  const int i = findvehicle(app, r.id);
  const auto k = static_cast<std::size_t>(i);
  // 0: a unit the table does not take (new units refused, or no room): the report is dropped.
  if (i <= 0 || k >= v.mvhdg.size() || k >= v.mvloc.size()) return;
  v.mvcur = i;
  ++v.mvdecoded;
  v.mvhdg[k] = r.heading;
  v.mvspd[k] = static_cast<float>(r.speed);
  const float x = static_cast<float>(r.east) / datatrakstep, y = static_cast<float>(r.north) / datatrakstep;
  v.rptx = x;
  v.rpty = y;
  float lat = 0, lon = 0;
  osgbtoll(app.geo, x, y, lat, lon);
  if (v.mvstat[k].empty()) v.mvstat[k] = "   ";
  const platform::DateTime t = app.sys.clock->now();
  v.mvhhmm[k] = two(t.hour) + two(t.minute);
  v.mvtimer[k] = app.timer();
  // The place is the short grid reference; set before the plot so that the row shows it.
  std::string grid;
  gridreftext(app.geo, x, y, grid);
  gridref6(grid, v.mvloc[k]);
  plotvehicle(app, i, lat, lon);
  drawvehicle(app, i);
  const std::string log = "LOG: " + text::timetext(t) + " " + text::datetext(t) + " from " +
                          text::rtrim(v.mvlabel[k]) + " at " + v.mvloc[k] + " " + grid;
  app.win.get<MvEngForm>().logline.set(log);
  const std::string raw = line.substr(0, binary ? 12 : 29);
  if (g.logopen == 1 && (binary || g.rawlog == 0)) {
    if (g.logall == 1) writetriplog(app, raw);
    writetriplog(app, log);
  }
  if (g.printon == 1) {
    std::array<std::string, 3> lines{"", binary ? raw : raw + " ~", binary ? log + " `" : log};
    // A printer that fails switches printing off: the rest of the report is not tried.
    for (std::size_t n = g.logall == 1 ? 0 : 2; n < lines.size() && g.printon == 1; ++n) printline(app, lines[n]);
  }
}

}  // namespace

std::optional<DatatrakReport> datatraktext(std::string_view line) {
  // A line cut short or with a stray character would put the unit at the frame's origin.
  if (line.size() < 26 || line[0] != '~' || !isalnumeric(line[24])) return std::nullopt;
  for (std::size_t c = 1; c < 24; ++c)
    if (!isdig(line[c])) return std::nullopt;
  DatatrakReport r;
  r.id = std::string(1, line[24]) + std::string(line.substr(1, 5));
  r.heading = static_cast<int>(digits(line.substr(9, 1))) * 45;
  r.speed = static_cast<int>(digits(line.substr(10, 2))) * 5;
  r.east = digits(line.substr(12, 6));
  r.north = digits(line.substr(18, 6));
  return r;
}

std::optional<DatatrakReport> datatrakbin(std::string_view line) {
  if (line.size() < 11 || line[0] != '`') return std::nullopt;
  // b[1..10] are the record's bytes. The unit is b9's high half (0..15) written in front of
  // b1 b2 (0..65535) in decimal; b4 holds heading code (bits 4-6) and speed code (bits 0-3);
  // b5 b6 and the top two bits of b7 the easting (18 bits), the rest of b7 and b8 the northing
  // (14 bits). b3, bit 7 of b4, b9's low half and b10 carry nothing.
  std::array<long, 11> b{};
  for (std::size_t n = 1; n <= 10; ++n) b[n] = static_cast<unsigned char>(line[n]);
  DatatrakReport r;
  r.id = std::to_string(b[9] >> 4) + std::to_string(b[1] * 256 + b[2]);
  r.heading = static_cast<int>((b[4] & 0x70) >> 4) * 45;
  r.speed = static_cast<int>(b[4] & 0x0F) * 5;
  r.east = (b[5] * 256 + b[6]) * 4 + (b[7] & 0xC0) / 64;
  r.north = (b[7] & 0x3F) * 256 + b[8];
  return r;
}

void mvdecode(App& app, const std::string& line) {
  if (const auto r = datatraktext(line)) reporttail(app, line, *r, false);
}

void mvdecodebin(App& app, const std::string& line) {
  if (const auto r = datatrakbin(line)) reporttail(app, line, *r, true);
}

}  // namespace zarn

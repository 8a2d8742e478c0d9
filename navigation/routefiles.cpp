#include "navigation/routefiles.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mapdisplay/overlays.h"
#include "navigation/waypoints.h"
#include "navigation/wpform.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

namespace {

std::size_t slot(int i) { return static_cast<std::size_t>(i); }

// A waypoint's position text and radius (km) from its text field: the radius follows the first
// "*R" in metres (no number there reads as 0); a text without one gets the default radius.
void waypointline(std::string t, std::string& pos, float& radius) {
  radius = NavState::wpradiusdefault;
  if (const auto p = t.find("*R"); p != std::string::npos) {
    radius = static_cast<float>(text::val(std::string_view(t).substr(p + 2)) / 1000);
    t.resize(p);
  }
  pos = text::trim(t);
}

// Degrees and hundredths of minutes, rounded as a whole (2.99999 degrees is 3 degrees 00.00'),
// then the side: a value that rounds to nought is north or east, so that it reads back the same.
std::string dm(float v, int degdigits, char pos, char neg) {
  const long long h = std::llround(std::fabs(static_cast<double>(v)) * 6000);
  const std::string deg = std::to_string(h / 6000);
  const long long rem = h % 6000;
  const auto two = [](long long x) { return std::string{static_cast<char>('0' + x / 10), static_cast<char>('0' + x % 10)}; };
  return std::string(static_cast<std::size_t>(std::max<long>(0, degdigits - static_cast<long>(deg.size()))), '0') + deg +
         two(rem / 100) + two(rem % 100) + (v < 0 && h > 0 ? neg : pos);
}

}  // namespace

std::string llcompactnear(float lat, float lon) {
  return dm(lat, 2, 'N', 'S') + dm(lon, 3, 'E', 'W');
}

bool readroute(App& app, const std::string& name) {
  NavState& n = app.nav;
  std::string why;
  std::optional<std::vector<std::string>> read = app.files.readlines(name, platform::Files::smalllimit, &why);
  if (!read) {
    app.sys.wav->beep();
    // A missing route is only the beep; one that is there but cannot be read is named.
    if (!why.empty()) showmsg(app.voice, why);
    return false;
  }
  std::vector<std::string>& lines = *read;
  // The waypoint lines and how many waypoints the file says it holds.
  std::vector<std::string> wplines;
  double said = 0;
  const bool countline = lines.empty() || text::trim(lines[0]).size() <= 5;
  if (!countline) {
    const auto blank = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return text::trim(l).empty(); });
    wplines.assign(lines.begin(), blank);
    said = static_cast<double>(wplines.size());
  } else {
    if (!lines.empty()) said = std::nearbyint(text::val(lines[0]));
    if (!lines.empty()) wplines.assign(lines.begin() + 1, lines.end());
    // The count decides, as far as the lines go.
    const double want = std::clamp(said, 0.0, static_cast<double>(NavState::wpmax));
    if (wplines.size() > want) wplines.resize(static_cast<std::size_t>(want));
  }
  if (wplines.size() > static_cast<std::size_t>(NavState::wpmax)) wplines.resize(NavState::wpmax);
  const int count = static_cast<int>(wplines.size());
  if (said != count) app.sys.wav->beep();  // waypoints the file names are not all loaded

  // The lines count the waypoints, but each is a text field: a comma ends one and starts the
  // next, which then comes before the next line's.
  std::string fields;
  for (std::size_t i = countline ? 1 : 0; i < lines.size(); ++i) fields += lines[i] + "\r\n";
  platform::InputFile in(std::move(fields));
  for (int k = 1; k <= count; ++k) {
    std::string pos;
    waypointline(in.field(), pos, n.wpradius[slot(k)]);
    parsepos(app.geo, pos, n.wpx[slot(k)], n.wpy[slot(k)]);
    n.wpicon[slot(k)] = n.wpdefaulticon;
  }
  n.wpcount = count;
  n.legx[0] = n.wpx[1];
  n.legy[0] = n.wpy[1];
  for (int j = 1; j < count; ++j) {
    n.legx[slot(j)] = n.wpx[slot(j + 1)];
    n.legy[slot(j)] = n.wpy[slot(j + 1)];
  }
  n.legcount = std::max(count - 1, 0);
  showwpcount(app);
  resetwpicons(app);
  n.routeshown = 1;
  drawwproute(app);
  return true;
}

bool routeon(App& app) {
  NavState& n = app.nav;
  if (n.wpcount < 1) {
    app.sys.wav->beep();
    n.wpfollowon = 0;
    setfollowcaption(app);
    return false;
  }
  n.wpfollowon = 1;
  setfollowcaption(app);
  n.curwp = 1;
  resetwpicons(app);
  steertowp(app, 1);
  return true;
}

bool writeroute(App& app, const std::string& name) {
  const NavState& n = app.nav;
  const int count = std::clamp(n.wpcount, 0, NavState::wpmax);
  std::vector<std::string> lines{text::str(count) + " "};
  for (int k = 1; k <= count; ++k) {
    float lat = 0, lon = 0;
    osgbtoll(app.geo, n.wpx[slot(k)], n.wpy[slot(k)], lat, lon);
    // Whole tens of metres; the small step keeps a radius held just below one (0.12 km as a
    // single) from losing ten metres on every save.
    const double metres = std::floor(static_cast<double>(n.wpradius[slot(k)]) * 100 + 1e-4) * 10;
    lines.push_back(llcompactnear(lat, lon) + " *R" + std::to_string(text::fixint(metres)));
  }
  std::string error;
  if (app.files.writelines(name, lines, &error)) return true;
  app.sys.wav->beep();
  showmsgsay(app.voice, "Route not saved: " + error);
  return false;
}

}  // namespace zarn

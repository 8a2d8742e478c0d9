#include "mainwindow/posreadouts.h"

#include <string>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/ownfix.h"
#include "mainwindow/tick.h"
#include "navigation/gridref6.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/position.h"
#include "speech/queue.h"
#include "speech/reports.h"

namespace zarn {

namespace {

// Converted, the no-position value would be read out as a place in the sea: say there is none.
bool saynoposition(App& app) {
  if (!noposition(app.gps)) return false;
  saytext(app.voice, "No position yet");
  return true;
}

// A number text with its leading zeros taken off, as saynumber wants it: "002" would be
// spoken "and 2".
std::string plain(const std::string& digits) { return std::to_string(static_cast<int>(text::val(digits))); }

// One half of the compact text: degrees and whole minutes as numbers, the two decimals digit
// by digit, then the hemisphere.
void sayangle(App& app, const std::string& deg, const std::string& mins, char hemi, const char* plus,
              const char* minus, char pluschar) {
  saynumber(app.voice, plain(deg));
  queuewav(app.voice, "degrees.wav");
  saynumber(app.voice, plain(mins.substr(0, 2)));
  queuewav(app.voice, "point.wav");
  queuewav(app.voice, mins.substr(2, 1) + ".wav");
  queuewav(app.voice, mins.substr(3, 1) + ".wav");
  queuewav(app.voice, "minutes.wav");
  queuewav(app.voice, hemi == pluschar ? plus : minus);
}

void latlong(App& app) {
  const GpsState& g = app.gps;
  float lat = 0, lon = 0;
  osgbtoll(app.geo, g.ownx, g.owny, lat, lon);
  std::string t;
  llcompact(lat, lon, t);
  if (t.size() != 15) return;
  showmsg(app.voice, t);
  queuewav(app.voice, "latitude.wav");
  sayangle(app, t.substr(0, 2), t.substr(2, 4), t[6], "north.wav", "south.wav", 'N');
  queuewav(app.voice, "longitud.wav");
  sayangle(app, t.substr(7, 3), t.substr(10, 4), t[14], "west.wav", "east.wav", 'W');
  speakqueue(app.voice);
}

// The short spoken form of a grid reference, chosen by the text's length.
std::string shortref(const std::string& t) {
  using text::mid;
  switch (t.size()) {
    case 14: {
      std::string six;
      gridref6(t, six);
      return six;
    }
    case 13: return mid(t, 1, 2) + mid(t, 3, 3) + mid(t, 9, 3);
    case 18:
      if (t[6] == ' ') return mid(t, 1, 3) + mid(t, 5, 2) + mid(t, 8, 3) + mid(t, 14, 3);  // MGRS
      return mid(t, 1, 3) + mid(t, 5, 4) + mid(t, 12, 5);                                    // UTM
    default: return {};
  }
}

}  // namespace

void sayownlatlong(App& app) {
  TalkGuard talk(app.speech);
  talk.on();
  if (saynoposition(app)) return;
  latlong(app);
}

void sayowngrid(App& app) {
  TalkGuard talk(app.speech);
  talk.on();
  if (saynoposition(app)) return;
  std::string t;
  gridreftext(app.geo, app.gps.ownx, app.gps.owny, t);
  if (t.size() == 15) return latlong(app);  // outside the grids: latitude and longitude
  const std::string ref = shortref(t);
  showmsg(app.voice, "grid reference " + ref);
  queuewav(app.voice, "gridrefe.wav");
  for (char c : ref)
    if (c != ' ') queuewav(app.voice, std::string(1, c) + ".wav");  // the Irish letter's blank is not said
  speakqueue(app.voice);
}

void saywherekey(App& app) {
  TalkGuard talk(app.speech);
  talk.on();
  if (saynoposition(app)) return;
  sayposition(app, app.gps.ownx, app.gps.owny, "weare.wav");
  if (app.speech.nosound == 0) {
    // Each report may give speech back as it found it: forced on again before the next.
    if (app.main.platformkind != 0) {
      talk.on();
      sayaltitude(app.voice, app.gps.altseen, app.gps.ownaltft, app.gps.climbrate);
    }
    talk.on();
    sayeta(app.voice, app.win.find("iform"), app.nav.etaclock, app.nav.timetogo, app.main.etareptime);
    talk.on();
    saymoving(app.voice, app.win.zarn.spdbox.caption, app.gps.ownhdg, app.main.nautical == 1);
    if (app.nav.nodest == 0) {
      talk.on();
      saydestdist(app.voice, app.win.zarn.disbox.caption, app.gps.ownhdg, app.nav.clockbrg, app.nav.destwav);
    }
  }
  restartreport(app, 1);
  restartreport(app, 2);
}

}  // namespace zarn

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
bool saynoposition(Voice& voice, const GpsState& g) {
  if (!noposition(g)) return false;
  saytext(voice, "No position yet");
  return true;
}

// A number text with its leading zeros taken off, as saynumber wants it: "002" would be
// spoken "and 2".
std::string plain(const std::string& digits) { return std::to_string(static_cast<int>(text::val(digits))); }

// One half of the compact text: degrees and whole minutes as numbers, the two decimals digit
// by digit, then the hemisphere.
void sayangle(Voice& voice, const std::string& deg, const std::string& mins, char hemi, const char* plus,
              const char* minus, char pluschar) {
  saynumber(voice, plain(deg));
  queuewav(voice, "degrees.wav");
  saynumber(voice, plain(mins.substr(0, 2)));
  queuewav(voice, "point.wav");
  queuewav(voice, mins.substr(2, 1) + ".wav");
  queuewav(voice, mins.substr(3, 1) + ".wav");
  queuewav(voice, "minutes.wav");
  queuewav(voice, hemi == pluschar ? plus : minus);
}

void latlong(Voice& voice, GeoState& geo, const GpsState& g) {
  float lat = 0, lon = 0;
  osgbtoll(geo, g.ownx, g.owny, lat, lon);
  std::string t;
  llcompact(lat, lon, t);
  if (t.size() != 15) return;
  showmsg(voice, t);
  queuewav(voice, "latitude.wav");
  sayangle(voice, t.substr(0, 2), t.substr(2, 4), t[6], "north.wav", "south.wav", 'N');
  queuewav(voice, "longitud.wav");
  sayangle(voice, t.substr(7, 3), t.substr(10, 4), t[14], "west.wav", "east.wav", 'W');
  speakqueue(voice);
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

void sayownlatlong(Voice& voice, GeoState& geo, const GpsState& g) {
  TalkGuard talk(voice.speech);
  talk.on();
  if (saynoposition(voice, g)) return;
  latlong(voice, geo, g);
}

void sayowngrid(Voice& voice, GeoState& geo, const GpsState& g) {
  TalkGuard talk(voice.speech);
  talk.on();
  if (saynoposition(voice, g)) return;
  std::string t;
  gridreftext(geo, g.ownx, g.owny, t);
  if (t.size() == 15) return latlong(voice, geo, g);  // outside the grids: latitude and longitude
  const std::string ref = shortref(t);
  showmsg(voice, "grid reference " + ref);
  queuewav(voice, "gridrefe.wav");
  for (char c : ref)
    if (c != ' ') queuewav(voice, std::string(1, c) + ".wav");  // the Irish letter's blank is not said
  speakqueue(voice);
}

void saywherekey(App& app) {
  TalkGuard talk(app.speech);
  talk.on();
  if (saynoposition(app.voice, app.gps)) return;
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
  restartreport(app.main, app.timer(), 1);
  restartreport(app.main, app.timer(), 2);
}

}  // namespace zarn

#include "speech/whereweare.h"

#include <algorithm>
#include <cmath>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/geofile.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/queue.h"
#include "speech/reports.h"
#include "speech/rform.h"
#include "speech/whereami.h"

namespace zarn {

namespace {

// The text between the first two `mark` characters; empty when the pair is missing, so a
// record without a name or direction never borrows one.
std::string between(const std::string& s, char mark) {
  const auto p1 = s.find(mark);
  if (p1 == std::string::npos) return {};
  const auto p2 = s.find(mark, p1 + 1);
  if (p2 == std::string::npos) return {};
  return s.substr(p1 + 1, p2 - p1 - 1);
}

// A road point's category begins with "R".
bool isroad(const std::string& cat) { return !cat.empty() && cat[0] == 'R'; }

// Difference of two headings round the circle, 0..180.
float headingdiff(float a, float b) {
  float d = std::fmod(std::fabs(a - b), 360.0f);
  return d > 180 ? 360 - d : d;
}

// Takes up the landmark list of a square: at most 399 records.
void loadlist(App& app, const std::string& file) {
  SpeechState& s = app.speech;
  auto in = platform::InputFile::open(app.files, file, platform::Files::datalimit);  // a square's landmarks
  if (!in) return;  // the list loaded before stays in use
  s.geocat.clear();
  s.geopos.clear();
  s.geotext.clear();
  s.geox.clear();
  s.geoy.clear();
  while (!in->eof() && static_cast<int>(s.geocat.size()) < SpeechState::geomax) {
    platform::InputFile rec(in->lineinput());
    std::string cat = rec.field();
    std::string pos = rec.field();
    std::string txt = rec.field();
    float x = 0, y = 0;
    parsepos(app.geo, pos, x, y);
    s.geocat.push_back(std::move(cat));
    s.geopos.push_back(std::move(pos));
    s.geotext.push_back(std::move(txt));
    s.geox.push_back(x);
    s.geoy.push_back(y);
  }
  s.geocount = static_cast<std::int16_t>(s.geocat.size());
}

// The shown name of a category code: the last matching entry of ZARN.CAT.
std::string categoryname(const MainState& m, const std::string& code) {
  std::string name;
  for (int i = 1; i <= std::min(m.catcount, MainState::catmax); ++i)
    if (m.catcode[static_cast<std::size_t>(i)] == code) name = m.catname[static_cast<std::size_t>(i)];
  return name;
}

}  // namespace

void saywhereweare(App& app) {
  SpeechState& s = app.speech;
  MainState& m = app.main;
  const GpsState& g = app.gps;
  const float now = app.timer();
  const bool dgps = g.dgpsfix == 1;
  const float box = dgps ? 0.05f : 0.1f;       // landmark box, km
  const float ahead = dgps ? 200.0f : 100.0f;  // look-ahead divisor: 5 or 10 s of travel
  const float roadbox = dgps ? 0.01f : 0.05f;

  bearingtext(g.ownve, g.ownvn, s.ownbrgtext);
  const float ax = g.ownx + g.ownve / ahead;
  const float ay = g.owny + g.ownvn / ahead;

  // The list of the square ahead, read only when the square changes.
  std::string ref;
  gridreftext(app.geo, ax, ay, ref);
  geofilename(ref, app.map.geofile);
  if (app.map.geofile != s.geofilelast) {
    s.geofilelast = app.map.geofile;
    if (app.files.exists(app.map.geofile)) loadlist(app, app.map.geofile);
  }
  const int count = std::min<int>(s.geocount, static_cast<int>(s.geocat.size()));

  // The landmark nearest the point ahead.
  int nearest = -1;
  float best = 1e20f;
  for (int i = 0; i < count; ++i) {
    const float dx = ax - s.geox[static_cast<std::size_t>(i)];
    const float dy = ay - s.geoy[static_cast<std::size_t>(i)];
    const float d2 = dx * dx + dy * dy;
    if (std::fabs(dx) < box && std::fabs(dy) < box && d2 < box * box && d2 < best &&
        !isroad(s.geocat[static_cast<std::size_t>(i)])) {
      nearest = i;
      best = d2;
    }
  }
  // While landmarks are being passed, the periodic reports hold back.
  if (nearest >= 0 && g.ownspd > 20 && app.nav.destdist > 0.5f && m.repint[2] > 0) {
    callhook(app.hooks.restartreport, 1);
    callhook(app.hooks.restartreport, 3);
    if (app.nav.destdist > 5) callhook(app.hooks.restartreport, 2);
  }
  if (nearest < 0) s.geolastpos.clear();

  // The road point under us that runs our way (either direction).
  const int h = g.ownhdg;
  int h2 = h + 180;
  if (h2 >= 360) h2 -= 360;
  const float tolerance = 100 / (5 + g.ownspd) + 15;
  best = 1e20f;
  for (int i = 0; i < count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    if (!isroad(s.geocat[k])) continue;
    const float dx = g.ownx - s.geox[k];
    const float dy = g.owny - s.geoy[k];
    const float d2 = dx * dx + dy * dy;
    if (!(std::fabs(dx) < roadbox && std::fabs(dy) < roadbox && d2 < roadbox * roadbox && d2 < best))
      continue;
    const std::string name = between(s.geotext[k], '#');
    if (name.empty()) continue;  // a road point without a name cannot tell us the road
    const float r = static_cast<float>(text::val(between(s.geotext[k], '$')));
    const bool runs = headingdiff(r, static_cast<float>(h)) < tolerance ||
                      headingdiff(r, static_cast<float>(h2)) < tolerance;
    if (!runs || h == -1) continue;
    best = d2;
    s.roadtext = name;
    if (m.mapmatch == 1 && (std::fabs(dx) > 0.01f || std::fabs(dy) > 0.01f)) {
      // Pull the fixes onto the road; a large or stale correction falls back to the configured one.
      float ce = -dx * std::fabs(app.map.hdgsin);
      float cn = -dy * std::fabs(app.map.hdgcos);
      if (std::fabs(ce) > 0.1f) ce = m.cfgcorre;
      if (std::fabs(cn) > 0.1f) cn = m.cfgcorrn;
      if (elapsed(app.timer(), s.matchtime) > 120) {
        ce = m.cfgcorre;
        cn = m.cfgcorrn;
      }
      s.matchtime = now;
      callhook(app.hooks.setgpscorr, ce, cn);
    }
  }

  if (s.roadtext != s.prevroad) {
    s.prevroad = s.roadtext;
    s.roadtime = now;
    app.win.get<RForm>().rd.set("on " + s.roadtext);
    if (m.repint[5] == 1) {
      int ndigits = 0;
      splitaddress(s.roadtext, s.housenum, s.rcckey, s.streetname, ndigits);
      std::string w = "#";
      for (char c : s.roadtext)
        if (static_cast<unsigned char>(c) > ' ') w += text::ucase(std::string(1, c));
      w = w.substr(0, 8) + ".WAV";
      const bool present = app.files.exists(w);
      showmsg(app.voice, "We are on " + s.roadtext);
      if (!s.housenum.empty() || s.ttsavail > 0 || present) queuewav(app.voice, "weareon.wav");
      if (!present) sayroadname(app.voice, s.housenum, s.rcckey, static_cast<int>(s.rcckey.size()));
      if (!s.streetname.empty()) queuewav(app.voice, present ? w : s.streetname);
      speakqueue(app.voice);
    }
  }
  // A road not matched for a minute is forgotten (and one still matched is said again).
  if (elapsed(app.timer(), s.roadtime) > 60) {
    s.roadtext.clear();
    s.prevroad.clear();
    s.rcckey.clear();
    s.housenum.clear();
    app.win.get<RForm>().rd.set("");
  }

  if (nearest < 0) return;
  const auto k = static_cast<std::size_t>(nearest);
  const std::string p = s.geopos[k];
  if (p == s.geolastpos) return;
  // The landmark's own square names its recordings; a position that names no square leaves
  // those of the square ahead.
  geofilename(p, app.map.geofile);
  const std::string& gf = app.map.geofile;
  const std::string stem = gf.size() >= 4 ? gf.substr(0, gf.size() - 4) : std::string();
  const std::string landmarkwav = stem + "." + text::mid(p, 7, 1) + text::mid(p, 13, 1) + "$";
  const std::string squarewav = stem + ".WAV";
  const float e = elapsed(app.timer(), s.wwareptime);
  s.wwareptime = now;
  const std::string name = between(s.geotext[k], '#');
  std::string side = between(s.geotext[k], '$');
  if (side == "n") side = "north";
  else if (side == "s") side = "south";
  else if (side == "e") side = "east";
  else if (side == "w") side = "west";
  side = text::lcase(side);
  const std::string cat = text::ucase(s.geocat[k]);
  if (isroad(cat)) return;
  s.geolastpos = p;

  const std::string catnm = categoryname(m, cat);
  const bool right = s.ownbrgtext.find(side) != std::string::npos;
  const bool sided = cat != "N" && !side.empty();
  clearmsg(app.voice);
  if (e > 20) appendmsg(app.voice, "We are near ");
  appendmsg(app.voice, catnm);
  if (!name.empty()) {
    if (cat == "L") appendmsg(app.voice, " " + name);
    else appendmsg(app.voice, " called \"" + name + "\"");
  }
  if (sided) appendmsg(app.voice, right ? " to our right" : " to our left");
  app.win.get<RForm>().at.set(s.msgtext);
  reshowmsg(app.voice);

  if (m.repint[6] == 0) return;
  if (e > 20) queuewav(app.voice, "wearenea.wav");
  const std::string catwav = "$" + cat + ".wav";
  if (app.files.exists(catwav)) {
    if (cat != "L") queuewav(app.voice, catwav);
  } else {
    queuewav(app.voice, catnm);
  }
  if (!name.empty()) {
    if (cat != "L" && s.ttsavail > 0) queuewav(app.voice, "called.wav");
    std::string own;
    wavname(name, own);
    if (app.files.exists(own)) queuewav(app.voice, own);
    else if (!stem.empty() && app.files.exists(landmarkwav)) queuewav(app.voice, landmarkwav);
    else if (!stem.empty() && app.files.exists(squarewav)) queuewav(app.voice, squarewav);
    else if (cat == "L" && s.ttsavail == 0) queuewav(app.voice, "$L.WAV");
    else queuewav(app.voice, name);
  }
  if (sided) queuewav(app.voice, right ? "toourrig.wav" : "toourlef.wav");
}

void whereupdate(App& app) {
  const RForm& r = app.win.get<RForm>();
  if (r.visible || app.main.ldron == 1) whereami(app, app.gps.ownx, app.gps.owny, 5, 0.5);
}

}  // namespace zarn

#include "speech/reports.h"

#include <cmath>

#include "app/app.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/phrases.h"
#include "speech/queue.h"

namespace zarn {

namespace {

bool isdigit(char c) { return c >= '0' && c <= '9'; }

// Letters A to Z of a name, upper-cased, at most 8, + ".WAV"; empty when it has none.
std::string letterswav(const std::string& part) {
  std::string w;
  for (char c : part) {
    const char u = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (u >= 'A' && u <= 'Z' && w.size() < 8) w += u;
  }
  return w.empty() ? w : w + ".WAV";
}

}  // namespace

void saymoving(App& app) {
  const std::string s = text::trim(app.win.zarn.spdbox.caption);
  if (s.empty()) return;
  const int hdg = app.gps.ownhdg;
  struct Sector {
    int from, to;
    const char* item;
    const char* text;
  };
  static constexpr Sector sectors[] = {
      {23, 67, "movneast.wav", "moving north east "}, {68, 112, "moveast.wav", "moving east "},
      {113, 157, "movseast.wav", "moving south east "}, {158, 202, "movsouth.wav", "moving south "},
      {203, 247, "movswest.wav", "moving south west "}, {248, 292, "movwest.wav", "moving west "},
      {293, 337, "movnwest.wav", "moving north west "},
  };
  std::string item = "movnorth.wav", words = "moving north ";
  if (hdg < 0) {
    item = "notmove.wav";
    words = "not moving ";
  } else {
    for (const auto& sec : sectors) {
      if (hdg >= sec.from && hdg <= sec.to) {
        item = sec.item;
        words = sec.text;
      }
    }
  }
  clearmsg(app.voice);
  appendmsg(app.voice, words);
  std::string unit = app.main.metric != 0 ? "kmph" : "mph";
  if (app.main.nautical == 1) unit = "knots";
  const bool moving = text::val(s) > 0;
  if (moving) appendmsg(app.voice, " at " + s + " " + unit);
  const std::string& road = app.speech.roadtext;
  if (!road.empty()) appendmsg(app.voice, " on " + road);
  reshowmsg(app.voice);
  speakqueue(app.voice);
  endsentence(app.voice);

  SpeechState& sp = app.speech;
  int ndigits = 0;
  if (!road.empty()) splitaddress(road, sp.housenum, sp.rcckey, sp.streetname, ndigits);
  const bool numbered = !road.empty() && !sp.housenum.empty();
  if (sp.syntaxmode != 1) {
    queuewav(app.voice, item);
    if (moving) {
      queuewav(app.voice, "at.wav");
      saynumber(app.voice, s);
      queuewav(app.voice, unit + ".WAV");
    }
    if (numbered) {
      queuewav(app.voice, "on.wav");
      sayroadname(app, sp.housenum, sp.rcckey, ndigits);
    }
  } else {
    if (numbered) {
      sayroadname(app, sp.housenum, sp.rcckey, ndigits);
      queuewav(app.voice, "on.wav");
    }
    queuewav(app.voice, item);
  }
  speakqueue(app.voice);
}

void saydestdist(App& app) {
  const std::string d = text::ltrim(app.win.zarn.disbox.caption);
  if (d.empty()) return;  // no destination distance shown: nothing to report
  const std::string u = d.substr(d.size() - 1);
  const std::string n = d.substr(0, d.size() - 1);
  std::string t;
  if (app.main.metric == 0) {
    if (u == "m") t = d == "1m" ? "1 mile" : n + " miles";
    else t = n + " yards";
  } else {
    if (u == "k") t = d == "1k" ? "1 km" : n + " km";
    else t = n + " metres";
  }
  const bool heading = app.gps.ownhdg != -1;
  int hour = app.nav.clockbrg;
  std::string c, diritem, clockitem;
  clockphrase(app.voice, hour, c, diritem, clockitem);
  if (!heading) c.clear();
  const std::string& dw = app.nav.destwav;
  // A prompt of the "$AN" family names the place itself, so it needs no "Destination".
  const bool named = text::ucase(text::left(dw, 3)) == "$AN";
  showmsg(app.voice, (named ? "" : "Destination ") + t + " " + c);
  if (app.speech.syntaxmode != 1) {
    if (dw != "destinat.wav" && !named) queuewav(app.voice, "destinat.wav");
    queuewav(app.voice, dw);
    saydistance(app.voice, d);
    if (heading) saydirection(app.voice, app.nav.clockbrg, app.gps.ownhdg != -1);
  } else {
    if (dw != "destinat.wav") queuewav(app.voice, "destinat.wav");
    queuewav(app.voice, dw);
    queuewav(app.voice, "fromhere.wav");
    if (heading) saydirection(app.voice, app.nav.clockbrg, app.gps.ownhdg != -1);
    saydistance(app.voice, d);
    queuewav(app.voice, "is.wav");
  }
  speakqueue(app.voice);
}

void sayeta(App& app) {
  // The instruments window holds a "?" while the time to go cannot be trusted; without that
  // window nothing has worked one out yet.
  const ui::Form* iform = app.win.find("iform");
  const auto* timetil = iform ? dynamic_cast<const ui::Label*>(iform->find("timetil")) : nullptr;
  if (!timetil || timetil->caption.find('?') != std::string::npos) return;
  const std::string& eta = app.nav.etaclock;
  const std::string& togo = app.nav.timetogo;
  std::string hh = text::mid(eta, 1, 2);
  if (hh == "00") hh = "0";
  const std::string mm = text::mid(eta, 4, 2);
  const std::string unit = text::right(togo, 1);
  const std::string number = togo.empty() ? std::string() : togo.substr(0, togo.size() - 1);
  std::string unitword, unitwav;
  if (unit == "s") unitword = " seconds", unitwav = "seconds.wav";
  else if (unit == "m") unitword = " minutes", unitwav = "minutes.wav";
  else if (unit == "h") unitword = " hours", unitwav = "hours.wav";
  showmsg(app.voice, "Expected Time of Arrival is " + eta + " in " + number + unitword);
  queuewav(app.voice, "ETAIS.WAV");
  saynumber(app.voice, hh);
  if (text::left(mm, 1) == "0") queuewav(app.voice, "0.wav");
  saynumber(app.voice, mm);
  queuewav(app.voice, "in.wav");
  saydecimal(app.voice, number);
  if (!unitwav.empty()) queuewav(app.voice, unitwav);
  speakqueue(app.voice);
  app.main.etareptime = app.timer();
}

void sayaltitude(App& app) {
  const OwnFix& f = app.gps;
  speakqueue(app.voice);
  if (f.altseen == 0) {
    showmsg(app.voice, "Altitude is not available");
    queuewav(app.voice, "altisnot.wav");
    speakqueue(app.voice);
  } else {
    long h = static_cast<long>(std::floor((f.ownaltft + 50) / 100));
    if (h < 0) h = 0;
    const std::string g =
        " ( GPS " + std::to_string(static_cast<long>(std::floor(f.ownaltft))) + " ft)";
    if (h == 0) {
      showmsg(app.voice, "Altitude is near sea level" + g);
      queuewav(app.voice, "altisnea.wav");
    } else {
      showmsg(app.voice, "Altitude is about " + std::to_string(h) + "00 ft above sea level" + g);
      queuewav(app.voice, "altisabo.wav");
      saynumber(app.voice, std::to_string(h));
      queuewav(app.voice, "00.wav");
      queuewav(app.voice, "ftaboves.wav");
    }
    speakqueue(app.voice);
  }
  const float rate = f.climbrate;
  if (std::fabs(rate) < 10) return;
  const bool climbing = rate > 0;
  const float mag = std::fabs(rate);
  showmsg(app.voice, (climbing ? "Climbing at" : "Sinking at") + text::str(mag) + " ft/min");
  queuewav(app.voice, climbing ? "climbing.wav" : "sinking.wav");
  queuewav(app.voice, "at.wav");
  saynumber(app.voice, std::to_string(static_cast<long>(std::floor(mag))));
  queuewav(app.voice, "ftpermin.wav");
  speakqueue(app.voice);
}

void saymapchange(App& app, const std::string& title) {
  const MapView& m = app.map;
  if (app.main.repint[7] != 1 || app.main.playback != 0 || m.headingup != 0) return;
  const int n = m.curmap;
  if (n < 0 || n >= static_cast<int>(m.mapkind.size()) || m.mapkind[static_cast<std::size_t>(n)] != 0)
    return;
  showmsg(app.voice, "Changing map to " + title + " ..");
  if (n >= static_cast<int>(m.mapname.size())) return;
  const std::string w = m.mapname[static_cast<std::size_t>(n)] + ".wav";
  if (!app.files.exists(w)) return;
  if (app.speech.syntaxmode == 1) {
    queuewav(app.voice, w);
    queuewav(app.voice, "chamap.wav");
  } else {
    queuewav(app.voice, "chamap.wav");
    queuewav(app.voice, w);
  }
  speakqueue(app.voice);
}

void splitaddress(const std::string& text, std::string& roadnum, std::string& digits,
                  std::string& street, int& ndigits) {
  const bool numbered = text.size() >= 2 && static_cast<unsigned char>(text[0]) > '9' && isdigit(text[1]);
  if (numbered) {
    const auto p = text.find(' ');
    if (p == std::string::npos) {
      roadnum = text;
      street.clear();
    } else {
      roadnum = text.substr(0, p);
      street = text.substr(p + 1);
    }
  } else {
    roadnum.clear();
    street = text;
  }
  if (street.size() > 5) {
    const std::string end = text::lcase(text::right(street, 3));
    if (end == " rd") street = street.substr(0, street.size() - 2) + "Road";
    else if (end == " st") street = street.substr(0, street.size() - 2) + "Street";
  }
  ndigits = 0;
  for (std::size_t i = 1; i < roadnum.size(); ++i)
    if (isdigit(roadnum[i])) ++ndigits;
  digits = text::mid(roadnum, 2, ndigits);
}

void sayroadname(App& app, const std::string& roadnum, const std::string& digits, int ndigits) {
  switch (roadnum.empty() ? '\0' : roadnum[0]) {
    case 'A': queuewav(app.voice, "a.wav"); break;
    case 'B': queuewav(app.voice, "b.wav"); break;
    case 'M': queuewav(app.voice, "m.wav"); break;
    case 'H': queuewav(app.voice, "highway.wav"); break;
    default: break;
  }
  if (ndigits <= 2) {
    saynumber(app.voice, digits);
  } else if (ndigits == 3) {
    for (char c : digits) queuewav(app.voice, std::string(1, c) + ".wav");
  } else if (ndigits == 4) {
    saynumber(app.voice, text::mid(digits, 1, 2));
    saynumber(app.voice, text::mid(digits, 3, 2));
  }
  if (roadnum.size() > digits.size() + 1) queuewav(app.voice, roadnum.substr(roadnum.size() - 1) + ".wav");
}

void sayplacename(App& app, const std::string& name) {
  const auto p = name.find(" in ");
  if (p == std::string::npos) return;
  const std::string town = name.substr(0, p), area = name.substr(p + 4);
  std::string townwav = letterswav(town);
  const std::string areawav = letterswav(area);
  // A town named like its area needs a recording of its own.
  if (townwav == areawav && !townwav.empty()) townwav[0] = '#';
  const SpeechState& s = app.speech;
  if (!townwav.empty()) {
    if (app.files.exists(townwav)) queuewav(app.voice, townwav);
    else if (s.ttsavail > 0) queuewav(app.voice, town);
    else queuewav(app.voice, "$LPOP.WAV");
  }
  if (!areawav.empty()) {
    queuewav(app.voice, "in.wav");
    if (app.files.exists(areawav)) queuewav(app.voice, areawav);
    else if (s.ttsavail == 1) queuewav(app.voice, area);
  }
}

}  // namespace zarn

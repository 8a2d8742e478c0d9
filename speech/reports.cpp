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

void saymoving(Voice& v, const std::string& speed, int heading, bool nautical) {
  const std::string s = text::trim(speed);
  if (s.empty()) return;
  const int hdg = heading;
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
  clearmsg(v);
  appendmsg(v, words);
  std::string unit = v.metric != 0 ? "kmph" : "mph";
  if (nautical) unit = "knots";
  const bool moving = text::val(s) > 0;
  if (moving) appendmsg(v, " at " + s + " " + unit);
  const std::string& road = v.speech.roadtext;
  if (!road.empty()) appendmsg(v, " on " + road);
  reshowmsg(v);
  speakqueue(v);
  endsentence(v);

  SpeechState& sp = v.speech;
  int ndigits = 0;
  if (!road.empty()) splitaddress(road, sp.housenum, sp.rcckey, sp.streetname, ndigits);
  const bool numbered = !road.empty() && !sp.housenum.empty();
  if (sp.syntaxmode != 1) {
    queuewav(v, item);
    if (moving) {
      queuewav(v, "at.wav");
      saynumber(v, s);
      queuewav(v, unit + ".WAV");
    }
    if (numbered) {
      queuewav(v, "on.wav");
      sayroadname(v, sp.housenum, sp.rcckey, ndigits);
    }
  } else {
    if (numbered) {
      sayroadname(v, sp.housenum, sp.rcckey, ndigits);
      queuewav(v, "on.wav");
    }
    queuewav(v, item);
  }
  speakqueue(v);
}

void saydestdist(Voice& v, const std::string& dist, int heading, int clockbrg, const std::string& destwav) {
  const std::string d = text::ltrim(dist);
  if (d.empty()) return;  // no destination distance shown: nothing to report
  const std::string u = d.substr(d.size() - 1);
  const std::string n = d.substr(0, d.size() - 1);
  std::string t;
  if (v.metric == 0) {
    if (u == "m") t = d == "1m" ? "1 mile" : n + " miles";
    else t = n + " yards";
  } else {
    if (u == "k") t = d == "1k" ? "1 km" : n + " km";
    else t = n + " metres";
  }
  const bool headingknown = heading != -1;
  int hour = clockbrg;
  std::string c, diritem, clockitem;
  clockphrase(v, hour, c, diritem, clockitem);
  if (!headingknown) c.clear();
  const std::string& dw = destwav;
  // A prompt of the "$AN" family names the place itself, so it needs no "Destination".
  const bool named = text::ucase(text::left(dw, 3)) == "$AN";
  showmsg(v, (named ? "" : "Destination ") + t + " " + c);
  if (v.speech.syntaxmode != 1) {
    if (dw != "destinat.wav" && !named) queuewav(v, "destinat.wav");
    queuewav(v, dw);
    saydistance(v, d);
    if (headingknown) saydirection(v, clockbrg, headingknown);
  } else {
    if (dw != "destinat.wav") queuewav(v, "destinat.wav");
    queuewav(v, dw);
    queuewav(v, "fromhere.wav");
    if (headingknown) saydirection(v, clockbrg, headingknown);
    saydistance(v, d);
    queuewav(v, "is.wav");
  }
  speakqueue(v);
}

void sayeta(Voice& v, const ui::Form* iform, const std::string& eta, const std::string& togo,
            float& reptime) {
  // The instruments window holds a "?" while the time to go cannot be trusted; without that
  // window nothing has worked one out yet.
  const auto* timetil = iform ? dynamic_cast<const ui::Label*>(iform->find("timetil")) : nullptr;
  if (!timetil || timetil->caption.find('?') != std::string::npos) return;
  std::string hh = text::mid(eta, 1, 2);
  if (hh == "00") hh = "0";
  const std::string mm = text::mid(eta, 4, 2);
  const std::string unit = text::right(togo, 1);
  const std::string number = togo.empty() ? std::string() : togo.substr(0, togo.size() - 1);
  std::string unitword, unitwav;
  if (unit == "s") unitword = " seconds", unitwav = "seconds.wav";
  else if (unit == "m") unitword = " minutes", unitwav = "minutes.wav";
  else if (unit == "h") unitword = " hours", unitwav = "hours.wav";
  showmsg(v, "Expected Time of Arrival is " + eta + " in " + number + unitword);
  queuewav(v, "ETAIS.WAV");
  saynumber(v, hh);
  if (text::left(mm, 1) == "0") queuewav(v, "0.wav");
  saynumber(v, mm);
  queuewav(v, "in.wav");
  saydecimal(v, number);
  if (!unitwav.empty()) queuewav(v, unitwav);
  speakqueue(v);
  reptime = v.timer();
}

void sayaltitude(Voice& v, const int& altseen, const float& altft, const float& climbrate) {
  speakqueue(v);
  if (altseen == 0) {
    showmsg(v, "Altitude is not available");
    queuewav(v, "altisnot.wav");
    speakqueue(v);
  } else {
    long h = text::fixint(std::floor((altft + 50) / 100));
    if (h < 0) h = 0;
    const std::string g =
        " ( GPS " + std::to_string(text::fixint(std::floor(altft))) + " ft)";
    if (h == 0) {
      showmsg(v, "Altitude is near sea level" + g);
      queuewav(v, "altisnea.wav");
    } else {
      showmsg(v, "Altitude is about " + std::to_string(h) + "00 ft above sea level" + g);
      queuewav(v, "altisabo.wav");
      saynumber(v, std::to_string(h));
      queuewav(v, "00.wav");
      queuewav(v, "ftaboves.wav");
    }
    speakqueue(v);
  }
  const float rate = climbrate;
  if (std::fabs(rate) < 10) return;
  const bool climbing = rate > 0;
  const float mag = std::fabs(rate);
  showmsg(v, (climbing ? "Climbing at" : "Sinking at") + text::str(mag) + " ft/min");
  queuewav(v, climbing ? "climbing.wav" : "sinking.wav");
  queuewav(v, "at.wav");
  saynumber(v, std::to_string(text::fixint(std::floor(mag))));
  queuewav(v, "ftpermin.wav");
  speakqueue(v);
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

void sayroadname(Voice& v, const std::string& roadnum, const std::string& digits, int ndigits) {
  switch (roadnum.empty() ? '\0' : roadnum[0]) {
    case 'A': queuewav(v, "a.wav"); break;
    case 'B': queuewav(v, "b.wav"); break;
    case 'M': queuewav(v, "m.wav"); break;
    case 'H': queuewav(v, "highway.wav"); break;
    default: break;
  }
  if (ndigits <= 2) {
    saynumber(v, digits);
  } else if (ndigits == 3) {
    for (char c : digits) queuewav(v, std::string(1, c) + ".wav");
  } else if (ndigits == 4) {
    saynumber(v, text::mid(digits, 1, 2));
    saynumber(v, text::mid(digits, 3, 2));
  }
  if (roadnum.size() > digits.size() + 1) queuewav(v, roadnum.substr(roadnum.size() - 1) + ".wav");
}

void sayplacename(Voice& v, const std::string& name) {
  const auto p = name.find(" in ");
  if (p == std::string::npos) return;
  const std::string town = name.substr(0, p), area = name.substr(p + 4);
  std::string townwav = letterswav(town);
  const std::string areawav = letterswav(area);
  // A town named like its area needs a recording of its own.
  if (townwav == areawav && !townwav.empty()) townwav[0] = '#';
  const SpeechState& s = v.speech;
  if (!townwav.empty()) {
    if (v.files.exists(townwav)) queuewav(v, townwav);
    else if (s.ttsavail > 0) queuewav(v, town);
    else queuewav(v, "$LPOP.WAV");
  }
  if (!areawav.empty()) {
    queuewav(v, "in.wav");
    if (v.files.exists(areawav)) queuewav(v, areawav);
    else if (s.ttsavail == 1) queuewav(v, area);
  }
}

}  // namespace zarn

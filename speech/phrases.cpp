#include "speech/phrases.h"

#include "speech/voice.h"
#include "geodesy/geofile.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {
bool startswith(const std::string& s, const std::string& p) { return s.compare(0, p.size(), p) == 0; }
}  // namespace

void saynumber(Voice& v, std::string num) {
  const int mode = v.speech.syntaxmode;
  auto q = [&](const std::string& item) { queuewav(v, item); };
  if (num == "0") q("0.wav");
  if (num.size() == 5) {
    q(num.substr(0, 2) + ".wav");
    q("thousand.wav");
    num = num.substr(2);
  }
  if (num.size() == 4) {
    q(num.substr(0, 1) + ".wav");
    q("thousand.wav");
    num = num.substr(1);
  }
  if (num.size() == 3) {
    std::string h = num.substr(0, 1) + "00";
    if (mode == 5 && h == "100" && num.substr(1) != "00") h = "100e";
    if (h != "000") q(h + ".wav");
    // "and" between the hundreds and the rest, even after an empty hundreds group (1005).
    if (num != "100") q("ee.wav");
    num = num.substr(1);
  }
  // Six digits and more are not numbers we speak: only the last two are said.
  if (num.size() > 2) num = num.substr(num.size() - 2);
  if (num.empty()) return;
  const double value = text::val(num);
  if (value <= 20) {
    if (num.size() == 2 && value < 10) num = num.substr(1);
    if (!num.empty() && num != "0") q(num + ".wav");
    return;
  }
  const std::string tens(1, num[0]), units(1, num[1]);
  if (mode == 2) {
    if (units != "0") {
      q(units + ".wav");
      q("and.wav");
    }
    q(tens + "0.wav");
  } else {
    q(tens + "0.wav");
    if (units != "0") {
      if (mode == 5) q("ee.wav");
      q(units + ".wav");
    }
  }
}

void saydecimal(Voice& v, const std::string& num) {
  const auto p = num.find('.');
  if (p == std::string::npos) {
    saynumber(v, num);
    return;
  }
  saynumber(v, num.substr(0, p));
  queuewav(v, "point.wav");
  for (char c : num.substr(p + 1, 2)) queuewav(v, std::string(1, c) + ".wav");
}

void saydistance(Voice& v, const std::string& dist) {
  std::string d = dist;
  if (v.speech.syntaxmode == 1) {
    // This language has its own words for 1, 8 and 10 before a point.
    if (startswith(d, ".")) d = "0" + d;
    const std::size_t len = d.size();
    if (len >= 2 && startswith(d, "1.")) {
      queuewav(v, "1P.WAV");
      d = d.substr(2);
    }
    if (len >= 2 && startswith(d, "8.")) {
      queuewav(v, "8P.WAV");
      d = d.substr(2);
    }
    if (len >= 3 && startswith(d, "10.")) {
      queuewav(v, "10P.WAV");
      d = d.substr(3);
    }
  }
  if (d.empty()) return;
  d = text::trim(d);
  if (d.empty()) return;
  const std::string unit = d.substr(d.size() - 1);
  const std::string n = d.substr(0, d.size() - 1);
  std::string word = unit;
  if (v.metric == 0) {
    if (unit == "m") word = d == "1m" ? "mile" : "miles";
    else if (unit == "y") word = "yards";
  } else {
    if (unit == "m") word = "metres";
    else if (unit == "k") word = d == "1k" ? "kilometr" : "kilomets";
  }
  if (const auto p = n.find('.'); p != std::string::npos) {
    saynumber(v, n.substr(0, p));
    queuewav(v, "point.wav");
    for (char c : n.substr(p + 1)) queuewav(v, std::string(1, c) + ".wav");
  } else {
    saynumber(v, n);
  }
  queuewav(v, word + ".wav");
}

void saytime(Voice& v, const std::string& lead, const std::string& item, const std::string& t) {
  if (v.speech.syntaxmode == 1) {
    sayjptime(v, lead, item, t);
    return;
  }
  std::string hh = text::mid(t, 1, 2);
  if (hh == "00") hh = "0";
  const std::string mm = text::mid(t, 4, 2);
  showmsg(v, lead + t);
  queuewav(v, item);
  saynumber(v, hh);
  saynumber(v, mm);  // "00" says nothing, "05" says 5
  speakqueue(v);
}

void sayjptime(Voice& v, const std::string& /*lead*/, const std::string& /*item*/, const std::string& t) {
  const std::string hh = text::mid(t, 1, 2);
  const std::string mm = text::mid(t, 4, 2);
  queuewav(v, text::val(hh) < 12 ? "gogo.wav" : "gozen.wav");
  saynumber(v, hh);
  queuewav(v, "ji.wav");
  if (mm != "30" && mm != "00") {
    saynumber(v, mm);
    queuewav(v, text::mid(mm, 2, 1) == "5" ? "fun.wav" : "pun.wav");
  }
  if (mm == "30") queuewav(v, "han.wav");
  speakqueue(v);
}

void compassphrase(int brg, std::string& item, std::string& text) {
  struct Sector {
    int from, to;
    const char* item;
    const char* text;
  };
  static constexpr Sector sectors[] = {
      {23, 67, "northeof.wav", " north east of "}, {68, 112, "eastof.wav", " east of "},
      {113, 157, "southeof.wav", " south east of "}, {158, 202, "southof.wav", " south of "},
      {203, 247, "southwof.wav", " south west of "}, {248, 292, "westof.wav", " west of "},
      {293, 337, "northwof.wav", " north west of "},
  };
  item = "northof.wav";
  text = " north of ";
  for (const auto& s : sectors) {
    if (brg >= s.from && brg <= s.to) {
      item = s.item;
      text = s.text;
    }
  }
}

void clockphrase(const Voice& v, int& hour, std::string& text, std::string& diritem,
                 std::string& clockitem) {
  if (hour == 0) hour = 12;
  const char* normal;
  const char* verblast;
  if (hour >= 11 || hour <= 1) {
    text = "ahead of us ";
    normal = "aheadofu.wav";
    verblast = "ahead.wav";
  } else if (hour <= 4) {
    text = "to our right ";
    normal = "toourrig.wav";
    verblast = "onourrig.wav";
  } else if (hour <= 7) {
    text = "behind us ";
    normal = "behindus.wav";
    verblast = "behind.wav";
  } else {
    text = "to our left ";
    normal = "toourlef.wav";
    verblast = "onourlef.wav";
  }
  const SpeechState& s = v.speech;
  if (s.syntaxmode == 1) diritem = verblast;
  else if (s.langindex != 1) diritem = normal;
  text += "at your" + text::str(hour) + " o'clock";
  if (s.langindex != 1) clockitem = std::to_string(hour) + "c.wav";
  if (s.syntaxmode == 1) clockitem.clear();
}

void saydirection(Voice& v, int hour, bool headingknown) {
  std::string text, diritem, clockitem;
  clockphrase(v, hour, text, diritem, clockitem);
  if (!headingknown) return;
  queuewav(v, diritem);
  if (!clockitem.empty()) queuewav(v, clockitem);
}

void wavname(const std::string& name, std::string& item) {
  std::string w = "#";
  for (char c : name)
    if (c != ' ') w += c;
  item = w.substr(0, 8) + ".WAV";
}

std::string findwav(const platform::Files& files, const std::string& gridref, const std::string& name,
                    const std::string& listname, std::string& geofile) {
  // The square's own recording. A reference that names no square must not pick up the square
  // some other report looked at last.
  std::string square;
  geofilename(gridref, square);
  if (!square.empty()) {
    geofile = square;
    const std::string w = square.substr(0, square.size() - 3) + "WAV";
    if (files.exists(w)) return w;
  }
  if (!name.empty()) {
    std::string w;
    wavname(name, w);
    if (files.exists(w)) return w;
  }
  for (long k = static_cast<long>(listname.size()); k >= 3; --k) {
    const std::string w = "$" + listname.substr(0, static_cast<std::size_t>(k)) + ".WAV";
    if (files.exists(w)) return w;
  }
  return "destinat.wav";
}

}  // namespace zarn

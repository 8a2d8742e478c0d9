#include "vehicles/alerts.h"

#include <algorithm>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "navigation/gridref6.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"
#include "vehicles/mvforms.h"
#include "vehicles/vehicledraw.h"

namespace zarn {

namespace {

constexpr const char* rccfile = "ZARN.RCC";

// An alarm's code (and so the text the window shows for it) begins with "0".
bool isalarm(const std::string& text) { return !text.empty() && text[0] == '0'; }

// Codes are spoken character by character from files named after the character. The character
// comes off the link: only a letter or digit names a file, anything else ("/", ".", a blank)
// is not spoken rather than made into a path.
void queuechar(Voice& voice, const std::string& code, std::size_t k) {
  if (k >= code.size()) return;
  const char c = code[k];
  if (text::isdigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
    queuewav(voice, std::string(1, c) + ".wav");
}

// The ZARN.RCC text of a code ("code=text", the last such line before the first empty one), or
// empty.
std::string rcctext(const platform::Files& files, const std::string& code) {
  std::string found;
  auto f = platform::InputFile::open(files, rccfile);
  if (!f) return found;
  while (!f->eof()) {
    const std::string line = text::trim(f->lineinput());
    if (line.empty()) break;  // an empty line ends the texts
    const auto eq = line.find('=');
    if (eq != std::string::npos && line.compare(0, eq, code) == 0) found = line.substr(eq + 1);
  }
  return found;
}

// Queues the ZARN.RCC sounds of a code ("code>file.wav", every such line whose file exists).
void rccwav(Voice& voice, const std::string& code) {
  auto f = platform::InputFile::open(voice.files, rccfile);
  if (!f) return;
  while (!f->eof()) {
    const std::string line = f->lineinput();
    const auto gt = line.find('>');
    if (gt == std::string::npos || line.compare(0, gt, code) != 0) continue;
    const std::string w = text::rtrim(text::ucase(line.substr(gt + 1)));
    // The name comes from a file: one leading out of the working folder is not looked at.
    if (w.find(".WAV") != std::string::npos && voice.files.confined(w) && voice.files.exists(w)) queuewav(voice, w);
  }
}

// Makes room for the text the window shows before a new alert replaces it. While the list has
// room the shown text is pushed. A full list gives up its oldest message (never an alarm while
// a message can go): the oldest waiting message, else the shown one if it is a message; when
// everything is an alarm, a new alarm drops the oldest waiting alarm and a new message is
// itself the one dropped. False when the new alert is not to be shown.
bool makeroom(VehicleTable& v, MvAlarmForm& w, bool alarm) {
  auto& list = v.alarmlist;
  const int n = v.alarmcount;
  if (n >= VehicleTable::alarmmax) {
    ++v.alarmdropped;
    const auto first = list.begin() + 1, end = list.begin() + 1 + n;
    auto victim = std::find_if(first, end, [](const VehicleTable::AlarmEntry& e) { return !isalarm(e.text); });
    if (victim == end && !isalarm(w.txt.caption)) return true;  // the shown message is overwritten
    if (victim == end && !alarm) return false;
    if (victim == end) victim = first;
    std::move(victim + 1, end, victim);
    --v.alarmcount;
  }
  ++v.alarmcount;
  VehicleTable::AlarmEntry& e = list[static_cast<std::size_t>(v.alarmcount)];
  e = v.alarmshown;
  e.text = w.txt.caption;
  w.q.set("Q" + std::to_string(v.alarmcount));
  w.q.visible = true;
  return true;
}

}  // namespace

void alarmcolours(MvAlarmForm& w, bool alarm) {
  w.backcolor = w.txt.backcolor = alarm ? ui::red : ui::yellow;
  w.txt.forecolor = alarm ? ui::white : ui::black;
}

void mvalertmsg(App& app, int i, const std::string& code, const std::string& place, const std::string& time) {
  VehicleTable& v = app.veh;
  MvAlarmForm& w = app.win.get<MvAlarmForm>();
  const bool alarm = isalarm(code);
  bool shown = true;
  if (w.visible) {
    shown = makeroom(v, w, alarm);
  } else {
    v.alarmdropped = 0;  // the operator has seen every message the last run of alerts brought
  }
  const bool known = i >= 0 && static_cast<std::size_t>(i) < v.mvlabel.size();

  std::string six;
  gridref6(place, six);
  std::string body = code + " at " + time + " from " + (known ? v.mvlabel[static_cast<std::size_t>(i)] : "") +
                     "\r\nat location " + six;

  // Only a place that reads is a position: anything else would put the vehicle at the
  // reader's failure pair.
  float x = 0, y = 0;
  parsepos(app.geo, place, x, y);
  if (known && i > 0 && !(x == parsefailx && y == parsefaily)) {
    float lat = 0, lon = 0;
    osgbtoll(app.geo, x, y, lat, lon);
    plotvehicle(app, i, lat, lon);
  }

  speakqueue(app.voice);
  TalkGuard talk(app.speech);
  talk.on();
  std::string say = std::string(alarm ? "Attention ! Alarm Code " : "Attention ! Message Code ") + code;
  if (v.alarmsound != 0) {
    queuewav(app.voice, alarm ? "$mv$ala1.wav" : "$mv$mes1.wav");
    queuewav(app.voice, alarm ? "$mv$alar.wav" : "$mv$mess.wav");
  }
  const std::string t = rcctext(app.files, code);
  say += " " + t;
  if (shown) {
    alarmcolours(w, alarm);
    w.txt.set(body + "\r\n" + t);
    v.alarmshown = {w.txt.caption, known ? i : 0, code, ++v.alarmseq};
  }
  w.show();
  w.touch();
  if (v.alarmsound != 0) {
    queuechar(app.voice, code, 0);
    queuechar(app.voice, code, 1);
    rccwav(app.voice, code);
  }
  if (v.alarmdropped > 0) say = text::rtrim(say) + " (" + std::to_string(v.alarmdropped) + " dropped)";
  showmsg(app.voice, say);
  speakqueue(app.voice);
}

void ackcode(Voice& voice, const VehicleTable& v, int, const std::string& code) {
  const std::string t = rcctext(voice.files, code);
  speakqueue(voice);
  TalkGuard talk(voice.speech);
  talk.on();
  showmsg(voice, "Acknowledgement to code " + code + " " + t);
  if (v.alarmsound != 0) {
    queuewav(voice, "$mv$ack.wav");
    queuewav(voice, "$mv$ackt.wav");
    queuechar(voice, code, 0);
    queuechar(voice, code, 1);
  }
  rccwav(voice, code);
  speakqueue(voice);
}

void cmessage(const platform::Files& files, const std::string& code, std::string& text, std::string& icon, std::string& extra) {
  const std::string key = code;  // the caller may pass the same text as code and text
  text = key;
  icon = "NULL";
  extra = "NULL";
  auto f = platform::InputFile::open(files, "CMESSAGE.CFG");
  if (!f) return;
  const double n = f->number();
  for (long i = 0; i < n; ++i) {
    // A record cut short by the end of the file matches nothing: its missing fields would
    // otherwise raise an alert with an empty code.
    std::string r[4];
    for (auto& v : r) {
      if (f->eof()) return;
      v = f->field();
    }
    const auto& [c, t, ic, ex] = r;
    if (c == key) {
      text = t;
      // An icon is a name read from a file: one outside the working folder is no icon.
      icon = files.confined(ic) ? ic : "NULL";
      extra = ex;
      return;
    }
  }
}

}  // namespace zarn

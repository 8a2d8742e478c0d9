#include "speech/msgline.h"

#include <tuple>
#include <utility>

#include "speech/voice.h"
#include "geodesy/helpers.h"
#include "platform/textrules.h"
#include "speech/queue.h"

namespace zarn {

namespace {

// A match counts as a whole word when a blank or the text's start is on its left, and a blank
// or no more than two characters (a full stop, a plural "s") on its right.
bool wholeword(const std::string& s, std::size_t pos, std::size_t len) {
  const bool leftok = pos == 0 || s[pos - 1] == ' ';
  const std::size_t after = pos + len;
  const bool rightok = s.size() - after <= 2 || s[after] == ' ';
  return leftok && rightok;
}

}  // namespace

double msgfontsize(const std::string& text) { return text.size() > 68 ? 9.75 : 12; }

std::string translate(const Voice& v, const std::string& text) {
  std::string working = text;
  SpeechState& s = v.speech;
  const std::string name = s.langprefix + "translat.txt";
  // Most installations have no table: messages that come many a second do not each search the
  // folder for it.
  const float now = v.timer();
  if (name == s.notable && elapsed(now, s.notabletime) < 1) return working;
  if (!v.files.exists(name)) {
    std::tie(s.notable, s.notabletime) = std::pair(name, now);
    return working;
  }
  s.notable.clear();
  const auto lines = v.files.readlines(name);
  if (!lines) return working;
  for (const std::string& line : *lines) {
    if (text::trim(line).empty()) break;  // a blank line ends the table
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string from = line.substr(0, eq);
    const std::string to = line.substr(eq + 1);
    if (from.empty()) continue;  // it would match everywhere
    if (text == from) return to;
    // Replace whole words; the scan resumes the from-text's length on from the match ("Road Road"
    // with "Road=Rd" gives "Rd Road"), or after the inserted text when it would find the next
    // match inside it: a replacement that holds its own from-text is not matched again.
    std::size_t start = 0;
    for (;;) {
      const auto pos = working.find(from, start);
      if (pos == std::string::npos) break;
      if (wholeword(working, pos, from.size())) {
        working.replace(pos, from.size(), to);
        const std::size_t end = pos + to.size();
        start = pos + from.size();
        if (start < end && working.find(from, start) < end) start = end;
      } else {
        start = pos + from.size();
      }
      if (start + 1 >= working.size()) break;
    }
  }
  return working;
}

void putmsgline(Voice& v) {
  SpeechState& s = v.speech;
  ui::Label& line = v.msgline;
  line.setfontsize(msgfontsize(s.msgtext));
  line.set(s.msgtext);
  line.visible = true;
  v.msgform.touch();
  s.msgtime = v.timer();
}

void showmsg(Voice& v, const std::string& msg) {
  SpeechState& s = v.speech;
  if (s.talkon == 0 && v.playback == 0) return;
  s.msgtext = translate(v, msg);
  putmsgline(v);
  speakqueue(v);
  endsentence(v);
}

void showmsgsay(Voice& v, const std::string& msg) {
  TalkGuard talk(v.speech);
  talk.on();
  showmsg(v, msg);
}

void showmsgwav(Voice& v, const std::string& msg, const std::string& item) {
  SpeechState& s = v.speech;
  speakqueue(v);
  showmsg(v, msg);
  {
    TalkGuard talk(s);
    talk.on();
    queuewav(v, item);
    speakqueue(v);
  }
  speakqueue(v);
}

void appendmsg(Voice& v, const std::string& text) { v.speech.msgtext += text; }

void clearmsg(Voice& v) {
  ui::Label& line = v.msgline;
  if (line.visible) {  // the tick calls this every 250 ms once a message has expired
    line.visible = false;
    v.msgform.touch();
  }
  v.speech.msgtext.clear();
}

void reshowmsg(Voice& v) {
  SpeechState& s = v.speech;
  if (s.talkon == 0) return;
  s.msgtext = translate(v, s.msgtext);
  putmsgline(v);
}

void blankmsg(Voice& v) {
  v.speech.msgtext = std::string(100, ' ');
  v.speech.lastsaid = v.speech.msgtext;
}

}  // namespace zarn

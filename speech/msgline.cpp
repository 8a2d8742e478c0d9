#include "speech/msgline.h"

#include "app/app.h"
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

std::string translate(const App& app, const std::string& text) {
  std::string working = text;
  const std::string name = app.speech.langprefix + "translat.txt";
  if (!app.files.exists(name)) return working;
  const auto lines = app.files.readlines(name);
  if (!lines) return working;
  for (const std::string& line : *lines) {
    if (text::trim(line).empty()) break;  // a blank line ends the table
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string from = line.substr(0, eq);
    const std::string to = line.substr(eq + 1);
    if (from.empty()) continue;  // it would match everywhere
    if (text == from) return to;
    // Replace whole words, resuming after the inserted text: a repeated word is caught, and a
    // replacement that contains its own from-text is not matched again.
    std::size_t start = 0;
    for (;;) {
      const auto pos = working.find(from, start);
      if (pos == std::string::npos) break;
      if (wholeword(working, pos, from.size())) {
        working.replace(pos, from.size(), to);
        start = pos + to.size();
      } else {
        start = pos + from.size();
      }
      if (start + 1 >= working.size()) break;
    }
  }
  return working;
}

void putmsgline(App& app) {
  SpeechState& s = app.speech;
  ui::Label& line = app.win.zarn.saytxt;
  line.setfontsize(msgfontsize(s.msgtext));
  line.set(s.msgtext);
  line.visible = true;
  app.win.zarn.touch();
  s.msgtime = app.timer();
}

void showmsg(App& app, const std::string& msg) {
  SpeechState& s = app.speech;
  if (s.talkon == 0 && app.main.playback == 0) return;
  s.msgtext = translate(app, msg);
  putmsgline(app);
  speakqueue(app);
  endsentence(app);
}

void showmsgsay(App& app, const std::string& msg) {
  TalkGuard talk(app.speech);
  talk.on();
  showmsg(app, msg);
}

void showmsgwav(App& app, const std::string& msg, const std::string& item) {
  SpeechState& s = app.speech;
  speakqueue(app);
  showmsg(app, msg);
  {
    TalkGuard talk(s);
    talk.on();
    queuewav(app, item);
    speakqueue(app);
  }
  speakqueue(app);
}

void appendmsg(App& app, const std::string& text) { app.speech.msgtext += text; }

void clearmsg(App& app) {
  ui::Label& line = app.win.zarn.saytxt;
  if (line.visible) {  // the tick calls this every 250 ms once a message has expired
    line.visible = false;
    app.win.zarn.touch();
  }
  app.speech.msgtext.clear();
}

void reshowmsg(App& app) {
  SpeechState& s = app.speech;
  if (s.talkon == 0) return;
  s.msgtext = translate(app, s.msgtext);
  putmsgline(app);
}

void blankmsg(App& app) {
  app.speech.msgtext = std::string(100, ' ');
  app.speech.lastsaid = app.speech.msgtext;
}

}  // namespace zarn

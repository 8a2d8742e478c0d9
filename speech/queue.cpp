#include "speech/queue.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "speech/voice.h"
#include "geodesy/helpers.h"
#include "platform/files.h"
#include "platform/textrules.h"
#include "platform/ui.h"
#include "platform/wav.h"
#include "speech/msgline.h"

namespace zarn {

namespace {

// The talker hand-off files, in the working directory.
constexpr const char* talkcfg = "ZARNTALK.CFG";
constexpr const char* talktext = "ZARNTEXT.TXT";
constexpr const char* talkwave = "ZARNWAVE.TXT";
constexpr float talkwait = 10;  // seconds we wait for the talker to finish
// An item longer than this is cut at a word: about 25 s of speech, far more than any phrase
// the program makes, while a line of a hostile replay or data file could be megabytes long.
constexpr std::size_t itemmax = 400;
// The longest we wait for one sound to end; a sound server that stops taking sound must not
// hold the program for ever.
constexpr float soundmax = 120;

// Set while a sentence is spoken with events and the serial poll running, given back on every
// way out (a wait may end the program).
struct Speaking {
  explicit Speaking(SpeechState& s) : s_(s) { s_.talkwaiting = true; }
  ~Speaking() { s_.talkwaiting = false; }
  Speaking(const Speaking&) = delete;
  Speaking& operator=(const Speaking&) = delete;
  SpeechState& s_;
};

// Items that events or the poll queued while the first n were spoken were not spoken: they are
// kept, in order, for the next speakqueue.
void keepqueuedafter(SpeechState& s, int n) {
  const int left = std::max(0, s.wavcount - n);
  std::move(s.wavqueue.begin() + 1 + n, s.wavqueue.begin() + 1 + n + left, s.wavqueue.begin() + 1);
  s.wavcount = static_cast<std::int16_t>(left);
}

// A sound heard to its end: started, then waited for with the serial poll and events running,
// so that the port is read while it plays. Non-zero when it played. A good recording that
// cannot be played (no sound server) takes its own length all the same, as if heard: what it
// announces stays on the message line long enough to be read. A missing or broken file is
// skipped at once.
int playtoend(Voice& v, const std::filesystem::path& file) {
  const int r = v.sys.wav->play(file, false);
  if (r != 0) {
    v.pollwait(soundmax, [&] { return !v.sys.wav->playing(); });
    return r;
  }
  const auto sound = platform::readwav(file);
  if (!sound || sound->frames() == 0) return 0;
  v.pollwait(std::min(static_cast<float>(sound->seconds()), soundmax), [] { return false; });
  return 1;
}

// Remembers the sentence just closed or spoken, for sayagain.
void keepsentence(SpeechState& s) {
  s.lastsentlen = s.wavcount;
  s.lastsentence.assign(s.wavqueue.begin() + 1, s.wavqueue.begin() + 1 + s.wavcount);
}

// The talker's command line split into words; a quoted part keeps its blanks.
std::vector<std::string> splitcommand(const std::string& line) {
  std::vector<std::string> words;
  std::string w;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(w);
      w.clear();
      any = false;
    } else {
      w += c;
      any = true;
    }
  }
  if (any) words.push_back(w);
  return words;
}

// Starts the outside talker; false when it cannot be started (the queue is then kept).
bool starttalker(Voice& v) {
  auto cfg = platform::InputFile::open(v.files, talkcfg);
  if (!cfg) return false;
  const auto words = splitcommand(cfg->field());
  if (words.empty()) return false;
  std::filesystem::path program = words[0];
  if (v.files.exists(words[0])) program = v.files.resolve(words[0]);
  return v.sys.programs->start(program, {words.begin() + 1, words.end()}, false);
}

// Writes the pending sentence for the outside talker and starts it; false when either fails
// (the queue is then kept).
bool handover(Voice& v) {
  SpeechState& s = v.speech;
  const int n = s.wavcount;
  std::vector<std::string> lines;
  // The talker puts the first line in front of every sound item's name.
  lines.push_back(s.langprefix.empty() ? v.files.workdir().string() + "/" : s.langprefix);
  lines.push_back(text::str(n));
  for (int i = 1; i <= n; ++i) lines.push_back(s.wavqueue[i]);
  std::string error;
  for (const auto& [name, text] : {std::pair{talktext, std::vector<std::string>{s.msgtext}}, {talkwave, lines}}) {
    if (!v.files.writelines(name, text, &error)) {
      // Shown without speaking it: speaking would come back here. The queue is kept, as when
      // the talker cannot be started.
      s.msgtext = std::string(name) + " not written: " + error;
      putmsgline(v);
      return false;
    }
  }
  if (s.talkon == 1) {
    s.lastsaid = s.msgtext;
    keepsentence(s);
  }
  s.talkhanded = v.timer();
  return starttalker(v);
}

// Hands the pending sentence to the outside talker and waits (letting events run) until it
// deletes ZARNWAVE.TXT, at most 10 s.
void handtotalker(Voice& v) {
  SpeechState& s = v.speech;
  const int n = s.wavcount;
  if (!handover(v)) return;
  {
    Speaking speaking(s);
    v.pollwait(talkwait, [&] { return !v.files.exists(talkwave); });
  }
  keepqueuedafter(s, n);
  v.doevents();
}

}  // namespace

bool issounditem(const std::string& item) {
  const std::string u = text::ucase(item);
  return u.find(".WAV") != std::string::npos || u.find(".$AV") != std::string::npos ||
         (!item.empty() && item.back() == '$');
}

void queuewav(Voice& v, const std::string& item) {
  SpeechState& s = v.speech;
  if (s.talkon == 0 || s.nosound > 0 || s.wavcount >= SpeechState::queuemax) return;
  ++s.wavcount;
  s.wavqueue[s.wavcount] = ui::cutatword(item, itemmax);
}

void queuesay(Voice& v, const std::string& item) { queuewav(v, item); }

void endsentence(Voice& v) {
  SpeechState& s = v.speech;
  if (s.wavcount > 0) keepsentence(s);
  s.wavcount = 0;
}

void endsentence2(Voice& v) { endsentence(v); }
void flushsay(Voice& v) { endsentence(v); }

void speakqueue(Voice& v) {
  SpeechState& s = v.speech;
  if (s.talkwaiting) return;  // an event inside a wait of speaking: its items go next time
  if (v.keyboardshown && v.keyboardshown()) {
    // The on-screen keyboard is in use: prompts would only get in the way.
    s.wavcount = 0;
    v.doevents();
    return;
  }
  if (s.talkext > 0 && s.wavcount > 0) {
    handtotalker(v);
    return;
  }
  const int n = s.wavcount;
  // The items as they stand: what runs inside the waits may queue more behind them.
  const std::vector<std::string> items(s.wavqueue.begin() + 1, s.wavqueue.begin() + 1 + n);
  {
    Speaking speaking(s);
    for (const std::string& item : items) {
      if (s.talkstop == 1) {
        s.wavcount = 0;
        v.doevents();
        return;
      }
      sayit(v, item);
    }
  }
  if (s.wavcount > 0 && s.talkon == 1) {
    s.lastsaid = s.msgtext;
    const int all = std::exchange(s.wavcount, static_cast<std::int16_t>(std::min<int>(s.wavcount, n)));
    keepsentence(s);
    s.wavcount = static_cast<std::int16_t>(all);
  }
  keepqueuedafter(s, n);
  v.doevents();
}

void sayit(Voice& v, const std::string& item) {
  const SpeechState& s = v.speech;
  if (item.empty() || s.wavcount == 0 || s.nosound > 0 || s.talkon != 1) return;
  if (issounditem(item)) {
    // Names come from data files: one leading out of the working folder is not opened.
    if (!v.files.confined(item)) return;
    // A recording in the chosen language first, the default recording second.
    if (playtoend(v, v.files.resolve(s.langprefix + item)) == 0) playtoend(v, v.files.resolve(item));
  } else if (s.ttsavail == 1 && v.sys.tts->say(item) != 0) {
    // Speech goes to the same player as the prompts, and is waited for in the same way.
    v.pollwait(soundmax, [&] { return !v.sys.wav->playing(); });
  }
}

int playwav(Voice& v, const std::string& name) {
  const SpeechState& s = v.speech;
  if (s.nosound != 0) return 0;
  const std::string prefixed = s.langprefix + name;
  return v.sys.wav->play(v.files.resolve(v.files.exists(prefixed) ? prefixed : name), false);
}

void saynow(Voice& v, const std::string& text, const std::string& item) {
  SpeechState& s = v.speech;
  speakqueue(v);
  const std::int16_t saved = s.talkon;
  s.talkon = 1;
  s.talkstop = 0;
  showmsg(v, text);
  queuewav(v, item);
  speakqueue(v);
  s.talkon = saved;
}

void saystart(Voice& v, const std::string& text, const std::string& item) {
  SpeechState& s = v.speech;
  // Text for the speech library is said as saynow says it.
  if (!issounditem(item) || (v.keyboardshown && v.keyboardshown())) {
    saynow(v, text, item);
    return;
  }
  speakqueue(v);
  TalkGuard talk(s);
  talk.on();
  s.talkstop = 0;
  if (s.talkwaiting) {
    // Asked for while a sentence is spoken (by the poll in its wait): the sentence is left whole
    // in the queue, and the prompt follows it, once however often it is asked for.
    s.msgtext = translate(v, text);
    putmsgline(v);
    const auto pending = s.wavqueue.begin() + 1;
    if (std::find(pending, pending + s.wavcount, item) == pending + s.wavcount) queuewav(v, item);
    return;
  }
  showmsg(v, text);
  if (s.talkext > 0) {
    // The outside talker is handed the prompt and not waited for. While it has not yet taken
    // the last one (its list is still there, for at most the wait it is given), this one is left
    // out.
    const float now = v.timer();
    if (s.talkhanded && elapsed(now, *s.talkhanded) < talkwait && v.files.exists(talkwave)) return;
    s.wavcount = 0;
    queuewav(v, item);
    handover(v);
    s.wavcount = 0;
    return;
  }
  if (s.nosound > 0) return;
  // Kept for sayagain as a sentence of its own.
  s.lastsaid = s.msgtext;
  s.lastsentence.assign(1, item);
  s.lastsentlen = 1;
  // While a sound is still to be heard this one is left out, rather than heard late.
  if (v.sys.wav->playing() || !v.files.confined(item)) return;
  const float now = v.timer();
  if (item == s.unheard && elapsed(now, s.unheardtime) < 1) return;
  if (playwav(v, item) != 0) {
    s.unheard.clear();
  } else {
    s.unheard = item;
    s.unheardtime = now;
  }
}

void saytext(Voice& v, const std::string& text) { saynow(v, text, text); }

void sayagain(Voice& v) {
  SpeechState& s = v.speech;
  showmsg(v, s.lastsaid);
  TalkGuard talk(s);
  talk.on();
  const std::vector<std::string> again = s.lastsentence;  // queuewav may overwrite the slots
  for (const auto& item : again) queuewav(v, item);
  speakqueue(v);
}

void settalk(Voice& v, int on) {
  SpeechState& s = v.speech;
  if (on != 0) {
    s.talkon = 1;
    s.talkstop = 0;
  } else {
    s.talkon = 0;
    s.talkstop = 1;
    s.wavcount = 0;
  }
}

TalkGuard& TalkGuard::talk(std::int16_t v) {
  if (!talkon_) talkon_ = s_.talkon;
  s_.talkon = v;
  return *this;
}

TalkGuard& TalkGuard::stop(std::int16_t v) {
  if (!talkstop_) talkstop_ = s_.talkstop;
  s_.talkstop = v;
  return *this;
}

TalkGuard::~TalkGuard() {
  if (talkon_) s_.talkon = *talkon_;
  if (talkstop_) s_.talkstop = *talkstop_;
}

}  // namespace zarn

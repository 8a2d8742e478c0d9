// The prompt queue: everything the program says is queued as WAV names or texts and spoken
// by speakqueue, item by item through the sound and speech services, or handed to an outside
// talker program (ZARNTALK.CFG).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zarn {
struct Voice;
struct SpeechState;

// Sound and messages on (the pending stop lifted) or off (the pending sentence dropped and
// whatever is playing stopped at its next item): the demo, the replay script and start-up.
void settalk(Voice& v, int on);

// The user's speech settings kept across one announcement: on() forces speech on, off() keeps
// it quiet, unstopped() lifts a stop and stopped() abandons what is playing. Each flag changed
// is given back as it was at the end of the scope; flags not changed are left alone, so a stop
// the user asks for meanwhile still holds.
class TalkGuard {
 public:
  explicit TalkGuard(SpeechState& s) : s_(s) {}
  ~TalkGuard();
  TalkGuard(const TalkGuard&) = delete;
  TalkGuard& operator=(const TalkGuard&) = delete;
  TalkGuard& on() { return talk(1); }
  TalkGuard& off() { return talk(0); }
  TalkGuard& unstopped() { return stop(0); }
  TalkGuard& stopped() { return stop(1); }

 private:
  TalkGuard& talk(std::int16_t v);
  TalkGuard& stop(std::int16_t v);
  SpeechState& s_;
  std::optional<std::int16_t> talkon_, talkstop_;
};

// Appends one item when sound and messages are on, prompts are not suppressed and the queue
// has room (200 items); otherwise does nothing. An item of over 400 characters is cut at a word.
void queuewav(Voice& v, const std::string& item);
// The main window's name for the same operation.
void queuesay(Voice& v, const std::string& item);
// Closes the pending sentence without speaking it; it stays available to sayagain.
void endsentence(Voice& v);
void endsentence2(Voice& v);
void flushsay(Voice& v);
// Speaks the queue now and empties it.
void speakqueue(Voice& v);
// Plays or speaks one item of the queue being spoken.
void sayit(Voice& v, const std::string& item);
// Starts one sound playing in the background, outside the queue; non-zero when it started.
int playwav(Voice& v, const std::string& name);
// Shows a message and says one item at once, even with sound off.
void saynow(Voice& v, const std::string& text, const std::string& item);
// The same for an announcement that may come many times a second: the sound is started, or
// handed to the outside talker, and not waited for. While a sound is still playing, or the talker
// has not yet taken the last one, it is left out; while a sentence is being spoken it follows
// that sentence, once.
void saystart(Voice& v, const std::string& text, const std::string& item);
// Shows a text and speaks it.
void saytext(Voice& v, const std::string& text);
// Repeats the last sentence with its message.
void sayagain(Voice& v);

// True for a WAV item (".WAV" or ".$AV" anywhere in any case, or a last character "$");
// anything else is a text for the speech library.
bool issounditem(const std::string& item);

}  // namespace zarn

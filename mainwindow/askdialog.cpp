#include "mainwindow/askdialog.h"

#include <algorithm>
#include <string>

#include "app/app.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {

// The interval a "yes" sets for each report kind: seconds for the regular reports (where we
// are, destination, direction, ETA), 1 (on) for the others.
constexpr int yesvalue[] = {0, 60, 30, 60, 1, 1, 1, 1, 1, 60, 1};

// The kinds asked about: never more than the table holds.
int kinds(const MainState& m) { return std::clamp(m.repkinds, 0, static_cast<int>(m.repint.size()) - 1); }

void askquestion(Voice& voice, const MainState& m, int n) {
  TalkGuard talk(voice.speech);
  talk.on();
  showmsg(voice, "Shall I say " + m.repquest[static_cast<std::size_t>(n)]);
  queuewav(voice, "shallisa.wav");
  queuewav(voice, "OPCQ" + std::to_string(n) + ".WAV");
  speakqueue(voice);
}

// Asks the next question, stores the answer to the one before it and ends the dialogue after
// the last answer.
void nextquestion(Voice& voice, MainState& m, bool yes) {
  const int n = m.askstate;
  if (n >= 1 && n <= kinds(m)) askquestion(voice, m, n);
  if (n > 1 && n - 1 <= kinds(m)) m.repint[static_cast<std::size_t>(n - 1)] = yes ? yesvalue[n - 1] : 0;
  m.askstate = n + 1;
  if (m.askstate > kinds(m) + 1) {
    m.askstate = 0;
    settalk(voice, 1);
    saynow(voice, "O K", "ok.wav");
  }
}

}  // namespace

void askopen(Voice& voice, MainState& m) {
  settalk(voice, 1);  // the answers are heard, and speech stays on afterwards
  showmsg(voice, "Shall I say the same things as before ?");
  queuewav(voice, "shallisa.wav");
  queuewav(voice, "thesamet.wav");
  speakqueue(voice);
  m.askstate = -1;
  m.askstep = 0;
}

void askanswer(Voice& voice, MainState& m, bool yes) {
  if (m.askstate == 0) return;
  if (m.askstate == -1) {
    if (yes) {
      showmsg(voice, "OK");
      queuewav(voice, "OK.wav");
      speakqueue(voice);
      m.askstate = 0;
      return;
    }
    // No: everything off, then each kind asked in turn.
    for (int k = 1; k <= kinds(m); ++k) m.repint[static_cast<std::size_t>(k)] = 0;
    m.askstate = 1;
  }
  nextquestion(voice, m, yes);
}

bool asknonanswer(Voice& voice, MainState& m) {
  if (m.askstate == 0) return false;
  ++m.askstep;
  if (m.askstep == 1) saynow(voice, "Pardon ?", "pardon.wav");
  if (m.askstep == 2) saynow(voice, "Please answer Yes or No", "yesorno.wav");
  if (m.askstep >= 5) m.askstate = 0;  // given up: the answers so far stand
  return true;
}

}  // namespace zarn

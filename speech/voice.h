// What speaking needs, and no more: the speech state, the sound and speech services with the
// clock and the event pump (a sentence is spoken with events running), the data files, the
// message line and the two settings of the main window that change what is said or shown.
// The application object holds one, bound to its own members; everything that only speaks or
// shows a message takes this rather than the whole application.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/files.h"
#include "platform/services.h"
#include "platform/ui.h"
#include "speech/speechstate.h"

namespace zarn {

struct Voice {
  SpeechState& speech;
  platform::Services& sys;
  const platform::Files& files;
  ui::Label& msgline;  // the main window's message line
  ui::Form& msgform;   // the window it is on, told to repaint
  // Distances in metres and kilometres rather than miles and yards.
  const int& metric;
  // Above 0 while a log is replayed: messages show even with sound off.
  const int& playback;
  // True while the on-screen keyboard is up: prompts are dropped rather than spoken.
  std::function<bool()> keyboardshown;
  // The serial poll, run inside every wait of speaking so that reports are read while a
  // sentence plays.
  std::function<void()> poll;

  float timer() const { return sys.clock->timer(); }
  void doevents() { sys.events->doevents(); }
  bool waitfor(float seconds, const std::function<bool()>& done) {
    return platform::waitfor(*sys.clock, *sys.events, seconds, done);
  }
  // The same wait with the serial poll run on every pass.
  bool pollwait(float seconds, const std::function<bool()>& done) {
    return waitfor(seconds, [&] {
      if (poll) poll();
      return done();
    });
  }
};

}  // namespace zarn

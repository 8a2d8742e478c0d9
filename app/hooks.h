// The calls that must still go up the layers in the middle of a piece of work: a lower
// subsystem calls the hook, start-up wires it to the higher subsystem's procedure. Each hook is
// listed in ARCHITECTURE.md with its reason. An unwired hook does nothing.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "gpsinput/linkstate.h"

namespace zarn {
struct App;

struct Hooks {
  // Members are added by the roads that need them, each with the reason it cannot wait.

  // The vehicle link: the serial poll and the trip log (GPS input) hand up to vehicle tracking
  // and the main window.
  // A completed link line goes to the link handler at once: the poll reads the next character
  // in the state the line leaves (a length line makes it take a binary record of that length).
  std::function<void(App&, std::string& line, LinkFrame frame)> linkline;
  // The call state and the trip log's name are shown in the vehicle windows as they change,
  // while a dial-out waits on the terminal's replies.
  std::function<void(App&, const LinkShow&)> showlink;
  // A log line is printed as it is logged; a printer that fails is reported by the main window,
  // which switches printing off before the next line.
  std::function<void(App&, const std::string&)> printline;
  // Start-up's progress line on the start window, shown while the vehicle configuration is read
  // and its modem commands are sent.
  std::function<void(App&, const std::string&)> setstatlabel;
};

// Calls a hook when it is wired.
template <class F, class... A> void callhook(const F& hook, A&&... args) {
  if (hook) hook(std::forward<A>(args)...);
}

}  // namespace zarn

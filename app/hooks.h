// The calls that must still go up the layers in the middle of a piece of work: a lower
// subsystem calls the hook, start-up wires it to the higher subsystem's procedure. Each hook is
// listed in ARCHITECTURE.md with its reason. An unwired hook does nothing.
#pragma once

#include <functional>
#include <string>
#include <utility>

namespace zarn {
struct App;
struct LineResult;

struct Hooks {
  // --- The GPS road ---
  // A line the serial poll has just parsed: its consumer shows it, moves the car and passes it
  // on at once, in the order the lines arrive (the poll also runs inside waits).
  std::function<void(App&, const LineResult&, std::string& line)> sentence;
  // A sentence the file link left: the demo gives way and it is taken as received.
  std::function<void(App&, std::string& line)> filelink;
};

// Calls a hook when it is wired.
template <class F, class... A> void callhook(const F& hook, A&&... args) {
  if (hook) hook(std::forward<A>(args)...);
}

}  // namespace zarn

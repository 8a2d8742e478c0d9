// The calls that must still go up the layers in the middle of a piece of work: a lower
// subsystem calls the hook, start-up wires it to the higher subsystem's procedure. Each hook is
// listed in ARCHITECTURE.md with its reason. An unwired hook does nothing.
#pragma once

#include <functional>
#include <utility>

namespace zarn {
struct App;

struct Hooks {
  // Members are added by the roads that need them, each with the reason it cannot wait.
};

// Calls a hook when it is wired.
template <class F, class... A> void callhook(const F& hook, A&&... args) {
  if (hook) hook(std::forward<A>(args)...);
}

}  // namespace zarn

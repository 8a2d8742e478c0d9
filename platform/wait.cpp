#include "platform/services.h"

namespace zarn::platform {

bool waitfor(const Clock& clock, EventPump& events, float seconds, const std::function<bool()>& done) {
  const float t0 = clock.timer();
  // A fake clock that never moves would hold us here for ever: give up after a bounded
  // number of passes when time does not advance.
  long still = 0;
  float last = t0;
  for (;;) {
    events.doevents();
    if (done && done()) return true;
    // The end has been asked: whoever waits is on the way out, and the program ends once it
    // is back in the event loop.
    if (events.endasked()) break;
    const float now = clock.timer();
    float d = now - t0;
    if (d < 0) d += 86400;
    if (d >= seconds) break;
    events.idle();
    if (now == last) {
      if (++still > 100000) break;
    } else {
      still = 0;
      last = now;
    }
  }
  return false;
}

}  // namespace zarn::platform

// The speech tests' application: one 100 km square (SU) so that grid references read and
// write, and waits that leave the clock alone.
#pragma once

#include "support/app_fixture.h"

namespace zarn::test {

class SpeechTest : public AppTest {
 protected:
  void ready() override {
    waitstep = 0;
    squares({{"SU", 400, 100}});
  }
  // The items waiting in the queue.
  Items queued() const {
    const auto& s = app->speech;
    return {s.wavqueue.begin() + 1, s.wavqueue.begin() + 1 + s.wavcount};
  }
  // The last sentence spoken (or closed).
  const Items& said() const { return app->speech.lastsentence; }
  const std::string& msg() const { return app->speech.msgtext; }
};

}  // namespace zarn::test

// The speech tests' application: one 100 km square (SU) so that grid references read and
// write, and waits that leave the clock alone.
#pragma once

#include "speech/rform.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {

class SpeechTest : public AppTest {
 protected:
  void ready() override {
    waitstep = 0;
    squares({{"SU", 400, 100}});
  }
  // A new application in an emptied directory, for the next case of a table.
  void fresh() { app.reset(); std::filesystem::remove_all(dir); make(); }
  // Nothing queued, shown or said, for the next case of a table.
  void forget() { app->speech.wavcount = 0; app->speech.msgtext.clear(); app->speech.lastsentence.clear(); }
  // The items waiting in the queue, the last sentence spoken (or closed) and the recordings
  // played, each as one text of the items separated by blanks.
  std::string queued() const {
    const auto& s = app->speech;
    return joined({s.wavqueue.begin() + 1, s.wavqueue.begin() + 1 + s.wavcount});
  }
  std::string said() const { return joined(app->speech.lastsentence); }
  std::string heard() const { return joined(played()); }
  const std::string& msg() const { return app->speech.msgtext; }
  RForm& rform() { return app->win.get<RForm>(); }
  static std::string joined(const Items& items) {
    std::string s;
    for (const auto& i : items) s += (s.empty() ? "" : " ") + i;
    return s;
  }
};

}  // namespace zarn::test

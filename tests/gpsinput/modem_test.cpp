// The modem primitives, the outgoing queue and the call's waits, against a scripted modem whose
// every poll moves the clock on, so that a minute's wait takes a few hundred polls.
#include "gpsinput/modem.h"
#include "gpsinput/waits.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

using Reply = platform::FakeModemLine::Reply;

class Modem : public AppTest {
 protected:
  void ready() override {
    waitstep = 0;  // only the line's polls move the clock
    modem = dynamic_cast<platform::FakeModemLine*>(app->sys.serial.get());
    if (modem) modem->attach(*clock);
    app->hooks.showlink = [this](App&, const LinkShow& s) {
      if (s.timetext) shown.push_back(*s.timetext);
    };
  }
  void fresh() {
    make(std::make_unique<platform::FakeModemLine>());
    shown.clear();
  }
  float since(float t0) const { return app->timer() - t0; }

  platform::FakeModemLine* modem = nullptr;
  Items shown;  // the time label's texts, in order
};

TEST_F(Modem, WaitsEndOnTheirEventOrTimeAndCountDown) {
  const struct {
    const char* guards;
    void (*wait)(App&, float);
    float secs;
    bool aborted, mv;
    double at;  // when the reply comes, 0 none
    const char* reply;
    float took;
    std::size_t shown;  // texts shown
    const char* last;
  } cases[] = {
      {"waitcount with an abort pending polls once", waitcount, 30, true, false, 0, "", .05f, 0, ""},
      {"waitreply with an abort pending polls once", waitreply, 30, true, false, 0, "", .05f, 1, "29"},
      {"waitreply ends on the poll that brings CONNECT", waitreply, 60, false, false, 12.5, "CONNECT 9600\r", 12.5f, 13, "47"},
      {"waitcount ends at the service's prompt", waitcount, 60, false, true, 7.5, "BT CSAT\r> ", 7.5f, 3, "52"},
      {"waitcount runs its time, silent for five seconds", waitcount, 30, false, false, 0, "", 30, 25, "0"},
      {"waitreply counts from the start", waitreply, 30, false, false, 0, "", 30, 30, "0"},
  };
  for (const auto& c : cases) {
    fresh();
    app->gps.abortflag = c.aborted;
    app->main.mvmode = c.mv;
    app->gps.csatstate = CallState::dialling;
    if (c.at > 0) modem->arrive(c.at, c.reply);
    const float t0 = app->timer();
    c.wait(*app, c.secs);
    EXPECT_NEAR(since(t0), c.took, .06f) << c.guards;
    EXPECT_EQ(std::tuple(shown.size(), shown.empty() ? "" : shown.back()), std::tuple(c.shown, c.last)) << c.guards;
    EXPECT_TRUE(!c.aborted || modem->polls == 1) << c.guards << ": " << modem->polls << " polls";
  }
}

TEST_F(Modem, DelayPollsOnceEvenAbortedAndLastsAcrossMidnight) {
  fresh();
  app->gps.abortflag = true;
  delaysec(*app, 5);
  EXPECT_EQ(modem->polls, 1);
  app->gps.abortflag = false;
  at(*clock, "23:59:50");
  delaysec(*app, 20);
  EXPECT_NEAR(app->timer(), 10, .06f) << "ends 20 s later, in the next day";
}

TEST_F(Modem, ModemTestTriesOncePerSecond) {
  const struct {
    const char* guards;
    double okafter;  // the modem's OK after each AT, 0 no modem
    bool abort;
    bool ok;
    std::size_t ats;
    float took;
  } cases[] = {
      {"a modem answers the first AT", .3, false, true, 1, .3f},
      {"no modem: three tries of a second", 0, false, false, 3, 3},
      {"an abort pending ends the test at once", .3, true, false, 0, 0},
  };
  for (const auto& c : cases) {
    fresh();
    if (c.okafter > 0) modem->answer("AT", {{c.okafter, "OK\r"}});
    app->gps.abortflag = c.abort;
    const float t0 = app->timer();
    EXPECT_EQ(modemtest(*app, 3), c.ok) << c.guards;
    EXPECT_EQ(std::tuple(modem->commands.size(), shown), std::tuple(c.ats, Items{"OK", ""})) << c.guards;
    EXPECT_NEAR(since(t0), c.took, .11f) << c.guards;
  }
}

TEST_F(Modem, HangupHoldsDtrLowThreeSecondsWhateverTheAbort) {
  fresh();
  app->gps.connected = 1;
  app->gps.abortflag = true;
  // A hang-up asked again inside the wait (a nested tick) leaves it to the one running.
  int nested = 0;
  events->hook = [&] {
    if (nested++ == 10) hangup(*app);
  };
  const double t0 = app->timer();
  hangup(*app);
  ASSERT_EQ(modem->dtr.size(), 2u);
  EXPECT_FALSE(modem->dtr[0].on);
  EXPECT_NEAR(modem->dtr[0].t, t0, .06);
  EXPECT_NEAR(modem->dtr[1].t - modem->dtr[0].t, 3, .06) << "low 3 s though the abort was set";
  EXPECT_NEAR(since(static_cast<float>(t0)), 4, .11f);
  EXPECT_EQ(std::tuple(app->gps.connected, modem->dtr[1].on), std::tuple(0, true));
  EXPECT_GT(modem->polls, 70) << "the input is polled all the while";
}

TEST_F(AppTest, QueueKeepsTenInOrderAndRefusesTheEleventh) {
  auto& g = app->gps;
  EXPECT_FALSE(queuepeek(g));
  for (int k = 1; k <= 10; ++k) EXPECT_TRUE(queuemsg(g, "U" + std::to_string(k), "text", "b"));
  EXPECT_FALSE(queuemsg(g, "U11", "text", "b")) << "the eleventh is refused";
  for (int k = 1; k <= 10; ++k) EXPECT_EQ(queuepeek(g)->to, "U" + std::to_string(k));
  EXPECT_FALSE(queuepeek(g));
}

}  // namespace
}  // namespace zarn::test

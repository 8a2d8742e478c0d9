// The dial-out sender against a scripted modem and text service, every outcome of a call and
// every abort, and the dial monitor. Each poll of the line moves the clock on, so a call's
// minute-long waits take a few hundred polls.
#include <regex>

#include "gpsinput/modem.h"
#include "gpsinput/serialpoll.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "vehicles/dialforms.h"
#include "vehicles/dialout.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using Reply = platform::FakeModemLine::Reply;

// How the far end behaves: the modem's dial, then the service and its answer to a message.
enum class Far { sent, busy, noprompt, unreachable, noref, noconnect, earlyref };

const std::string relayedrmc = "$V1RMC,123456,A,5321.443,N,00218.822,W,10.0,84.5,261020,,*72\r\n";

class Dialout : public AppTest {
 protected:
  void ready() override {
    waitstep = 0;  // only the line's polls move the clock
    modem = dynamic_cast<platform::FakeModemLine*>(app->sys.serial.get());
    if (!modem) return;
    modem->attach(*clock);
    squares({{"SJ", 300, 300}});
    auto& v = app->veh;
    app->main.mvmode = 1;
    std::tie(v.csatnumber, v.csatuser, v.csatpass, v.mvtotal) = std::tuple("08001234", "base", "pw", 5);
    // Three units heard from a minute ago, one half an hour ago, one without a terminal.
    const char* units[][2] = {{"ALPHA", "111"}, {"BRAVO", "222"}, {"CHARL", "333"}, {"DELTA", "444"}, {"ECHO ", ""}};
    for (int i = 1; i <= 5; ++i) {
      vehicle(*app, i, {.label = units[i - 1][0], .dial = units[i - 1][1]});
      app->veh.mvtimer[std::size_t(i)] = app->timer() - (i == 4 ? 1800.f : 60.f);
    }
    app->gps.printon = true;
    app->gps.triplog = platform::OutputFile::open(app->files, "NEWTRIP.MVD", platform::OutputFile::Mode::Log);
    app->gps.logopen = true;
  }
  void fresh(Far far) {
    make(std::make_unique<platform::FakeModemLine>());
    if (far == Far::noconnect) return modem->answer("ATDT", {{1, "BUSY\r"}});
    std::vector<Reply> dial{{2, "CONNECT 9600\r"}};
    if (far == Far::busy) dial.push_back({3, "BUSY\r"});
    // A reference where the service's greeting should be: it confirms what was never sent.
    if (far == Far::earlyref) dial.push_back({3, "Your reference number 4711\r"});
    if (far != Far::busy && far != Far::noprompt && far != Far::earlyref) dial.insert(dial.end(), {{3, "Welcome to BT CSAT\r"}, {4, "username: "}});
    modem->answer("ATDT", dial);
    modem->answer("base", {{.5, "password: "}});
    modem->answer("pw", {{.5, "\r\n> "}});
    if (far == Far::sent) modem->answer(".S", {{3, "Your reference number 4711\r"}});
    if (far == Far::unreachable) modem->answer(".S", {{3, "Terminal cannot be reached\r"}});
  }
  std::string commands() const {
    std::string s;
    for (const auto& c : modem->commands) s += (s.empty() ? "" : "|") + c.text;
    return s;
  }
  // The log lines with their time and date as "T D"; the printer's must be the trip log's.
  Items logged() const {
    Items lines;
    for (const auto& l : platform::splitlines(get("NEWTRIP.MVD")))
      lines.push_back(std::regex_replace(l, std::regex("^LOG: [0-9:]{8} [0-9-]{10}"), "LOG: T D"));
    Items printed;
    for (const auto& l : printer->lines)
      printed.push_back(std::regex_replace(l, std::regex("^LOG: [0-9:]{8} [0-9-]{10}"), "LOG: T D"));
    EXPECT_EQ(printed, lines);
    return lines;
  }
  // A relayed vehicle sentence arrives: whether the link decoded it.
  bool hearsvehicles() {
    const long before = app->veh.mvdecoded;
    modem->arrive(0, relayedrmc);
    readcomms(*app);
    return app->veh.mvdecoded == before + 1;
  }

  platform::FakeModemLine* modem = nullptr;
};

TEST_F(Dialout, EveryOutcomeOfACallEndsIdleAndHearingTheUnitsAgain) {
  const struct {
    const char* guards;
    Far far;
    const char *to, *body;
    std::size_t queued;  // messages waiting before the call
    float abortat;       // seconds into the call the user aborts, 0 never
    bool stale;          // no unit heard from in the last half hour
    const char *telstat, *commands;
    Items log;
    float hangat = -1;  // when DTR drops, -1 never
    bool green = false;
  } cases[] = {
      {"sent: the service's reference is logged and the box turns green", Far::sent, "BRAVO", "HELLO THERE", 0, 0,
       false, "", "ATDT08001234|base|pw|SEND|222|MSG: HELLO THERE|.S||QUIT",
       {"LOG: T D  Ref 4711 sent to BRAVO", "MSG: HELLO THERE"}, -1, true},
      {"a body of two characters logs one line", Far::sent, "BRAVO", "12", 0, 0, false, "",
       "ATDT08001234|base|pw|SEND|222|MSG: 12|.S||QUIT", {"LOG: T D Ref 4711 sent to BRAVO  MSG: 12"}, -1, true},
      {"engaged: the addressee given is logged and the queue waits", Far::busy, "BRAVO", "HELLO THERE", 2, 0, false,
       "2 QUEUED FOR NEXT CALL", "ATDT08001234|QUIT",
       {"LOG: T D   to BRAVO NOT SENT (ENGAGED)", "MSG: HELLO THERE", "LOG: T D  2 QUEUED FOR NEXT CALL"}},
      {"no prompt: break, hang up, and the queue waits", Far::noprompt, "BRAVO", "HELLO THERE", 1, 0, false,
       "1 QUEUED FOR NEXT CALL", "ATDT08001234|QUIT|QUIT",
       {"LOG: T D   to BRAVO NOT SENT (TIME OUT)", "MSG: HELLO THERE", "LOG: T D  1 QUEUED FOR NEXT CALL"}, 64},
      {"the unit cannot be reached", Far::unreachable, "BRAVO", "HELLO THERE", 0, 0, false, "",
       "ATDT08001234|base|pw|SEND|222|MSG: HELLO THERE|.S||QUIT",
       {"LOG: T D   to BRAVO NOT SENT (Vehicle off?)", "MSG: HELLO THERE"}},
      {"no such label: nothing sent", Far::sent, "ZULU", "HELLO THERE", 0, 0, false, "",
       "ATDT08001234|base|pw|QUIT", {"LOG: T D   to ZULU NOT SENT (NO SUCH UNIT)", "MSG: HELLO THERE"}},
      {"a unit without a terminal: nothing sent", Far::sent, "ECHO", "HELLO THERE", 0, 0, false, "",
       "ATDT08001234|base|pw|QUIT", {"LOG: T D   to ECHO NOT SENT (NO SUCH UNIT)", "MSG: HELLO THERE"}},
      {"all units, none heard from lately: no text, the reference awaited in vain, no green", Far::sent, "ALL UNITS",
       "HELLO THERE", 0, 0, true, "", "ATDT08001234|base|pw|QUIT",
       {"LOG: T D  Ref(waiting for ref) to ALL UNITS", "MSG: HELLO THERE"}},
      {"no connection in 30 s: aborted and hung up", Far::noconnect, "BRAVO", "HI", 0, 0, false,
       "Call Aborted ...", "ATDT08001234", {}, 30},
      {"abort while the modem dials", Far::noconnect, "BRAVO", "HI", 0, 5, false, "Call Aborted ...", "ATDT08001234",
       {}, 5},
      {"abort while the service is awaited", Far::noprompt, "BRAVO", "HI", 0, 10, false, "Call Aborted ...",
       "ATDT08001234", {}, 10},
      {"abort in a pause of the prompts", Far::noref, "BRAVO", "HI", 0, 7.5f, false, "Call Aborted ...",
       "ATDT08001234|base|pw", {}, 7.5f},
      {"abort while the reference is awaited", Far::noref, "BRAVO", "HI", 0, 20, false, "Call Aborted ...",
       "ATDT08001234|base|pw|SEND|222|MSG: HI|.S|", {}, 20},
  };
  for (const auto& c : cases) {
    fresh(c.far);
    auto& g = app->gps;
    auto& mv = app->win.get<MvForm>();
    for (std::size_t k = 0; k < c.queued; ++k) queuemsg(g, "ALPHA", "MSG: ", "LATER");
    if (c.stale) std::fill(app->veh.mvtimer.begin(), app->veh.mvtimer.end(), 0.f);
    const float t0 = app->timer();
    // The user keeps pressing ABORT from then on, into the hang-up.
    events->hook = [&] {
      if (c.abortat > 0 && g.callsteps.sending && app->timer() - t0 >= c.abortat) g.abortflag = true;
    };
    dialsend(*app, c.to, "MSG: ", c.body);
    events->hook = {};
    if (c.stale) {
      EXPECT_GE(app->timer() - t0, 62) << c.guards << ": the pause before the prompts, then the wait";
    }
    EXPECT_EQ(std::tuple(mv.telstat.caption, commands(), logged()), std::tuple(c.telstat, c.commands, c.log))
        << c.guards;
    EXPECT_EQ(std::tuple(g.csatstate, g.abortflag, g.msgq.size(), mv.mtx.backcolor == ui::green),
              std::tuple(CallState::idle, false, c.queued, c.green))
        << c.guards;
    // When DTR dropped and for how long; the call is not hung up at a normal end.
    const auto& dtr = modem->dtr;
    const bool dropped = dtr.size() == 2 && !dtr[0].on && dtr[1].on;
    EXPECT_EQ(dropped ? dtr.size() : dtr.size() + 10, c.hangat < 0 ? 10u : 2u) << c.guards;
    if (dropped) {
      EXPECT_NEAR(dtr[0].t - t0, c.hangat, .2) << c.guards;
      EXPECT_NEAR(dtr[1].t - dtr[0].t, 3, .06) << c.guards << ": DTR low 3 s";
    }
    EXPECT_TRUE(hearsvehicles()) << c.guards;
  }
}

TEST_F(Dialout, QueuedMessagesGoInTheSameCallAndAllUnitsInTableOrder) {
  fresh(Far::sent);
  auto& g = app->gps;
  queuemsg(g, "CHARL", "MSG: ", "SECOND");
  queuemsg(g, "ALL UNITS", "MSG: ", "THIRD");
  // Ticks run inside the call: the dial monitor, with a hang-up after 15 quiet seconds, and a
  // second Send Now, which must not start another call.
  g.autohangup = 15;
  bool clicked = false;
  const float t0 = app->timer();
  events->hook = [&] {
    dialmon(*app);
    if (app->timer() - t0 > 10 && !std::exchange(clicked, true)) dialsend(*app, "ALPHA", "MSG: ", "NESTED");
  };
  dialsend(*app, "BRAVO", "MSG: ", "FIRST");
  events->hook = {};
  std::string sends;
  for (std::size_t k = 0; k + 1 < modem->commands.size(); ++k)
    if (modem->commands[k].text == "SEND") sends += modem->commands[k + 1].text + " ";
  EXPECT_EQ(sends, "222 333 111 222 333 ") << "ALL UNITS: the three heard from lately, in table order";
  EXPECT_EQ(std::count_if(modem->commands.begin(), modem->commands.end(), [](auto& c) { return c.text.starts_with("ATDT"); }), 1);
  EXPECT_EQ(logged(), (Items{"LOG: T D  Ref 4711 sent to BRAVO", "MSG: FIRST", "LOG: T D  Ref 4711 sent to CHARL",
                             "MSG: SECOND", "LOG: T D  Ref 4711 sent to ALL UNITS", "MSG: THIRD"}));
  EXPECT_GT(app->timer() - t0, 30) << "a call longer than the automatic hang-up";
  EXPECT_TRUE(modem->dtr.empty()) << "every command restarts the hang-up's count";
  EXPECT_EQ(std::tuple(app->win.get<MvForm>().mtxadd.caption, g.msgq.size(), app->win.get<MvForm>().mtx.backcolor),
            std::tuple("ALL UNITS", 0u, ui::green));
}

// The message box's colour tells the outcome of the call's last message, whatever came before.
TEST_F(Dialout, TheBoxTurnsGreenWhenTheLastMessageOfTheCallWasSent) {
  for (const auto& [first, queued, green] : {std::tuple("ZULU", "ALPHA", true), {"ALPHA", "ZULU", false}}) {
    fresh(Far::sent);
    auto& mv = app->win.get<MvForm>();
    queuemsg(app->gps, queued, "MSG: ", "LATER");
    dialsend(*app, first, "MSG: ", "FIRST");
    EXPECT_EQ(std::tuple(app->gps.msgq.size(), mv.mtx.backcolor == ui::green), std::tuple(0u, green)) << first;
  }
  fresh(Far::earlyref);
  dialsend(*app, "ALPHA", "MSG: ", "FIRST");
  EXPECT_NE(app->win.get<MvForm>().mtx.backcolor, ui::green) << "a reference before the message sent nothing";
}

// A number dialled from the panel is still watched while a message call dials: the panel shows
// the call's CONNECT, and the call, with the tick's poll and monitor running in its waits, takes
// it as its own.
TEST_F(Dialout, APanelDialIsStillWatchedDuringAMessageCall) {
  fresh(Far::sent);
  auto& g = app->gps;
  auto& d = app->win.get<DialForm>();
  std::tie(g.connected, app->main.lastsent, d.caption) = std::tuple(1, app->timer(), "Dial");
  events->hook = [&] {
    readcomms(*app);
    dialmon(*app);
  };
  dialsend(*app, "BRAVO", "MSG: ", "HELLO THERE");
  events->hook = {};
  EXPECT_EQ(std::tuple(d.caption, g.connected), std::tuple("Connected !", 0));
  EXPECT_EQ(logged(), (Items{"LOG: T D  Ref 4711 sent to BRAVO", "MSG: HELLO THERE"}));
}

TEST_F(Dialout, DialMonitorCaptionsAndOneAutomaticHangup) {
  fresh(Far::sent);
  auto& g = app->gps;
  auto& d = app->win.get<DialForm>();
  const float t0 = app->timer();
  std::tie(g.connected, app->main.lastsent, d.caption) = std::tuple(1, t0, "Dial");
  Items captions;
  for (float s : {5.f, 6.f, 41.f}) {
    clock->settimer(t0 + s + .5f);
    dialmon(*app);
    captions.push_back(d.caption);
  }
  EXPECT_EQ(captions, (Items{"Dial", " 6", "no reply... "}));
  const struct { bool GpsState::*flag; const char* caption; } replies[] = {
      {&GpsState::modemconnect, "Connected !"}, {&GpsState::modembusy, "Line Busy"}, {&GpsState::modemnodial, "No Dialtone"}};
  for (const auto& r : replies) {
    std::tie(g.connected, g.*r.flag, app->speech.talkon) = std::tuple(1, true, 0);
    dialmon(*app);
    EXPECT_EQ(std::tuple(d.caption, g.connected, g.*r.flag), std::tuple(r.caption, 0, false));
  }
  EXPECT_EQ(app->speech.msgtext, "Are you sure modem is connected to telephone line ?") << "shown with messages off";
  // The automatic hang-up, with ticks inside its wait.
  std::tie(g.autohangup, app->main.lastsent) = std::tuple(10, app->timer() - 11);
  events->hook = [&] { dialmon(*app); };
  dialmon(*app);
  clock->advance(100);
  dialmon(*app);
  EXPECT_EQ(std::tuple(modem->dtr.size(), app->main.lastsent, app->speech.msgtext), std::tuple(2u, 1e10f, "time to hangup ..."));
  // The panel leaves the own car visible.
  gridview(*app, 300, 300, 364, 348);
  ownfixat(*app, 305, 343);
  std::tie(d.left, d.top, d.visible) = std::tuple(0, 0, true);
  dialmon(*app);
  EXPECT_EQ(d.left, 640 - (d.width + 10));
}

}  // namespace
}  // namespace zarn::test

// Whole calls of the dial-out sender against the modem peer on a real pseudo-terminal: each
// ending of a call as the operator sees it, what the service received, the hang-up on the DTR
// recording, and the link still read afterwards. The program's clock runs 40 times the wall
// clock, and the peer's delays with it, so that the 30 s and 60 s waits take a few seconds.
#include "gpsinput/modem.h"
#include "support/modempeer.h"
#include "vehicles/dialout.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

constexpr double fast = 40;
const std::string rmc = "$V1RMC,123456,A,5321.443,N,00218.822,W,10.0,84.5,261020,,*72\r\n";

class DialPeer : public ModemPeerTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    // Until the modem test and the sender are built they send nothing: nothing to try here.
    modemtest(*app, 1);
    app->veh.csatnumber = "0800";
    dialsend(*app, "X", "", "");
    if (serial->sent.find("AT\r") == std::string::npos || serial->sent.find("ATDT0800") == std::string::npos)
      GTEST_SKIP() << "modemtest or dialsend not built yet";
  }

  // A base station of four units, the third not heard for over an hour, the fourth with no
  // terminal, calling the peer with these options.
  void base(std::vector<std::string> options) {
    start(options, fast);
    squares({{"SJ", 300, 300}});
    auto& v = app->veh;
    v.mvtotal = 4;
    const float now = app->timer();
    for (int k = 1; k <= 4; ++k) {
      const auto i = static_cast<std::size_t>(k);
      std::tie(v.mvlabel[i], v.mvdial[i], v.mvtimer[i]) =
          std::tuple("VAN" + std::to_string(k), k == 4 ? "" : "T100" + std::to_string(k), k == 3 ? now - 4000 : now - 60);
    }
    v.mvid[1] = "V1";
    std::tie(v.csatnumber, app->gps.printon) = std::tuple("0800123", true);
    form().mtx.backcolor = ui::white;
  }
  MvForm& form() { return app->win.get<MvForm>(); }
  std::string printed() const {
    std::string s;
    for (const auto& l : printer->lines) s += l + "\n";
    return s;
  }
  // The peer's record of the messages it took: addressee and text of each.
  Items messages() const {
    Items out;
    for (const auto& r : with("event", "message")) out.push_back(field(r, "to") + ":" + field(r, "text"));
    return out;
  }
  // How long DTR was held low at the last hang-up, in the program's seconds; 0 with none. The
  // program's clock moves on only at each event pump, so on a busy machine the 3 s it holds DTR
  // low can measure a few tenths short against the wall clock, 40 times faster: a hang-up is a
  // hold of over 2 s.
  double heldlow() const {
    const auto& c = line->changes();
    for (std::size_t k = c.size(); k-- > 1;)
      if (c[k].on && !c[k - 1].on) return fast * std::chrono::duration<double>(c[k].at - c[k - 1].at).count();
    return 0;
  }
  // A vehicle's report put on the line by the peer: true when the link decodes it.
  bool stillhears() {
    const long before = app->veh.mvdecoded;
    peerwrite("\r\n" + rmc);
    return pollfor(20, [&] { return app->veh.mvdecoded > before; });
  }
};

TEST_F(DialPeer, EveryEndingOfACall) {
  const struct {
    const char* guards;
    std::vector<std::string> options;
    const char* result;  // the log's result text; none when the call was aborted
    const char* status;  // the vehicle window's call status at the end
    bool green;          // the message box turned green
    bool hungup;         // DTR held low 3 s
    Items received;      // what the service took
  } cases[] = {
      {"sent", {}, "Ref 0004711 sent to VAN1", "", true, false, {"T1001:MSG:hello there"}},
      {"busy", {"--answer", "busy"}, " to VAN1 NOT SENT (ENGAGED)", "", false, false, {}},
      {"no prompt in time", {"--answer", "silent"}, " to VAN1 NOT SENT (TIME OUT)", "", false, true, {}},
      {"the banner cut mid-line", {"--answer", "half"}, " to VAN1 NOT SENT (TIME OUT)", "", false, true, {}},
      {"vehicle unreachable", {"--reply", "unreachable"}, " to VAN1 NOT SENT (Vehicle off?)", "", false, false,
       {"T1001:MSG:hello there"}},
      {"a service that answers at once", {"--service-delay", "0", "--reply-delay", "0"},
       "Ref 0004711 sent to VAN1", "", true, false, {"T1001:MSG:hello there"}},
      {"no reference in time", {"--reply", "silent"}, "Ref(waiting for ref) to VAN1", "", false, false,
       {"T1001:MSG:hello there"}},
      {"the reference cut mid-line", {"--reply", "half"}, "Ref(waiting for ref) to VAN1", "", false, false,
       {"T1001:MSG:hello there"}},
      {"no connection", {"--dial", "silent"}, nullptr, "Call Aborted ...", false, true, {}},
      {"CONNECT only after the wait", {"--dial", "late", "--late-delay", "40"}, nullptr, "Call Aborted ...", false, true, {}},
      {"busy to the dial itself", {"--dial", "busy"}, nullptr, "Call Aborted ...", false, true, {}},
  };
  for (const auto& c : cases) {
    base(c.options);
    dialsend(*app, "VAN1", "MSG:", "hello there");
    const auto& g = app->gps;
    EXPECT_EQ(std::tuple(form().telstat.caption, g.csatstate, g.abortflag), std::tuple(c.status, CallState::idle, false))
        << c.guards;
    if (c.result)
      EXPECT_NE(printed().find("  " + std::string(c.result) + "\nMSG:hello there\n"), std::string::npos)
          << c.guards << ": " << printed();
    else
      EXPECT_EQ(printed(), "") << c.guards;
    EXPECT_EQ(form().mtx.backcolor == 0xFF00, c.green) << c.guards;
    EXPECT_EQ(heldlow() > 2, c.hungup) << c.guards << ": " << heldlow();
    EXPECT_EQ(messages(), c.received) << c.guards;
    EXPECT_EQ(with("event", "dial").size(), 1u) << c.guards;
    EXPECT_TRUE(stillhears()) << c.guards;
  }
}

TEST_F(DialPeer, AllUnitsAndTheQueueGoInOneCallInTableOrder) {
  base({});
  ASSERT_TRUE(queuemsg(app->gps, "VAN2", "ACK:", "12"));
  dialsend(*app, "ALL UNITS", "MSG:", "hello there");
  // The unit not heard for an hour and the one without a terminal get nothing.
  EXPECT_EQ(messages(), (Items{"T1001:MSG:hello there", "T1002:MSG:hello there", "T1002:ACK:12"}));
  EXPECT_EQ(with("event", "dial").size(), 1u);
  EXPECT_TRUE(pollfor(20, [&] { return with("event", "quit").size() == 1; }));
  EXPECT_TRUE(app->gps.msgq.empty());
  EXPECT_NE(printed().find(" to VAN2  ACK:12\n"), std::string::npos) << printed();
  EXPECT_TRUE(stillhears());
}

TEST_F(DialPeer, AnAbortInEachWaitHangsUp) {
  for (const char* when : {"Dialing out ...", "BT CSAT >TO", "(waiting for ref)"}) {
    base({});
    const auto tick = events->hook;
    bool once = false;
    events->hook = [&, tick] {
      tick();
      if (!once && form().telstat.caption == when) once = app->gps.abortflag = true;
    };
    dialsend(*app, "VAN1", "MSG:", "hello there");
    const auto& g = app->gps;
    EXPECT_EQ(std::tuple(form().telstat.caption, g.csatstate, g.abortflag),
              std::tuple("Call Aborted ...", CallState::idle, false))
        << when;
    EXPECT_EQ(printed(), "") << when;
    EXPECT_GT(heldlow(), 2) << when;
    // The peer hears DTR on its control socket and the dialling on the line: on a busy machine
    // DTR may come first, and then no call was up to drop. Any call up was dropped by DTR.
    for (int k = 0; k < 500 && with("dtr", "0").empty(); ++k) ::usleep(10000);
    ASSERT_FALSE(with("dtr", "0").empty()) << when;
    for (const auto& d : with("event", "drop")) EXPECT_EQ(field(d, "why"), "dtr") << when;
  }
}

TEST_F(DialPeer, TheModemTestAnswersUnlessDtrHoldsTheModemOff) {
  for (const bool dtr : {true, false}) {
    base({});
    line->setdtr(dtr);
    EXPECT_EQ(modemtest(*app, 3), dtr);
    std::string rx = stream("rx");
    EXPECT_EQ(std::count(rx.begin(), rx.end(), '\r'), dtr ? 1 : 3) << rx;
  }
}

}  // namespace
}  // namespace zarn::test

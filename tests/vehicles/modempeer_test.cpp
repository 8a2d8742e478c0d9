// The modem and the satellite text service over a real pseudo-terminal, at real speed: the modem
// peer (tools/modem_peer.py) answers what the program sends, the serial poll reads its replies,
// and a hang-up reaches it through the DTR wrapper's channel.
#include "geodesy/helpers.h"
#include "gpsinput/modem.h"
#include "mainwindow/datafiles.h"
#include "platform/textrules.h"
#include "support/modempeer.h"
#include "support/runtool.h"
#include "vehicles/dialforms.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"
#include "vehicles/mvwindow.h"

namespace zarn::test {
namespace {

using ModemPeer = ModemPeerTest;

TEST_F(ModemPeer, AnswersAtWithTheEchoOnAndOff) {
  start({});
  for (const char* cmd : {"AT\r", "ATE0\r", "AT\r"}) {
    app->gps.modemok = false;
    commsend(*app->sys.serial, cmd);
    EXPECT_TRUE(pollfor(3, [&] { return app->gps.modemok; })) << cmd;
  }
  EXPECT_EQ(stream("tx"), "AT\r\r\nOK\r\nATE0\r\r\nOK\r\n\r\nOK\r\n");
}

TEST_F(ModemPeer, ACallReachesTheServicePromptAndAHangupDropsIt) {
  start({"--dial-delay", "0.3", "--service-delay", "0.2"});
  auto& g = app->gps;
  g.csatstate = CallState::dialling;
  commsend(*app->sys.serial, "ATDT0800123\r");
  ASSERT_TRUE(pollfor(5, [&] { return g.csatstate == CallState::prompt; }));
  EXPECT_TRUE(g.modemconnect);
  EXPECT_EQ(field(with("event", "login").at(0), "user"), "zarnuser");
  EXPECT_NE(stream("rx").find("zarnuser\rsecret\r"), std::string::npos);

  hangup(*app);
  // Held low for 3 s by the program's clock, and the peer told of both changes in time.
  const auto& c = line->changes();
  ASSERT_EQ(c.size(), 2u);
  const double held = std::chrono::duration<double>(c[1].at - c[0].at).count();
  EXPECT_TRUE(!c[0].on && c[0].told && c[1].on && c[1].told);
  EXPECT_GE(held, 2.95);
  EXPECT_LT(held, 3.6);
  const auto dtr = with("dtr");
  ASSERT_EQ(dtr.size(), 2u);
  EXPECT_EQ(field(dtr[0], "dtr") + field(dtr[1], "dtr"), "01");
  EXPECT_NEAR(at(dtr[1]) - at(dtr[0]), held, 0.3);
  const auto drop = with("event", "drop");
  ASSERT_EQ(drop.size(), 1u);
  EXPECT_EQ(field(drop[0], "why"), "dtr");
  EXPECT_TRUE(stream("tx").ends_with("\r\nNO CARRIER\r\n"));

  // The modem is back in command mode.
  g.csatstate = CallState::idle;
  g.modemok = false;
  commsend(*app->sys.serial, "AT\r");
  EXPECT_TRUE(pollfor(3, [&] { return g.modemok; }));
}

// What the serial poll makes of each answer to the dial, the faulty ones included: a peer
// that stays silent, answers late or stops mid-line leaves the call waiting.
TEST_F(ModemPeer, EachAnswerToTheDialAsTheSerialPollReadsIt) {
  const struct {
    const char* guards;
    std::vector<std::string> options;
    const char* password;
    const char* dropped;  // why the peer dropped the call, if it did
    float secs;          // polled until the state shows, or for this long
    const char* want;    // modemconnect, csatstate, modemnodial, the alarm window's call status
    float latersecs = 0;  // then polled again
    const char* later = "";
  } cases[] = {
      {"connected, logged in, at the prompt", {}, "secret", "", 4, "1 3 0 BT CSAT Online"},
      {"a wrong password: the service hangs up", {}, "wrong", "login", 4, "1 2 0 BT CSAT Online"},
      {"busy to the dial", {"--dial", "busy"}, "secret", "", 3, "0 4 0 "},
      {"busy after the connection", {"--answer", "busy"}, "secret", "busy", 3, "1 4 0 Connection made"},
      {"no dial tone", {"--dial", "nodialtone"}, "secret", "", 3, "0 1 1 "},
      {"no dial tone, spelt apart", {"--dial", "nodial-tone"}, "secret", "", 3, "0 1 0 No Dial Tone"},
      {"no carrier", {"--dial", "nocarrier"}, "secret", "", 3, "0 1 0 "},
      {"a silent modem", {"--dial", "silent"}, "secret", "", 1.5, "0 1 0 "},
      {"CONNECT cut off mid-line", {"--dial", "half"}, "secret", "", 1.5, "0 1 0 "},
      {"a late CONNECT", {"--dial", "late", "--late-delay", "2"}, "secret", "", 1, "0 1 0 ", 3, "1 3 0 BT CSAT Online"},
      {"a silent service", {"--answer", "silent"}, "secret", "", 1.5, "1 1 0 Connection made"},
      {"the banner cut off mid-line", {"--answer", "half"}, "secret", "", 1.5, "1 1 0 Connection made"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> options{"--dial-delay", "0.2", "--service-delay", "0.1"};
    options.insert(options.end(), c.options.begin(), c.options.end());
    start(options);
    auto& g = app->gps;
    app->veh.csatpass = c.password;
    const auto state = [&] {
      return std::to_string(g.modemconnect) + " " + std::to_string(static_cast<int>(g.csatstate)) + " " +
             std::to_string(g.modemnodial) + " " + app->win.get<MvAlarmForm>().telstat.caption;
    };
    g.csatstate = CallState::dialling;
    commsend(*app->sys.serial, "ATDT0800123\r");
    pollfor(c.secs, [&] { return state() == c.want; });
    EXPECT_EQ(state(), c.want) << c.guards;
    if (c.latersecs > 0) {
      pollfor(c.latersecs, [&] { return state() == c.later; });
      EXPECT_EQ(state(), c.later) << c.guards;
    }
    if (*c.dropped) pollfor(3, [&] { return !with("event", "drop").empty(); });
    stop();  // its record complete
    std::string dropped;
    for (const auto& r : with("event", "drop")) dropped += field(r, "why");
    EXPECT_EQ(dropped, c.dropped) << c.guards;
  }
}

// The fleet demo's dial panel, as the demo folder script makes it: a button a vehicle and a
// hang-up, and a click on one dials the modem, which answers, with that vehicle selected.
TEST_F(ModemPeer, TheFleetDemosDialPanelCallsItsVehicles) {
  start({"--dial-delay", "0.2"});
  ASSERT_TRUE(testing::runtool({ZARN_SOURCE_DIR "/scripts/demofolder.sh", "fleet", dir.string()}, ""));
  ASSERT_EQ(loadccc(app->geo, app->files), std::nullopt);
  std::string problem;
  ASSERT_TRUE(readmcv(*app, &problem)) << problem;
  int n = 0;
  ASSERT_TRUE(readzarndial(app->files, app->win, &n));
  wirevehiclewindows(*app);
  DialForm& d = app->win.get<DialForm>();
  Items captions;
  for (int k = 0; k < n; ++k) captions.push_back(d.dialcmd[k].caption);
  EXPECT_EQ(captions, (Items{"VAN1", "AMB1", "LORRY", "Hangup"}));

  d.dialcmd[1].onClick();
  ASSERT_TRUE(pollfor(5, [&] { return app->gps.modemconnect; })) << stream("rx");
  const auto dials = with("event", "dial");
  ASSERT_EQ(dials.size(), 1u);
  EXPECT_EQ(field(dials[0], "number"), "1005");
  ASSERT_GT(app->veh.mvsel, 0);
  EXPECT_EQ(text::trim(app->veh.mvlabel[static_cast<std::size_t>(app->veh.mvsel)]), "AMB1");
}

// A ring that never connects (the caller gave up before the modem answered) brings no NO
// CARRIER: the incoming call stays up and a message is refused, and so is an acknowledgement,
// which the message window goes on saying, the operator's draft left alone. The dial panel's
// hang-up drops the line and ends the call: every "002" alarm and message is taken again, and
// a message goes out.
TEST_F(ModemPeer, TheDialPanelsHangupEndsACallThatRangAndNeverConnected) {
  start({"--dial-delay", "0.2", "--service-delay", "0.1", "--reply-delay", "0.1"}, 40);
  ASSERT_TRUE(testing::runtool({ZARN_SOURCE_DIR "/scripts/demofolder.sh", "fleet", dir.string()}, ""));
  ASSERT_EQ(loadccc(app->geo, app->files), std::nullopt);
  std::string problem;
  ASSERT_TRUE(readmcv(*app, &problem)) << problem;
  ASSERT_TRUE(readzarndial(app->files, app->win));
  MvAlarmForm& alarm = app->win.get<MvAlarmForm>();
  wirevehiclewindows(*app);
  std::tie(app->veh.csatuser, app->veh.csatpass) = std::tuple("zarnuser", "secret");
  MvForm& mv = app->win.get<MvForm>();
  const auto state = [&] { return std::to_string(app->gps.incall) + " " + mv.telstat.caption + "|" + alarm.telstat.caption; };
  const auto shown = [&] { return alarm.visible ? alarm.txt.caption.substr(0, alarm.txt.caption.find('\r')) : ""; };
  // The caller's first identity line came before the line dropped.
  peerwrite("002 ZN0000109 01\r\nRING\r\nU9\r\n");
  ASSERT_TRUE(pollfor(5, [&] { return app->veh.rptline1 == "U9"; }));
  EXPECT_EQ(state(), "1 Incoming Call|Incoming Call");
  mv.mtxadd.set("VAN1 ");
  mv.mtx.text = "12";
  mv.sendnow.onClick();
  alarm.ack.onClick();
  EXPECT_EQ(with("event", "dial").size(), 0u) << "refused during the call";
  EXPECT_EQ(state() + "|" + shown() + "|" + mv.mtx.text + "|" + mv.mtxadd.caption,
            "1 Incoming Call|Ack NOT sent : Incoming Call|01 at  from TAXI |12|VAN1 ");

  app->win.get<DialForm>().dialcmd[3].onClick();  // Hangup
  EXPECT_EQ(state(), "0 |Ack NOT sent : Incoming Call");
  for (const char* code : {"07", "12", "08"}) {
    peerwrite(std::string("002 ZN0000101 ") + code + "\r\n");
    EXPECT_TRUE(pollfor(5, [&] { return shown().starts_with(code); })) << code << ": " << shown();
  }
  EXPECT_EQ(std::tuple(shown(), app->veh.alarmcount), std::tuple("08 at  from VAN1 ", 3));
  mv.sendnow.onClick();
  EXPECT_EQ(with("event", "message").size(), 1u) << stream("rx");
}

}  // namespace
}  // namespace zarn::test

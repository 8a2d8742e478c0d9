// The message window: waiting messages brought back newest first, and acknowledgements that go
// to the unit that sent the alert, whatever its label, and leave the alert shown when they fail.
#include "calls.h"
#include "vehicles/alerts.h"

namespace zarn::test {
namespace {

using AlarmWindow = Calls;

TEST_F(AlarmWindow, CancelBringsBackTheWaitingMessagesNewestFirstThenCloses) {
  vehicle(*app, 1, {.label = "VAN1 "});
  for (const char* code : {"01", "12", "23"}) mvalertmsg(*app, 1, code, "", "1412");
  const struct { std::string first; bool q; std::string qtext; ui::Colour back; bool visible; } after[] = {
      {"23 at", true, "Q2", ui::yellow, true},
      {"12 at", true, "Q1", ui::yellow, true},
      {"01 at", false, "Q0", ui::red, true},
      {"01 at", false, "Q0", ui::red, false},
  };
  for (std::size_t k = 0; k < std::size(after); ++k) {
    if (k > 0) alarm().cancel.onClick();
    const auto& a = after[k];
    EXPECT_EQ(std::tuple(alarm().txt.caption.substr(0, 5), alarm().q.visible, alarm().backcolor, alarm().visible),
              std::tuple(a.first, a.q, a.back, a.visible)) << k;
    if (a.q) {
      EXPECT_EQ(alarm().q.caption, a.qtext);
    }
  }
  int key = 'H';
  alarm().onKeyPress(key);
  EXPECT_EQ(app->main.lastkey, 'H');
}

TEST_F(AlarmWindow, AnAcknowledgementGoesToTheLabelAsTheTableHoldsIt) {
  // Labels as the table pads them; the shown text puts a line end or blanks after each.
  const char* labels[] = {"V2   ", "VAN2 ", "TRUCK", "LONGUNIT"};
  for (int k = 1; k <= 4; ++k) vehicle(*app, k, {.label = labels[k - 1]});
  app->veh.callbusy = true;
  for (int k = 1; k <= 4; ++k) {
    mvalertmsg(*app, k, "0" + std::to_string(k), "SJ 79227 84523", "1412");
    alarm().ack.onClick();
    EXPECT_EQ(lastqueued(), std::string(labels[k - 1]) + "|ACK|0" + std::to_string(k)) << labels[k - 1];
    EXPECT_EQ(std::tuple(alarm().telstat.caption, mv().telstat.caption, mv().mtxadd.caption, alarm().visible),
              std::tuple("Ack Queued ..", "ACK to 0" + std::to_string(k), labels[k - 1], false));
  }
  // A full queue: the ack is not queued and the alarm stays for another try.
  fillqueue();
  mvalertmsg(*app, 3, "07", "", "1412");
  mvalertmsg(*app, 4, "08", "", "1413");
  alarm().ack.onClick();
  EXPECT_EQ(std::tuple(alarm().visible, alarm().txt.caption.substr(0, 2), app->veh.alarmcount, alarm().telstat.caption),
            std::tuple(true, "08", 1, "Ack NOT Queued : queue full"));
}

TEST_F(AlarmWindow, AnAcknowledgedCallDismissesItsOwnAlertNotOneThatCameDuringIt) {
  vehicle(*app, 1, {.label = "VAN1 "});
  vehicle(*app, 2, {.label = "VAN2 "});
  mvalertmsg(*app, 1, "07", "", "1412");
  int passes = 0;
  onpass = [&] {
    if (++passes == 3) mvalertmsg(*app, 2, "09", "", "1413");  // arrives while the call hangs up
  };
  alarm().ack.onClick();
  EXPECT_EQ(std::tuple(mv().mtxadd.caption, mv().mtx.text), std::tuple("VAN1 ", "07")) << "the call's addressee";
  EXPECT_EQ(std::tuple(alarm().visible, alarm().txt.caption.substr(0, 2), app->veh.alarmcount, app->veh.callbusy),
            std::tuple(true, "09", 0, false));
  // No modem: the alert stays to be acknowledged again, and both windows say why, with one beep.
  answers = false;
  app->gps.modemok = false;
  const int beeps = wav->beeps;
  alarm().ack.onClick();
  EXPECT_EQ(std::tuple(alarm().visible, alarm().txt.caption.substr(0, 2), mv().telstat.caption,
                       alarm().telstat.caption, wav->beeps - beeps, app->gps.abortflag),
            std::tuple(true, "09", "no modem OK", "no modem OK", 1, false));
}

// The code the operator typed in the Send box, and its addressee, outlast an acknowledgement:
// the ack's call shows its own unit and code, and the draft comes back when the call is over,
// however it ended; an ack queued behind a message call leaves the draft's addressee.
TEST_F(AlarmWindow, AnAcknowledgementKeepsTheOperatorsDraft) {
  const struct { const char* guards; bool answers, callbusy; std::string during, status; bool shown; } cases[] = {
      {"acknowledged", true, false, "01|TAXI ", "Get Modem ...", false},  // no service number: no dial
      {"no modem", false, false, "01|TAXI ", "no modem OK", true},
      {"queued behind a message call", true, true, "", "Ack Queued ..", false},
  };
  for (const auto& c : cases) {
    onpass = nullptr;
    make();
    vehicle(*app, 1, {.label = "TAXI "});
    mvalertmsg(*app, 1, "01", "", "1412");
    std::tie(answers, app->veh.callbusy) = std::tuple(c.answers, c.callbusy);
    mv().mtx.text = "ABC";
    std::string during;
    onpass = [&] { during = mv().mtx.text + "|" + mv().mtxadd.caption; };
    alarm().ack.onClick();
    EXPECT_EQ(std::tuple(during, mv().mtx.text, mv().mtxadd.caption, alarm().telstat.caption, alarm().visible),
              std::tuple(c.during, "ABC", "ALL UNITS", c.status, c.shown)) << c.guards;
  }
}

}  // namespace
}  // namespace zarn::test

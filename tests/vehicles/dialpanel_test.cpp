// The dial panel's buttons as ZARNDIAL.CFG defines them, and the telephone-number window that
// writes the dial files: a comma in a number comes back from the file as typed.
#include "calls.h"

namespace zarn::test {
namespace {

using DialPanel = Calls;

TEST_F(DialPanel, EachKindOfButton) {
  put("ZARNDIAL.CFG",
      "8\r\nHangup,+++\r\nDepot,ATDT0123_456\r\nStatus,STAT\r\nPoll,POS?@30\r\nFast,ATZ@9600\r\n"
      "Odd,ATZ@12345\r\nWord,ATZ@FAST\r\nShort,atdt\r\n");
  struct Case {
    const char* guards;
    int button;
    std::string sent, msg, caption;
    int connected = 1;
  };
  const Case cases[] = {
      {"hang up", 0, "", "Hanging Up Phone ..", "hanging up... ", 0},
      {"a dial selects the unit of that number", 1, "ATDT0123,456\r", "Dial  on VAN2 Depot ..", "dialing... "},
      {"a control string", 2, "STAT\r", "Control Status ..", "sending... "},
      {"a periodic command, sent at once too", 3, "POS?\r", "Control Poll ..", "sending... "},
      {"a line speed", 4, "ATZ\r", "Control Fast ..", "sending... "},
      {"an unusable speed", 5, "", "Line speed 12345 refused: serial settings \"12345,N,8,1\": speed 12345 is not supported", "Dial", -1},
      {"a speed that is no number", 6, "", "Line speed FAST refused: serial settings \"FAST,N,8,1\": speed is not a number", "Dial", -1},
      {"ATDT alone is no dial", 7, "atdt\r", "Control Short ..", "sending... "},
      {"beyond the count", 8, "", "", "Dial", -1},
  };
  for (const auto& c : cases) {
    make();
    vehicle(*app, 2, {.id = "ZN0000102", .label = "VAN2 ", .dial = "ATDT0123,456"});
    std::tie(app->veh.mvsel, app->gps.connected, app->gps.modemconnect) = std::tuple(1, -1, true);
    serial->settings = "4800,N,8,1";
    app->win.get<DialForm>().dialcmd[c.button].onClick();
    std::string sent = serial->sent;
    while (sent.starts_with("AT\r")) sent.erase(0, 3);  // the modem test's
    EXPECT_EQ(std::tuple(sent, app->speech.msgtext, app->win.get<DialForm>().caption, app->gps.connected),
              std::tuple(c.sent, c.msg, c.caption, c.connected)) << c.guards;
    if (c.connected != -1) {
      EXPECT_FALSE(app->gps.modemconnect) << c.guards << ": the replies are cleared";
    }
    if (c.button == 1) {
      EXPECT_EQ(std::tuple(app->veh.mvsel, app->gps.callsign), std::tuple(2, "ZN0000102"));
    }
    if (c.button == 0) {
      EXPECT_TRUE(app->main.lastsent == 1e10f && serial->dtr.size() >= 2);
    }
    if (c.button == 3) {
      EXPECT_EQ(std::tuple(app->main.pollint, app->main.pollcmd, app->main.pollmsg), std::tuple(30, "POS?", "Poll"));
    }
    EXPECT_EQ(serial->settings, c.button == 4 ? "9600,N,8,1" : "4800,N,8,1") << c.guards;
  }
}

TEST_F(DialPanel, TheTelephoneWindowWritesTheDialFilesAndACommaComesBack) {
  put("ADD2DIAL.CFG", "ATDT\r\n\r\nDial set-up\r\nCOM2\r\n0123 456789\r\n60\r\n");
  put("DIALTIME.CFG", "90\r\n");
  CarbugForm& c = app->win.get<CarbugForm>();
  std::tie(c.comprt.text, c.telno.text, c.timeout.text) = std::tuple("COM2", " 9,0123 456 ", "");
  c.show();
  c.ok.onClick();
  EXPECT_EQ(std::tuple(get("ZARNDIAL.CFG"), get("COMPORT.CFG"), has("DIALTIME.CFG"), c.visible),
            std::tuple("2\r\nDial,ATDT9_0123 456\r\nHangup,+++\r\n", "COM2\r\n", false, false));
  app->win.get<DialForm>().dialcmd[0].onClick();
  EXPECT_EQ(serial->sent.substr(serial->sent.rfind("ATDT")), "ATDT9,0123 456\r") << "the pause as typed";
  c.timeout.text = "45";
  c.ok.onClick();
  EXPECT_EQ(get("DIALTIME.CFG"), "45\r\n");

  const struct { const char* guards; std::string typed; } refused[] = {
      {"empty", "  "}, {"a quote", "012\"3"}, {"a control character", "012\r3"}, {"an @", "0123@30"}};
  for (const auto& r : refused) {
    c.telno.text = r.typed;
    c.show();
    c.ok.onClick();
    EXPECT_TRUE(c.visible && !c.Label4.caption.empty() && get("ZARNDIAL.CFG").find("ATDT9_0123") != std::string::npos)
        << r.guards << ": nothing written, the window stays";
  }
  c.cancel.onClick();
  EXPECT_FALSE(c.visible);
}

}  // namespace
}  // namespace zarn::test

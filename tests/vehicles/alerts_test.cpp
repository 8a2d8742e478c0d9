// Alerts from vehicles: the list of waiting messages, the window text, the sounds of a code.
#include <sys/inotify.h>

#include "support/app_fixture.h"
#include "vehicles/alerts.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using Alerts = AppTest;

TEST_F(Alerts, TwelveAlertsDropTheOldestMessageNeverAnAlarm) {
  // Alert k's code is kind k ("0" alarm, "1" message) and letter k; the list gives back the letters.
  const struct { const char* guards; std::string kinds, waiting, shown; } cases[] = {
      {"twelve messages: the oldest waiting goes", "111111111111", "BCDEFGHIJK", "1L"},
      {"twelve alarms: the oldest waiting goes", "000000000000", "BCDEFGHIJK", "0L"},
      {"a waiting message goes before an older alarm", "010000000000", "ACDEFGHIJK", "0L"},
      {"a shown message goes before waiting alarms", "000000000010", "ABCDEFGHIJ", "0L"},
      {"a message never drops an alarm", "000000000001", "ABCDEFGHIJ", "0K"},
  };
  for (const auto& c : cases) {
    make();
    for (int k = 0; k < 12; ++k) mvalertmsg(*app, 2, {c.kinds[k], char('A' + k)}, "SJ 79227 84523", "1412");
    const auto& w = app->win.get<MvAlarmForm>();
    std::string s = "/" + w.txt.caption;
    for (int k = app->veh.alarmcount; k >= 1; --k) s.insert(0, app->veh.alarmlist[k].text.substr(1, 1));
    EXPECT_EQ(s, c.waiting + "/" + c.shown + " at 1412 from \r\nat location SJ792845\r\n") << c.guards;
    EXPECT_TRUE(w.q.visible && w.q.caption == "Q10" && w.backcolor == (c.shown[0] == '0' ? ui::red : ui::yellow) &&
                app->speech.msgtext.find("(1 dropped)") != std::string::npos) << c.guards;
  }
}

TEST_F(Alerts, TextsAndSoundsOfACodeAndNoOtherFile) {
  const struct { const char* guards; std::string code; int sound; bool ack; Items played; } cases[] = {
      {"an alarm", "05", 3, false, {"$mv$ala1.wav", "$mv$alar.wav", "0.wav", "5.wav", "fire.wav"}},
      {"only letters and digits name a sound", "./", 3, false, {"$mv$mes1.wav", "$mv$mess.wav"}},
      {"sounds off", "05", 0, false, {}},
      {"one character; sound after the texts end", "1", 3, true, {"$mv$ack.wav", "$mv$ackt.wav", "1.wav", "fire.wav"}},
      {"acknowledged, sounds off: the code's sound", "05", 0, true, {"fire.wav"}},
  };
  for (std::string n : {"ala1", "alar", "mes1", "mess", "ack", "ackt"}) wavfile("$mv$" + n + ".wav");
  for (std::string n : {"0", "1", "5", "fire", "."}) wavfile(n + ".wav");
  put("ZARN.RCC", " 05=Old\r\n05=Vehicle on fire \r\n05>fire.wav  \r\n05>gone.wav\r\n\r\n1=Late\r\n1>FIRE.WAV\r\n");
  for (const auto& c : cases) {
    make();
    app->veh.alarmsound = c.sound;
    const int fd = inotify_init1(IN_NONBLOCK);  // every file opened in the working folder
    inotify_add_watch(fd, dir.c_str(), IN_OPEN);
    c.ack ? ackcode(app->voice, app->veh, 2, c.code) : mvalertmsg(*app, 2, c.code, "", "1412");
    Items opened{"ZARN.RCC"};  // in order, each once however often it is read; ZARN.RCC for every code
    alignas(inotify_event) char buf[1 << 14];
    const ssize_t n = read(fd, buf, sizeof buf);
    for (ssize_t at = 0; at < n; at += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(buf + at)->len)
      if (const auto* e = reinterpret_cast<inotify_event*>(buf + at); e->len && opened.back() != e->name)
        opened.push_back(e->name);
    close(fd);
    EXPECT_EQ(Items(opened.begin() + 1, opened.end()), c.played) << c.guards << ": played, no other file opened";
  }
  EXPECT_EQ(app->speech.msgtext, "Acknowledgement to code 05 Vehicle on fire") << "trimmed; the last text wins";
}

}  // namespace
}  // namespace zarn::test

#include "gpsinput/rxinit.h"

#include <chrono>
#include <cmath>

#include "app/app.h"
#include "gpsinput/checksum.h"
#include "gpsinput/modem.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

namespace {
// The clock reading moved by a whole number of hours, across days and months.
platform::DateTime addhours(platform::DateTime t, int hours) {
  using namespace std::chrono;
  const sys_days d0 = year{t.year} / month{static_cast<unsigned>(t.month)} / day{static_cast<unsigned>(t.day)};
  const long long s = (static_cast<long long>(t.hour) + hours) * 3600 + t.minute * 60 + t.second;
  const long long days = s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
  const long long rest = s - days * 86400;
  const year_month_day ymd{d0 + ::std::chrono::days{days}};
  t.year = static_cast<int>(ymd.year());
  t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

std::string two(int v) { return text::format(v, "00"); }

// A sentence to the receiver, with its checksum and the receiver's line end.
void sendsentence(GpsState& gps, platform::SerialLine& serial, const std::string& s) {
  commsend(serial, s + "*" + nmeachksum(s) + gps.rxprefix);
}
}  // namespace

void initrockwell(GpsState& gps, Voice& voice) {
  using text::mid;
  platform::SerialLine& serial = *voice.sys.serial;
  showmsg(voice, "Initiating GPS receiver ...");
  std::string p = "010000N1040000E";
  if (voice.files.exists("INITROCK.CFG")) {
    p.clear();
    if (auto f = platform::InputFile::open(voice.files, "INITROCK.CFG")) p = f->field();
  }
  int h = static_cast<int>(std::floor(text::val(mid(p, 8, 3)) / 15 + 0.5));
  if (mid(p, 15, 1) == "W") h = -h;
  const platform::DateTime now = voice.sys.clock->now();
  const platform::DateTime u = addhours(now, -h);
  const std::string date = two(u.day) + two(u.month) + two(u.year % 100);
  const std::string time = two(u.hour) + two(u.minute) + two(u.second);
  const std::string b = "$PRWIINIT,V,,," + mid(p, 1, 4) + "." + mid(p, 5, 2) + "00," + mid(p, 7, 1) + "," +
                        mid(p, 8, 5) + "." + mid(p, 13, 2) + "00," + mid(p, 15, 1) + ",,,,,," + time + "," + date;
  gps.rxprefix = "\r\n";
  sendsentence(gps, serial, "$PRWIINIT,???,V,,,");
  // The three sentence types the parser reads. Their checksums are computed like any other's,
  // never written in as figures: a receiver drops a sentence whose checksum is not its text's.
  for (const char* s : {"$PRWIINIT,VTG,A,,,", "$PRWIINIT,GSV,A,,,", "$PRWIINIT,GGA,A,,,"}) sendsentence(gps, serial, s);
  const std::string c = nmeachksum(b);
  showmsg(voice, b);
  std::string error;
  if (!voice.files.writelines("INITROCK.OUT",
                            {"sent " + b,
                             "based on " + p + " and " + text::timetext(now) + " " + text::datetext(now) + " from clock",
                             text::str(h) + "  hours ahead of GMT / UCT"},
                            &error))
    showmsg(voice, "INITROCK.OUT not written: " + error);
  commsend(serial, b + "*" + c + gps.rxprefix);
}

void initastral(GpsState& gps, Voice& voice) {
  commsend(*voice.sys.serial, "ASTRAL\r");
  initrockwell(gps, voice);
}

}  // namespace zarn

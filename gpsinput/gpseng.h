// The GPS engineering window "GPSeng": what the receiver sends, line by line, with the
// satellites in view.
#pragma once

#include <string>

#include "platform/ui.h"

namespace zarn {
struct GpsState;
struct Voice;

class GpsEngForm : public ui::Form {
 public:
  static constexpr const char* formname = "GPSeng";
  GpsEngForm();

  ui::Label callsgn, dfjr;
  ui::ControlArray<ui::Label> s;  // one satellite per line, s(0)..s(15)
  ui::Label gpgga, gprmc, velavail, chk, tit, sat, gpgsv, gpvtg, gpgll, data, com;
};

// The engineering update after every line the sentence parser saw, while the window is shown:
// type is the sentence type (characters 4 to 6), got and calc the received and computed
// checksum texts (both empty for lines taken before the checksum test). The satellites' clock
// directions are worded in the voice's language.
void gpsengupdate(const Voice& voice, GpsState& gps, GpsEngForm& eng, const std::string& line,
                  const std::string& type, const std::string& got, const std::string& calc);

}  // namespace zarn

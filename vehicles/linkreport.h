// A vehicle report as the link's decoders read it from one line, and the one place it is taken
// in: the table, the map, the pager, alarms and messages, the trip log and the printer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gpsinput/linkstate.h"

namespace zarn {
struct App;

// What one line brought, decoded but not yet taken in: nothing has been shown, moved, said or
// logged for it. Its vehicle has been looked up (and added when new ones are taken).
struct LinkReport {
  // The decoder that read it: each form fills the table in its own way and order.
  enum class Form {
    none,      // nothing to take in: a reply, a reader's step, a line no decoder read
    nmea,      // a relayed position sentence (RMC, GGA, GLL) of vehicle talker characters
    nmeatext,  // a relayed text message ("TXT")
    dialled,   // a dialled-in binary record
    fixed,     // a Message Mode position record ("001")
    fixedtext, // a Message Mode message record ("002")
    datatrak,  // a Datatrak report, text ("~") or binary (grave accent)
    text,      // a free-text report replayed from a multi-vehicle log
  };
  Form form = Form::none;
  int vehicle = 0;          // the table slot; 0: the line named no vehicle
  float lat = 0, lon = 0;   // where the report puts the vehicle, degrees
  float x = 0, y = 0;       // the same in the frame (km): dialled-in and Datatrak reports
  std::optional<int> hdg;   // heading to enter (whole degrees, -1 unknown); none: kept
  std::optional<float> mph; // speed to enter (-1 unknown); none: kept
  std::string hhmm;         // the report's own time
  std::string code;         // the alarm, message or acknowledgement code ("NULL" none in relayed
                            // NMEA, as CMESSAGE.CFG writes it), or a message's text
  char kind = 0;            // dialled-in records over 8 bytes and text reports: 'A' acknowledges
  int status = 0;           // dialled-in: the status byte (ignition on 64, off 65)
  int length = 0;           // dialled-in: the record's length
  std::string place;        // text report: its place as written
  std::string icon = "NULL";  // relayed NMEA: the icon CMESSAGE.CFG gives the unit
  bool binary = false;      // Datatrak: the binary form
  std::string unit;         // Datatrak: the unit's identity as reported
  std::string raw;          // Datatrak: the line's start as received, for a full log
};

// Takes a report in, once, in the order its form needs: the table row, the icon and heading
// line, the map and the trail, the pager, the alarm or message, then the trip log and the
// printer. `frame` and `received` (the line as the serial poll handed it) say what the trip
// log and printer get of the line itself (nothing for a replayed line).
void applyreport(App& app, const LinkReport& r, LinkFrame frame = LinkFrame::plain,
                 std::string_view received = {});

}  // namespace zarn

// The GPS sentence parser: one received line (an NMEA 0183 sentence, or a receiver-specific or
// direction-finder line) into the own fix, the GPS time and date. It keeps the own fix and
// returns what the line gave; it draws, speaks, pages and moves nothing. The line's consumer
// (the main window's applyline) shows and passes on what changed.
#pragma once

#include <optional>
#include <string>

#include "platform/ui.h"

namespace zarn {
struct App;

struct LineResult {
  // How the line ended: a position taken, a line with no position (yet), one the engineering
  // window shows, or one that ends there.
  enum class Tail { GoodFix, NoPosition, Engineering, Finish };
  Tail tail = Tail::Finish;
  // 0 when the line was taken as a position (RMC, GGA, GLL, VTG, ">RPV", "SONY", "$DFBRG" and a
  // known remote unit's TXT); 1 for anything else: the vehicle link relies on this.
  int handled = 1;

  // What changed in the own fix, for its read-outs.
  bool position = false;  // position, grid reference and latitude/longitude
  bool speed = false;     // speed (and the velocity)
  bool heading = false;   // heading
  // The status lights: the fill colour last asked for, and the status colour (yellow) when the
  // fix turned void.
  std::optional<ui::Colour> fill;
  bool voided = false;
  // A position of a fix with a speed, to hand to the pager in single-vehicle mode.
  bool pager = false;
  // A coded status (CMESSAGE.CFG) came with a fix: its text, for the alert of unit 1.
  bool codedfix = false;

  // What the line carries for the rest of the program.
  std::optional<std::pair<float, float>> chase;  // the chased unit's position (frame km)
  std::optional<int> dfbearing;                  // a "$DFBRG" bearing
  bool dfline = false;                           // a "%" direction-finder line
  bool vehicletext = false;                      // a remote unit's TXT sentence (multi-vehicle mode)
  bool sector = false;                           // a direction-finding sector ("SEC") changed

  // The sentence type and the checksum texts, for the engineering window.
  std::string type, got, calc;
};

// Parses one line, with or without its line end. A packet-radio call sign in front of the line
// is cut off (the line is changed).
LineResult gpsparse(App& app, std::string& line);

}  // namespace zarn

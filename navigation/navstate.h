// Destinations, guidance, waypoints, trip meter and warnings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geodesy/distance.h"
#include "platform/files.h"

namespace zarn {

// One route guidance instruction: where it stands (any position text), the trigger radius
// (metres), the direction of travel it is meant for and the heading tolerance (whole degrees),
// the prompt, the sign (a picture file or a sign script's name) and the message line.
struct RgiRecord {
  std::string pos;
  FramePoint at;  // pos as read when the record was loaded
  float radius = 0;
  int dir = 0, tol = 0;
  std::string wav, sign, msg;
};

// An entry of a guidance file's index: the record's latitude and longitude (degrees) and the
// file position of its first line (the first byte is 1).
struct RgiCell {
  float lat = 0, lon = 0;
  std::int32_t pos = 0;
};

// A guidance file without an index, read once per choice of file: its text, and for each record
// its frame position (km) and the offset of its first byte.
struct RgiPlain {
  struct Spot {
    float x = 0, y = 0;
    std::size_t at = 0;
  };
  platform::InputFile text;
  std::vector<Spot> spots;
  std::optional<platform::Files::Stamp> stamp;  // the file as it was read
};

// The outside route planners' requests in progress (times of day in seconds).
struct PlannerWait {
  // "OO": when the request was written, whether KRV.REQ has been seen since and ZARN.ROO as it
  // was then; "O" waiting.
  float krvasked = 0;
  bool krvreqseen = false;
  std::optional<platform::Files::Stamp> krvroo;  // ZARN.ROO when the request was written
  std::optional<platform::Files::Stamp> krvanswer;  // ZARN.ROO as last read as the planner's route
  std::string krvkept;  // where the request kept the ZARN.ROO before it; empty: none
  bool krvrunning = false;
  // The automatic planner: its result files are looked for after each request until both are
  // taken or 120 s pass; each is taken once two looks find it at the same size. autoseq counts
  // the destinations set, so that a newer one cancels the pending look.
  bool autowait = false;
  float autoasked = 0;
  long long rgisize = -1, roosize = -1;  // at the last look; -1: not there
  bool rgitaken = false, rootaken = false;
  unsigned autoseq = 0;
};

struct NavState {
  // Filled as navigation and guidance are built.

  // The destination table, slots 0..destmax: position text, latitude/longitude text, frame
  // position (km) and label of each named destination. The location file fills the first
  // slots; the slot after them (adhocdest, "(mouse)") takes positions picked at run time.
  static constexpr int destmax = 200;
  std::array<std::string, destmax + 1> destname{}, destll{}, destlabel{};
  std::array<float, destmax + 1> destx{}, desty{};
  int curdest = 0;                     // the current destination's slot
  int nodest = 0;                      // non-zero: no destination is set
  int adhocdest = 0;
  int prevdest = 0;                    // the destination before the current one
  std::string destwav = "destinat.wav";  // prompt naming the current destination
  // Written every tick from the own position: km to the current destination and its clock
  // position (1..12) relative to the heading.
  float destdist = 0;
  int clockbrg = 12;
  // Trip meter: the arrival time "hh:mm" and the time to go, a number followed by "s", "m" or
  // "h".
  std::string etaclock, timetogo;

  // Set at start-up for the features of this subsystem.
  int speedwarnon = 0;             // SPEEDWAR.CFG: speed warnings on
  int zonecount = 0, zonemonon = 0;  // warning zones and whether they are watched
  int zoilogon = 0, zoitest = 0;   // ZARN.LOG: places of interest are logged (TEST: trial run)
  int wpfollowon = 0, routeshown = 0, rgimanon = 0;
  int krvwait = 0;                 // 1 while a route from the outside planner is awaited
  PlannerWait planner;
  // Route guidance: the trace label is on (RGITEST.CFG), a guidance file is in use, its name,
  // the own position (km) at the last load of the instructions near the car, and when the
  // guidance window last showed an instruction.
  int rgitest = 0, rgiexists = 0;
  std::string rgifile;
  float rgiloadx = 0, rgiloady = 0;
  float rgishown = 0;
  // The instructions loaded (1..rgicount; slot 0 unused): those within 0.5 km of the car.
  static constexpr int rgimax = 400;
  std::array<RgiRecord, rgimax + 1> rgirec{};
  int rgicount = 0;
  // The guidance file's index (".RGB"): its name, whether it exists, and its entries, read once
  // per guidance file and at most rgicellmax of them. rgicells is the trace's record count: the
  // index entries after a change of file, then the records a plain load or the plot went over.
  static constexpr int rgicellmax = 32500;
  std::string rgbfile;
  int rgiindexed = 0;
  std::vector<RgiCell> rgicell;
  int rgicells = 0;
  std::optional<RgiPlain> rgiplain;  // a file without an index, once read
  // The instruction last given (its position text and direction); -2: none yet.
  std::string rgilasttext;
  int rgilastidx = -2;
  // Trip meter.
  float tripkm = 0, tripmiles = 0, tripnm = 0, triptimer = 0;
  // Direction finding (ZARNDF.CFG): minimum move between fixes (km), bearings relative to the
  // heading, lines accepted, a start-up value, the rate estimate's factor, threshold and
  // longest interval (s), and the cap of a bearing line (km); lines drawn, last time, count.
  float dfmove = 0.15f;
  int dfrel = 1, dfaccept = 1;
  float dfcfg5 = 60, dfratef = 5, dfratemin = 500, dfratemaxt = 60, dflinemax = 10;
  // The bearing store: slots 1..dfn (slot 1 the newest unless dfon holds it), each bearing
  // (degrees from grid north) with the own position (km) it was taken from.
  static constexpr int dfmax = 10;
  int dfon = 0, dfn = 0;
  std::array<float, dfmax + 1> dfbrg{}, dfx{}, dfy{};
  // The last bearing of a "%" line (none yet: -1) and where the last one was taken.
  float dflastb = -1, dflastx = 0, dflasty = 0;
  // The last estimate of the transmitter (km) and the time of day it was last taken (none since
  // start-up or a clear); the time of day the last estimate was spoken.
  float dfprevx = 0, dfprevy = 0;
  std::optional<float> dfprevt, dfelapsed;

  // The more-information look-up: the grid reference for which information was last found
  // (every search clears it), and the file tag of the place the last search found ("LPOP" for
  // a population centre), whose "$" tag ".MOR" file is the information of last resort.
  std::string morefile, foundfile;

  // The waypoint route: route line points 0..legcount (line i, the control leg(i), joins point
  // i - 1 to point i) and waypoints 1..wpcount (waypoint i is the icon wp(i)), frame km, each
  // with the radius (km) within which it counts as reached and the icon it shows when it is not
  // the one steered to. curwp is the waypoint steered to (wpcount + 1 after the last); wpstyle 0
  // shows the icons with the lines, 1 the lines only.
  static constexpr int wpmax = 100;
  static constexpr float wpradiusdefault = 0.12f;
  int legcount = 0, wpcount = 0;
  std::array<float, wpmax + 1> legx{}, legy{}, wpx{}, wpy{}, wpradius{};
  std::array<std::string, wpmax + 1> wpicon{};
  std::string wpdefaulticon = "WP.ICO";  // WP.ICO, or $L.ICO where there is none
  int curwp = 0, wpstyle = 0;

  // Speed warnings (SPEEDWAR.CFG): the own speed at the previous check (km/h) and the time of
  // day of the last warning, shared by all records of the file.
  float speedprev = 0, speedwarned = 0;
  // The place of interest being watched: 1 while inside it, its position (km), its radius (km)
  // and the name its reports give.
  int zoiinside = 0;
  float zoix = 0, zoiy = 0, zoiradius = 0;
  std::string zoiname;

  // Warning zones 1..zonecount (slot 0 unused; zonecount and zonemonon are above): centre (frame
  // km) and radius (km) of each, whether the car was inside at the last check, and whether the
  // circles are shown on the map.
  static constexpr int zonemax = 3;
  int zonedispon = 0;
  std::array<float, zonemax + 1> zonex{}, zoney{}, zonerad{};
  std::array<int, zonemax + 1> zonein{};
};

}  // namespace zarn

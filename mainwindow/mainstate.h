// State of the main window, start-up, the main tick and the commands.
#pragma once

#include <array>
#include <string>

namespace zarn {

struct MainState {
  bool tickbusy_guard = false;  // set while the main tick runs; the tick never re-enters itself
  bool quit = false;            // the exit sequence has ended the program
  long ticks = 0;               // main ticks run since start-up

  // Units of distances and speeds: metric (km, metres) when metric is non-zero, otherwise
  // statute miles and yards, or nautical miles when nautical is 1. Never both on.
  int metric = 0;
  int nautical = 0;
  int displayxy = 0;     // 1: the pointer read-out shows picture pixels instead of the grid text
  float lastclick = 0;   // time of day (s) of the last user activity

  // Read by the spoken reports and the message line.
  int playback = 0;  // 1 while the playback window is engaged: messages show even with sound off
  int platformkind = 0;  // the vehicle ("platform"): 0 car; other values balloon, aircraft
  int ldron = 0;         // 1 while the learner-driver set is on
  int mapmatch = 0;      // 1 when MAPMATCH.CFG is present: fixes are pulled onto road points
  // The report schedule, kinds 1..10: where we are, destination, direction of travel, route
  // guidance, new road, landmark, map change, GPS state, ETA, traffic delays. Kinds 1 to 3 and
  // 9 are intervals in seconds (0 = off), the others 1 = on.
  std::array<int, 11> repint{};
  // Times of day of the last where-we-are, destination, direction and ETA reports.
  float herereptime = 0, destreptime = 0, dirreptime = 0, etareptime = 0;
  // The WAV name and label of the last place found by a search.
  std::string foundwav, foundlabel;
  // The GPS correction added to every fix (km), and the correction as configured.
  float gpscorre = 0, gpscorrn = 0, cfgcorre = 0, cfgcorrn = 0;
  // Landmark categories of ZARN.CAT, slots 1..catcount: the code and its spoken/shown name.
  static constexpr int catmax = 200;
  int catcount = 0;
  std::array<std::string, catmax + 1> catcode{}, catname{};

  // Start-up and modes read by the serial link and the parser.
  int starting = 0;  // 1 while the start-up sequence runs
  int mvmode = 0;    // 1: multi-vehicle (base station) mode
  int demoon = 0;    // 1 while the demo or replay script plays
  int cmsgon = 0;    // CMESSAGE.CFG: sentence talkers are coded messages
  // Chase mode: the RMC sentences beginning with chasesent are the chased unit, shown as the
  // destination labelled chasename and spoken with chasewav.
  int chaseon = 0;
  std::string chasesent, chasename, chasewav;
  int refdest = 0;  // 1: the map follows the destination rather than the own car
};

}  // namespace zarn

// State of the main window, start-up, the main tick and the commands.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "geodesy/helpers.h"

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
  // The WAV name and label of the last place found by a search, and its position (km; the
  // no-position value: none).
  std::string foundwav, foundlabel;
  float foundx = noposx, foundy = noposy;
  // The home position (km) and 1 when the home icon is not shown.
  float homex = noposx, homey = noposy;
  int nohome = 0;
  // The GPS correction as configured (km east and north); the one in force is the GPS input's.
  float cfgcorre = 0, cfgcorrn = 0;
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

  // --- Start-up ---
  std::string cmdline;  // the command line the program was started with (a replay file)
  int timer1 = 0;       // 1 once start-up has enabled the main timer
  float starttime = 0;  // time of day start-up began
  // Presence flags kept by start-up for the features that read them.
  int poweroff = 0;     // POWEROFF.CFG: the exit drops the serial line's DTR
  int kcfon = 0;        // ZARN.KCF: keys go through the key file
  int scalelayout = 0;  // 800600.CFG: the read-out strip is scaled to the screen
  // The screen area the windows may take (pixels), measured at start-up: the layout is decided
  // and scaled by it, while the map area keeps its own size (the map view's scrwidth).
  int screenleft = 0, screentop = 0;
  float screenwidth = 640, screenheight = 480;
  int ctlindex = 1;     // page of the icon panel
  std::string chaseicon;  // CHASE.CFG: the destination marker of the chased unit
  std::uint32_t fillcol = 0;  // colour last given to the GPS lights (black at first)
  // One-shot fix mode (PULFIX.CFG): seconds to wait for a fix and when the wait began.
  int pulfixon = 0;
  float pulfixtime = 0, pulfixstart = 0;
  // ZARN.CFG: the saved destination's position text, the last found place's position text,
  // home, and the three port names (telephone and traffic ports are only written back).
  std::string cfgdestpos, foundref, cfghome;
  std::string gpsport, phoneport, trafficport;
  std::string homeloc, homename;
  std::string mcvlastpos;  // position text of the last vehicle record of ZARN.MCV
  // The search lists of ZARN.FND, slots 1..fndcount: file name (upper case) and prompt; the
  // current list.
  static constexpr int fndmax = 100;
  int fndcount = 0;
  std::array<std::string, fndmax + 1> searchlists{}, searchprompts{};
  int searchidx = 1;
  // The questions asked for the report intervals, kinds 1..10, and how many kinds are asked.
  int repkinds = 9;
  std::array<std::string, 11> repquest{};
  // Places already reported from the current search list: their position texts in hitlist
  // 1..hitcount - 1 (the search writes its own result to hitlist(hitcount)).
  static constexpr int hitmax = 100;
  int hitcount = 0;
  std::array<std::string, hitmax + 1> hitlist{};
  // Population centres of $LPOP.PCD: positions (km) of centres 1..pcdn1, area names 1..pcdn2.
  int pcdn1 = 0, pcdn2 = 0;
  std::vector<float> pcdtab1, pcdtab2;
  std::vector<std::string> pcdtab3;

  // --- The main tick ---
  // The periodic serial command: interval (s, 0 off), the command, its message, last sent.
  int pollint = 0;
  std::string pollcmd, pollmsg;
  float lastsent = 0;
  float clickage = 20;    // seconds since the last click, refreshed every tick
  float laststep = 0;     // time of the last replay step
  float lasttrail = 0;    // time the tick last offered a trail dot
  int initmark = 0;       // 1234 once the search box has had its one-time set-up
  float searchtime = 0;   // last activity in the search box
  int lastkey = 0;        // a key left by another window for the tick to run
  int sentencemode = 0;   // 1 while a key command runs: keys arriving meanwhile are dropped
  // The report-interval dialogue: 0 no question waiting, -1 the opening question, n the next
  // question to ask (the one before it is being answered); keys that were not an answer.
  int askstate = 0;
  int askstep = 0;
  std::string prevcmdkey;  // the last repeatable key: Space carries it out again
  int locnum = 0;          // the stored-location number typed so far on the digit keys
  int typingmode = 0, typedcmd = 0;
  std::string refname = "OUR CAR", prevmode;  // what the map follows, and before typing
  int trailperline = 0;   // 1: a trail dot on every tick (set by the demo script)
  int digmode = 0;

  // --- The replay and demo script ---
  int demoreopen = 0;   // 1: rewind the replay file with the introduction at the next line
  int demorestart = 0;  // 1: begin the demo with its introduction
  int demokey = 0;      // 1 while a key comes from the demo script
  float stepsecs = 1.0f;  // seconds of replay per step
  std::string steptype;   // sentence type remembered within one step
  // How many lines one step may read and how often it may rewind the file: a file without
  // position lines would otherwise hold the tick for ever.
  static constexpr int steplinemax = 200;

  // --- The population-centre search ---
  // Where the last successful search found its first match, so that typing one more letter
  // goes on from there: the code it matched (upper case, "+" signs removed), the byte offset
  // of that record in $LPOP.PCD (-1: none) and the number of centres before it.
  std::string pcsearchcode;
  long pcsearchpos = -1;
  int pcsearchnum = 0;

  // --- Road digitising (typed "#" commands) ---
  // The road name ("#A34#") and road class written with each road point the map click records
  // while digmode is 1.
  std::string digname, digclass;

  // --- ZARN.CFG and the language's icon panel ---
  // The GPS port line of ZARN.CFG as read: the one saving writes back, whatever port is in use
  // (COMPORT.CFG's, or "NULL" after a start without the receiver).
  std::string cfgport;
  // The page icons 1..9 of the icon panel (slot 10 has no icon): the key each jumps to, 1 when
  // that entry runs at once, and its picture file (without the language prefix).
  static constexpr int conticonmax = 10;
  std::array<std::string, conticonmax + 1> conticoncmd{}, conticonpic{};
  std::array<int, conticonmax + 1> conticonrun{};
};

}  // namespace zarn

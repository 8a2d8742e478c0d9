// The table of remote vehicles and the link state.
#pragma once

#include <string>
#include <vector>

namespace zarn {

struct VehicleTable {
  // Filled as remote vehicle tracking is built.

  // The table, slots 1..mvtotal (slot 0 unused): frame position (km) of each unit's last
  // report, label, place text, 3-character status (slot 1 is also the own unit's coded status),
  // time text and time of day of the last report, and the dial string of its terminal.
  static constexpr int mvdefault = 27;
  int mvtotal = 0;
  std::vector<float> mvx = std::vector<float>(mvdefault + 1), mvy = std::vector<float>(mvdefault + 1);
  std::vector<std::string> mvlabel = std::vector<std::string>(mvdefault + 1),
                           mvloc = std::vector<std::string>(mvdefault + 1),
                           mvstat = std::vector<std::string>(mvdefault + 1),
                           mvhhmm = std::vector<std::string>(mvdefault + 1),
                           mvdial = std::vector<std::string>(mvdefault + 1);
  std::vector<float> mvtimer = std::vector<float>(mvdefault + 1);
  // The link handler's own state. mvcur: the unit of the line just taken in, set for every
  // line (0 when it named none, and the trip log then names no unit with it). rptunit: the unit
  // the dialled-in report's identity lines named, kept for its record (0 none). rptx, rpty: the
  // frame position (km) of the last dialled-in or Datatrak report taken in. The dialled-in
  // report's two identity lines.
  int mvcur = 0, rptunit = 0;
  float rptx = 0, rpty = 0;
  std::string rptline1, rptline2;
  // The multi-vehicle configuration: the satellite text service's number, the terminal's network
  // identity, the send and acknowledgement texts and the terminal's user name and password.
  std::string csatnumber, dnid, sendnowtext, acktext, csatuser, csatpass;

  // Slots of the table (27, or more when ZARN.MCV lists more vehicles): every per-vehicle
  // array runs 0..mvsize. Identity (9 characters), heading and speed of each unit: a heading of
  // -1 was reported as unknown, one never reported is hdgnever; a speed below 0 is unknown.
  static constexpr int hdgnever = -2;
  int mvsize = mvdefault;
  std::vector<std::string> mvid = std::vector<std::string>(mvdefault + 1);
  std::vector<int> mvhdg = std::vector<int>(mvdefault + 1, hdgnever);
  std::vector<float> mvspd = std::vector<float>(mvdefault + 1, -1.0f);
  int mvsel = 0;       // the selected unit
  std::string dialnumber;  // number the vehicle window dials
  // Settings of the vehicle code from start-up: pager requests (PAGERON.CFG), unknown units
  // ignored (MVNONEW.CFG), alarm sound level, automatic selection and the alarm count.
  bool pageron = false, nonewmv = false;
  int alarmsound = 3;
  bool mvautosel = false;
  int alarmcount = 0;

  // Alarms and messages: the one the alarm window shows (alarmshown) and those waiting behind
  // it, oldest first in slots 1..alarmcount (slot 0 unused), and how many a full list has
  // dropped since the window last opened. Each keeps the unit and code it came with, so that
  // an acknowledgement goes back to that unit whatever its label looks like in the text.
  struct AlarmEntry {
    std::string text;  // as the window shows it: code, time and unit; place; the code's text
    int unit = 0;      // the vehicle's slot; 0 none
    std::string code;
    long seq = 0;      // numbers the alerts as they come: tells one entry from another
  };
  static constexpr int alarmmax = 10;
  std::vector<AlarmEntry> alarmlist = std::vector<AlarmEntry>(alarmmax + 1);
  AlarmEntry alarmshown;
  long alarmseq = 0;
  int alarmdropped = 0;

  // The vehicle windows' calls. callbusy: a message or acknowledgement call runs (from its
  // hang-up to its end), so a second send is queued rather than dialled. dialbusy: a dial-up
  // data call runs. aborting: ABORT is waiting for the calls to see it. dialcmdbusy: a dial
  // panel button is hanging up or testing the modem. ackwait: the message window holds its
  // incoming-call refusal for a second.
  bool callbusy = false, dialbusy = false, aborting = false, dialcmdbusy = false, ackwait = false;

  // Reports taken from the link since start-up (the own unit's included): a trial of the link
  // holds it against what was sent.
  long mvdecoded = 0;
};

}  // namespace zarn

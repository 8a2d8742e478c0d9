// The filter engine of the playback window: reads a recorded log from its first line to its
// last through the parsers that take live input, tests each record (the own fix after its line)
// against the window's filters, and plots, draws, saves, prints or searches the records that
// pass. The map side of a run (map choice, trail, car, found-place marker) belongs to the map
// display and navigation and is reached through the plotmap hook.
#pragma once

#include <string>

namespace zarn {
struct App;
struct GeoState;
struct GpsState;
struct LineResult;
class FForm;

enum class PlotMode : int { draw = -1, plot = 0, save = 1, print = 2, nearest = 3 };

// The parser a log is read with, from its name in upper case; a name with none of the three
// (an .MVD log) has its lines tested against the own fix as it stands.
struct LogKind {
  bool agd = false, nme = false, trk = false;
};
LogKind logkind(const std::string& name);

// The texts of the window's filter boxes and comparison buttons.
struct FilterBoxes {
  std::string csgn, rfilter, gfilter, qcmd = ">=", quality, dfrom, tfrom, dto, tto, sfilter, ltgt = ">=";
};
FilterBoxes filterboxes(const FForm& f);

// The filters of a run, read once at its start. Times are keys: whole days x 86400 plus seconds
// of the day, so that New Year (and 1999 to 2000) order right.
struct FilterSet {
  std::string callsign;  // empty: any
  bool bydistance = false;
  float limitkm = 0, centrex = 0, centrey = 0;
  bool qualityatleast = true;
  int quality = 0;
  double keyfrom = 0, keyto = 0;
  bool speedatmost = false;
  float speed = 0;
  bool speedset = false;  // false: the box was empty and the comparison goes back to ">="
};
FilterSet readfilters(GeoState& geo, const FilterBoxes& b);
double timekey(double dayno, double secs);
// Whether the record the own fix now describes passes every filter.
bool passes(GeoState& geo, const FilterSet& fs, const GpsState& g);

// The map side of a run, handed up through the plotmap hook.
struct PlotStep {
  enum class Kind {
    reload,      // the map for the own position, loaded afresh: earlier drawing goes
    follow,      // the map, destination read-outs, instruments and zones follow the own position
    cleartrail,  // the trail emptied
    dot,         // a trail dot at (x, y)
    car,         // the car updated at the own position
    sentence,    // an NMEA record parsed (parsed, the line in label): read-outs, lights and car as live
    found,       // the found-place marker at (x, y) with label; first: the first record found
    loadmap,     // the current map loaded again (the window's Clear)
    setdest,     // the destination set again from its slot (the window's "show")
    statcol,     // the status colour of the read-outs set to colour
  };
  Kind kind = Kind::follow;
  float x = 0, y = 0;
  std::string label;
  bool first = false;
  unsigned colour = 0;
  const LineResult* parsed = nullptr;
};

// What a run did: the records read and passed, and why it ended.
struct PlotResult {
  long records = 0, passed = 0;
  bool opened = false;   // the log was read
  bool aborted = false;  // stopped by plotabort
  bool outputfailed = false;  // FILTER.TXT or the printer could not be opened or failed
};

// One run over the replay file. The caller (the window's buttons) sets plotbusy and the
// captions around it; plotabort, set by a button while events run, stops it before the next
// line. SAVE and PRINT open their output before reading and, when that fails, read nothing.
PlotResult plotfilter(App& app, FForm& f, PlotMode mode);

}  // namespace zarn

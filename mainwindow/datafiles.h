// The small data files that start-up reads itself, each optional: without a file its
// defaults stand and nothing is reported.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/textrules.h"

namespace zarn {
struct App;
class Windows;
class CForm;
struct GeoState;
struct MainState;
struct MapView;
struct NavState;
struct SpeechState;
struct Voice;
class ZarnForm;

// A free-format list of values: items end at a comma or a line end, quotes are dropped.
class ValueList {
 public:
  explicit ValueList(platform::InputFile f) : f_(std::move(f)) {}
  static std::optional<ValueList> open(const platform::Files& files, std::string_view name);
  // The next item; nullopt past the end of the file.
  std::optional<std::string> text();
  // The next item as a number: nullopt past the end of the file or when the item is a text
  // where a number is wanted (an empty item reads as 0).
  std::optional<double> number();
  bool eof() const { return f_.eof(); }
  platform::InputFile& file() { return f_; }

 private:
  platform::InputFile f_;
};

// Whether an item reads as a number (an empty one reads as 0): the text rules' test.
using text::isnumber;

// The report schedule: the question of each kind, the default intervals, then SOUNDS.CFG's
// nosound and intervals of kinds 1 to 9 (kind 10 off when the file exists). False without it.
bool readsounds(const platform::Files& files, MainState& m, SpeechState& speech);
// Direction-finder values of ZARNDF.CFG, or their defaults.
void readzarndf(const platform::Files& files, NavState& n);
// The wanted language entry (from 1) of LANGUAGE.CFG; nullopt without the file.
std::optional<int> readlanguagecfg(const platform::Files& files);
// The XY sheet frame of ZARNXYLL.CFG, or its defaults.
void readxyll(const platform::Files& files, GeoState& g);
// The position-text system and UTM offsets of UTM.CFG, or 0, 0, 0.
void readutmcfg(const platform::Files& files, GeoState& g);
// The picture keys of ZARNKEYS.CFG into the keys window.
void readzarnkeys(App& app);
// Chase mode values of CHASE.CFG; false without the file.
bool readchase(const platform::Files& files, MainState& m);
// Seconds the one-shot fix mode waits (first 8 characters of PULFIX.CFG's first line).
float readpulfixtime(const platform::Files& files);
// Writes PULFIX.DAT: the fix's grid reference or "NO DATA", then the time and date.
void writepulfix(Voice& voice, const std::string& result);
// ZARN.LOG's first line: places-of-interest logging on, and "TEST" for a trial run.
void readzarnlog(const platform::Files& files, NavState& n);
// The destination table from ZARN.LOC (at most 199), the "(mouse)" slot after it, and the
// control panel's destination list. Returns the number read.
int readloc(const platform::Files& files, GeoState& geo, NavState& nav, CForm& cf);
// The records of ZARN.LOC in order, one a line up to the first empty line: the position text
// before the first comma and the rest of the line as the label, so that a label may hold
// commas (a line without a comma is all label). nullopt without a readable file.
struct LocRecord {
  std::string pos, label;
};
std::optional<std::vector<LocRecord>> readlocrecords(const platform::Files& files);

// ZARN.COM, the GPS line settings. bad: a value could not be read; the values before it are
// kept.
struct ZarnCom {
  std::string settings;
  std::optional<float> gpstimeout, fixmint, fixminmove, minhdgspd;
  bool bad = false;
};
std::optional<ZarnCom> readzarncom(const platform::Files& files, bool filelink);

// HISTORY.CFG into the trail settings, or the defaults without the file. When it cannot be used
// (unreadable, too few values, a value that is not a number) the message that ends start-up,
// naming the fault and the line; else empty.
std::string readhistory(const platform::Files& files, MapView& m, int mvmode);
// DFCOLOUR.CFG: up to 10 colours for the bearing lines from line 0; false on a bad value.
bool readdfcolour(const platform::Files& files, ZarnForm& z);
// ZARNDIAL.CFG: the dial buttons' captions; false on a bad value or fewer records than its count.
// The count read in *n.
bool readzarndial(const platform::Files& files, Windows& win, int* n = nullptr);
// ADD2DIAL.CFG's six lines (missing ones empty).
std::vector<std::string> readadd2dial(const platform::Files& files);

}  // namespace zarn

// The playback filter window "fform": choose a recorded log, make it the replay input, set the
// filters (date and time, speed, quality, distance from a place, call sign) and plot, draw,
// save, print or search the log's records (gpsinput/filter.h). It also holds a few map
// conveniences and the labels of the eight switches of a "$GPSTA,S," unit.
#pragma once

#include <string>
#include <vector>

#include "platform/ui.h"

namespace zarn {
struct App;

class FForm : public ui::Form {
 public:
  static constexpr const char* formname = "fform";
  FForm();

  // The log file's choice: places, folders of the current folder, and its logs.
  ui::ListBox Drive1, Dir1, File1;
  ui::Label logfilelab;
  ui::TextBox dfrom, tfrom, dto, tto, sfilter, quality, rfilter, csgn;
  ui::Label Label1, Label7, Label6, Label4, Label2, Label3, csgnlab;
  ui::Label gfilter, nfilter, grid, dtgt;
  ui::Button dtcmd, ltgt, qcmd, copyr, copydest;
  ui::Button plotcmd, drawcmd, filecmd, printcmd, findcmd, drawcolcmd;
  ui::Line drawcol;  // its colour is the DRAW colour
  ui::CheckBox labelon;
  ui::ControlArray<ui::Label> switches;  // switches(0)..switches(7)
  ui::Button clearcmd, autocmd, showdest, labelcol, dialcmd, replaycmd, fformoffcmd;

  std::string dirpath;      // the folder File1 lists
  int drawcolidx = 0;       // index of the DRAW colour
  int plotabort = 0;        // 1: the run stops before its next line
  ui::TextBox* focus = nullptr;  // the filter box typing goes to
  bool wired = false;       // the handlers are bound to the application
};

// The DRAW colours in the order the colour button steps through them.
ui::Colour drawcolour(int index);

// Shows the playback filter window, made and wired on first use.
void showfform(App& app);
// The handlers of the window's controls, bound to the application (once).
void wirefform(App& app, FForm& f);

// Fills the folder and file lists for the form's folder: logs are the names ending in .nme,
// .mvd, .agd or .trk in any case.
void listlogs(FForm& f);
// The key typed while the window has the focus: digits and "." go to the focused box; other keys
// are commands of the main window first, and then only ":", "-" and backspace reach the box.
void fformkey(App& app, FForm& f, int& key);
// The "v" button: the first and last date and time of the replay file into the four boxes.
void datescan(App& app, FForm& f);
// Makes the chosen log (logfilelab) the replay input.
void playfile(App& app, FForm& f);

}  // namespace zarn

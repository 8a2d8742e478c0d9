// The waypoint route window "wpform": the route built from destinations, saved, read and
// imported, shown or hidden on the map, and followed.
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;

class WpForm : public ui::Form {
 public:
  static constexpr const char* formname = "wpform";
  WpForm();
  ui::Label nwps;  // " 3 waypoints"
  ui::Button addestcmd, delcmd, savecmd, readcmd, importcmd, showcmd, stylecmd, wponcmd, cancelcmd;
  bool wired = false;  // the buttons are handed to the application's procedures
};

// The route window, made on first use (which draws the route) with its buttons and keys wired;
// not shown.
WpForm& wpwindow(App& app);
// Shows the route window: while it shows, a left click on the map adds a waypoint.
void showwpform(App& app);
// The count label's text: " 3 waypoints".
void showwpcount(App& app);
// The following button's caption: "Route Following now ON" or "... OFF", as following is.
void setfollowcaption(App& app);

// The buttons, by their window's names.
void addestcmd_Click(App& app);
void delcmd_Click(App& app);
void savecmd_Click(App& app);
void readcmd_Click(App& app);
void importcmd_Click(App& app);
void showcmd_Click(App& app);
void stylecmd_Click(App& app);
void wponcmd_Click(App& app);

}  // namespace zarn

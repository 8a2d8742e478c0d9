// The control panel "cform": switches for testing and demonstration. The map display writes
// its list of map titles and the zoom button that shows the map width; the main window fills
// the destination list and the call-sign separator and hands every button to its handlers
// (mainwindow/cform.h).
#pragma once

#include "platform/ui.h"

namespace zarn {

class CForm : public ui::Form {
 public:
  static constexpr const char* formname = "cform";
  CForm();
  ui::ListBox map;      // map titles in catalogue order: row k is map k + 1
  ui::Button zoomcmd;   // "<- 12 Km ->": the width of the map shown
  ui::ListBox desti;    // destination labels, then "(mouse)"
  ui::TextBox csgn;     // the call-sign separator
  ui::Button histcmd;   // the trail interval ("NONE", "ALL", "10 sec" ...)
  ui::ControlArray<ui::Shape> h;  // three marks of the trail interval

  // The demos and the link.
  ui::Button democmd, dfdemo, celldemocmd, stopdemo, mv, nochksumcmd, comspdcmd, chasecmd, hidezarn;
  // The other tool windows.
  ui::Button playbackcmd, routecmd, zonemoncmd, rgicmd, geomancmd, rformon, showinst, ldrivercmd;
  // The car symbol, its heading vector and the trail.
  ui::Button arrowcmd, symbolcmd, pointercmd, maxnopcmd, scalebarcmd, Command1;
  ui::Image arrow, symbol;  // previews of the arrow vector and the car symbol
  ui::PictureBox pointer;   // preview of the pointer fan
  ui::Label Label2, Label3, Label4, Label5;
  // Cancel is the window's "hide" control; as a member it would hide Form::hide.
  ui::Button hidecmd, exit;

  // Closed with its close box rather than Cancel: the lists are built again when it is shown.
  bool reload = false;
  bool wired = false;  // the buttons are handed to the application's procedures
};

}  // namespace zarn

// The calibration window "makdes": a map picture without its description is calibrated by two
// clicked reference points and their typed positions, and <name>.DES is written.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace zarn {
struct App;
struct GeoState;

class MakdesForm : public ui::Form {
 public:
  static constexpr const char* formname = "makdes";
  MakdesForm();
  ui::Button typecmd;            // the mode: "Lat/Lon" or "Grid"
  ui::TextBox waw;               // place file, line 6
  ui::TextBox nmakdes;           // title, line 1
  ui::Button makdesok;           // OK
  ui::TextBox makdesg1;          // position of the lower point
  ui::TextBox makdesg2;          // position of the upper point
  ui::Image map;                 // the picture, one pixel in from the window's edge
  ui::Line p2h, p2v, p1h, p1v;   // cross hairs of the lower and the upper point
  ui::Shape makdesp2, makdesp1;  // markers of the lower and the upper point
  ui::Label makdestxt;           // instructions

  // A clicked point: the window pixel under the pointer.
  struct Point {
    int x = 0, y = 0;
  };
  std::optional<Point> lower, upper;
  int picwidth = 0, picheight = 0;  // the picture's size in pixels
  bool wired = false;               // the handlers are bound to the application
};

// The window, made on first use with its handlers wired; not shown.
MakdesForm& makdeswindow(App& app);
// Opens the window over the picture of the named map, its points cleared and the mode, title,
// place file and reference boxes as they start.
void startcalibration(App& app, const ui::PictureRef& pic);

// A click on the window: in the upper half of the picture as it shows (its visible height)
// the upper point, else the lower one; a later click in the same half replaces it.
void makdes_MouseDown(MakdesForm& f, const ui::MouseEvent& e);
// "Lat/Lon" becomes "Grid"; anything else "Lat/Lon".
void typecmd_Click(MakdesForm& f);
// The description for the window's points, positions and mode: its lines, or nullopt with the
// reason in why when a point is not clicked, a position cannot be read (or, in grid mode, lies
// outside the grid areas), or the points share a column or row.
std::optional<std::vector<std::string>> makdeslines(GeoState& geo, const MakdesForm& f, const std::string& name,
                                                    std::string& why);
// OK: writes calmapname.DES and ends the program, which must start again to catalogue it. A
// description that cannot be made, or written, is refused with a beep and a message box, and
// nothing is written; the window stays. True when written.
bool makdesok_Click(App& app);

}  // namespace zarn

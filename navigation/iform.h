// The instruments window "iform": speed dial, compass, destination needle and circle, the
// read-outs of speed, altitude, bearing and distance, and the trip meter's labels.
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;
struct Voice;

class IForm : public ui::Form {
 public:
  static constexpr const char* formname = "iform";
  IForm();
  ui::Button iside;    // "<>": the window keeps away from the car; ">>": it stays
  ui::Button hideinst;
  ui::Shape gpslight;  // the GPS state light
  ui::Label etalab, timetil;
  ui::Line instspd;    // speed needle
  ui::Label instalt, instspdn, instspdk, instspdm, insthdgt;
  ui::Line insthdg;    // heading needle
  ui::Line instdest;   // destination needle, relative to the heading
  ui::Label miletacho, dbrglab, instdd;
  ui::Shape dcirc;     // grows as the destination comes near
  ui::Image Image1;    // the instrument panel picture

  // Where the needles turn (twips): the destination dial, the speed dial and the compass of the
  // panel picture. The needles are needlelen long.
  static constexpr double destx = 1202, desty = 1152;
  static constexpr double spdx = 3600, spdy = 1155;
  static constexpr double hdgx = 2400, hdgy = 2670;
  static constexpr double needlelen = 900;
};

// The instruments window, its keys and clicks handed to the application's procedures.
IForm& instruments(App& app);

// Needles and read-outs of the instruments window, while it is showing; called on every car
// update. Also works out the destination distance.
void updateinstr(App& app);
// Loads the instruments window's picture for the voice's language (prefixed file first), while
// the window shows.
void loadinstrpic(IForm& f, Voice& v);

}  // namespace zarn

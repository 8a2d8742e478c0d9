// The landmark editor "gform" and the landmark cell files it writes (.GEO, one per 1 km grid
// square or 2-minute latitude/longitude cell; names from geodesy/geofile.h).
//
// A landmark line: code, position text, then "#" name "#" and, when there is a direction,
// "$" direction "$" - for example R12,512382N0003960W,#Old Mill#$270$. Readers take it as
// three comma-separated fields and find the name between the "#" and the direction between
// the "$", so a comma or a quote in any field, "#" or "$" in the name and "$" in the direction
// would shift or cut the landmark: such a landmark is refused.
#pragma once

#include <string>
#include <vector>

#include "platform/ui.h"

namespace zarn {
struct App;
struct GeoState;
struct MapFrame;
class ZarnForm;
namespace platform {
class Files;
}

class GForm : public ui::Form {
 public:
  static constexpr const char* formname = "gform";
  GForm();
  ui::TextBox gcc;      // category code
  ui::TextBox gccname;  // the category's name from ZARN.CAT, "?" for an unknown code
  ui::TextBox gg;       // position text
  ui::TextBox ng;       // name
  ui::TextBox dg;       // direction
  ui::TextBox fg;       // the cell file the landmark goes into
  ui::Button gpscmd, addg, plotg, Command1;
  ui::ControlArray<ui::Label> Label1;  // what each box is
  // The position box holds a position given since the window was made (a left click on the map,
  // the GPS button or typing), not the example text it starts with: a right click measures its
  // direction from there.
  bool placed = false;
};

// What the boxes of the editor hold for one landmark.
struct Landmark {
  std::string code, pos, name, dir;
};

// The line appended for a landmark: the code upper-cased; no "$$" part for an empty direction.
std::string landmarkline(const Landmark& l);
// Why the landmark cannot go into `file` as it stands; empty when it can.
std::string landmarkrefusal(const Landmark& l, const std::string& file, const platform::Files& files);

// The national-grid text of a frame position (km) whatever the read-outs show (UTM or MGRS), and
// the name of the cell file that holds it: landmark files are named from these texts only.
std::string cellref(GeoState& geo, float x, float y);
std::string cellfile(GeoState& geo, float x, float y);

// Draws each landmark of one cell file on the main window as a 3-pixel square outline, red for
// codes beginning with "R", green for the others. Lines whose position is empty or unreadable
// are skipped, and so is a file that is missing or unreadable. The number drawn.
int drawgeo(ZarnForm& z, GeoState& geo, const MapFrame& m, const platform::Files& files, const std::string& file);

// Of the cell files `present` (names as on disk), those that a walk over the map in 1 km steps
// from its south-west corner (east-west outer, both edges included) would name, each once, in
// the order the walk first meets them. Each file is checked only at the walk's points that can
// lie in its cell, so a national map costs what its files cost, not its two million squares.
std::vector<std::string> mapcells(GeoState& geo, const MapFrame& m, const std::vector<std::string>& present);
// At most this many cell files are plotted at once.
inline constexpr std::size_t plotcellmax = 2000;

// The editor's buttons and the category box, by their window's names.
void addg_Click(App& app);
void Command1_Click(App& app);
void gcc_Change(App& app);
void gpscmd_Click(App& app);
void plotg_Click(App& app);
// Shows the editor with its handlers wired: map clicks fill its boxes from now on.
void showgform(App& app);
// A map click at frame position (x, y) km while the editor takes clicks: the left button gives
// the position and its cell file (and the shared `geofile`), another button the direction from
// that position to the click ("N", "E", "S", "W", or whole degrees for an "R" code). False,
// with nothing changed, when no position has been given to measure from.
bool geomanclick(GForm& f, GeoState& geo, std::string& geofile, int button, float x, float y);

}  // namespace zarn

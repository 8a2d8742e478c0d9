// Loading a catalogued map as the current map, its rights notice, and what happens when a map
// of MAPS.DIR lacks its description.
#pragma once

#include <string>

namespace zarn {
struct App;
namespace platform {
class Files;
}

// Makes catalogue entry n the current map: description, place file, picture (or the tile view
// centred on the followed point), bounds and rotation state, then places the overlays, the
// rights notice and the scale bar again. A map whose description is missing, damaged or has
// reference points sharing a column or row, or whose picture is missing, unreadable or damaged,
// is refused with a message naming the file and the fault: the current map stays and the refused
// one is left out of the choice until the catalogue is built again.
void loadmap(App& app, int n);
// A MAPS.DIR entry without its description: without its picture the program must end
// (main.quit); with it the user is told the map must be calibrated, and the calibration window
// is shown over the picture until it is hidden or its OK has written the description and ended
// the program. Nothing while a calibration is already open.
void missingdes(App& app, const std::string& name);
// The importance threshold of a place file: 6, or the BIGPLACE record's importance, lowered to
// the largest importance in the file.
float placethreshold(const platform::Files& files, const std::string& placesfile);

}  // namespace zarn

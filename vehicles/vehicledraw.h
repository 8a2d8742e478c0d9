// Remote vehicles on the map and in the vehicle list.
#pragma once

#include <string>

namespace zarn {
struct App;
struct GeoState;
struct MapView;
struct VehicleTable;
class ZarnForm;

// A vehicle's heading (whole degrees; below 0 unknown) and speed (mph; below 0 unknown) as the
// vehicle list shows them: "045" or " ? ", and the whole part right-aligned in 3 or blanks.
std::string vehhdgtext(int hdg);
std::string vehspdtext(float mph);

// Takes a report position (degrees; corrected in place when a GPS correction is set) into
// vehicle i's position, receipt time and row, follows it when it is selected, draws the
// vehicles and hands the report to the pager. The caller has already stored the report's
// heading, speed, status and time in the table.
void plotvehicle(App& app, int i, float& lat, float& lon);
// Writes vehicle i's row of the vehicle list from the table as it stands, its receipt time
// untouched.
void showvehiclerow(App& app, int i);
// Places vehicle i's icon and heading line at its position and heading on the current map.
void drawvehicle(ZarnForm& z, const VehicleTable& v, GeoState& geo, const MapView& map, int i);
// Draws every remote vehicle's icon and heading line at its position on the current map.
void drawvehicles(App& app);

}  // namespace zarn

// Lines of particular receivers and add-on units besides NMEA sentences: the direction-finder
// sector ("SEC"), the fixed-column "SONY" position, the switch states of "$GPSTA,S," and the
// TAIP ">RPV" report.
#pragma once

#include <string>

namespace zarn {
class Windows;
struct GeoState;
struct GpsState;
struct Voice;

// Centre, radius and two bearings of a direction-finding sector, kept with the own position at
// its centre; a radius of 0 hides it. The map follows in the line's consumer.
void secsentence(GpsState& gps, GeoState& geo, const std::string& line);
// Fixed-column position, speed (km/h) and course.
void sonyfix(GpsState& gps, GeoState& geo, const std::string& line);
// Eight switch characters; each change is shown and said as SWITCHES.CFG describes it.
void gpstaswitch(GpsState& gps, Voice& voice, Windows& win, const std::string& line);
// TAIP position/velocity: hundred-thousandths of a degree, miles per hour and heading.
void taiprpv(GpsState& gps, GeoState& geo, const std::string& line);

}  // namespace zarn

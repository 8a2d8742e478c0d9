// The own fix's read-out and the direction-finder sector store.
#pragma once

#include <cstdint>
#include <string>

namespace zarn {
class ZarnForm;
struct GpsState;
struct MainState;
struct OwnFix;

// The own fix's read-outs: the grid reference and latitude/longitude boxes, and the heading box
// ("?" on yellow while no heading is known).
void showposition(const OwnFix& fix, ZarnForm& form);
void showheading(const OwnFix& fix, ZarnForm& form);
// Shows a grid-reference (or pixel) text in gridbox, the type size chosen by its length so that
// the longer forms still fit: 12 points up to 14 characters, 9.75 for 15, 8.25 beyond.
void showgridref(ZarnForm& form, const std::string& text);

// Writes the own speed into the speed box in the unit chosen: km/h when metric is on, else
// knots when nautical is on, else miles per hour; whole units, rounded down, no unit text.
void showspeed(const OwnFix& fix, const MainState& settings, ZarnForm& form);

// True until a fix has given a position: the start-up value, or the zero latitude and
// longitude of a receiver that sends sentences without a fix (the main tick makes the own
// position from them).
bool noposition(const OwnFix& fix);

// No heading is known until a fix moving fast enough gives one.
void noheading(GpsState& gps);

// Puts the car where the user says it is (the found place, or back at the last fix); the
// fixes that follow move it on from there.
void setownpos(GpsState& gps, float x, float y);

// Puts a new position correction (km east and north) in force for the fixes that follow.
void setgpscorr(GpsState& gps, float east, float north);

// Stores the direction-finder sector (mode 1 shows it); nothing is drawn here.
void setfixvars(GpsState& gps, int mode, float lat, float lon, float radius, float brg1, float brg2,
                std::int32_t colour);

}  // namespace zarn

// Steps that every writer of the own fix shares: storing a received position with its
// read-outs, the heading and velocity rules, and whole numbers taken from received values.
#pragma once

#include <optional>
#include <string_view>

namespace zarn {
class ZarnForm;
struct GeoState;
struct GpsState;
struct MainState;

// The user's GPS correction, when one is set, moves a received position: the frame position
// (x, y) by the correction, and the latitude/longitude with it. False when there is none.
bool applycorrection(const GpsState& gps, GeoState& geo, float& x, float& y, float& lat, float& lon);
// A received latitude/longitude (degrees) becomes the own position: the user's GPS correction
// applied, the frame position, its grid reference and the previous position. Nothing is shown.
void storeposition(GpsState& gps, GeoState& geo, float lat, float lon);
// The grid reference and the previous position of the own position just stored.
void keepposition(GpsState& gps, GeoState& geo);

// A position (frame km), speed (km/h) and heading (whole degrees, -1 none) that a unit reported
// rather than a receiver (the own unit's link report, the vehicle a base station shows): the own
// fix with its velocity, speed and position read-outs (the speed in the units the settings
// choose), and no movement made of the jump.
void takeunitfix(GpsState& gps, GeoState& geo, const MainState& settings, ZarnForm& form, float x, float y,
                 float kmh, int hdg);

// A course becomes the heading, in whole degrees rounded down, only above the heading speed.
void headingrule(GpsState& gps, float course);
// The velocity components from the speed of the sentence and the stored whole-degree heading
// (also when it is -1, no heading); rad is the degree-to-radian factor of the caller.
void velocityrule(GpsState& gps, double rad);

// A received value as a 16-bit whole number: false, and out left alone, when it does not fit
// (the old runtime's overflow, after which the statement was skipped).
bool store16(double v, int& out);

// A number as receivers write one: digits, then at most a point and more digits; nothing for
// anything else (an empty text, blanks, signs, exponents).
std::optional<double> plaindecimal(std::string_view s);
// An NMEA latitude or longitude field (ddmm.mmm, dddmm.mmm) in degrees. Read by value, as
// receivers leave out leading zeros; nothing when it is not a plain decimal, its minutes reach
// 60 or it lies beyond max degrees.
std::optional<double> nmeadegrees(std::string_view s, double max);

}  // namespace zarn

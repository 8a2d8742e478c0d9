// The spoken reports of the moving vehicle: direction and speed, destination distance,
// arrival time, altitude, map change, and the road and place names they share.
#pragma once

#include <string>

#include "platform/ui.h"

namespace zarn {
struct App;
struct Voice;

// "moving north east  at 45 mph on A34 ...": direction of travel from the heading (whole
// degrees, -1 when unknown), the speed as the speed box shows it, and the road we are on;
// knots when nautical, else the voice's units.
void saymoving(Voice& v, const std::string& speed, int heading, bool nautical);
// Distance and clock direction of the destination: the distance as the distance box shows it
// ("1.5m", " 250y"), the heading (-1 when unknown), the destination's clock hour and the prompt
// that names it.
void saydestdist(Voice& v, const std::string& dist, int heading, int clockbrg, const std::string& destwav);
// Expected time of arrival ("hh:mm") and the time to go ("1.5h"), unless the instruments
// window (null when it has not been made) marks the time to go as not worked out; records the
// report time in reptime.
void sayeta(Voice& v, const ui::Form* iform, const std::string& eta, const std::string& togo,
            float& reptime);
// Altitude to the nearest hundred feet, then the climb or sink rate (feet per minute); nothing
// but "not available" while no altitude has been seen. They are read as the report goes on: what
// is queued is spoken first, with events running.
void sayaltitude(Voice& v, const int& altseen, const float& altft, const float& climbrate);
// Announces the map just loaded, by its title (single-picture maps, when that report is on).
void saymapchange(App& app, const std::string& title);
// Splits a road text into its road number word (A34; empty when it starts with none), the
// digits after its letter (34) with their count, and the rest with "rd"/"st" spelt out.
void splitaddress(const std::string& text, std::string& roadnum, std::string& digits,
                  std::string& street, int& ndigits);
// Queues a road number: its letter, then the digits as a number, one by one or in pairs.
void sayroadname(Voice& v, const std::string& roadnum, const std::string& digits, int ndigits);
// Queues a place name of the form town " in " area, from recordings where they exist.
void sayplacename(Voice& v, const std::string& name);

}  // namespace zarn

// The spoken reports of the moving vehicle: direction and speed, destination distance,
// arrival time, altitude, map change, and the road and place names they share.
#pragma once

#include <string>

namespace zarn {
struct App;

// "moving north east  at 45 mph on A34 ...": direction of travel, speed and road.
void saymoving(App& app);
// Distance and clock direction of the destination.
void saydestdist(App& app);
// Expected time of arrival; records the report time.
void sayeta(App& app);
// Altitude to the nearest hundred feet, then the climb or sink rate.
void sayaltitude(App& app);
// Announces the map just loaded, by its title (single-picture maps, when that report is on).
void saymapchange(App& app, const std::string& title);
// Splits a road text into its road number word (A34; empty when it starts with none), the
// digits after its letter (34) with their count, and the rest with "rd"/"st" spelt out.
void splitaddress(const std::string& text, std::string& roadnum, std::string& digits,
                  std::string& street, int& ndigits);
// Queues a road number: its letter, then the digits as a number, one by one or in pairs.
void sayroadname(App& app, const std::string& roadnum, const std::string& digits, int ndigits);
// Queues a place name of the form town " in " area, from recordings where they exist.
void sayplacename(App& app, const std::string& name);

}  // namespace zarn

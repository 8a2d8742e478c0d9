// Destinations: making a position the destination, naming and announcing it, its distance
// read-outs, and the keys that choose the found place or home and switch the map between car
// and destination.
#pragma once

#include <optional>
#include <string>

namespace zarn {
struct App;
struct NavState;
struct Voice;

// Makes the ad-hoc slot the current destination: its name, frame position (km) and label,
// and, when given, the prompt that names it. Nothing is shown. False when there is no such
// slot.
bool putdest(NavState& n, const std::string& name, float x, float y, const std::string& label,
             const std::optional<std::string>& wav = std::nullopt);
// Makes frame position (x, y) km, labelled area, the current destination: names it (home, a
// stored destination or the nearest place) and shows its marker; markonly 0 then drops the
// old guidance, looks up the new destination's guidance and asks the automatic planner.
void setdest(App& app, int markonly, float x, float y, const std::string& area);
// The last found place becomes the destination and is announced.
void destfound(App& app);
// Home (its position text and name) becomes the destination (announced by saydest after it).
void desthome(NavState& n, const std::string& homeloc, const std::string& homename);
// The map follows our car or the destination, the other of the two: refname names which
// ("OUR CAR", "DESTINATION"), refdest is 1 for the destination; the choice is said. A base
// station's map (fleet) follows the selected vehicle, its own position, whatever is asked: there
// the choice stays "OUR CAR", and that is what is said.
void togglecardest(Voice& v, std::string& refname, int& refdest, bool fleet);
// Announces the destination and takes up its guidance and more information.
void saydest(App& app);
// Distance and clock position from the own position to the current destination: stores
// destdist and clockbrg and writes disbox, dirbox and the stand-by window's caption.
void showdestdist(App& app);
// After a new map picture: the direction-finding bearing lines and the current destination's
// marker placed again (the map display's redraw asks for them).
void redrawdest(App& app);

}  // namespace zarn

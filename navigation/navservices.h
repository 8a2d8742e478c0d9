// Services of navigation that the map display calls: the destination marker slot, the trip
// meter, the instruments and the direction-finding drawings.
#pragma once

#include <optional>
#include <string>

namespace zarn {
struct App;

// Makes the ad-hoc slot the current destination: its name, frame position (km) and label,
// and, when given, the prompt that names it. Nothing is shown. False when there is no such
// slot.
bool putdest(App& app, const std::string& name, float x, float y, const std::string& label,
             const std::optional<std::string>& wav = std::nullopt);
// Makes the ad-hoc slot the current destination at frame position (x, y) km, named by its grid
// reference and labelled area, and shows its marker; flag 0 then does the route work, flag 1
// nothing more.
void setdest(App& app, int flag, float x, float y, const std::string& area);
// Trip meter on the instruments window; called on every car update.
void tripmeter(App& app);
// Needles and read-outs of the instruments window; called on every car update.
void updateinstr(App& app);
// The direction-finding bearing lines of up to ten stations on the current map.
void drawdflines(App& app);
// The direction-finding sector display on the map (defined with the receiver lines for now).
void drawdfsector(App& app);

}  // namespace zarn

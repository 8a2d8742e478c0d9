// Colours of the main window's labels over a new map picture.
#pragma once

namespace zarn {
struct App;

// Sets the text colour of the labels drawn over the map to white; called after a map picture
// or the tiles are loaded.
void whitelabels(App& app);

}  // namespace zarn

// Choosing, loading and re-centring the map for a position.
#pragma once

namespace zarn {
struct App;

// Among the maps holding the position, the one of smallest scale not below minscale (ties to
// the later map); loaded when it differs from the current one and automatic choice is on, then
// re-centred.
void choosemap(App& app, float x, float y);
// Re-centres when the tracked position has moved the set distance from the last centre.
void automapmove(App& app);
// Raises minscale to the next map span that covers the reference position, then choosemap.
void zoomnextmap(App& app);
// Loads map n of the catalogue: description, picture and scaling.
void loadmap(App& app, int n);

}  // namespace zarn

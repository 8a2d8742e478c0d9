// The outlines of the catalogued maps, listed and drawn.
#pragma once

namespace zarn {
struct App;

// Lists the catalogued maps with their extents and draws their outlines on the current map.
void showmaps(App& app);

}  // namespace zarn

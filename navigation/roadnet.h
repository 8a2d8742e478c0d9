// The road network of nodes and links (NODES.TXT, LINKS.TXT): drawn on the map and edited in
// the link manager window.
#pragma once

namespace zarn {
struct App;

// Draws the links (a line between their two nodes) and the nodes (a small box each).
void plotroad(App& app);
// Shows the node and link editor window.
void showlinkman(App& app);

}  // namespace zarn

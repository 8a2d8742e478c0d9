// The road network of nodes (junctions, NODES.TXT) and links (road pieces between two nodes,
// LINKS.TXT): digitised by clicks on the map while the window "linkman" is up, drawn over the
// map, and written out whole with the length of every link for the route planners.
//
// NODES.TXT: one node a line, its position as fmtlatlon writes it, a comma, the template text.
// LINKS.TXT: one link a line, the position texts of its two ends, then the template text, which
// brings its own leading comma and three fields. Both are read back as comma-separated fields,
// two or five to a record, so a template that would add or hide a field is refused.
#pragma once

#include <optional>
#include <string>

#include "platform/ui.h"

namespace zarn {
struct App;
struct GeoState;
struct MapFrame;
class ZarnForm;
namespace platform {
class Files;
struct DateTime;
}  // namespace platform

class LinkmanForm : public ui::Form {
 public:
  static constexpr const char* formname = "linkman";
  LinkmanForm();
  ui::Button Command1;  // mode: "NODES" or "LINKS"
  ui::Button Command2;  // "OUTPUT"
  ui::Button Command3;  // output form: "VALUE" (positions) or "INDEX" (node numbers)
  ui::TextBox Text1;    // the record template
  ui::TextBox dth;      // how near (metres) a click must be to a node to take it as a link end
  ui::Label Label1;     // names the snap distance
  // The first end of the next link: the node the left button chose last; empty until then.
  std::string lastnode;
};

// Why the window's template cannot go into its file as it stands; empty when it can.
std::string templaterefusal(const LinkmanForm& f);

// Draws the network on the main window: a green line for each link, a small white box for each
// node. Records whose position cannot be read are left out.
void plotroad(ZarnForm& z, GeoState& geo, const MapFrame& m, const platform::Files& files);

// The position text of the node of NODES.TXT nearest to (x, y) km (the first of equals), when
// it lies nearer than `snap` km.
std::optional<std::string> nearestnode(GeoState& geo, const platform::Files& files, float x, float y, float snap);

// A map click at frame position (x, y) km while the window is visible; `left` for the left
// button. Node mode appends the node; link mode takes the nearest node as the first end (left)
// or appends the link to it (other buttons). Beeps for a click too far from every node, a link
// with no first end, or a refused template. The network is drawn again in every case.
void roadclick(App& app, float x, float y, bool left);

// OUTPUT: the whole network in NODELINK.TXT (index: link ends as node numbers) or LINKNODE.TXT
// (by value), replaced whole, with the time and date `now` in its first line. The error text
// when it could not be written, else empty.
std::string writenetwork(GeoState& geo, const platform::Files& files, bool index, const platform::DateTime& now);

// Shows the node and link window with its buttons wired.
void showlinkman(App& app);

}  // namespace zarn

// The zone window "zmform": up to three warning zones made where the car stands, removed,
// shown on the map, saved to and read from ZARNWARN.DAT.
#pragma once

#include <string>

#include "platform/ui.h"

namespace zarn {
struct App;
struct GeoState;
struct NavState;
namespace platform {
class Files;
}

class ZmForm : public ui::Form {
 public:
  static constexpr const char* formname = "zmform";
  ZmForm();
  ui::Button zmread, zmsave, zmhide, zmdispcmd, zmoncmd, delzm, addzm;
  ui::Label zmonlab, zmdisp, Label1;
  bool wired = false;  // the buttons are handed to the application's procedures
};

// The zone file, one zone a line after the count: "position text,radius". Reading takes at most
// three zones and no more than the file holds; it returns false when there is no file.
inline constexpr const char* zonefile = "ZARNWARN.DAT";
bool readzonefile(const platform::Files& files, GeoState& geo, NavState& nav, const std::string& name);
// Writes the zones whole through a temporary file; false, with the reason, when it failed.
bool writezonefile(const platform::Files& files, GeoState& geo, const NavState& nav, const std::string& name,
                   std::string* error);

// The zone window, made on first use with its buttons and keys wired; not shown.
ZmForm& zmwindow(App& app);
// The caption " 2 Zone Warnings", the two state labels, and the circles on the map.
void zmupdate(App& app);

// The buttons, by their window's names.
void addzm_Click(App& app);
void delzm_Click(App& app);
void zmdispcmd_Click(App& app);
void zmhide_Click(App& app);
void zmoncmd_Click(App& app);
void zmread_Click(App& app);
void zmsave_Click(App& app);

}  // namespace zarn

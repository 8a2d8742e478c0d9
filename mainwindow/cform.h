// The control panel "cform" and the stand-by window "zarnbgd". The panel itself is the map
// display's (mapdisplay/cform.h), as the map display writes its map list and zoom button; its
// handlers and showing it are the main window's.
#pragma once

#include "mapdisplay/cform.h"

namespace zarn {
struct App;

// The panel, made on first use with its buttons, lists and keys handed to the handlers below;
// not shown.
CForm& cformwindow(App& app);
// Shows the panel (made on first use). After its close box the lists are built again first.
void showcform(App& app);

namespace cform {
// Builds both lists again: the map titles from the descriptions (a missing description leaves
// the map's name in its row, so every row still opens its own map), then the destinations.
void Form_Load(App& app);
// "List of 57 maps"; the map shown and the current destination selected in their lists.
void Form_Paint(App& app);
// The panel taking the keys, or a key typed at it, counts as the user's last action: the main
// window leaves it the keys for the next 10 s.
void Form_GotFocus(App& app);
void Form_KeyPress(App& app, int& key);

// The buttons and lists, by their window's names.
void arrowcmd_Click(App& app);
void celldemocmd_Click(App& app);
void chasecmd_Click(App& app);
void Command1_Click(App& app);
void comspdcmd_Click(App& app);
void democmd_Click(App& app);
void desti_Click(App& app);
void dfdemo_Click(App& app);
void exit_Click(App& app);
void geomancmd_Click(App& app);
void hide_Click(App& app);
void hidezarn_Click(App& app);
void histcmd_Click(App& app);
void ldrivercmd_Click(App& app);
void map_Click(App& app);
void maxnopcmd_Click(App& app);
void mv_Click(App& app);
void nochksumcmd_Click(App& app);
void playbackcmd_Click(App& app);
void pointercmd_Click(App& app);
void rformon_Click(App& app);
void rgicmd_Click(App& app);
void routecmd_Click(App& app);
void scalebarcmd_Click(App& app);
void showinst_Click(App& app);
void stopdemo_Click(App& app);
void symbolcmd_Click(App& app);
void zonemoncmd_Click(App& app);
void zoomcmd_Click(App& app);
}  // namespace cform

namespace zarnbgd {
// SHOW: the map window again, and the stand-by window away.
void Command1_Click(App& app);
}  // namespace zarnbgd

}  // namespace zarn

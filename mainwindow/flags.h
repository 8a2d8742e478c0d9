// Presence-flag files: a feature is on when its file exists in the working directory at
// start-up. Each reader tests the flags of one stage of start-up, in start-up's order.
#pragma once

#include <string_view>

#include "platform/files.h"

namespace zarn {
struct App;
class CForm;
struct GpsState;
struct MainState;
struct MapView;

// 1 when a file of that name (wildcards allowed) exists, else 0.
int flagfile(const platform::Files& files, std::string_view name);

// ZARNTALK.CFG, POWEROFF.CFG, PAGERON.CFG, RINGSTOP.CFG, TAIP.CFG, DATATRAK.CFG.
void readlinkflags(App& app);
// ROMSHELF.CFG: automatic map making at that many km; 0 or absent: off, 5 km.
void readautomapflag(const platform::Files& files, MapView& m);
// NOSOUND.CFG, SPEEDWAR.CFG, MVNONEW.CFG (and its label), DIALTIME.CFG, SENDACKC.CFG (the
// message window's buttons).
void readfeatureflags(App& app);
// ONLYRMC.CFG, CMESSAGE.CFG, MOUSEPTR.ICO (the pointer is the cross over the map, the icon following it).
void readinputflags(App& app);
// ZARNTILE.CFG (re-centring distance), METRIC.CFG, NAUTICAL.CFG, MAPMATCH.CFG.
void readmapflags(const platform::Files& files, MapView& map, MainState& m);
// MAPZOOM.CFG, 800600.CFG.
void readlayoutflags(const platform::Files& files, MapView& map, MainState& m);
// NOCHKSUM.CFG, ZARNLOG.CFG, CALLSIGN.CFG (and the control panel's call-sign box), ZARN.KCF.
void readparserflags(const platform::Files& files, GpsState& g, MainState& m, CForm& cf);

}  // namespace zarn

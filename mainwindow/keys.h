// Keyboard entry of the main window: the key handler every window passes its keys to, and
// typed entry into the search box.
#pragma once

#include <string>

#include "platform/services.h"

namespace zarn {
struct App;
struct MainState;
struct Voice;
class ZarnForm;

// The main window's key handler: single-key commands, or typing into the search box while
// typed entry is on. The key may be changed or cleared.
void keycmd(App& app, int& key);
// The key file ZARN.KCF in front of the single-key commands: the key as its records turn it
// (in file order, so records chain), sending their texts on the serial line.
std::string kcfkey(App& app, std::string key);
// Carries out the typed text as a command through the search box and leaves typed entry.
void runtypedcmd(App& app);
// Starts typed entry: the search boxes are emptied and shown.
void starttext(MainState& m, ZarnForm& z, const platform::Clock& clock);
// The previous or next search list, announced.
void prevlist(Voice& voice, MainState& m, ZarnForm& z);
void nextlist(Voice& voice, MainState& m, ZarnForm& z);
// Hands the keys of the main window, and of every secondary window made so far that uses none
// itself, to keycmd, and gives the vehicle windows made so far their handlers; handlers
// already set are kept. Windows made later need another call.
void wirekeys(App& app);

}  // namespace zarn

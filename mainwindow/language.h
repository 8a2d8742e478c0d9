// The language choice: the file-name prefix of every language-dependent file, and the
// page icons of the icon panel in that language.
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/ui.h"

namespace zarn {
struct App;
struct SpeechState;
class Windows;
class ZarnForm;

// Moves langindex to the next language of LANGUAGE.CFG (after the last, back to the default
// 0) and sets langprefix, syntaxmode (the prefix's SYNTAX.CFG, else 0) and the flag shown
// (the prefix's FLAG.ICO, when there is one). Without LANGUAGE.CFG only the number moves.
void nextlanguage(App& app);
// Shows the language's flag in the main window.
void showflag(ZarnForm& z, ui::PictureRef flag);
// Loads the icon panel's nine page icons (key, run-at-once flag, picture) from the prefix's
// controli.cfg; without that file the keys are the defaults and the pictures stay.
void readcontrolcfg(App& app);
// Reads entry `entry` (from 1, title records not counted) of the icon panel's command file,
// the prefix's controls.cfg or else the plain one; each title record read sets the panel's
// caption. Past the last entry, and for entry -1, the file is read through. Without a file:
// the built-in entry asking for CONTROLS.CFG.
void readcontrol(const platform::Files& files, const SpeechState& speech, Windows& win, int entry, std::string& key,
                 std::string& icon, std::string& wav, std::string& text);

}  // namespace zarn

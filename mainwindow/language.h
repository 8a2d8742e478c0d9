// The language choice: the file-name prefix of every language-dependent file, and the
// page icons of the icon panel in that language.
#pragma once

#include <string>

namespace zarn {
struct App;

// Moves langindex to the next entry of LANGUAGE.CFG (wrapping to the default) and sets
// langprefix, syntaxmode and the language icon from it.
void nextlanguage(App& app);
// Loads the icon panel's page icons of the current language (prefixed file first), with
// defaults for missing entries.
void readcontrolcfg(App& app);
// Reads one entry of the icon-panel file; entry -1 reads the file through.
void readcontrol(App& app, int entry, std::string& key, std::string& icon, std::string& wav, std::string& text);

}  // namespace zarn

// The configuration files read at start-up: ZARN.CFG (and the port override COMPORT.CFG),
// the data categories ZARN.CAT and the search lists ZARN.FND; and the writer of ZARN.CFG.
#pragma once

#include <string>
#include <string_view>

namespace zarn {
struct App;
struct MainState;
namespace platform {
class Files;
class InputFile;
class OutputFile;
}  // namespace platform

// Reads the 14 lines of ZARN.CFG into the settings, then applies COMPORT.CFG. False when the
// file is missing or shorter than 14 lines: the lines read stay set, the rest keep their
// values; until line 2 is read there is no destination, and until line 5 no serial GPS.
bool readcfg(App& app);
// Reads the categories of ZARN.CAT (at most 200). False when the file is missing.
bool readcat(const platform::Files& files, MainState& m);
// Reads the search lists of ZARN.FND (at most 100, ending at "END"). False when the file is
// missing or empty.
bool readfnd(const platform::Files& files, MainState& m);

// One line of ZARN.CFG: the value, blanks to column 24 and the comment; a value of 24
// characters or more alone.
void cfgline(platform::OutputFile& f, std::string_view value, std::string_view comment);
// Writes ZARN.CFG from the current settings. False when the file cannot be written.
bool savecfg(App& app);

}  // namespace zarn

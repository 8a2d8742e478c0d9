// The more-information table (ZARN.MOR): the information and guidance files of a place.
#pragma once

#include <string>

namespace zarn {
struct NavState;
namespace platform {
class Files;
class InputFile;
}

// The information file and guidance file of a place named by qualifier, grid reference or
// name; both emptied first and left empty when none is found. An empty name or grid reference
// matches nothing. After the table, files named after the 6-figure reference (".RGI", ".MOR")
// and the last found place's "$" tag ".MOR" file are looked for, also when there is no table.
// A name in the table outside the working folder is not taken. `why`, when given, gets what
// stood in the way, naming ZARN.MOR: the table there but unreadable ("ZARN.MOR: unreadable:
// Permission denied"), or a name refused; empty otherwise.
void moreinfo(NavState& n, const platform::Files& files, const std::string& qual, const std::string& grid,
              const std::string& name, std::string& infofile, std::string& guidefile, std::string* why = nullptr);

// The next record of the table: qualifier, grid reference, name, information file, guidance
// file; a field reading "NULL" in any case is empty. False when the table ends before the
// record's last field.
bool readmorerec(platform::InputFile& f, std::string& qual, std::string& grid, std::string& name,
                 std::string& infofile, std::string& guidefile);

}  // namespace zarn

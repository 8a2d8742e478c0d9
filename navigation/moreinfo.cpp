#include "navigation/moreinfo.h"

#include "navigation/navstate.h"
#include "platform/files.h"
#include "navigation/gridref6.h"
#include "platform/textrules.h"

namespace zarn {

bool readmorerec(platform::InputFile& f, std::string& qual, std::string& grid, std::string& name,
                 std::string& infofile, std::string& guidefile) {
  std::string* fields[] = {&qual, &grid, &name, &infofile, &guidefile};
  for (std::string* s : fields) s->clear();
  for (std::string* s : fields) {
    if (f.eof()) return false;
    *s = f.field();
    if (text::ucase(*s) == "NULL") s->clear();
  }
  return true;
}

namespace {

// The look-up; `problem` gets what stood in the way.
void lookup(NavState& n, const platform::Files& files, const std::string& qual, const std::string& grid,
            const std::string& name, std::string& infofile, std::string& guidefile, std::string& problem) {
  // The table's names, like every name read from a file, stay in the working folder.
  const auto inside = [&](const std::string& file) {
    if (files.confined(file)) return true;
    problem = "ZARN.MOR: " + file + " is outside the working folder";
    return false;
  };
  const auto found = [&](const std::string& file) {
    infofile = file;
    n.morefile = grid;
  };
  // Names made from a typed reference or a search tag must stay in the working folder.
  const auto present = [&](const std::string& file) { return files.confined(file) && files.exists(file); };

  if (auto f = platform::InputFile::open(files, "ZARN.MOR", platform::Files::smalllimit, &problem)) {
    const std::string uname = text::ucase(name);
    std::string q, g, nm, info, guide;
    while (true) {
      if (!readmorerec(*f, q, g, nm, info, guide)) {
        // Blank lines may close the table; a cut record means a damaged one, and the look-up
        // ends with what it has.
        if (!(q + g + nm + info).empty()) return;
        break;
      }
      if (q == "END") break;
      const bool byname = !text::trim(name).empty() && text::ucase(nm) == uname;
      const bool bygrid = !text::trim(grid).empty() && g == grid && (qual.empty() || qual == q);
      if (!byname && !bygrid) continue;
      if (!guide.empty() && inside(guide)) guidefile = guide;
      if (!info.empty() && inside(info)) return found(info);
      break;
    }
  }

  if (grid.size() == 8 || grid.size() == 14) {
    std::string six;
    gridref6(grid, six);
    if (present(six + ".RGI")) guidefile = six + ".RGI";
    if (present(six + ".MOR")) return found(six + ".MOR");
  }
  if (!n.foundfile.empty() && present("$" + n.foundfile + ".MOR")) found("$" + n.foundfile + ".MOR");
}

}  // namespace

void moreinfo(NavState& n, const platform::Files& files, const std::string& qual, const std::string& grid,
              const std::string& name, std::string& infofile, std::string& guidefile, std::string* why) {
  infofile.clear();
  guidefile.clear();
  std::string problem;
  lookup(n, files, qual, grid, name, infofile, guidefile, problem);
  if (why) *why = problem;
}

}  // namespace zarn
